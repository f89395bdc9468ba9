// Company data, printer port and maximum discount windows.

#include "AppFixture.h"

#include "app/Settings.h"

#include <QApplication>
#include <QRadioButton>

using namespace brelvo;

namespace {
// Types text key by key, accented letters included.
void type(QWidget *w, const QString &text)
{
    for (const QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(w, &release);
    }
}

QVariant fieldOf(const data::DatabasePtr &db, const QString &table, const QString &field)
{
    data::Table t(db, table);
    t.open();
    t.first();
    return t.isEmpty() ? QVariant() : t.value(field);
}
} // namespace

class SettingsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void companyRowIsCreatedSavedAndDeleted()
    {
        apptest::AppDb a;
        {
            data::Table t(a.db, QStringLiteral("empresa.DB"));
            t.open();
            while (!t.isEmpty()) {
                t.first();
                t.remove();
            }
        }
        core::ScopedFakeDialogs fake;
        {
            app::TF_Empresa w(a.db);
            QVERIFY(w.isReady());
            auto *salvar = w.findChild<QPushButton *>(QStringLiteral("btnSalvar"));
            QVERIFY(!salvar->isEnabled());
            type(w.findChild<QLineEdit *>(QStringLiteral("DBEditEmpresa")), QStringLiteral("auto peças zé"));
            QVERIFY(salvar->isEnabled());
            QTest::keyClicks(w.findChild<QLineEdit *>(QStringLiteral("DBEditSite")), QStringLiteral("WWW.ZE.COM.BR"));
            auto *cep = w.findChild<QLineEdit *>(QStringLiteral("DBEditCep"));
            cep->setFocus();
            cep->home(false);
            QTest::keyClicks(cep, QStringLiteral("01310100"));
            auto *uf = w.findChild<QComboBox *>(QStringLiteral("DBComboBoxUf"));
            QVERIFY(uf->findText(QStringLiteral("SP")) >= 0);
            QCOMPARE(uf->count(), 27);
            QTest::keyClicks(uf->lineEdit(), QStringLiteral("sp"));
            salvar->click();
            QVERIFY(!salvar->isEnabled());
            w.accept();
        }
        QCOMPARE(fieldOf(a.db, QStringLiteral("empresa.DB"), QStringLiteral("Empresa")).toString(),
                 QStringLiteral("AUTO PEÇAS ZÉ"));
        QCOMPARE(fieldOf(a.db, QStringLiteral("empresa.DB"), QStringLiteral("Site")).toString(),
                 QStringLiteral("www.ze.com.br"));
        QCOMPARE(fieldOf(a.db, QStringLiteral("empresa.DB"), QStringLiteral("Cep")).toString(),
                 QStringLiteral("01310-100"));
        QCOMPARE(fieldOf(a.db, QStringLiteral("empresa.DB"), QStringLiteral("Uf")).toString(), QStringLiteral("SP"));
        QVERIFY(fieldOf(a.db, QStringLiteral("empresa.DB"), QStringLiteral("Telefone")).isNull());
        {
            // Reopened, it shows the row; Deletar asks, and Yes removes it.
            app::TF_Empresa w(a.db);
            QCOMPARE(w.findChild<QLineEdit *>(QStringLiteral("DBEditEmpresa"))->text(), QStringLiteral("AUTO PEÇAS ZÉ"));
            fake->answerQuestion(core::Answer::No);
            w.btnDeletarClick();
            QCOMPARE(w.table()->recordCount(), 1);
            fake->answerQuestion(core::Answer::Yes);
            w.btnDeletarClick();
            QCOMPARE(w.table()->recordCount(), 0);
            QCOMPARE(fake->messages(), (QStringList{QStringLiteral("DESEJA EXCLUIR ESTE REGISTRO?"),
                                                    QStringLiteral("DESEJA EXCLUIR ESTE REGISTRO?")}));
        }
    }

    void printerPortSaveFollowsEditing()
    {
        apptest::AppDb a;
        core::ScopedFakeDialogs fake;
        {
            app::TFPortaImpressora w(a.db);
            auto *salvar = w.findChild<QPushButton *>(QStringLiteral("btnSalvar"));
            QVERIFY(!salvar->isEnabled());
            auto *porta = w.findChild<QLineEdit *>(QStringLiteral("DBEditPorta"));
            porta->selectAll();
            QTest::keyClicks(porta, QStringLiteral("/dev/usb/lp0"));
            QVERIFY(salvar->isEnabled());
            w.findChild<QRadioButton *>(QStringLiteral("rbImprimirSim"))->click();
            w.findChild<QRadioButton *>(QStringLiteral("rbDarumaNao"))->click();
            salvar->click();
            QVERIFY(!salvar->isEnabled());
            // Closing with an unsaved change asks; "Não" drops it.
            w.findChild<QRadioButton *>(QStringLiteral("rbDarumaSim"))->click();
            QVERIFY(salvar->isEnabled());
            fake->answerQuestion(core::Answer::No);
            w.reject();
            QCOMPARE(fake->count(core::FakeDialogService::Kind::Question), 1);
            fake->clearCalls();
        }
        QCOMPARE(fieldOf(a.db, QStringLiteral("tbPortaImpressora.db"), QStringLiteral("Porta")).toString(),
                 QStringLiteral("/dev/usb/lp0"));
        QCOMPARE(fieldOf(a.db, QStringLiteral("tbPortaImpressora.db"), QStringLiteral("Imprimir")).toString(),
                 QStringLiteral("S"));
        QCOMPARE(fieldOf(a.db, QStringLiteral("tbPortaImpressora.db"), QStringLiteral("Daruma")).toString(),
                 QStringLiteral("N"));
        app::TFPortaImpressora again(a.db);
        QVERIFY(again.findChild<QRadioButton *>(QStringLiteral("rbImprimirSim"))->isChecked());
        QVERIFY(again.findChild<QRadioButton *>(QStringLiteral("rbDarumaNao"))->isChecked());
        QVERIFY(fake->calls().isEmpty());
    }

    void discountRefusesWhatIsNotANumber()
    {
        apptest::AppDb a;
        core::ScopedFakeDialogs fake;
        const QVariant before = fieldOf(a.db, QStringLiteral("configExt.db"), QStringLiteral("Desconto"));
        app::TConfigs w(a.db);
        auto *box = w.findChild<QLineEdit *>(QStringLiteral("DBEditDesconto"));
        auto *salvar = w.findChild<QPushButton *>(QStringLiteral("btnSalvar"));
        QVERIFY(!salvar->isEnabled());
        for (const QString &badText : {QStringLiteral("abc"), QStringLiteral("12,5%"), QStringLiteral("150"),
                                       QStringLiteral("-1")}) {
            box->selectAll();
            QTest::keyClicks(box, badText);
            QVERIFY(salvar->isEnabled());
            fake->clearCalls();
            salvar->click();
            QCOMPARE(fake->count(core::FakeDialogService::Kind::Error), 1);
            QVERIFY(salvar->isEnabled());
            QCOMPARE(fieldOf(a.db, QStringLiteral("configExt.db"), QStringLiteral("Desconto")), before);
        }
        box->selectAll();
        QTest::keyClicks(box, QStringLiteral("12,5"));
        fake->clearCalls();
        salvar->click();
        QVERIFY(fake->calls().isEmpty());
        QVERIFY(!salvar->isEnabled());
        QCOMPARE(fieldOf(a.db, QStringLiteral("configExt.db"), QStringLiteral("Desconto")).toDouble(), 12.5);
        app::TConfigs again(a.db);
        QCOMPARE(again.findChild<QLineEdit *>(QStringLiteral("DBEditDesconto"))->text(), QStringLiteral("12,5"));
    }

    void companyEnterFollowsTheScreen()
    {
        apptest::AppDb a;
        core::ScopedFakeDialogs fake;
        app::TF_Empresa w(a.db);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QApplication::setActiveWindow(&w);
        auto *first = w.findChild<QWidget *>(QStringLiteral("DBEditEmpresa"));
        first->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), first);
        // Row by row as the boxes stand: name; address, district; city, state, CEP; ...
        QStringList seen;
        for (int i = 0; i < 13; ++i) {
            QWidget *f = QApplication::focusWidget();
            seen << f->objectName();
            QTest::keyClick(f, Qt::Key_Return);
        }
        QCOMPARE(seen, (QStringList{"DBEditEmpresa", "DBEditEnd", "DBEditBairro", "DBEditCidade", "DBComboBoxUf",
                                    "DBEditCep", "DBEditTelefone", "DBEditTelefone2", "DBEditTelefone3",
                                    "DBEditCnpj", "DBEditIE", "DBEditSite", "DBEditEmail"}));
        // Nothing was asked on the way.
        QVERIFY(fake->calls().isEmpty());
    }

    void menuOpensTheSettingsWindows()
    {
        apptest::AppDb a;
        core::ScopedFakeDialogs fake;
        app::TFormMenu menu(a.db);
        QStringList opened;
        for (const char *name : {"F_Empresa", "FPortaImpressora", "Configs", "FUsuarios", "FAlteraSenha", "AboutBox"})
            fake->onDialog(QString::fromLatin1(name), [&opened](QDialog *d) {
                opened << d->windowTitle();
                return 0;
            });
        for (const char *item : {"mnuCadastroEmpresa", "mnuImpressora", "mnuDesconto", "mnuCadastroUsuarios",
                                 "mnuAlterarSenha"})
            menu.findChild<QAction *>(QString::fromLatin1(item))->trigger();
        menu.findChild<QPushButton *>(QStringLiteral("btnSobre"))->click();
        QCOMPARE(opened, (QStringList{QStringLiteral("Empresa"), QStringLiteral("Porta da Impressora"),
                                      QStringLiteral("Configurações"), QStringLiteral("Cadastro de Usuários..."),
                                      QStringLiteral("Alteração de Senha"), QStringLiteral("Sobre")}));
    }
};

QTEST_MAIN(SettingsTest)
#include "test_settings.moc"
