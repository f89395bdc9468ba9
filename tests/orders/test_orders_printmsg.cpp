// The footer-message window and what the main menu wires for the printouts.

#include "app/AppFixture.h"

#include "app/Wiring.h"
#include "core/DataControls.h"
#include "orders/TForm_Msg.h"
#include "printing/ReceiptWriter.h"

#include <QAction>
#include <QTabWidget>

using namespace brelvo;
using Kind = core::FakeDialogService::Kind;

class TestOrderPrintMsg : public QObject {
    Q_OBJECT
private slots:
    void theMenuOpensTheWindowOnItsPage_data();
    void theMenuOpensTheWindowOnItsPage();
    void salvarStoresTheRowAndDisablesBoth();
    void closingWithAChangeAsks_data();
    void closingWithAChangeAsks();
    void aMissingPortOpensThePortWindow();
};

namespace {

QString stored(const data::DatabasePtr &db, const QString &field)
{
    data::Table t(db, QStringLiteral("tb_mensagems.db"));
    t.open();
    t.first();
    return t.asString(field);
}

void setStored(const data::DatabasePtr &db, const QString &m1, const QString &m2)
{
    data::Table t(db, QStringLiteral("tb_mensagems.db"));
    t.open();
    t.first();
    t.edit();
    t.setValue(QStringLiteral("Mensagem1"), m1);
    t.setValue(QStringLiteral("Mensagem2"), m2);
    t.post();
}

QPushButton *button(QWidget *w, const char *name)
{
    return w->findChild<QPushButton *>(QString::fromLatin1(name));
}

} // namespace

void TestOrderPrintMsg::theMenuOpensTheWindowOnItsPage_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("page");
    QTest::newRow("Ordem de Serviço") << QStringLiteral("mnuMsgOrdemServico") << 0;
    QTest::newRow("Recibo de Entrega") << QStringLiteral("mnuMsgReciboEntrega") << 1;
}

void TestOrderPrintMsg::theMenuOpensTheWindowOnItsPage()
{
    QFETCH(QString, command);
    QFETCH(int, page);
    apptest::AppDb a;
    setStored(a.db, QStringLiteral("Garantia de 90 dias"), QStringLiteral("Veículo entregue"));
    core::ScopedFakeDialogs fake;
    app::TFormMenu menu(a.db);
    app::wireSubsystemWindows(menu);
    auto *action = menu.findChild<QAction *>(command);
    QVERIFY(action && action->isEnabled());

    bool seen = false;
    fake->onDialog(QStringLiteral("Form_Msg"), [&](QDialog *d) {
        seen = true;
        auto *w = qobject_cast<orders::TForm_Msg *>(d);
        [&] {
            QVERIFY(w);
            QCOMPARE(w->windowTitle(), QStringLiteral("Mensagems OS"));
            QCOMPARE(w->pages()->currentIndex(), page);
            QCOMPARE(w->pages()->tabText(0), QStringLiteral("Mensagens Rodapé OS"));
            QCOMPARE(w->pages()->tabText(1), QStringLiteral("Mensagens Rodapé Recibo Entrega"));
            QCOMPARE(w->findChild<core::DbMemo *>(QStringLiteral("DBMemo1"))->toPlainText(),
                     QStringLiteral("Garantia de 90 dias"));
            QCOMPARE(w->findChild<core::DbMemo *>(QStringLiteral("DBMemo2"))->toPlainText(),
                     QStringLiteral("Veículo entregue"));
        }();
        return 0;
    });
    QVERIFY(menu.runCommand(command));
    QVERIFY(seen);
    QVERIFY(!QTest::currentTestFailed());
    QVERIFY(fake->callsOf(Kind::Error).isEmpty());
}

void TestOrderPrintMsg::salvarStoresTheRowAndDisablesBoth()
{
    apptest::AppDb a;
    core::ScopedFakeDialogs fake;
    setStored(a.db, QStringLiteral("antes"), QStringLiteral("recibo"));
    orders::TForm_Msg w(a.db, orders::TForm_Msg::ReciboEntrega);
    QVERIFY(w.isReady());
    QPushButton *s1 = button(&w, "btnSalvar1"), *s2 = button(&w, "btnSalvar2");
    QVERIFY(s1 && s2);
    QVERIFY(!s1->isEnabled() && !s2->isEnabled());

    auto *memo = w.findChild<core::DbMemo *>(QStringLiteral("DBMemo1"));
    w.pages()->setCurrentIndex(0);
    memo->moveCursor(QTextCursor::End);
    QTest::keyClicks(memo, " ok");
    QTest::keyClick(memo, Qt::Key_Return);   // Enter breaks the line inside the memo
    QTest::keyClicks(memo, "Linha 2");
    QVERIFY(s1->isEnabled());
    QVERIFY(s2->isEnabled());   // both follow the row
    QCOMPARE(stored(a.db, QStringLiteral("Mensagem1")), QStringLiteral("antes"));

    QTest::mouseClick(s1, Qt::LeftButton);
    QVERIFY(!s1->isEnabled() && !s2->isEnabled());
    QCOMPARE(stored(a.db, QStringLiteral("Mensagem1")), QStringLiteral("antes ok\nLinha 2"));
    QCOMPARE(stored(a.db, QStringLiteral("Mensagem2")), QStringLiteral("recibo"));
    QVERIFY(fake->messages().isEmpty());
}

void TestOrderPrintMsg::closingWithAChangeAsks_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("kept");
    QTest::newRow("Sim saves") << int(core::Answer::Yes) << QStringLiteral("novo");
    QTest::newRow("Não discards") << int(core::Answer::No) << QStringLiteral("velho");
}

void TestOrderPrintMsg::closingWithAChangeAsks()
{
    QFETCH(int, answer);
    QFETCH(QString, kept);
    apptest::AppDb a;
    core::ScopedFakeDialogs fake;
    setStored(a.db, QStringLiteral("x"), QStringLiteral("velho"));
    {
        orders::TForm_Msg w(a.db, orders::TForm_Msg::ReciboEntrega);
        auto *memo = w.findChild<core::DbMemo *>(QStringLiteral("DBMemo2"));
        memo->selectAll();
        QTest::keyClicks(memo, "novo");
        fake->answerQuestion(core::Answer(answer));
        w.reject();
    }
    QCOMPARE(fake->callsOf(Kind::Question).size(), 1);
    QCOMPARE(stored(a.db, QStringLiteral("Mensagem2")), kept);
    QCOMPARE(stored(a.db, QStringLiteral("Mensagem1")), QStringLiteral("x"));
}

void TestOrderPrintMsg::aMissingPortOpensThePortWindow()
{
    apptest::AppDb a;
    core::ScopedFakeDialogs fake;
    app::TFormMenu menu(a.db);
    app::wireSubsystemWindows(menu);
    {
        data::Table t(a.db, QStringLiteral("tbPortaImpressora.db"));
        t.open();
        t.first();
        t.edit();
        t.setValue(QStringLiteral("Porta"), QVariant());
        t.post();
    }
    bool portWindow = false;
    fake->onDialog(QStringLiteral("TFPortaImpressora"), [&](QDialog *d) {
        portWindow = d->findChild<QLineEdit *>() != nullptr;   // the port box is there to fill in
        return 0;
    });
    printing::ReceiptPortSettings s;
    QVERIFY(!printing::receiptPortReady(nullptr, a.db, &s));
    QCOMPARE(fake->messages(), QStringList{QStringLiteral("Porta Impressora Não fiscal não foi informada!")});
    const auto execs = fake->callsOf(Kind::Exec);
    QCOMPARE(execs.size(), 1);
    QCOMPARE(execs.first().name, QStringLiteral("FPortaImpressora"));   // the window's object name
    QVERIFY(portWindow);
    printing::setReceiptPortWindow({});
}

QTEST_MAIN(TestOrderPrintMsg)
#include "test_orders_printmsg.moc"
