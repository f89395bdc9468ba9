// Amounts in words: the table of amounts, words that are easy to get wrong,
// rounding of the cents, the range check and its warning.
#include "core/FakeDialogService.h"
#include "documents/Extenso.h"

#include <QtTest>
#include <cmath>
#include <limits>

using namespace brelvo;
using documents::Extenso;
using documents::TrioExtenso;

class TestExtenso : public QObject {
    Q_OBJECT
private:
    static void row(const char *name, double amount, const char *words)
    {
        QTest::newRow(name) << amount << QString::fromUtf8(words);
    }

    // Every amount here must give its words and show no message.
    void check()
    {
        QFETCH(double, amount);
        QFETCH(QString, words);
        core::ScopedFakeDialogs fake;
        QCOMPARE(Extenso(amount), words);
        QVERIFY2(fake->messages().isEmpty(), qPrintable(fake->messages().join('|')));
    }

private Q_SLOTS:
    void amounts_data()
    {
        QTest::addColumn<double>("amount");
        QTest::addColumn<QString>("words");
        row("0", 0, "");
        row("0,01", 0.01, "Um Centavo.");
        row("0,5", 0.5, "Cinqüenta Centavos.");
        row("1", 1, "Um Real.");
        row("1,01", 1.01, "Um Real, e Um Centavo.");
        row("1,5", 1.5, "Um Real, e Cinqüenta Centavos.");
        row("2", 2, "Dois Reais.");
        row("11", 11, "Onze Reais.");
        row("21", 21, "Vinte e Um Reais.");
        row("100", 100, "Cem Reais.");
        row("101", 101, "Cento e Um Reais.");
        row("110", 110, "Cento e Dez Reais.");
        row("1000", 1000, "Um Mil Reais.");
        row("1000,01", 1000.01, "Um Mil Reais, e Um Centavo.");
        row("1001", 1001, "Um Mil, e Um Reais.");
        row("1100", 1100, "Um Mil, e Cem Reais.");
        row("4321,56", 4321.56, "Quatro Mil, e Trezentos e Vinte e Um Reais, e Cinqüenta e Seis Centavos.");
        row("3423,89", 3423.89, "Três Mil, e Quatrocentos e Vinte e Três Reais, e Oitenta e Nove Centavos.");
        row("21000", 21000, "Vinte e Um Mil Reais.");
        row("100000", 100000, "Cem Mil Reais.");
        row("999999,99", 999999.99,
            "Novecentos e Noventa e Nove Mil, e Novecentos e Noventa e Nove Reais, e Noventa e Nove Centavos.");
        row("0,004 rounds to nothing", 0.004, ".");
    }
    void amounts() { check(); }

    // Words that a slip in the connectives or the tables would spoil.
    void trickyAmounts_data()
    {
        QTest::addColumn<double>("amount");
        QTest::addColumn<QString>("words");
        row("100", 100, "Cem Reais.");
        row("101", 101, "Cento e Um Reais.");
        row("200", 200, "Duzentos Reais.");
        row("115", 115, "Cento e Quinze Reais.");
        row("205", 205, "Duzentos e Cinco Reais.");
        row("10", 10, "Dez Reais.");
        row("19", 19, "Dezenove Reais.");
        row("1000", 1000, "Um Mil Reais.");
        row("1001", 1001, "Um Mil, e Um Reais.");
        row("2000", 2000, "Dois Mil Reais.");
        row("10000", 10000, "Dez Mil Reais.");
        row("100000", 100000, "Cem Mil Reais.");
        row("999999,99", 999999.99,
            "Novecentos e Noventa e Nove Mil, e Novecentos e Noventa e Nove Reais, e Noventa e Nove Centavos.");
        row("2001", 2001, "Dois Mil, e Um Reais.");
        row("1010", 1010, "Um Mil, e Dez Reais.");
        row("1555,23", 1555.23, "Um Mil, e Quinhentos e Cinqüenta e Cinco Reais, e Vinte e Três Centavos.");
        row("100000,50", 100000.5, "Cem Mil Reais, e Cinqüenta Centavos.");
        row("100100", 100100, "Cem Mil, e Cem Reais.");
        row("101001", 101001, "Cento e Um Mil, e Um Reais.");
        row("999000", 999000, "Novecentos e Noventa e Nove Mil Reais.");
        row("1000,10", 1000.10, "Um Mil Reais, e Dez Centavos.");
        row("1,11", 1.11, "Um Real, e Onze Centavos.");
        row("2,01", 2.01, "Dois Reais, e Um Centavo.");
        row("0,10", 0.10, "Dez Centavos.");
        row("0,99", 0.99, "Noventa e Nove Centavos.");
        row("1001,01", 1001.01, "Um Mil, e Um Reais, e Um Centavo.");
        row("12345,67", 12345.67, "Doze Mil, e Trezentos e Quarenta e Cinco Reais, e Sessenta e Sete Centavos.");
        row("70080,08", 70080.08, "Setenta Mil, e Oitenta Reais, e Oito Centavos.");
        row("negative zero", -0.0, "");
    }
    void trickyAmounts() { check(); }

    // Halves of a cent go up as the amount reads in decimal.
    void rounding_data()
    {
        QTest::addColumn<double>("amount");
        QTest::addColumn<QString>("words");
        row("0,005", 0.005, "Um Centavo.");
        row("1,005", 1.005, "Um Real, e Um Centavo.");
        row("2,675", 2.675, "Dois Reais, e Sessenta e Oito Centavos.");
        row("0,999", 0.999, "Um Real.");
        row("999,995", 999.995, "Um Mil Reais.");
        row("1,0049", 1.0049, "Um Real.");
        row("0,1 + 0,2", 0.1 + 0.2, "Trinta Centavos.");
    }
    void rounding() { check(); }

    void outOfRange_data()
    {
        QTest::addColumn<double>("amount");
        QTest::newRow("1000000") << 1000000.0;
        QTest::newRow("-1") << -1.0;
        QTest::newRow("-0,01") << -0.01;
        QTest::newRow("999999,991") << 999999.991;
        QTest::newRow("infinite") << std::numeric_limits<double>::infinity();
        QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN();
    }
    void outOfRange()
    {
        QFETCH(double, amount);
        core::ScopedFakeDialogs fake;
        QCOMPARE(Extenso(amount), QString());
        QCOMPARE(fake->messages(),
                 QStringList{QStringLiteral("O valor está fora do intervalo permitido."
                                            "O número deve ser maior ou igual a zero e menor que 999.999,99."
                                            " Se não for corrigido o número não será escrito por extenso.")});
        bool fora = false;
        QCOMPARE(documents::extensoSemAviso(amount, &fora), QString());
        QVERIFY(fora);
        QCOMPARE(fake->messages().size(), 1);   // the quiet form shows nothing
    }

    void trio_data()
    {
        QTest::addColumn<QString>("digits");
        QTest::addColumn<QString>("words");
        auto r = [](const char *d, const char *w) { QTest::newRow(d) << QString::fromLatin1(d) << QString::fromUtf8(w); };
        r("000", "");
        r("001", "Um");
        r("010", "Dez");
        r("011", "Onze");
        r("014", "Quatorze");
        r("016", "Dezesseis");
        r("021", "Vinte e Um");
        r("050", "Cinqüenta");
        r("100", "Cem");
        r("101", "Cento e Um");
        r("110", "Cento e Dez");
        r("115", "Cento e Quinze");
        r("205", "Duzentos e Cinco");
        r("300", "Trezentos");
        r("999", "Novecentos e Noventa e Nove");
        r("12", "");
        r("1234", "");
        r("1a2", "");
    }
    void trio()
    {
        QFETCH(QString, digits);
        QFETCH(QString, words);
        QCOMPARE(TrioExtenso(digits), words);
    }

    // Every number from 1 to 999: the tables and connectives never leave a
    // doubled or dangling " e ", and the words are never empty.
    void trioAllNumbersWellFormed()
    {
        for (int n = 1; n <= 999; ++n) {
            const QString w = TrioExtenso(QStringLiteral("%1").arg(n, 3, 10, QLatin1Char('0')));
            QVERIFY2(!w.isEmpty(), qPrintable(QString::number(n)));
            QVERIFY2(!w.startsWith(QLatin1String("e ")) && !w.endsWith(QLatin1String(" e")) &&
                         !w.contains(QLatin1String(" e e ")) && !w.contains(QLatin1String("  ")),
                     qPrintable(w));
            // "Cem" only for exactly one hundred.
            QCOMPARE(w.startsWith(QLatin1String("Cem")), n == 100);
        }
    }
};

QTEST_GUILESS_MAIN(TestExtenso)
#include "test_extenso.moc"
