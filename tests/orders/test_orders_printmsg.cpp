// The footer-message window and what the main menu wires for the printouts.

#include "app/AppFixture.h"

#include "app/Wiring.h"
#include "printing/ReceiptWriter.h"

using namespace brelvo;
using Kind = core::FakeDialogService::Kind;

class TestOrderPrintMsg : public QObject {
    Q_OBJECT
private slots:
    void aMissingPortOpensThePortWindow();
};

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
