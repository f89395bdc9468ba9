// The login dialog, the users window and the password change.

#include "AppFixture.h"

#include "app/Users.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QSignalSpy>

using namespace brelvo;

namespace {
const QString kInvalid = QStringLiteral("Nome ou senha do usuário inválidos.\n\nSe você esqueceu sua senha, "
                                        "consulte\no administrador do sistema.");
const QString kBlocked = QStringLiteral("Você foi Bloqueado!\nConsulte o administrador do sistema.");

// Presses OK in the login dialog with the boxes set as given.
void pressOk(app::TFLogin *d, const QString &name, const QString &pass)
{
    d->findChild<QComboBox *>(QStringLiteral("ValorNome"))->setEditText(name);
    d->findChild<QLineEdit *>(QStringLiteral("ValorSenha"))->setText(pass);
    d->findChild<QPushButton *>(QStringLiteral("Button1"))->click();
}

data::Table *openUsers(const data::DatabasePtr &db, QObject *parent)
{
    auto *t = new data::Table(db, QStringLiteral("USUARIOS.DB"), parent);
    t->open();
    return t;
}
} // namespace

class LoginTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void successfulLoginLeavesUserBehind()
    {
        apptest::AppDb a;
        core::ScopedFakeDialogs fake;
        app::TFormMenu menu(a.db);
        apptest::scriptLogin(fake.fake(), QStringLiteral("KOV"), QStringLiteral("kov"));
        QVERIFY(menu.runLogin());
        QCOMPARE(menu.labAcesso(), QStringLiteral("S"));
        QCOMPARE(menu.panelText(4), QStringLiteral("Usuário: KOV"));
        QCOMPARE(menu.findChild<QAction *>(QStringLiteral("mnuLogoff"))->text(), QStringLiteral("Logoff de: KOV"));
        QCOMPARE(menu.loginDialog()->loginName(), QStringLiteral("KOV"));
        QCOMPARE(menu.qLogin()->asString(QStringLiteral("NOME")), QStringLiteral("KOV"));
        QVERIFY(fake->messages().isEmpty());
    }

    void wrongPasswordCaseAndEmptyBoxes()
    {
        apptest::AppDb a;
        a.addUser(QStringLiteral("JOAO SILVA"), QStringLiteral("JOAO"), QStringLiteral("abc"));
        core::ScopedFakeDialogs fake;
        app::TFormMenu menu(a.db);
        app::TFLogin *d = menu.loginDialog();
        d->prepare();
        auto *senha = d->findChild<QLineEdit *>(QStringLiteral("ValorSenha"));

        pressOk(d, QStringLiteral("JOAO"), QStringLiteral("abd"));
        QCOMPARE(fake->messages(), QStringList{kInvalid});
        QCOMPARE(fake->calls().first().title, QStringLiteral("Login não autorizado"));
        QCOMPARE(senha->text(), QString());
        QVERIFY(!d->succeeded());

        // Exact comparison: the boxes force the case, so rows stored in
        // another case (older data) never match; trailing characters count.
        a.addUser(QStringLiteral("PEDRO"), QStringLiteral("pedro"), QStringLiteral("p1"));
        a.addUser(QStringLiteral("ANA"), QStringLiteral("ANA"), QStringLiteral("Abc"));
        for (const auto &[n, p] : {std::pair{QStringLiteral("PEDRO"), QStringLiteral("p1")},
                                   std::pair{QStringLiteral("ANA"), QStringLiteral("abc")},
                                   std::pair{QStringLiteral("JOAO "), QStringLiteral("abc")},
                                   std::pair{QStringLiteral("JOAO"), QStringLiteral("abc ")}}) {
            fake->clearCalls();
            pressOk(d, n, p);
            QVERIFY2(fake->messages() == QStringList{kInvalid}, qPrintable(n + u'/' + p));
            QVERIFY(!d->succeeded());
        }

        // An empty box: OK does nothing at all.
        fake->clearCalls();
        pressOk(d, QStringLiteral("JOAO"), QString());
        pressOk(d, QString(), QStringLiteral("abc"));
        QVERIFY(fake->calls().isEmpty());
        QVERIFY(!d->succeeded());

        // Typed through the keyboard the boxes force the case, so "AbC" logs in.
        auto *nome = d->findChild<QComboBox *>(QStringLiteral("ValorNome"));
        nome->setEditText(QString());
        senha->clear();
        QTest::keyClicks(nome->lineEdit(), QStringLiteral("joao"));
        QTest::keyClicks(senha, QStringLiteral("AbC"));
        QCOMPARE(nome->currentText(), QStringLiteral("JOAO"));
        QCOMPARE(senha->text(), QStringLiteral("abc"));
        d->findChild<QPushButton *>(QStringLiteral("Button1"))->click();
        QVERIFY(d->succeeded());
        QCOMPARE(menu.labAcesso(), QStringLiteral("N"));
        QCOMPARE(menu.panelText(4), QStringLiteral("Usuário: JOAO SILVA"));
    }

    void blockedAndDuplicateUsers()
    {
        apptest::AppDb a;
        a.addUser(QStringLiteral("BLOQ"), QStringLiteral("BLOQ"), QStringLiteral("b1"), QStringLiteral("N"));
        a.addUser(QStringLiteral("DUP 1"), QStringLiteral("DUP"), QStringLiteral("same"));
        a.addUser(QStringLiteral("DUP 2"), QStringLiteral("DUP"), QStringLiteral("same"));
        a.addUser(QStringLiteral("TWIN 1"), QStringLiteral("TWIN"), QStringLiteral("one"));
        a.addUser(QStringLiteral("TWIN 2"), QStringLiteral("TWIN"), QStringLiteral("two"));
        core::ScopedFakeDialogs fake;
        app::TFormMenu menu(a.db);
        app::TFLogin *d = menu.loginDialog();
        d->prepare();
        auto *senha = d->findChild<QLineEdit *>(QStringLiteral("ValorSenha"));

        pressOk(d, QStringLiteral("BLOQ"), QStringLiteral("b1"));
        QCOMPARE(fake->messages(), QStringList{kBlocked});
        QCOMPARE(senha->text(), QStringLiteral("b1"));   // boxes stay as typed
        // The wrong password of a blocked user is just invalid.
        fake->clearCalls();
        pressOk(d, QStringLiteral("BLOQ"), QStringLiteral("b2"));
        QCOMPARE(fake->messages(), QStringList{kInvalid});

        fake->clearCalls();
        pressOk(d, QStringLiteral("DUP"), QStringLiteral("same"));
        QCOMPARE(fake->messages(), QStringList{kInvalid});
        QVERIFY(!d->succeeded());

        // Same login, different passwords: each password finds its own row.
        fake->clearCalls();
        pressOk(d, QStringLiteral("TWIN"), QStringLiteral("two"));
        QVERIFY(d->succeeded());
        QCOMPARE(menu.loggedUser().nome, QStringLiteral("TWIN 2"));
    }

    void enterWalksNamePasswordOk()
    {
        apptest::AppDb a;
        core::ScopedFakeDialogs fake;
        app::TFormMenu menu(a.db);
        app::TFLogin *d = menu.loginDialog();
        d->prepare();
        d->show();
        QVERIFY(QTest::qWaitForWindowExposed(d));
        d->activateWindow();
        auto *nome = d->findChild<QComboBox *>(QStringLiteral("ValorNome"));
        auto *senha = d->findChild<QLineEdit *>(QStringLiteral("ValorSenha"));
        auto *ok = d->findChild<QPushButton *>(QStringLiteral("Button1"));
        nome->setFocus();
        QTest::keyClicks(nome->lineEdit(), QStringLiteral("kov"));
        QTest::keyClick(nome->lineEdit(), Qt::Key_Return);
        QVERIFY(senha->hasFocus());
        QVERIFY(!d->succeeded());
        QTest::keyClicks(senha, QStringLiteral("KOV"));
        QTest::keyClick(senha, Qt::Key_Return);
        QVERIFY(ok->hasFocus());
        QVERIFY(!d->succeeded());
        QTest::keyClick(ok, Qt::Key_Return);
        QVERIFY(d->succeeded());
        QCOMPARE(menu.labAcesso(), QStringLiteral("S"));
    }

    void dialogLeavesOnlyBySuccessOrCancel()
    {
        apptest::AppDb a;
        core::ScopedFakeDialogs fake;
        app::TFormMenu menu(a.db);
        QSignalSpy ends(&menu, &app::TFormMenu::programEnd);
        app::TFLogin *d = menu.loginDialog();
        d->prepare();
        QCloseEvent ev;
        QApplication::sendEvent(d, &ev);
        QVERIFY(!ev.isAccepted());

        // Names fill the drop-down once, in table order.
        a.addUser(QStringLiteral("B"), QStringLiteral("BETA"), QStringLiteral("b"));
        d->fillNames();
        d->fillNames();
        auto *nome = d->findChild<QComboBox *>(QStringLiteral("ValorNome"));
        QCOMPARE(nome->count(), 2);
        QCOMPARE(nome->itemText(0), QStringLiteral("KOV"));
        QCOMPARE(nome->itemText(1), QStringLiteral("BETA"));

        // After a logoff, Cancelar ends the program instead of going back.
        apptest::scriptLogin(fake.fake(), QStringLiteral("KOV"), QStringLiteral("kov"));
        QVERIFY(menu.runLogin());
        QString boxOnShow = QStringLiteral("?");
        fake->onDialog(QStringLiteral("FLogin"), [&boxOnShow](QDialog *dlg) {
            boxOnShow = dlg->findChild<QLineEdit *>(QStringLiteral("ValorSenha"))->text();
            dlg->findChild<QPushButton *>(QStringLiteral("Button2"))->click();
            return dlg->result();
        });
        menu.logoff();
        QCOMPARE(boxOnShow, QString());
        QCOMPARE(menu.loggedUser().login, QStringLiteral("KOV"));
        QCOMPARE(ends.count(), 1);
        QVERIFY(menu.ending());
    }

    void usersWindowProtectsBuiltInAdministrator()
    {
        apptest::AppDb a;
        core::ScopedFakeDialogs fake;
        app::TFUsuarios w(a.db);
        QVERIFY(w.isReady());
        auto *login = w.findChild<QLineEdit *>(QStringLiteral("DBEditLOGIN"));
        auto *excluir = w.findChild<QPushButton *>(QStringLiteral("btnExcluir"));
        auto *bloq = w.findChild<QCheckBox *>(QStringLiteral("DBCheckBoxSTATUS"));
        auto *admin = w.findChild<QGroupBox *>(QStringLiteral("DBRadioGroupADMIN"));
        auto *aviso = w.findChild<QLabel *>(QStringLiteral("LabelAdminPadrao"));
        auto *gravar = w.findChild<QPushButton *>(QStringLiteral("btnGravar"));
        QCOMPARE(login->text(), QStringLiteral("KOV"));
        QVERIFY(!login->isEnabled());
        QVERIFY(!excluir->isEnabled());
        QVERIFY(bloq->isHidden());
        QVERIFY(admin->isHidden());
        QVERIFY(!aviso->isHidden());
        QVERIFY(!gravar->isEnabled());

        // Its name and password may change; it stays active and administrator.
        auto *nome = w.findChild<QLineEdit *>(QStringLiteral("DBEditNOME"));
        nome->selectAll();
        QTest::keyClicks(nome, QStringLiteral("dono"));
        QVERIFY(gravar->isEnabled());
        QCOMPARE(w.findChild<QLineEdit *>(QStringLiteral("DBEditDT_ALT"))->text(),
                 QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")));
        QTest::keyClicks(w.findChild<QLineEdit *>(QStringLiteral("DBEditSENHA")), QStringLiteral("Nova"));
        gravar->click();
        QVERIFY(!gravar->isEnabled());
        std::unique_ptr<data::Table> t(openUsers(a.db, nullptr));
        t->first();
        QCOMPARE(t->asString(QStringLiteral("NOME")), QStringLiteral("DONO"));
        QCOMPARE(t->asString(QStringLiteral("ADMIN")), QStringLiteral("S"));
        QCOMPARE(t->asString(QStringLiteral("STATUS")), QStringLiteral("S"));
        QCOMPARE(t->asString(QStringLiteral("SENHA")), QString());
        QVERIFY(app::verifyPassword(app::storedUserHash(a.db, t->asInteger(QStringLiteral("ID"))),
                                    QStringLiteral("nova")));
        // Excluir on it does nothing, not even a question.
        w.btnExcluirClick();
        QCOMPARE(t->recordCount(), 1);
        QVERIFY(fake->calls().isEmpty());
    }

    void usersWindowCreatesBlocksAndDeletes()
    {
        apptest::AppDb a;
        core::ScopedFakeDialogs fake;
        app::TFUsuarios w(a.db);
        w.findChild<QPushButton *>(QStringLiteral("btnNovo"))->click();
        QTest::keyClicks(w.findChild<QLineEdit *>(QStringLiteral("DBEditNOME")), QStringLiteral("maria souza"));
        QTest::keyClicks(w.findChild<QLineEdit *>(QStringLiteral("DBEditLOGIN")), QStringLiteral("maria"));
        QTest::keyClicks(w.findChild<QLineEdit *>(QStringLiteral("DBEditSENHA")), QStringLiteral("M123"));
        QVERIFY(w.findChild<QRadioButton *>(QStringLiteral("rbAdminNao"))->isChecked());
        w.findChild<QPushButton *>(QStringLiteral("btnGravar"))->click();

        std::unique_ptr<data::Table> t(openUsers(a.db, nullptr));
        QVERIFY(t->locate(QStringLiteral("LOGIN"), {QStringLiteral("MARIA")}));
        QCOMPARE(t->asString(QStringLiteral("NOME")), QStringLiteral("MARIA SOUZA"));
        QCOMPARE(t->asString(QStringLiteral("ADMIN")), QStringLiteral("N"));
        QCOMPARE(t->asString(QStringLiteral("STATUS")), QStringLiteral("S"));
        QCOMPARE(t->asDate(QStringLiteral("DT_INC")), QDate::currentDate());
        const qint64 id = t->asInteger(QStringLiteral("ID"));
        QVERIFY(app::verifyPassword(app::storedUserHash(a.db, id), QStringLiteral("m123")));
        QVERIFY(!w.findChild<QLabel *>(QStringLiteral("LabelAdminPadrao"))->isVisibleTo(&w));

        // Blocking: checked "Bloqueado" stores "N"; the login then reports the block.
        w.findChild<QCheckBox *>(QStringLiteral("DBCheckBoxSTATUS"))->click();
        w.findChild<QPushButton *>(QStringLiteral("btnGravar"))->click();
        t->refresh();
        QVERIFY(t->locate(QStringLiteral("LOGIN"), {QStringLiteral("MARIA")}));
        QCOMPARE(t->asString(QStringLiteral("STATUS")), QStringLiteral("N"));
        app::TFormMenu menu(a.db);
        menu.loginDialog()->prepare();
        pressOk(menu.loginDialog(), QStringLiteral("MARIA"), QStringLiteral("m123"));
        QCOMPARE(fake->messages(), QStringList{kBlocked});

        // Excluir asks first; No keeps the row, Yes deletes it.
        fake->clearCalls();
        fake->answerQuestion(core::Answer::No);
        w.btnExcluirClick();
        QCOMPARE(fake->calls().first().title, QStringLiteral("Exclusão"));
        QCOMPARE(fake->calls().first().text, QStringLiteral("DESEJA EXCLUIR ESTE REGISTRO?"));
        t->refresh();
        QCOMPARE(t->recordCount(), 2);
        fake->answerQuestion(core::Answer::Yes);
        w.btnExcluirClick();
        t->refresh();
        QCOMPARE(t->recordCount(), 1);
        QVERIFY(fake->clean());
    }

    void duplicateOrEmptyLoginRefused_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::newRow("built-in login") << "kov" << "Já existe um usuário com o login \"KOV\".";
        QTest::newRow("other case") << "maria" << "Já existe um usuário com o login \"MARIA\".";
        QTest::newRow("blank") << "   " << "Informe o login do usuário.";
        QTest::newRow("new") << "jose" << "";
    }

    void duplicateOrEmptyLoginRefused()
    {
        QFETCH(QString, typed);
        QFETCH(QString, message);
        apptest::AppDb a;
        core::ScopedFakeDialogs fake;
        {
            // A login stored in another letter case by an older version.
            a.db->addPassword(QStringLiteral("8642"));
            data::Table t(a.db, QStringLiteral("USUARIOS.DB"));
            t.open();
            t.append();
            t.setValue(QStringLiteral("NOME"), QStringLiteral("MARIA"));
            t.setValue(QStringLiteral("LOGIN"), QStringLiteral("Maria"));
            t.post();
        }
        app::TFUsuarios w(a.db);
        const int before = w.table()->recordCount();
        w.btnNovoClick();
        QTest::keyClicks(w.findChild<QLineEdit *>(QStringLiteral("DBEditNOME")), QStringLiteral("novo"));
        QTest::keyClicks(w.findChild<QLineEdit *>(QStringLiteral("DBEditLOGIN")), typed);
        w.btnGravarClick();
        if (message.isEmpty()) {
            QVERIFY(fake->calls().isEmpty());
            QCOMPARE(w.table()->state(), data::Dataset::State::Browse);
            QCOMPARE(w.table()->recordCount(), before + 1);
            return;
        }
        QCOMPARE(fake->messages(), QStringList{message});
        // Nothing stored; the row stays as typed for the operator to mend.
        QCOMPARE(w.table()->state(), data::Dataset::State::Insert);
        data::Table t(a.db, QStringLiteral("USUARIOS.DB"));
        t.open();
        QCOMPARE(t.recordCount(), before);
    }

    void passwordChange()
    {
        apptest::AppDb a;
        const qint64 id = a.addUser(QStringLiteral("ANA"), QStringLiteral("ANA"), QStringLiteral("velha"));
        core::ScopedFakeDialogs fake;
        auto run = [&](const QString &atual, const QString &nova, const QString &repetir) {
            app::TFAlteraSenha w(a.db, QStringLiteral("ANA"));
            w.findChild<QLineEdit *>(QStringLiteral("edtSenhaAtual"))->setText(atual);
            w.findChild<QLineEdit *>(QStringLiteral("edtNovaSenha"))->setText(nova);
            w.findChild<QLineEdit *>(QStringLiteral("edtRepetirSenha"))->setText(repetir);
            w.btnOKClick();
            return w.result();
        };
        QCOMPARE(run(QStringLiteral("errada"), QStringLiteral("n1"), QStringLiteral("n1")), int(QDialog::Rejected));
        QCOMPARE(fake->messages(), QStringList{QStringLiteral("Senha Atual Incorreta")});
        fake->clearCalls();
        QCOMPARE(run(QStringLiteral("velha"), QStringLiteral("n1"), QStringLiteral("n2")), int(QDialog::Rejected));
        QCOMPARE(fake->messages(), QStringList{QStringLiteral("A Nova Senha não confere com Repetir Nova Senha!")});
        QVERIFY(app::verifyPassword(app::storedUserHash(a.db, id), QStringLiteral("velha")));
        fake->clearCalls();
        QCOMPARE(run(QStringLiteral("velha"), QStringLiteral("nova1"), QStringLiteral("nova1")), int(QDialog::Accepted));
        QCOMPARE(fake->messages(), QStringList{QStringLiteral("Senha Alterada com Sucesso!")});
        QCOMPARE(fake->calls().first().title, QStringLiteral("Confiração"));
        QVERIFY(app::verifyPassword(app::storedUserHash(a.db, id), QStringLiteral("nova1")));
        QVERIFY(!app::verifyPassword(app::storedUserHash(a.db, id), QStringLiteral("velha")));
        // DT_ALT is not touched by this window.
        std::unique_ptr<data::Table> t(openUsers(a.db, nullptr));
        QVERIFY(t->locate(QStringLiteral("LOGIN"), {QStringLiteral("ANA")}));
        QVERIFY(t->isNull(QStringLiteral("DT_ALT")));
        // A quote in the login name is only a character of the filter value.
        app::TFAlteraSenha odd(a.db, QStringLiteral("O'BRIEN"));
        odd.findChild<QLineEdit *>(QStringLiteral("edtSenhaAtual"))->setText(QStringLiteral("x"));
        fake->clearCalls();
        odd.btnOKClick();
        QCOMPARE(fake->messages(), QStringList{QStringLiteral("Senha Atual Incorreta")});
    }

    void passwordChangeMatchesTheLoginExactly()
    {
        apptest::AppDb a;
        QVERIFY(app::verifyPassword(app::storedUserHash(a.db, 1), QStringLiteral("kov")));
        const qint64 id = a.addUser(QStringLiteral("KARLA"), QStringLiteral("K*"), QStringLiteral("minha"));
        core::ScopedFakeDialogs fake;
        auto run = [&](const QString &atual) {
            app::TFAlteraSenha w(a.db, QStringLiteral("K*"));
            w.findChild<QLineEdit *>(QStringLiteral("edtSenhaAtual"))->setText(atual);
            w.findChild<QLineEdit *>(QStringLiteral("edtNovaSenha"))->setText(QStringLiteral("trocada"));
            w.findChild<QLineEdit *>(QStringLiteral("edtRepetirSenha"))->setText(QStringLiteral("trocada"));
            w.btnOKClick();
            return w.result();
        };
        // "K*" is no pattern: the administrator's password does not open it.
        QCOMPARE(run(QStringLiteral("kov")), int(QDialog::Rejected));
        QCOMPARE(fake->messages(), QStringList{QStringLiteral("Senha Atual Incorreta")});
        QVERIFY(app::verifyPassword(app::storedUserHash(a.db, 1), QStringLiteral("kov")));
        fake->clearCalls();
        QCOMPARE(run(QStringLiteral("minha")), int(QDialog::Accepted));
        QVERIFY(app::verifyPassword(app::storedUserHash(a.db, id), QStringLiteral("trocada")));
        QVERIFY(app::verifyPassword(app::storedUserHash(a.db, 1), QStringLiteral("kov")));
    }

    void closingUsersWindowsAsks()
    {
        apptest::AppDb a;
        a.addUser(QStringLiteral("ANA"), QStringLiteral("ANA"), QStringLiteral("velha"));
        core::ScopedFakeDialogs fake;
        {
            app::TFUsuarios w(a.db);
            w.btnNovoClick();
            QTest::keyClicks(w.findChild<QLineEdit *>(QStringLiteral("DBEditLOGIN")), QStringLiteral("bia"));
            fake->answerQuestion(core::Answer::Cancel);
            QTest::keyClick(&w, Qt::Key_Escape);
            QCOMPARE(w.table()->state(), data::Dataset::State::Insert);
            fake->answerQuestion(core::Answer::Yes);
            w.btnSairClick();
            QCOMPARE(w.result(), int(QDialog::Accepted));
        }
        std::unique_ptr<data::Table> t(openUsers(a.db, nullptr));
        QVERIFY(t->locate(QStringLiteral("LOGIN"), {QStringLiteral("BIA")}));
        {
            // The password window: what was typed is not dropped without a word.
            app::TFAlteraSenha w(a.db, QStringLiteral("ANA"));
            w.findChild<QLineEdit *>(QStringLiteral("edtSenhaAtual"))->setText(QStringLiteral("velha"));
            w.findChild<QLineEdit *>(QStringLiteral("edtNovaSenha"))->setText(QStringLiteral("n1"));
            w.findChild<QLineEdit *>(QStringLiteral("edtRepetirSenha"))->setText(QStringLiteral("n1"));
            fake->answerQuestion(core::Answer::Cancel);
            w.reject();
            QCOMPARE(w.findChild<QLineEdit *>(QStringLiteral("edtNovaSenha"))->text(), QStringLiteral("n1"));
            // "&Cancelar" leaves without asking.
            w.findChild<QPushButton *>(QStringLiteral("btnCancelar"))->click();
            QCOMPARE(w.result(), int(QDialog::Rejected));
        }
        QCOMPARE(fake->count(core::FakeDialogService::Kind::Question), 3);
        QVERIFY(fake->clean());
    }
};

QTEST_MAIN(LoginTest)
#include "test_login.moc"
