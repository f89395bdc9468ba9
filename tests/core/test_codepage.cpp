#include "core/Codepage.h"

#include <QTest>

using namespace brelvo::core;

class TestCodepage : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void accentedBytes();
    void highBlock();
    void roundTripAllBytes();
    void unmappable();
};

void TestCodepage::accentedBytes()
{
    QCOMPARE(toCp1252(QStringLiteral("AÇÃO")), QByteArray("A\xC7\xC3O"));
    QCOMPARE(fromCp1252(QByteArray("A\xC7\xC3O")), QStringLiteral("AÇÃO"));
    QCOMPARE(toCp1252(QStringLiteral("é ü ñ ¨")), QByteArray("\xE9 \xFC \xF1 \xA8"));
    QCOMPARE(toCp1252(QString()), QByteArray());
}

void TestCodepage::highBlock()
{
    const QString chars = QStringLiteral("€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ");
    const QByteArray bytes("\x80\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8E"
                           "\x91\x92\x93\x94\x95\x96\x97\x98\x99\x9A\x9B\x9C\x9E\x9F");
    QCOMPARE(toCp1252(chars), bytes);
    QCOMPARE(fromCp1252(bytes), chars);
}

void TestCodepage::roundTripAllBytes()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b) all.append(char(b));
    const QString text = fromCp1252(all);
    QCOMPARE(text.size(), 256);
    QCOMPARE(toCp1252(text), all);
    // The receipt's decorative row survives unchanged.
    const QByteArray row = QByteArray::fromHex("40232425A8262A2A26A82525242423A8");
    QCOMPARE(toCp1252(fromCp1252(row)), row);
}

void TestCodepage::unmappable()
{
    QCOMPARE(toCp1252(QStringLiteral("a€b\u4E2Dc")), QByteArray("a\x80" "b?c"));
    // A character outside the basic plane is one '?', not two.
    QCOMPARE(toCp1252(QString::fromUcs4(U"x\U0001F600y")), QByteArray("x?y"));
    // C1 controls that have a printable meaning here are not passed through.
    QCOMPARE(toCp1252(QString(QChar(0x80))), QByteArray("?"));
    QCOMPARE(toCp1252(QString(QChar(0x81))), QByteArray("\x81"));
}

QTEST_GUILESS_MAIN(TestCodepage)
#include "test_codepage.moc"
