#include "app/Wiring.h"

#include "app/TFormMenu.h"
#include "finance/FinanceWindows.h"
#include "lubricants/LubricantWindows.h"
#include "registries/RegistryWindows.h"
#include "stock/StockWindows.h"
#include "web/WebWindows.h"

namespace brelvo::app {

void wireSubsystemWindows(TFormMenu &menu)
{
    TFormMenu *m = &menu;
    auto db = [m] { return m->database(); };
    auto isAdmin = [m] { return m->loggedUser().admin == QLatin1String("S"); };

    // Registries
    m->setHandler(QStringLiteral("mnuCadastroClientes"),
                  [=] { registries::openClientes(m, db(), isAdmin()); });
    m->setHandler(QStringLiteral("mnuCadastroFornecedores"),
                  [=] { registries::openFornecedores(m, db()); });
    m->setHandler(QStringLiteral("mnuCadastroFuncionarios"),
                  [=] { registries::openFuncionarios(m, db()); });
    m->setHandler(QStringLiteral("mnuCadastroFuncao"),
                  [=] { registries::openFuncoes(m, db()); });

    // Products and stock
    m->setHandler(QStringLiteral("mnuCadastrarProdutos"), [=] { stock::openProdutos(m, db()); });
    m->setHandler(QStringLiteral("mnuEntradaMercadorias"),
                  [=] { stock::openEntradaMercadorias(m, db()); });
    m->setHandler(QStringLiteral("mnuMarcas"), [=] { stock::openMarcas(m, db()); });
    m->setHandler(QStringLiteral("mnuMedidas"), [=] { stock::openMedidas(m, db()); });
    m->setHandler(QStringLiteral("mnuCategoria"), [=] { stock::openCategorias(m, db()); });

    // Lubricant reference
    m->setHandler(QStringLiteral("btnTrocaOleo"), [=] { lubricants::openConsulta(m, db()); });
    m->setHandler(QStringLiteral("mnuCadastroLubrificantes"), [=] { lubricants::openCadastro(m, db()); });

    // Finance
    m->setHandler(QStringLiteral("mnuContasReceber"), [=] { finance::openReceber(m, db()); });
    m->setHandler(QStringLiteral("mnuContasPagar"), [=] { finance::openPagar(m, db()); });
    m->setHandler(QStringLiteral("mnuFluxoEntrada"), [=] { finance::openFluxo(m, db()); });

    // Internet utilities
    m->setHandler(QStringLiteral("mnuGoogleMaps"), [=] { web::openGoogleMaps(m); });
    m->setHandler(QStringLiteral("mnuRastreador"), [=] { web::openRastreador(m); });
}

} // namespace brelvo::app
