#include "app/Wiring.h"

#include "app/Passwords.h"
#include "app/Settings.h"
#include "app/TFormMenu.h"
#include "documents/DocumentWindows.h"
#include "finance/FinanceWindows.h"
#include "lubricants/LubricantWindows.h"
#include "core/DialogService.h"
#include "orders/OrderWindows.h"
#include "orders/TForm_Msg.h"
#include "printing/ReceiptWriter.h"
#include "registries/RegistryWindows.h"
#include "sales/SalesWindows.h"
#include "reports/ReportWindows.h"
#include "stock/StockWindows.h"
#include "web/WebWindows.h"

namespace brelvo::app {

void wireSubsystemWindows(TFormMenu &menu)
{
    TFormMenu *m = &menu;
    auto db = [m] { return m->database(); };
    auto isAdmin = [m] { return m->loggedUser().admin == QLatin1String("S"); };

    // Till receipts without a port open the printer-port window.
    printing::setReceiptPortWindow([](QWidget *parent, const data::DatabasePtr &db) {
        TFPortaImpressora w(db, parent);
        if (w.isReady())
            core::dialogs().exec(&w);
    });

    // Footer texts of the order printouts
    m->setHandler(QStringLiteral("mnuMsgOrdemServico"),
                  [=] { orders::openMensagemRodape(m, db(), orders::TForm_Msg::OrdemServico); });
    m->setHandler(QStringLiteral("mnuMsgReciboEntrega"),
                  [=] { orders::openMensagemRodape(m, db(), orders::TForm_Msg::ReciboEntrega); });

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

    // Point of sale
    m->setHandler(QStringLiteral("frenteCaixa"), [=] {
        const data::DatabasePtr base = db();
        sales::openFrenteCaixa(m, base, m->loggedUser().nome,
                               [base](const QString &typed) { return supervisorPasswordMatches(base, typed); });
    });
    m->setHandler(QStringLiteral("mnuTrocaDevolucoes"), [=] { sales::openTrocaDev(m, db()); });
    // Service orders
    m->setHandler(QStringLiteral("btnOrdemServico"), [=] {
        orders::openOrdemServico(m, db(), {[m](const QString &typed) {
                                               return supervisorPasswordMatches(m->database(), typed);
                                           },
                                           isAdmin()});
    });

    // Receipts and promissory notes
    m->setHandler(QStringLiteral("mnuRecibo"), [=] { documents::openRecibo(m, db(), isAdmin()); });
    m->setHandler(QStringLiteral("mnuNotaPromissoria"),
                  [=] { documents::openNotaPromissoria(m, db(), isAdmin()); });
    // Lubricant reference
    m->setHandler(QStringLiteral("btnTrocaOleo"), [=] { lubricants::openConsulta(m, db()); });
    m->setHandler(QStringLiteral("mnuCadastroLubrificantes"), [=] { lubricants::openCadastro(m, db()); });

    // Finance
    m->setHandler(QStringLiteral("mnuContasReceber"), [=] { finance::openReceber(m, db()); });
    m->setHandler(QStringLiteral("mnuContasPagar"), [=] { finance::openPagar(m, db()); });
    m->setHandler(QStringLiteral("mnuFluxoEntrada"), [=] { finance::openFluxo(m, db()); });
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
