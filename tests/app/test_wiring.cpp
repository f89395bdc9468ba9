// The subsystems' windows reached from the main menu.

#include "AppFixture.h"

#include "app/Wiring.h"
#include "reports/TFormRelatorios.h"
#include "web/BrowserView.h"

#include <QAction>

using namespace brelvo;
using Kind = core::FakeDialogService::Kind;

class WiringTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyWiredCommandOpensItsWindow()
    {
        apptest::AppDb a;
        core::ScopedFakeDialogs fake;
        web::ScopedPageOpener pages;   // no browser starts
        app::TFormMenu menu(a.db);
        app::wireSubsystemWindows(menu);

        const QList<QPair<QString, QString>> commands = {
            {QStringLiteral("mnuCadastroClientes"), QStringLiteral("TFormCadastro")},
            {QStringLiteral("mnuCadastroFornecedores"), QStringLiteral("TF_Fornecedor")},
            {QStringLiteral("mnuCadastroFuncionarios"), QStringLiteral("TFormFuncionario")},
            {QStringLiteral("mnuCadastroFuncao"), QStringLiteral("TFormFuncao")},
            {QStringLiteral("mnuCadastrarProdutos"), QStringLiteral("TFormProdutos")},
            {QStringLiteral("mnuEntradaMercadorias"), QStringLiteral("TFormEntradaMercadorias")},
            {QStringLiteral("mnuMarcas"), QStringLiteral("TFormMarcas")},
            {QStringLiteral("mnuMedidas"), QStringLiteral("TFormMedidas")},
            {QStringLiteral("mnuCategoria"), QStringLiteral("TFormCategoria")},
            {QStringLiteral("mnuRecibo"), QStringLiteral("TForm1")},
            {QStringLiteral("mnuNotaPromissoria"), QStringLiteral("TForm1")},
            {QStringLiteral("mnuCadastroLubrificantes"), QStringLiteral("TF_Cad_Lub")},
            {QStringLiteral("mnuGoogleMaps"), QStringLiteral("TF_GoMaps")},
            {QStringLiteral("mnuRastreador"), QStringLiteral("TFormRastrear")},
            {QStringLiteral("mnuContasReceber"), QStringLiteral("Tfreceber")},
            {QStringLiteral("mnuContasPagar"), QStringLiteral("Tfpagar")},
            {QStringLiteral("mnuFluxoEntrada"), QStringLiteral("TFFluxo")},
            {QStringLiteral("mnuRelatoriosGerais"), QStringLiteral("TFormRelatorios")},
            {QStringLiteral("mnuComissaoMecanicos"), QStringLiteral("TFormRelatorios")},
            {QStringLiteral("mnuRelatoriosProdutos"), QStringLiteral("TFormRelatorios")},
        };
        for (const auto &[command, window] : commands) {
            auto *action = menu.findChild<QAction *>(command);
            QVERIFY2(action, qPrintable(command));
            QVERIFY2(action->isEnabled(), qPrintable(command));
            QVERIFY(action->toolTip() != QStringLiteral("Em desenvolvimento"));

            fake->clearCalls();
            QVERIFY(menu.runCommand(command));
            const auto execs = fake->callsOf(Kind::Exec);
            QVERIFY2(!execs.isEmpty(), qPrintable(command));
            QCOMPARE(execs.first().name, window);
            QVERIFY2(fake->callsOf(Kind::Error).isEmpty(), qPrintable(command));
        }
        // "Troca de Oleo" is a button of its own.
        auto *oleo = menu.findChild<QPushButton *>(QStringLiteral("btnTrocaOleo"));
        QVERIFY(oleo && oleo->isEnabled());
        fake->clearCalls();
        oleo->click();
        QCOMPARE(fake->callsOf(Kind::Exec).value(0).name, QStringLiteral("TF_consulta"));
        QVERIFY(fake->callsOf(Kind::Error).isEmpty());
        // "Fluxo de Caixa" opens the cash flow too.
        auto *fluxo = menu.findChild<QPushButton *>(QStringLiteral("btnFluxoCaixa"));
        QVERIFY(fluxo && fluxo->isEnabled());
        fake->clearCalls();
        fluxo->click();
        QCOMPARE(fake->callsOf(Kind::Exec).value(0).name, QStringLiteral("TFFluxo"));
        QVERIFY(fake->callsOf(Kind::Error).isEmpty());
        // The F2 button follows its menu entry.
        QVERIFY(menu.findChild<QPushButton *>(QStringLiteral("btnCadastroCliente"))->isEnabled());

        // The order window has a button of its own, maximised.
        auto *os = menu.findChild<QPushButton *>(QStringLiteral("btnOrdemServico"));
        QVERIFY(os && os->isEnabled());
        fake->clearCalls();
        bool maximised = false;
        fake->onDialog(QStringLiteral("TFormOrdem"), [&](QDialog *d) {
            maximised = d->windowState() & Qt::WindowMaximized;
            return 0;
        });
        QVERIFY(menu.runCommand(QStringLiteral("btnOrdemServico")));
        QCOMPARE(fake->callsOf(Kind::Exec).size(), 1);
        QCOMPARE(fake->callsOf(Kind::Exec).first().name, QStringLiteral("TFormOrdem"));
        QVERIFY(maximised);
        QVERIFY(fake->callsOf(Kind::Error).isEmpty());
    }

    // The reports window opens on the page of each entry; F4 and its button on the first.
    void reportEntriesOpenTheirPage()
    {
        apptest::AppDb a;
        core::ScopedFakeDialogs fake;
        app::TFormMenu menu(a.db);
        app::wireSubsystemWindows(menu);
        QList<int> pages;
        fake->onDialog(QStringLiteral("TFormRelatorios"), [&](QDialog *d) {
            pages << int(static_cast<reports::TFormRelatorios *>(d)->pagina());
            return 0;
        });
        QVERIFY(menu.runCommand(QStringLiteral("mnuRelatoriosGerais")));
        QVERIFY(menu.runCommand(QStringLiteral("mnuRelatoriosProdutos")));
        QVERIFY(menu.runCommand(QStringLiteral("mnuComissaoMecanicos")));
        auto *button = menu.findChild<QPushButton *>(QStringLiteral("btnRelatorios"));
        QVERIFY(button && button->isEnabled());
        button->click();
        QTest::keyClick(&menu, Qt::Key_F4);
        using F = reports::TFormRelatorios;
        QCOMPARE(pages, (QList<int>{F::PaginaGeral, F::PaginaProdutos, F::PaginaOrdens, F::PaginaGeral, F::PaginaGeral}));
        QVERIFY(fake->callsOf(Kind::Error).isEmpty());
    }
};

QTEST_MAIN(WiringTest)
#include "test_wiring.moc"
