#include "app/Wiring.h"

#include "app/Passwords.h"
#include "app/TFormMenu.h"
#include "orders/OrderWindows.h"
#include "registries/RegistryWindows.h"
#include "stock/StockWindows.h"

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

    // Service orders
    m->setHandler(QStringLiteral("btnOrdemServico"), [=] {
        orders::openOrdemServico(m, db(), {[m](const QString &typed) {
                                               return supervisorPasswordMatches(m->database(), typed);
                                           },
                                           isAdmin()});
    });
}

} // namespace brelvo::app
