// EAN-13 symbols.

#include "printing/Ean13.h"
#include "printing/Report.h"

#include <QtTest>

using namespace brelvo::printing;

namespace {
// Dark runs along one scan line.
int barsOnLine(const QImage &img, int y)
{
    int runs = 0;
    bool inBar = false;
    for (int x = 0; x < img.width(); ++x) {
        const bool dark = qGray(img.pixel(x, y)) < 128;
        if (dark && !inBar)
            ++runs;
        inBar = dark;
    }
    return runs;
}
}

class TestEan13 : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void checkDigits();
    void sizeFromTheModule();
    void invalidCodesAreRefused_data();
    void invalidCodesAreRefused();
    void symbolOfZeroSeventeen();
    void imageHasTheBars();
    void barcodeElementInAReport();
};

void TestEan13::checkDigits()
{
    QCOMPARE(ean13CheckDigit(QStringLiteral("000000000001")), 7);
    QCOMPARE(ean13CheckDigit(QStringLiteral("000000000000")), 0);
    QCOMPARE(ean13CheckDigit(QStringLiteral("000000067890")), 2);
    QCOMPARE(ean13CheckDigit(QStringLiteral("400638133393")), 1);
    QCOMPARE(ean13CheckDigit(QStringLiteral("789100031550")), 7);      // a Brazilian retail code
    QCOMPARE(ean13CheckDigit(QStringLiteral("12345678901")), -1);
    QCOMPARE(ean13CheckDigit(QStringLiteral("12345678901x")), -1);
    QVERIFY(validateEan13(QStringLiteral("0000000000017")));
    QVERIFY(validateEan13(QStringLiteral("4006381333931")));
    QVERIFY(validateEan13(QStringLiteral("0000000678902")));
    QVERIFY(validateEan13(QStringLiteral("7891000315507")));
    QVERIFY(!validateEan13(QStringLiteral("7891000315508")));
}

void TestEan13::sizeFromTheModule()
{
    // At 100 % the narrowest bar is 0.33 mm and the 95 modules of bars 31.35 mm.
    for (const double module : {kEan13Module, 0.8 * kEan13Module}) {
        const QSizeF box = ean13SizeForModule(module, 20);
        const Ean13Symbol s = ean13Symbol(QStringLiteral("7891000315507"), box);
        QVERIFY(!s.isNull());
        double left = 1e9, right = -1e9, narrowest = 1e9;
        for (const QRectF &b : s.bars) {
            left = std::min(left, b.left());
            right = std::max(right, b.right());
            narrowest = std::min(narrowest, b.width());
        }
        QVERIFY2(qAbs(narrowest - module) < 0.001, qPrintable(QString::number(narrowest)));
        QVERIFY2(qAbs(right - left - 95 * module) < 0.01, qPrintable(QString::number(right - left)));
        QVERIFY2(qAbs(left - ean13BarsOffset(module)) < 0.01, qPrintable(QString::number(left)));
        // The first digit stands in the left quiet zone, inside the box.
        QVERIFY(s.digits.front().rect.right() <= left + 0.01 && s.digits.front().rect.left() >= -0.01);
        QVERIFY(box.width() > 95 * module + 7 * module);
    }
}

void TestEan13::invalidCodesAreRefused_data()
{
    QTest::addColumn<QString>("code");
    QTest::newRow("empty") << QString();
    QTest::newRow("twelve digits") << QStringLiteral("000000000001");
    QTest::newRow("fourteen digits") << QStringLiteral("00000000000170");
    QTest::newRow("wrong check digit") << QStringLiteral("0000000000018");
    QTest::newRow("letter") << QStringLiteral("000000000001A");
    QTest::newRow("blank inside") << QStringLiteral("000000 000017");
}

void TestEan13::invalidCodesAreRefused()
{
    QFETCH(QString, code);
    QString error;
    QVERIFY(!validateEan13(code, &error));
    QVERIFY(!error.isEmpty());
    if (!code.isEmpty())
        QVERIFY2(error.contains(code), qPrintable(error));
    error.clear();
    QVERIFY(ean13Symbol(code, {40, 25}, &error).isNull());
    QVERIFY(!error.isEmpty());
    error.clear();
    QVERIFY(ean13Image(code, {40, 25}, 300, &error).isNull());
    QVERIFY(!error.isEmpty());
    if (code == QLatin1String("0000000000018"))
        QVERIFY2(error.contains(QLatin1String("7")), qPrintable(error));    // names the right check digit
}

void TestEan13::symbolOfZeroSeventeen()
{
    QString error;
    const Ean13Symbol s = ean13Symbol(QStringLiteral("0000000000017"), {38, 26}, &error);
    QVERIFY2(!s.isNull(), qPrintable(error));
    // 3 guards of 2 bars and 12 digits of 2 bars each.
    QCOMPARE(int(s.bars.size()), 30);
    QString digits;
    for (const auto &d : s.digits)
        digits += d.text;
    QCOMPARE(digits, QStringLiteral("0000000000017"));
    double minH = 1e9, maxH = 0;
    for (const QRectF &b : s.bars) {
        QVERIFY(b.left() >= -0.01 && b.right() <= 38.01 && b.top() >= -0.01 && b.bottom() <= 26.01);
        minH = std::min(minH, b.height());
        maxH = std::max(maxH, b.height());
    }
    QVERIFY2(maxH > minH + 0.5, "guard bars are longer than the others");
    // Guards: the first two bars (start guard) are the long ones.
    QCOMPARE(s.bars[0].height(), maxH);
    QVERIFY(s.digitHeight > 1 && s.digitHeight < 10);
    // Digits stand under the data bars.
    const double dataBottom = minH + s.bars[0].top();
    for (const auto &d : s.digits) {
        QVERIFY(d.rect.bottom() > dataBottom);
        QVERIFY2(d.rect.left() >= 0 && d.rect.right() <= 38.01, qPrintable(d.text));   // nothing cut off
    }
}

void TestEan13::imageHasTheBars()
{
    QString error;
    const QImage img = ean13Image(QStringLiteral("0000000000017"), {38, 26}, 300, &error);
    QVERIFY2(!img.isNull(), qPrintable(error));
    QCOMPARE(img.width(), qRound(38 / 25.4 * 300));
    QCOMPARE(barsOnLine(img, img.height() / 4), 30);
    QVERIFY(!ean13Picture(QStringLiteral("0000000000017"), {38, 26}).isNull());
}

void TestEan13::barcodeElementInAReport()
{
    Report r;
    r.title().setHeight(30).barcode({10, 0, 38, 26}, QStringLiteral("0000000000017"));
    r.detail().setHeight(30).barcodeField({10, 0, 38, 26}, QStringLiteral("Codigo"));
    r.setRows(std::vector<QVariantMap>{{{QStringLiteral("Codigo"), 17LL}},
                                       {{QStringLiteral("Codigo"), QStringLiteral("123")}}});
    const PreparedReport p = r.prepare();
    int fills = 0;
    for (const PageItem &it : p.pages[0].items)
        if (it.kind == PageItem::Fill)
            ++fills;
    QCOMPARE(fills, 60);              // the fixed code and the numeric field padded to 13 digits
    QVERIFY(p.texts(0).contains(QStringLiteral("000017")));
    bool refused = false;
    for (const QString &t : p.texts(0))
        refused |= t.contains(QLatin1String("\"123\""));
    QVERIFY2(refused, qPrintable(p.pageText(0)));
}

QTEST_MAIN(TestEan13)
#include "test_ean13.moc"
