#include "app/Wiring.h"

#include "app/TFormMenu.h"
#include "documents/DocumentWindows.h"
#include "lubricants/LubricantWindows.h"
#include "registries/RegistryWindows.h"
#include "reports/ReportWindows.h"
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

    // Receipts and promissory notes
    m->setHandler(QStringLiteral("mnuRecibo"), [=] { documents::openRecibo(m, db(), isAdmin()); });
    m->setHandler(QStringLiteral("mnuNotaPromissoria"),
                  [=] { documents::openNotaPromissoria(m, db(), isAdmin()); });
    // Lubricant reference
    m->setHandler(QStringLiteral("btnTrocaOleo"), [=] { lubricants::openConsulta(m, db()); });
    m->setHandler(QStringLiteral("mnuCadastroLubrificantes"), [=] { lubricants::openCadastro(m, db()); });

    // Reports window, on the page each entry names (F4 and its button follow the first)
    using reports::TFormRelatorios;
    m->setHandler(QStringLiteral("mnuRelatoriosGerais"), [=] { reports::openRelatorios(m, db()); });
    m->setHandler(QStringLiteral("mnuComissaoMecanicos"),
                  [=] { reports::openRelatorios(m, db(), TFormRelatorios::PaginaOrdens); });
    m->setHandler(QStringLiteral("mnuRelatoriosProdutos"),
                  [=] { reports::openRelatorios(m, db(), TFormRelatorios::PaginaProdutos); });

    // Internet utilities
    m->setHandler(QStringLiteral("mnuGoogleMaps"), [=] { web::openGoogleMaps(m); });
    m->setHandler(QStringLiteral("mnuRastreador"), [=] { web::openRastreador(m); });
}

} // namespace brelvo::app
