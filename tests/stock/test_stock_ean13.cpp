// The generator's rule, handing the code to a new product, and the label sheet.

#include "StockFixture.h"
#include "core/FakeDialogService.h"
#include "printing/Ean13.h"
#include "printing/PageModel.h"
#include "stock/TFGeraCodigoBarra.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <algorithm>

using namespace brelvo;
using brelvo::core::FakeDialogService;

class TestEan13 : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void generateRule();
    void windowGeneratesAndHandsOver();
    void windowRefusesExistingCode();
    void labelSheet();
    void labelsAtEightyPercent();
};

void TestEan13::generateRule()
{
    QString error;
    auto g = stock::generateEan13(QStringLiteral("67890"), &error);
    QVERIFY(g);
    QCOMPARE(g->base, QStringLiteral("000000067890"));
    QCOMPARE(g->full(), QStringLiteral("0000000678902"));
    QCOMPARE(stock::generateEan13(QStringLiteral("000000000001"))->full(), QStringLiteral("0000000000017"));
    QCOMPARE(stock::generateEan13(QStringLiteral("000000000000"))->full(), QStringLiteral("0000000000000"));
    // Ten digits above the 32-bit range are padded like any other.
    QCOMPARE(stock::generateEan13(QStringLiteral("9999999999"))->base, QStringLiteral("009999999999"));

    for (const char *bad : {"", "12345678901", "1234567890123", "12a4"}) {
        error.clear();
        QVERIFY2(!stock::generateEan13(QString::fromLatin1(bad), &error), bad);
        QCOMPARE(error, QStringLiteral("Entre com digitos Menor ou Igual a 10 caracteres ou Igual 12"));
    }
}

void TestEan13::windowGeneratesAndHandsOver()
{
    stocktest::Db f;
    core::ScopedFakeDialogs dialogs;
    stock::TFGeraCodigoBarra w(f.db);
    QCOMPARE(w.windowTitle(), QString::fromUtf8("Geração de Codigo Barra EAN13"));
    QStringList handed;
    connect(&w, &stock::TFGeraCodigoBarra::codeHanded, this, [&](const QString &c) { handed << c; });
    auto *base = w.findChild<QLineEdit *>(QStringLiteral("Edit1BarraGerar"));
    auto *digito = w.findChild<QLineEdit *>(QStringLiteral("EditDigito"));
    auto *full = w.findChild<QLineEdit *>(QStringLiteral("Edit1Barra"));
    auto *label5 = w.findChild<QLabel *>(QStringLiteral("Label5"));
    QVERIFY(base && digito && full && label5);
    w.show();

    // Letters never get in; 11 digits are refused with the message.
    QTest::keyClicks(base, QStringLiteral("12a345678901"));
    QCOMPARE(base->text(), QStringLiteral("12345678901"));
    w.findChild<QPushButton *>(QStringLiteral("BtGerar"))->click();
    QCOMPARE(dialogs->messages(), QStringList{QStringLiteral("Entre com digitos Menor ou Igual a 10 caracteres ou Igual 12")});
    QVERIFY(handed.isEmpty());
    QVERIFY(label5->isHidden());

    base->clear();
    QTest::keyClicks(base, QStringLiteral("67890"));
    w.findChild<QPushButton *>(QStringLiteral("BtGerar"))->click();
    QCOMPARE(base->text(), QStringLiteral("000000067890"));
    QCOMPARE(digito->text(), QStringLiteral("2"));
    QCOMPARE(full->text(), QStringLiteral("0000000678902"));
    QCOMPARE(w.findChild<QLabel *>(QStringLiteral("Label4"))->text(), QStringLiteral("0000000678902"));
    QVERIFY(label5->isVisible() && full->isVisible());
    QCOMPARE(handed, QStringList{QStringLiteral("0000000678902")});

    // Editing the base drops the stale result.
    QTest::keyClick(base, Qt::Key_Backspace);
    QVERIFY(digito->text().isEmpty());
    QVERIFY(label5->isHidden());

    w.findChild<QPushButton *>(QStringLiteral("BtLimpar"))->click();
    QVERIFY(base->text().isEmpty() && digito->text().isEmpty());
}

void TestEan13::windowRefusesExistingCode()
{
    stocktest::Db f;
    f.product(17, "PRODUTO EXISTENTE");             // 0000000000017
    core::ScopedFakeDialogs dialogs;
    stock::TFGeraCodigoBarra w(f.db);
    QStringList handed;
    connect(&w, &stock::TFGeraCodigoBarra::codeHanded, this, [&](const QString &c) { handed << c; });
    w.findChild<QLineEdit *>(QStringLiteral("Edit1BarraGerar"))->setText(QStringLiteral("1"));
    w.Gerar();
    QCOMPARE(w.fullCode(), QStringLiteral("0000000000017"));
    QCOMPARE(dialogs->messages(), QStringList{QString::fromUtf8("Esse Codigo de Produto Já foi Cadastrado!")});
    QVERIFY(handed.isEmpty());

    // Away from the products window ("verifica" not "SIM") nothing is checked or handed.
    dialogs->clearCalls();
    w.setVerifica(QStringLiteral("NAO"));
    w.Limpar();
    w.findChild<QLineEdit *>(QStringLiteral("Edit1BarraGerar"))->setText(QStringLiteral("1"));
    w.Gerar();
    QVERIFY(dialogs->messages().isEmpty());
    QVERIFY(handed.isEmpty());
}

void TestEan13::labelSheet()
{
    stocktest::Db f;
    core::ScopedFakeDialogs dialogs;
    stock::TFGeraCodigoBarra w(f.db);
    w.VizualizarImprimir();     // nothing generated yet
    QCOMPARE(dialogs->messages(), QStringList{QString::fromUtf8("Não exiSte codigo de barra a ser impresso gere antes!!")});
    QCOMPARE(dialogs->count(FakeDialogService::Kind::ExecNamed), 0);

    int pages = -1;
    QString allText;
    int fills = 0;
    dialogs->onNamed(QStringLiteral("preview"), [&](QWidget *, void *object) {
        auto *r = static_cast<printing::PreparedReport *>(object);
        pages = r->pageCount();
        allText = r->texts(0).join(QString());
        for (const auto &item : r->pages.at(0).items)
            fills += item.kind == printing::PageItem::Fill;
        return 1;
    });
    w.findChild<QLineEdit *>(QStringLiteral("Edit1BarraGerar"))->setText(QStringLiteral("789100031550"));
    w.Gerar();
    w.VizualizarImprimir();
    QCOMPARE(pages, 1);
    // 72 symbols, every one carrying the same code under its bars.
    QCOMPARE(allText, QStringLiteral("7891000315507").repeated(72));
    QVERIFY(fills > 0);
    QCOMPARE(fills % 72, 0);
}

void TestEan13::labelsAtEightyPercent()
{
    // Bar module 1 screen unit (1/96 inch): 80 % of the standard 0.33 mm.
    const printing::PreparedReport sheet = stock::TFGeraCodigoBarra::labelSheet(QStringLiteral("7891000315507"));
    const double unit = 25.4 / 96;
    std::vector<QRectF> bars;
    for (const auto &item : sheet.pages.at(0).items)
        if (item.kind == printing::PageItem::Fill)
            bars.push_back(item.rect());
    QCOMPARE(bars.size(), size_t(72 * 30));
    // The first symbol: the top-left one, its 30 bars.
    std::sort(bars.begin(), bars.end(), [](const QRectF &a, const QRectF &b) {
        return qFuzzyCompare(a.top(), b.top()) ? a.left() < b.left() : a.top() < b.top();
    });
    const std::vector<QRectF> first(bars.begin(), bars.begin() + 30);
    double left = 1e9, right = -1e9, narrowest = 1e9;
    for (const QRectF &b : first) {
        left = std::min(left, b.left());
        right = std::max(right, b.right());
        narrowest = std::min(narrowest, b.width());
    }
    const double magnification = narrowest / printing::kEan13Module;
    QVERIFY2(magnification > 0.79 && magnification < 0.81, qPrintable(QString::number(magnification)));
    QVERIFY2(qAbs(right - left - 95 * unit) < 0.05, qPrintable(QString::number(right - left)));
    // The bars start at the label's column (16 units in from the 10 mm margin) and row.
    QVERIFY2(qAbs(left - (10 + 16 * unit)) < 0.05, qPrintable(QString::number(left)));
    QVERIFY2(qAbs(first.front().top() - (10 + 16 * unit)) < 0.05, qPrintable(QString::number(first.front().top())));
    // Every symbol lies on the paper's printable part and none overlaps the next.
    for (const QRectF &b : bars)
        QVERIFY(b.left() >= 10 - 0.01 && b.right() <= 200 + 0.01 && b.bottom() <= 287 + 0.01);
}

QTEST_MAIN(TestEan13)
#include "test_stock_ean13.moc"
