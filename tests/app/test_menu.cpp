// The main menu: registry, permissions, keys, closing, outside programs and the logo panel.

#include "AppFixture.h"

#include "app/Launcher.h"
#include "core/AppPaths.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>

using namespace brelvo;

namespace {
const QString kNoPermission = QStringLiteral("Você não tem permissão de acesso a esse comando!");

bool shown(const QObject *c)
{
    if (auto *a = qobject_cast<const QAction *>(c))
        return a->isVisible();
    return !static_cast<const QWidget *>(c)->isHidden();
}

// Records what the launcher and the desktop opener were asked to start.
struct Recorder {
    QStringList started, opened;
    app::ProgramStarter oldStarter;
    app::DesktopOpener oldOpener;
    Recorder()
    {
        oldStarter = app::setProgramStarter([this](const QString &p) { started << p; return true; });
        oldOpener = app::setDesktopOpener([this](const QString &p) { opened << p; return true; });
    }
    ~Recorder()
    {
        app::setProgramStarter(oldStarter);
        app::setDesktopOpener(oldOpener);
    }
};

void login(app::TFormMenu &menu, core::FakeDialogService &fake, const QString &name, const QString &pass)
{
    apptest::scriptLogin(fake, name, pass);
    QVERIFY(menu.runLogin());
}
} // namespace

class MenuTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void unwiredEntriesAreDisabledUntilAHandlerArrives()
    {
        apptest::AppDb a;
        core::ScopedFakeDialogs fake;
        app::TFormMenu menu(a.db);
        auto *clientes = menu.findChild<QAction *>(QStringLiteral("mnuCadastroClientes"));
        auto *btn = menu.findChild<QPushButton *>(QStringLiteral("btnCadastroCliente"));
        QVERIFY(clientes && btn);
        QVERIFY(!clientes->isEnabled());
        QVERIFY(!btn->isEnabled());
        QCOMPARE(clientes->toolTip(), QStringLiteral("Em desenvolvimento"));
        QCOMPARE(btn->toolTip(), QStringLiteral("Em desenvolvimento"));
        // The menu's own entries work from the start.
        for (const char *own : {"mnuCadastroUsuarios", "mnuAlterarSenha", "mnuBackup", "mnuCadastroEmpresa",
                                "mnuDesconto", "mnuImpressora", "mnuLogoMarca", "mnuEditarFabricantes"})
            QVERIFY2(menu.findChild<QAction *>(QString::fromLatin1(own))->isEnabled(), own);
        QCOMPARE(menu.findChild<QAction *>(QStringLiteral("mnuMarcas"))->text(), QStringLiteral("&Marcas"));
        QCOMPARE(menu.windowTitle(), QStringLiteral("Menu Inicial"));
        QVERIFY(menu.panelText(3).startsWith(QStringLiteral("Versão 2019 - ")));

        int runs = 0;
        menu.setHandler(QStringLiteral("mnuCadastroClientes"), [&] { ++runs; });
        QVERIFY(clientes->isEnabled());
        QVERIFY(btn->isEnabled());
        QVERIFY(clientes->toolTip() != QStringLiteral("Em desenvolvimento"));
        clientes->trigger();
        btn->click();
        QTest::keyClick(&menu, Qt::Key_F2);
        QCOMPARE(runs, 3);
        // Hints of buttons come back once wired.
        menu.setHandler(QStringLiteral("btnOrdemServico"), [] {});
        QCOMPARE(menu.findChild<QPushButton *>(QStringLiteral("btnOrdemServico"))->toolTip(),
                 QStringLiteral("Abrir Form Ordem de Serviço!"));
    }

    void permissionsHideExactlyTheGovernedControls()
    {
        apptest::AppDb a;
        a.addUser(QStringLiteral("OPERADOR"), QStringLiteral("OPE"), QStringLiteral("ope"));
        // Withhold every odd field; field 05 is left null (grants).
        const QStringList fields = app::TFormMenu::permissionFields();
        QCOMPARE(fields.size(), 17);
        QVERIFY(!fields.contains(QStringLiteral("13")));
        for (const QString &f : fields)
            a.setPermission(f, f.toInt() % 2 == 0);
        a.setPermission(QStringLiteral("05"), QVariant());
        core::ScopedFakeDialogs fake;
        app::TFormMenu menu(a.db);
        int reports = 0, suppliers = 0;
        menu.setHandler(QStringLiteral("mnuRelatoriosGerais"), [&] { ++reports; });
        menu.setHandler(QStringLiteral("mnuCadastroFornecedores"), [&] { ++suppliers; });
        login(menu, fake.fake(), QStringLiteral("OPE"), QStringLiteral("ope"));
        for (const QString &f : fields) {
            const bool expected = f.toInt() % 2 == 0 || f == QLatin1String("05");
            QVERIFY2(shown(menu.governedControl(f)) == expected, qPrintable(f));
        }
        // Controls outside the table are untouched.
        QVERIFY(shown(menu.findChild<QPushButton *>(QStringLiteral("btnSair"))));
        QVERIFY(shown(menu.findChild<QMenu *>(QStringLiteral("mnuCadastros"))->menuAction()));
        QVERIFY(shown(menu.findChild<QAction *>(QStringLiteral("mnuCadastroClientes"))));
        // 01 withheld: F4 tells, opens nothing. 02 granted: F5 opens.
        QTest::keyClick(&menu, Qt::Key_F4);
        QCOMPARE(fake->messages(), QStringList{kNoPermission});
        QCOMPARE(reports, 0);
        QTest::keyClick(&menu, Qt::Key_F5);
        QCOMPARE(suppliers, 1);
        QCOMPARE(fake->messages().size(), 1);

        // Logoff to the administrator: everything comes back.
        login(menu, fake.fake(), QStringLiteral("KOV"), QStringLiteral("kov"));
        for (const QString &f : fields)
            QVERIFY2(shown(menu.governedControl(f)), qPrintable(f));
        QTest::keyClick(&menu, Qt::Key_F4);
        QCOMPARE(reports, 1);
    }

    void permissionPanelSaveTestThenLeave()
    {
        apptest::AppDb a;
        core::ScopedFakeDialogs fake;
        app::TFormMenu menu(a.db);
        login(menu, fake.fake(), QStringLiteral("KOV"), QStringLiteral("kov"));
        menu.findChild<QAction *>(QStringLiteral("mnuPermissaoAcesso"))->trigger();
        auto *panel = menu.findChild<QFrame *>(QStringLiteral("PanelPermissao"));
        QVERIFY(!panel->isHidden());
        QVERIFY(menu.findChild<QLabel *>(QStringLiteral("Image1"))->isHidden());
        auto *chk02 = menu.findChild<QCheckBox *>(QStringLiteral("chk02"));
        QCOMPARE(chk02->text(), QStringLiteral("Botão Fornecedores"));
        QVERIFY(chk02->isChecked());   // null grants
        chk02->click();
        menu.findChild<QCheckBox *>(QStringLiteral("chk16"))->click();
        menu.findChild<QPushButton *>(QStringLiteral("btnSalvarPermissao"))->click();
        // The administrator now sees what an ordinary user will see.
        QVERIFY(!shown(menu.governedControl(QStringLiteral("02"))));
        QVERIFY(!shown(menu.governedControl(QStringLiteral("16"))));
        QVERIFY(shown(menu.governedControl(QStringLiteral("01"))));
        QTest::keyClick(&menu, Qt::Key_F5);
        QCOMPARE(fake->messages(), QStringList{kNoPermission});
        // Stored for good.
        data::Table t(a.db, QStringLiteral("Checkbox.db"));
        t.open();
        t.first();
        QCOMPARE(t.isNull(QStringLiteral("02")), false);
        QCOMPARE(t.asBool(QStringLiteral("02")), false);
        QVERIFY(t.isNull(QStringLiteral("01")));

        menu.findChild<QPushButton *>(QStringLiteral("btnSairPermissao"))->click();
        QVERIFY(panel->isHidden());
        QVERIFY(!menu.findChild<QLabel *>(QStringLiteral("Image1"))->isHidden());
        QVERIFY(shown(menu.governedControl(QStringLiteral("02"))));
        QVERIFY(shown(menu.governedControl(QStringLiteral("16"))));
    }

    void pointOfSaleNeedsAProduct()
    {
        apptest::AppDb a;
        core::ScopedFakeDialogs fake;
        app::TFormMenu menu(a.db);
        int sales = 0;
        menu.setHandler(QStringLiteral("frenteCaixa"), [&] { ++sales; });
        QTest::keyClick(&menu, Qt::Key_F3);
        QCOMPARE(fake->messages(), QStringList{QStringLiteral("Cadastre pelo menos um Produto para venda!")});
        QCOMPARE(sales, 0);
        // The menu item "Caixa (F3)" makes the same check before the till.
        auto *caixa = menu.findChild<QAction *>(QStringLiteral("mnuFrenteCaixa"));
        QVERIFY(caixa && caixa->isEnabled());
        caixa->trigger();
        QCOMPARE(fake->messages().size(), 2);
        QCOMPARE(sales, 0);
        fake->clearCalls();
        data::Table p(a.db, QStringLiteral("tbProdutos.db"));
        p.open();
        p.append();
        p.setValue(QStringLiteral("Codigo"), 7891234567895LL);
        p.setValue(QStringLiteral("Descricao"), QStringLiteral("FILTRO DE OLEO"));
        p.post();
        QTest::keyClick(&menu, Qt::Key_F3);
        QCOMPARE(sales, 1);
        caixa->trigger();
        QCOMPARE(sales, 2);
        QVERIFY(fake->messages().isEmpty());
    }

    void closingAsAdministratorAndAsOrdinaryUser()
    {
        apptest::AppDb a;
        a.addUser(QStringLiteral("OPE"), QStringLiteral("OPE"), QStringLiteral("ope"));
        QTemporaryDir progDir;
        for (const char *name : {"Back-Up", "Atualizar"}) {
            QFile f(QDir(progDir.path()).filePath(QString::fromLatin1(name)));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("#!/bin/sh\n");
            f.close();
            f.setPermissions(f.permissions() | QFile::ExeOwner);
        }
        Recorder rec;
        {
            // Administrator, No: the program still ends; nothing started.
            core::ScopedFakeDialogs fake;
            app::TFormMenu menu(a.db);
            menu.setProgramDir(progDir.path());
            QSignalSpy ends(&menu, &app::TFormMenu::programEnd);
            login(menu, fake.fake(), QStringLiteral("KOV"), QStringLiteral("kov"));
            fake->answerQuestion(core::Answer::No);
            QCloseEvent ev;
            QApplication::sendEvent(&menu, &ev);
            QVERIFY(ev.isAccepted());
            QCOMPARE(ends.count(), 1);
            QCOMPARE(fake->messages(), QStringList{QStringLiteral("Deseja Fazer Backup da Base de Dados?")});
            QCOMPARE(fake->callsOf(core::FakeDialogService::Kind::Question).first().title, QStringLiteral("Back-Up"));
            QVERIFY(rec.started.isEmpty());
        }
        {
            // "Backu-Up" answered Yes: ends and starts the tool beside the program.
            core::ScopedFakeDialogs fake;
            app::TFormMenu menu(a.db);
            menu.setProgramDir(progDir.path());
            QSignalSpy ends(&menu, &app::TFormMenu::programEnd);
            login(menu, fake.fake(), QStringLiteral("KOV"), QStringLiteral("kov"));
            fake->answerQuestion(core::Answer::Yes);
            menu.findChild<QAction *>(QStringLiteral("mnuBackup"))->trigger();
            QCOMPARE(ends.count(), 1);
            QCOMPARE(rec.started, QStringList{QDir(progDir.path()).filePath(QStringLiteral("Back-Up"))});
        }
        {
            // Ordinary user: No stays in the menu, Yes ends.
            core::ScopedFakeDialogs fake;
            app::TFormMenu menu(a.db);
            QSignalSpy ends(&menu, &app::TFormMenu::programEnd);
            login(menu, fake.fake(), QStringLiteral("OPE"), QStringLiteral("ope"));
            fake->answerQuestion(core::Answer::No);
            QCloseEvent no;
            QApplication::sendEvent(&menu, &no);
            QVERIFY(!no.isAccepted());
            QCOMPARE(ends.count(), 0);
            QCOMPARE(fake->messages(), QStringList{QStringLiteral("Deseja realmente sair do Programa?")});
            // F7 closes the window the same way.
            fake->answerQuestion(core::Answer::Yes);
            menu.show();
            QTest::keyClick(&menu, Qt::Key_F7);
            QCOMPARE(ends.count(), 1);
            QVERIFY(menu.isHidden());
            QCOMPARE(fake->messages().size(), 2);
        }
    }

    void outsideProgramsAndMakersFile()
    {
        apptest::AppDb a;
        QTemporaryDir progDir;
        QFile f(QDir(progDir.path()).filePath(QStringLiteral("Atualizar")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        f.setPermissions(f.permissions() | QFile::ExeOwner);
        Recorder rec;
        core::ScopedFakeDialogs fake;
        app::TFormMenu menu(a.db);
        menu.setProgramDir(progDir.path());
        menu.findChild<QAction *>(QStringLiteral("mnuAtualizacoes"))->trigger();
        menu.findChild<QAction *>(QStringLiteral("mnuCalculoConsumo"))->trigger();   // missing: silent
        QCOMPARE(rec.started, QStringList{f.fileName()});
        // The maker list is one of the program's files, not an executable's neighbour.
        QTemporaryDir filesDir;
        core::setProgramFolder(filesDir.path());
        menu.findChild<QAction *>(QStringLiteral("mnuEditarFabricantes"))->trigger();
        core::setProgramFolder(QString());
        QCOMPARE(rec.opened, QStringList{QDir(filesDir.path()).filePath(QStringLiteral("fabricantes.txt"))});
        QVERIFY(fake->calls().isEmpty());
        QVERIFY(!menu.ending());
    }

    void logoPanel()
    {
        apptest::AppDb a;
        QTemporaryDir pics;
        const QString good = QDir(pics.path()).filePath(QStringLiteral("logo.png"));
        QImage img(40, 20, QImage::Format_RGB32);
        img.fill(Qt::red);
        QVERIFY(img.save(good));
        const QString bad = QDir(pics.path()).filePath(QStringLiteral("ruim.png"));
        QFile b(bad);
        QVERIFY(b.open(QIODevice::WriteOnly));
        b.write("not a picture");
        b.close();

        core::ScopedFakeDialogs fake;
        app::TFormMenu menu(a.db);
        auto *panel = menu.findChild<QFrame *>(QStringLiteral("PanelLogo"));
        auto *path = menu.findChild<QLineEdit *>(QStringLiteral("edtLogoCaminho"));
        auto click = [&](const char *name) { menu.findChild<QPushButton *>(QString::fromLatin1(name))->click(); };
        menu.findChild<QAction *>(QStringLiteral("mnuLogoMarca"))->trigger();
        QVERIFY(!panel->isHidden());

        click("btnSalvarFecharLogo");
        QCOMPARE(fake->messages(), QStringList{QStringLiteral("Não esta em modo de edição!")});
        QVERIFY(!panel->isHidden());

        // An unreadable picture is told and changes nothing.
        fake->clearCalls();
        fake->answerFile(bad);
        click("btnAlterarLogo");
        QCOMPARE(fake->count(core::FakeDialogService::Kind::Error), 1);
        QCOMPARE(path->text(), QString());
        QVERIFY(!menu.logoShown());

        fake->clearCalls();
        fake->answerFile(good);
        click("btnAlterarLogo");
        QVERIFY(menu.logoShown());
        QCOMPARE(path->text(), good);
        click("btnFecharLogo");
        QCOMPARE(fake->messages(), QStringList{QStringLiteral("Salve para sair!  clique em salvar e fechar")});
        QVERIFY(!panel->isHidden());
        click("btnSalvarFecharLogo");
        QVERIFY(panel->isHidden());
        data::Table t(a.db, QStringLiteral("logo.db"));
        t.open();
        t.first();
        QCOMPARE(t.asString(QStringLiteral("LogoCaminho")), good);

        // A new start shows the stored logo after the login.
        {
            core::ScopedFakeDialogs fake2;
            app::TFormMenu again(a.db);
            apptest::scriptLogin(fake2.fake(), QStringLiteral("KOV"), QStringLiteral("kov"));
            again.FormActivate();
            QVERIFY(again.logoShown());
            QVERIFY(fake2->messages().isEmpty());
        }

        // "Deixar Padrão": path emptied, picture kept until the next start.
        fake->clearCalls();
        menu.findChild<QAction *>(QStringLiteral("mnuLogoMarca"))->trigger();
        click("btnDeixarPadrao");
        QVERIFY(panel->isHidden());
        QCOMPARE(fake->messages(), QStringList{QStringLiteral("Reinicie o programa para validar o comando!")});
        QVERIFY(menu.logoShown());
        t.refresh();
        t.first();
        QVERIFY(t.asString(QStringLiteral("LogoCaminho")).isEmpty());

        // Empty path: the designed picture stays; a missing file is told.
        {
            core::ScopedFakeDialogs fake3;
            app::TFormMenu again(a.db);
            apptest::scriptLogin(fake3.fake(), QStringLiteral("KOV"), QStringLiteral("kov"));
            again.FormActivate();
            QVERIFY(!again.logoShown());
            QVERIFY(fake3->messages().isEmpty());
        }
        t.edit();
        t.setValue(QStringLiteral("LogoCaminho"), QDir(pics.path()).filePath(QStringLiteral("sumiu.jpg")));
        t.post();
        {
            core::ScopedFakeDialogs fake4;
            app::TFormMenu again(a.db);
            apptest::scriptLogin(fake4.fake(), QStringLiteral("KOV"), QStringLiteral("kov"));
            again.FormActivate();
            QVERIFY(!again.logoShown());
            QCOMPARE(fake4->count(core::FakeDialogService::Kind::Error), 1);
        }
    }
};

QTEST_MAIN(MenuTest)
#include "test_menu.moc"
