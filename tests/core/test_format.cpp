#include "core/Format.h"

#include <QTest>

using namespace brelvo::core;

class TestFormat : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void masks_data();
    void masks();
    void maskSections();
    void shortNumbers_data();
    void shortNumbers();
    void moneyText();
    void parseGood_data();
    void parseGood();
    void parseBad_data();
    void parseBad();
    void printfReceipt();
    void printfPlain();
    void dates();
    void parseDates_data();
    void parseDates();
    void dateMasks();
    void caseKeepsAccents();
};

void TestFormat::masks_data()
{
    QTest::addColumn<QString>("mask");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("grouped") << "###,##0.00" << 1234.56 << "1.234,56";
    QTest::newRow("grouped small") << "###,##0.00" << 0.5 << "0,50";
    QTest::newRow("grouped millions beyond mask") << "###,##0.00" << 12345678.9 << "12.345.678,90";
    QTest::newRow("currency") << "R$ ###,##0.00" << 1234.56 << "R$ 1.234,56";
    QTest::newRow("currency negative sign first") << "R$ ###,##0.00" << -1.0 << "-R$ 1,00";
    QTest::newRow("barcode 13") << "0000000000000" << 123.0 << "0000000000123";
    QTest::newRow("barcode full") << "0000000000000" << 7891234567895.0 << "7891234567895";
    QTest::newRow("pad four") << "0000" << 7.0 << "0007";
    QTest::newRow("pad four overflow") << "0000" << 123456.0 << "123456";
    QTest::newRow("pad rounds") << "0000" << 6.5 << "0007";
    QTest::newRow("optional zero") << "######0.00" << 0.0 << "0,00";
    QTest::newRow("optional big") << "######0.00" << 123456789.125 << "123456789,13";
    QTest::newRow("short grouping") << "#,##0.00" << 1234567.891 << "1.234.567,89";
    QTest::newRow("short grouping small") << "#,##0.00" << 12.0 << "12,00";
    QTest::newRow("plain two") << "0.00" << 3.14159 << "3,14";
    QTest::newRow("half away up") << "0.00" << 2.675 << "2,68";
    QTest::newRow("half away 1,005") << "0.00" << 1.005 << "1,01";
    QTest::newRow("half away negative") << "0.00" << -2.5 << "-2,50";
    QTest::newRow("half away neg round") << "0" << -2.5 << "-3";
    QTest::newRow("two digits") << "00" << 5.0 << "05";
    QTest::newRow("negative rounds to zero") << "0.00" << -0.001 << "0,00";
    QTest::newRow("rounding carries") << "#,##0.00" << 999.999 << "1.000,00";
    QTest::newRow("nine digits grouped") << "###,###,##0.00" << 1234567.5 << "1.234.567,50";
    QTest::newRow("order price") << "########0.00" << 19.9 << "19,90";
    QTest::newRow("optional decimals") << "0.##" << 1.5 << "1,5";
    QTest::newRow("optional decimals none") << "0.##" << 2.0 << "2";
    QTest::newRow("quoted literal") << "0.00\" un\"" << 3.0 << "3,00 un";
}

void TestFormat::masks()
{
    QFETCH(QString, mask);
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(formatMask(mask, value), expected);
}

void TestFormat::maskSections()
{
    QCOMPARE(formatMask(QStringLiteral("0.00;(0.00)"), -4.5), QStringLiteral("(4,50)"));
    QCOMPARE(formatMask(QStringLiteral("0.00;(0.00)"), 4.5), QStringLiteral("4,50"));
    QCOMPARE(formatMask(QStringLiteral("0.00;-0.00;zero"), 0.0), QStringLiteral("zero"));
    QCOMPARE(formatMask(QStringLiteral("0.00;-0.00;zero"), 0.001), QStringLiteral("zero"));
    QCOMPARE(formatMask(QStringLiteral("0.00;;zero"), -1.0), QStringLiteral("-1,00"));
}

void TestFormat::shortNumbers_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("12,5") << 12.5 << "12,5";
    QTest::newRow("half") << 0.5 << "0,5";
    QTest::newRow("one") << 1.0 << "1";
    QTest::newRow("negative") << -3.25 << "-3,25";
    QTest::newRow("binary noise") << 0.1 + 0.2 << "0,3";
    QTest::newRow("large no exponent") << 7891234567895.0 << "7891234567895";
    QTest::newRow("huge no exponent") << 1e20 << "100000000000000000000";
    QTest::newRow("tiny") << 0.000125 << "0,000125";
    QTest::newRow("zero") << 0.0 << "0";
}

void TestFormat::shortNumbers()
{
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(shortNumber(value), expected);
}

void TestFormat::moneyText()
{
    QCOMPARE(money(1234.56), QStringLiteral("R$ 1.234,56"));
    QCOMPARE(money(0), QStringLiteral("R$ 0,00"));
    QCOMPARE(money(-5), QStringLiteral("-R$ 5,00"));
    QCOMPARE(money(1234567.891), QStringLiteral("R$ 1.234.567,89"));
    QCOMPARE(money(2.5, 0), QStringLiteral("R$ 3"));
    QCOMPARE(money(2.5, 3), QStringLiteral("R$ 2,500"));
}

void TestFormat::parseGood_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    QTest::newRow("decimal comma") << "12,5" << 12.5;
    QTest::newRow("thousands") << "1.234,56" << 1234.56;
    QTest::newRow("millions") << "1.234.567" << 1234567.0;
    QTest::newRow("blanks") << "  7 " << 7.0;
    QTest::newRow("negative") << "-3,2" << -3.2;
    QTest::newRow("leading comma") << ",5" << 0.5;
    QTest::newRow("trailing comma") << "5," << 5.0;
    QTest::newRow("zero") << "0" << 0.0;
    QTest::newRow("currency text") << "R$ 1.234,56" << 1234.56;
    QTest::newRow("negative currency") << "-R$ 1,00" << -1.0;
    QTest::newRow("quantity 01") << "01" << 1.0;
}

void TestFormat::parseGood()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    QString err = QStringLiteral("stale");
    const auto v = parseNumber(text, &err);
    QVERIFY2(v.has_value(), qPrintable(err));
    QCOMPARE(*v, expected);
    QVERIFY(err.isEmpty());
}

void TestFormat::parseBad_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("letters") << "abc";
    QTest::newRow("two commas") << "1,2,3";
    QTest::newRow("empty") << "";
    QTest::newRow("blank") << "   ";
    QTest::newRow("bad grouping") << "1.23,4";
    QTest::newRow("point as decimal") << "1.5";
    QTest::newRow("trailing letters") << "12x";
    QTest::newRow("sign only") << "-";
    QTest::newRow("inner blank") << "1 000";
    QTest::newRow("exponent") << "1e5";
}

void TestFormat::parseBad()
{
    QFETCH(QString, text);
    QString err;
    QVERIFY(!parseNumber(text, &err).has_value());
    QVERIFY(err.contains(QStringLiteral("não é um valor válido")));
    QVERIFY(err.contains(QLatin1Char('\'') + text + QLatin1Char('\'')));
}

void TestFormat::printfReceipt()
{
    // Texts: padded, never cut, unless a precision cuts them.
    QCOMPARE(formatPrintf(QStringLiteral("%-50s"), QStringLiteral("OFICINA")),
             QStringLiteral("OFICINA") + QString(43, QLatin1Char(' ')));
    const QString dashes(54, QLatin1Char('-'));
    QCOMPARE(formatPrintf(QStringLiteral("%-50s"), dashes), dashes);
    const QString desc = QStringLiteral("FILTRO DE OLEO MOTOR 1.0 FLEX ORIGINAL");
    QCOMPARE(formatPrintf(QStringLiteral("%-28.28s"), desc), desc.left(28));
    QCOMPARE(formatPrintf(QStringLiteral("%-28.28s"), QStringLiteral("VELA")).size(), 28);
    QCOMPARE(formatPrintf(QStringLiteral("%-6.5s"), shortNumber(1)), QStringLiteral("1     "));
    QCOMPARE(formatPrintf(QStringLiteral("%-6.5s"), QStringLiteral("123,456")), QStringLiteral("123,4 "));
    QCOMPARE(formatPrintf(QStringLiteral("%-36.31s"), QStringLiteral("SUB-TOTAL R$...:")).size(), 36);
    // Money.
    QCOMPARE(formatPrintf(QStringLiteral("%-12.2m"), 12.5), QStringLiteral("R$ 12,50    "));
    QCOMPARE(formatPrintf(QStringLiteral("%-12.2m"), 1234.5), QStringLiteral("R$ 1.234,50 "));
    QCOMPARE(formatPrintf(QStringLiteral("%2m"), 1234.5), QStringLiteral("R$ 1.234,50"));
    QCOMPARE(formatPrintf(QStringLiteral("%-2m"), 7.0), QStringLiteral("R$ 7,00"));
    QCOMPARE(formatPrintf(QStringLiteral("%12.2m"), 1.0), QStringLiteral("     R$ 1,00"));
    QCOMPARE(formatPrintf(QStringLiteral("%m"), -3.456), QStringLiteral("-R$ 3,46"));
    // A number handed over as text still formats as money.
    QCOMPARE(formatPrintf(QStringLiteral("%2m"), QStringLiteral("42,5")), QStringLiteral("R$ 42,50"));
}

void TestFormat::printfPlain()
{
    QCOMPARE(formatPrintf(QStringLiteral("%d"), 42.0), QStringLiteral("42"));
    QCOMPARE(formatPrintf(QStringLiteral("%5d"), 42.0), QStringLiteral("   42"));
    QCOMPARE(formatPrintf(QStringLiteral("%.3d"), 7.0), QStringLiteral("007"));
    QCOMPARE(formatPrintf(QStringLiteral("%d"), -7.0), QStringLiteral("-7"));
    QCOMPARE(formatPrintf(QStringLiteral("%.2f"), 3.14159), QStringLiteral("3,14"));
    QCOMPARE(formatPrintf(QStringLiteral("%f"), 1234.5), QStringLiteral("1234,50"));
    QCOMPARE(formatPrintf(QStringLiteral("%n"), 1234.5), QStringLiteral("1.234,50"));
    QCOMPARE(formatPrintf(QStringLiteral("Total: %s!"), QStringLiteral("ok")), QStringLiteral("Total: ok!"));
    QCOMPARE(formatPrintf(QStringLiteral("100%% %s"), QStringLiteral("x")), QStringLiteral("100% x"));
    QCOMPARE(formatPrintf(QStringLiteral("%s"), 12.5), QStringLiteral("12,5"));
    // A conversion without a known type is copied.
    QCOMPARE(formatPrintf(QStringLiteral("abc %q"), QStringLiteral("x")), QStringLiteral("abc %q"));
    QCOMPARE(formatPrintf(QStringLiteral("%d"), QStringLiteral("abc")), QStringLiteral("abc"));
    // Zero-padded base of a barcode, from a number or from typed digits.
    QCOMPARE(formatPrintf(QStringLiteral("%.12d"), 67890.0), QStringLiteral("000000067890"));
    QCOMPARE(formatPrintf(QStringLiteral("%.12d"), QStringLiteral("67890")), QStringLiteral("000000067890"));
    // Several arguments.
    QCOMPARE(formatPrintfArgs(QStringLiteral("%d.%d.%d.%d"), {1, 0, 3, 12}), QStringLiteral("1.0.3.12"));
    QCOMPARE(formatPrintfArgs(QStringLiteral("%s: %-6.2m|%%"), {QStringLiteral("Total"), 2.5}),
             QStringLiteral("Total: R$ 2,50|%"));
    QCOMPARE(formatPrintfArgs(QStringLiteral("%s-%s"), {QStringLiteral("a")}), QStringLiteral("a-"));
}

void TestFormat::dates()
{
    QCOMPARE(dateText(QDate(2020, 2, 3)), QStringLiteral("03/02/2020"));
    QCOMPARE(dateText(QDate()), QString());
    QCOMPARE(sqlDateLiteral(QDate(2020, 2, 3)), QStringLiteral("02/03/2020"));
    QCOMPARE(longDate(QDate(2026, 12, 9)), QStringLiteral("quarta-feira, 09 de dezembro de 2026"));
    QCOMPARE(longDate(QDate(2009, 1, 4)), QStringLiteral("domingo, 04 de janeiro de 2009"));
    QCOMPARE(monthName(1), QStringLiteral("Janeiro"));
    QCOMPARE(monthName(3), QStringLiteral("Março"));
    QCOMPARE(monthName(12), QStringLiteral("Dezembro"));
    QCOMPARE(monthName(13), QString());
    QCOMPARE(weekdayName(6), QStringLiteral("sábado"));
    QCOMPARE(weekdayName(7), QStringLiteral("domingo"));
    QCOMPARE(weekdayName(2), QStringLiteral("terça-feira"));
}

void TestFormat::parseDates_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("expected");   // invalid = rejected
    QTest::newRow("full") << "09/12/2026" << QDate(2026, 12, 9);
    QTest::newRow("short parts") << "1/2/2020" << QDate(2020, 2, 1);
    QTest::newRow("leap day") << "29/02/2020" << QDate(2020, 2, 29);
    QTest::newRow("no leap") << "29/02/2021" << QDate();
    QTest::newRow("31 feb") << "31/02/2020" << QDate();
    QTest::newRow("month 13") << "01/13/2020" << QDate();
    QTest::newRow("empty mask text") << "  /  /    " << QDate();
    QTest::newRow("empty") << "" << QDate();
    QTest::newRow("letters") << "aa/bb/cccc" << QDate();
    QTest::newRow("dashes") << "01-02-2020" << QDate();
    QTest::newRow("three digit year") << "01/02/202" << QDate();
    QTest::newRow("blanks around") << " 05/06/2021 " << QDate(2021, 6, 5);
}

void TestFormat::parseDates()
{
    QFETCH(QString, text);
    QFETCH(QDate, expected);
    const auto d = parseDate(text);
    if (!expected.isValid()) {
        QVERIFY2(!d.has_value(), qPrintable(d ? d->toString() : QString()));
    } else {
        QVERIFY(d.has_value());
        QCOMPARE(*d, expected);
    }
}

void TestFormat::dateMasks()
{
    const QDateTime dt(QDate(2026, 3, 7), QTime(8, 5, 9));
    QCOMPARE(formatDateTime(QStringLiteral("hh:nn:ss"), dt), QStringLiteral("08:05:09"));
    QCOMPARE(formatDateTime(QStringLiteral("dd/mm/yyyy"), dt), QStringLiteral("07/03/2026"));
    QCOMPARE(formatDateTime(QStringLiteral("hh:mm"), dt), QStringLiteral("08:05"));
    QCOMPARE(formatDateTime(QStringLiteral("mmmm"), dt), QStringLiteral("março"));
    QCOMPARE(formatDateTime(QStringLiteral("ddd d/m/yy"), dt), QStringLiteral("sáb 7/3/26"));
    // The status-bar format, quotes and all.
    QCOMPARE(formatDateTime(QStringLiteral("dddd \", \" dd \" de \" mmmm \" de \" yyyy"), dt),
             QStringLiteral("sábado ,  07  de  março  de  2026"));
    QCOMPARE(formatDateTime(QStringLiteral("dddd\", \"dd\" de \"mmmm\" de \"yyyy"), dt),
             QStringLiteral("sábado, 07 de março de 2026"));

    // Two-digit years land within fifty years of today.
    const int yy = QDate::currentDate().year() % 100;
    const auto d = parseDate(QStringLiteral("01/01/%1").arg(yy, 2, 10, QLatin1Char('0')));
    QVERIFY(d.has_value());
    QCOMPARE(d->year(), QDate::currentDate().year());
}

void TestFormat::caseKeepsAccents()
{
    QCOMPARE(upper(QStringLiteral("ação mecânica çé")), QStringLiteral("AÇÃO MECÂNICA ÇÉ"));
    QCOMPARE(lower(QStringLiteral("AÇÃO ÓLEO")), QStringLiteral("ação óleo"));
    const QString s = QStringLiteral("straße");
    QCOMPARE(upper(s).size(), s.size());   // one character per character while typing
}

QTEST_GUILESS_MAIN(TestFormat)
#include "test_format.moc"
