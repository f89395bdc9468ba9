// The order window's printouts: the quote choice panel, the print buttons and
// keys reaching the right layout with what was typed stored first, and the
// till receipt written to a file port with the order's total brought up to date.

#include "OrderWindowFixture.h"
#include "printing/PageModel.h"

#include <QFile>
#include <QRadioButton>
#include <QTemporaryDir>

using namespace brelvo;
using core::FakeDialogService;
using orders::TFormOrdem;
using ordertest::button;
using ordertest::child;
using ordertest::edit;
using ordertest::u;

namespace {

struct PrintDb : ordertest::WindowDb {
    PrintDb() { product(103, "ALINHAMENTO", 80, "N", "N"); }   // a service: no stock test
};

// Texts of every page the preview received; `shown` counts the previews.
struct Previews {
    int shown = 0;
    QStringList texts;
    explicit Previews(core::ScopedFakeDialogs &dlg)
    {
        dlg->onNamed(QStringLiteral("preview"), [this](QWidget *, void *object) {
            ++shown;
            auto *pages = static_cast<printing::PreparedReport *>(object);
            texts.clear();
            for (int i = 0; i < pages->pageCount(); ++i)
                texts << pages->texts(i);
            return 1;
        });
    }
};

// A new order for customer 7 with two lines of the service 103.
void startOrder(TFormOrdem &w)
{
    button(w, "btnNovo")->click();
    QLineEdit *cod = edit(w, "EditCodigo");
    ordertest::retype(cod, QStringLiteral("7"));
    Q_EMIT cod->returnPressed();
    edit(w, "mskQuantidade")->setText(QStringLiteral("2"));
    QLineEdit *prod = edit(w, "mskCodigo");
    prod->setText(QStringLiteral("103"));
    Q_EMIT prod->returnPressed();
}

bool shown(QWidget *w) { return w && !w->isHidden(); }

} // namespace

class TestOrdemPrint : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { ordertest::initPasswords(); }
    void quoteChoicePanel();
    void printsStoreWhatWasTyped_data();
    void printsStoreWhatWasTyped();
    void nothingToPrintWithoutCustomer();
    void receiptBringsTheTotalUpToDate();
};

void TestOrdemPrint::quoteChoicePanel()
{
    PrintDb f;
    core::ScopedFakeDialogs dialogs;
    Previews previews(dialogs);
    auto w = ordertest::window(f);
    startOrder(*w);
    auto *panel = child<QFrame>(*w, "ImpreOrcamento");
    auto *comValores = child<QRadioButton>(*w, "RbComValores");
    auto *semValores = child<QRadioButton>(*w, "RbSemValores");
    QPushButton *ocv = button(*w, "ImprimirOcV");
    QPushButton *oss = button(*w, "ImprimriOSs");
    QVERIFY(!shown(panel));
    QCOMPARE(ocv->text(), u("  Imprimir (Ctrl+A)"));
    QCOMPARE(oss->text(), u("  Imprimir (Ctrl+B)"));
    QCOMPARE(comValores->text(), u("Impressão c\\ Valores"));

    // The button opens the panel on "with values", showing only its print button.
    button(*w, "btnImprimirOrcamento")->click();
    QVERIFY(shown(panel));
    QVERIFY(comValores->isChecked());
    QVERIFY(shown(ocv));
    QVERIFY(!shown(oss));
    QCOMPARE(previews.shown, 0);
    // Again while open: the operator is told, the panel stays as it is.
    button(*w, "btnImprimirOrcamento")->click();
    QCOMPARE(dialogs->messages(),
             QStringList{u("Já esta aberta! Selecione a opção desejada e clique no botão imprimir!")});
    QVERIFY(shown(panel));

    // "Without values" swaps the buttons; printing closes the panel.
    semValores->click();
    QVERIFY(!shown(ocv));
    QVERIFY(shown(oss));
    oss->click();
    QVERIFY(!shown(panel));
    QCOMPARE(previews.shown, 1);
    QVERIFY(previews.texts.contains(u("ORÇAMENTO Nº 000001")));
    QVERIFY(previews.texts.contains(u("Quantidade")));
    QVERIFY(!previews.texts.contains(u("Preço unitario")));

    // Opened again it starts on "with values"; that button prints the priced quote.
    button(*w, "btnImprimirOrcamento")->click();
    QVERIFY(comValores->isChecked());
    QVERIFY(shown(ocv));
    QVERIFY(!shown(oss));
    ocv->click();
    QVERIFY(!shown(panel));
    QCOMPARE(previews.shown, 2);
    QVERIFY(previews.texts.contains(u("ORÇAMENTO Nº 000001")));
    QVERIFY(previews.texts.contains(u("Preço unitario")));

    // "Sair" closes it without printing.
    button(*w, "btnImprimirOrcamento")->click();
    button(*w, "btnSairOrcamento")->click();
    QVERIFY(!shown(panel));
    QCOMPARE(previews.shown, 2);
    QCOMPARE(dialogs->messages().size(), 1);
}

void TestOrdemPrint::printsStoreWhatWasTyped_data()
{
    QTest::addColumn<QString>("button");   // empty: the key
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("heading");
    QTest::addColumn<QString>("column");    // an item column of that layout, or empty (none)
    QTest::newRow("Ordem de serviço") << u("btnImprimir") << 0 << u("ORDEM DE SERVIÇO Nº 000001") << u("SubTotal");
    QTest::newRow("Recibo de Entrega") << u("btnReciboEntrega") << 0 << u("RECIBO DE ENTREGA O.S Nº 000001")
                                       << QString();
    QTest::newRow("Ctrl+A") << QString() << int(Qt::Key_A) << u("ORÇAMENTO Nº 000001") << u("Preço unitario");
    QTest::newRow("Ctrl+B") << QString() << int(Qt::Key_B) << u("ORÇAMENTO Nº 000001") << u("Quantidade");
}

void TestOrdemPrint::printsStoreWhatWasTyped()
{
    QFETCH(QString, button);
    QFETCH(int, key);
    QFETCH(QString, heading);
    QFETCH(QString, column);
    PrintDb f;
    core::ScopedFakeDialogs dialogs;
    Previews previews(dialogs);
    auto w = ordertest::window(f);
    QVERIFY(ordertest::showActive(*w));
    startOrder(*w);
    QLineEdit *defeito = edit(*w, "EditDefeito");
    ordertest::retype(defeito, QStringLiteral("BARULHO NA SUSPENSAO"));
    QVERIFY(w->hasPendingChanges());

    if (button.isEmpty())
        QTest::keyClick(defeito, Qt::Key(key), Qt::ControlModifier);
    else
        ordertest::button(*w, button.toLatin1().constData())->click();

    QCOMPARE(previews.shown, 1);
    QVERIFY2(previews.texts.contains(heading), qPrintable(previews.texts.join(QLatin1Char('|'))));
    QVERIFY(previews.texts.contains(u("BARULHO NA SUSPENSAO")));
    if (column.isEmpty()) {
        QVERIFY(!previews.texts.contains(u("ALINHAMENTO")));   // the delivery receipt lists no items
    } else {
        QVERIFY(previews.texts.contains(column));
        QVERIFY(previews.texts.contains(u("ALINHAMENTO")));
    }
    // What was typed is stored before the page is prepared.
    QVERIFY(!w->hasPendingChanges());
    QCOMPARE(f.orderField(1, "DefeitoReclama").toString(), u("BARULHO NA SUSPENSAO"));
    QVERIFY(!shown(child<QFrame>(*w, "ImpreOrcamento")));
    QVERIFY(dialogs->clean());
}

void TestOrdemPrint::nothingToPrintWithoutCustomer()
{
    PrintDb f;
    core::ScopedFakeDialogs dialogs;
    Previews previews(dialogs);
    auto w = ordertest::window(f);
    button(*w, "btnNovo")->click();
    QVERIFY(edit(*w, "EditCodigo")->text().isEmpty());
    button(*w, "btnImprimir")->click();
    button(*w, "btnReciboEntrega")->click();
    button(*w, "btnImprimirOrcamento")->click();
    button(*w, "ImprimriOSs")->click();
    QCOMPARE(previews.shown, 0);
    QCOMPARE(dialogs->messages(), QStringList(3, u("Nenhum dado para impresão! ")));
}

void TestOrdemPrint::receiptBringsTheTotalUpToDate()
{
    PrintDb f;
    QTemporaryDir dir;
    const QString port = dir.filePath(QStringLiteral("cupom.prn"));
    f.setting("tbPortaImpressora.db", "Porta", port);
    f.setting("tbPortaImpressora.db", "Daruma", QStringLiteral("N"));
    core::ScopedFakeDialogs dialogs;
    auto w = ordertest::window(f);
    QVERIFY(ordertest::showActive(*w));
    startOrder(*w);
    QCOMPARE(w->TabelaControle()->asFloat(QStringLiteral("VrTotal")), 160.0);
    // A discount stored behind the window's back: the receipt totals again first.
    data::Table *o = w->TabelaControle();
    o->edit();
    o->setValue(QStringLiteral("Desconto"), 10.0);
    o->post();
    QCOMPARE(f.orderField(1, "VrTotal").toDouble(), 160.0);

    QTest::keyClick(edit(*w, "EditDefeito"), Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(dialogs->messages(), QStringList{u("Impressão Enviada com Sucesso!!!")});
    QCOMPARE(f.orderField(1, "VrTotal").toDouble(), 150.0);
    QFile file(port);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.contains("O.S No......: 000001"));
    QVERIFY(bytes.contains("ALINHAMENTO"));
    QVERIFY(bytes.contains("JOAO DA SILVA"));
    QVERIFY(!bytes.endsWith("\x1bm"));   // no paper cut without Daruma
}

QTEST_MAIN(TestOrdemPrint)
#include "test_ordem_print.moc"
