// The till's rules as tables: the stock test, the discount limit, the change,
// typed quantities and the voucher's place and date.

#include "sales/SaleRules.h"

#include <QTest>

using namespace brelvo::sales;

Q_DECLARE_METATYPE(brelvo::sales::StockVerdict)

class RulesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void stockTest_data()
    {
        QTest::addColumn<double>("qtd");
        QTest::addColumn<double>("availability");
        QTest::addColumn<QString>("monitorar");
        QTest::addColumn<QString>("permite");
        QTest::addColumn<StockVerdict>("verdict");
        QTest::newRow("half a unit, no stock, may not sell") << 0.5 << 0.0 << "S" << "N" << StockVerdict::Add;
        QTest::newRow("fraction above the stock") << 2.5 << 2.0 << "S" << "N" << StockVerdict::Add;
        QTest::newRow("3 of 2") << 3.0 << 2.0 << "S" << "N" << StockVerdict::MoreThanStock;
        QTest::newRow("2 of 2") << 2.0 << 2.0 << "S" << "N" << StockVerdict::Add;
        QTest::newRow("3 of 0, may sell without stock") << 3.0 << 0.0 << "S" << "S" << StockVerdict::Add;
        QTest::newRow("1 of 0, may not") << 1.0 << 0.0 << "S" << "N" << StockVerdict::NoStock;
        QTest::newRow("1 of -4 (oversold), may not") << 1.0 << -4.0 << "S" << "N" << StockVerdict::NoStock;
        QTest::newRow("service without stock") << 1.0 << 0.0 << "N" << "N" << StockVerdict::Add;
        // Below one unit the product counts as without stock.
        QTest::newRow("1 of 0,5, may not") << 1.0 << 0.5 << "S" << "N" << StockVerdict::NoStock;
        // A product with stock is limited by it even when it may be sold without.
        QTest::newRow("5 of 2, may sell without stock") << 5.0 << 2.0 << "S" << "S" << StockVerdict::MoreThanStock;
        QTest::newRow("flags in lower case") << 1.0 << 0.0 << "s" << "s" << StockVerdict::Add;
    }
    void stockTest()
    {
        QFETCH(double, qtd);
        QFETCH(double, availability);
        QFETCH(QString, monitorar);
        QFETCH(QString, permite);
        QFETCH(StockVerdict, verdict);
        QCOMPARE(checkStock(qtd, availability, monitorar, permite), verdict);
    }

    void discountLimit_data()
    {
        QTest::addColumn<double>("discount");
        QTest::addColumn<double>("total");
        QTest::addColumn<double>("percent");
        QTest::addColumn<bool>("allowed");
        QTest::newRow("20 on 200 at 10 %") << 20.0 << 200.0 << 10.0 << true;
        QTest::newRow("20,01 on 200 at 10 %") << 20.01 << 200.0 << 10.0 << false;
        QTest::newRow("18 on 180 at 10 %") << 18.0 << 180.0 << 10.0 << true;
        QTest::newRow("18,01 on 180 at 10 %") << 18.01 << 180.0 << 10.0 << false;
        // 0,1 x 3 is a hair above 0,3 as a double: still allowed.
        QTest::newRow("0,03 on 0,30 at 10 %") << 0.03 << 0.1 * 3 << 10.0 << true;
        QTest::newRow("limit 0 refuses a cent") << 0.01 << 200.0 << 0.0 << false;
        QTest::newRow("limit 0 takes nothing off") << 0.0 << 200.0 << 0.0 << true;
        QTest::newRow("a negative discount") << -5.0 << 200.0 << 10.0 << false;
    }
    void discountLimit()
    {
        QFETCH(double, discount);
        QFETCH(double, total);
        QFETCH(double, percent);
        QFETCH(bool, allowed);
        QCOMPARE(discountAllowed(discount, total, percent), allowed);
    }

    void change_data()
    {
        QTest::addColumn<QString>("received");
        QTest::addColumn<double>("total");
        QTest::addColumn<QString>("shown");
        QTest::newRow("50 on 42,5") << "50" << 42.5 << "7,50";
        QTest::newRow("40 on 42,5") << "40" << 42.5 << "-2,50";
        QTest::newRow("exact") << "42,50" << 42.5 << "0,00";
        QTest::newRow("empty box") << "" << 42.5 << "0,00";
        QTest::newRow("thousands") << "1.000,00" << 999.99 << "0,01";
        // The total as shown, in cents: 19,999 is shown 20,00.
        QTest::newRow("the shown total counts") << "20" << 19.999 << "0,00";
    }
    void change()
    {
        QFETCH(QString, received);
        QFETCH(double, total);
        QFETCH(QString, shown);
        QCOMPARE(changeText(received, total).value_or(QStringLiteral("?")), shown);
    }
    void changeOfTextThatIsNoNumber()
    {
        QVERIFY(!changeText(QStringLiteral("cinquenta"), 10));
        QVERIFY(!changeText(QStringLiteral("5,0,0"), 10));
    }

    void quantity_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<double>("qtd");   // 0: refused
        QTest::newRow("01") << "01" << 1.0;
        QTest::newRow("0,5") << "0,5" << 0.5;
        QTest::newRow("blanks") << " 3 " << 3.0;
        QTest::newRow("letters") << "1a" << 0.0;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("zero") << "0" << 0.0;
        QTest::newRow("negative") << "-2" << 0.0;
    }
    void quantity()
    {
        QFETCH(QString, typed);
        QFETCH(double, qtd);
        QString error;
        const auto q = parseQuantity(typed, &error);
        if (qtd == 0) {
            QVERIFY(!q);
            QVERIFY(!error.isEmpty());
        } else {
            QCOMPARE(q.value_or(-1), qtd);
        }
    }

    void placeAndDateOfTheVoucher()
    {
        QCOMPARE(placeAndDate(QStringLiteral("CAMPINAS"), QStringLiteral("SP"), QDate(2026, 12, 8)),
                 QStringLiteral("CAMPINAS-SP, 08 de dezembro de 2026"));
        QCOMPARE(placeAndDate(QStringLiteral("SÃO PAULO"), QStringLiteral("SP"), QDate(2027, 3, 21)),
                 QStringLiteral("SÃO PAULO-SP, 21 de março de 2027"));
    }

    void paymentMethodsPairUp()
    {
        QCOMPARE(paymentCaptions().size(), 12);
        QCOMPARE(paymentCodes().size(), 12);
        QCOMPARE(paymentCodes().at(paymentCaptions().indexOf(QStringLiteral("Cartão de Débito"))),
                 QStringLiteral("CARTAO DEBITO"));
        QCOMPARE(paymentCodes().at(paymentCaptions().indexOf(QStringLiteral("À prazo"))), QStringLiteral("A PRAZO"));
    }
};

QTEST_APPLESS_MAIN(RulesTest)
#include "test_rules.moc"
