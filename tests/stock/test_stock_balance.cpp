// The stock balance: entries minus monitored "PV" sale and order exits.

#include "StockFixture.h"
#include "stock/StockBalance.h"

#include <QTest>

using brelvo::stock::StockBalance;

class TestStockBalance : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void entriesAndSaleExits();
    void orderExitsCountOnlyForServiceOrders();
    void availabilityLeavesOrderExitsOut();
    void orphanItemsNeverCount();
    void codesAsText();
    void storeWritesOnlyEstoque();
    void refreshAllMatchesPerProduct();
    void lowStock();
};

void TestStockBalance::entriesAndSaleExits()
{
    stocktest::Db f;
    f.product(123, "FILTRO DE OLEO");
    StockBalance b(f.db);
    QCOMPARE(b.balance(123), 0.0);                  // no movement at all

    f.entry(123, 10);
    QCOMPARE(b.balance(123), 10.0);

    // An open (not finalised) sale already takes its items out of stock.
    const qint64 open = f.sale("PV", "N");
    f.saleItem(open, 123, 3, "S");
    QCOMPARE(b.balance(123), 7.0);

    // The same sold as a service (Monitorar "N") does not count.
    f.saleItem(open, 123, 4, "N");
    QCOMPARE(b.balance(123), 7.0);

    // Sales without entries go negative and are stored as such.
    f.product(555, "PASTILHA");
    const qint64 other = f.sale();
    f.saleItem(other, 555, 2);
    f.saleItem(other, 555, 3);
    double stored = 0;
    QVERIFY(b.store(555, &stored));
    QCOMPARE(stored, -5.0);
    QCOMPARE(f.productField(555, "Estoque").toDouble(), -5.0);

    // Fractional quantities are summed exactly as given.
    f.entry(123, 0.25);
    QCOMPARE(b.balance(123), 7.25);
}

void TestStockBalance::orderExitsCountOnlyForServiceOrders()
{
    stocktest::Db f;
    f.product(77, "CORREIA");
    f.entry(77, 10);
    const qint64 quote = f.order("OC");
    f.orderItem(quote, 77, 2, "S");
    StockBalance b(f.db);
    QCOMPARE(b.balance(77), 10.0);

    // The quote becomes a service order: now it counts.
    brelvo::data::Table t(f.db, QStringLiteral("TOrdemServico.DB"));
    t.open();
    QVERIFY(t.locate(QStringLiteral("Chave"), {quote}));
    t.edit();
    t.setValue(QStringLiteral("OsOc"), QStringLiteral("PV"));
    t.post();
    QCOMPARE(b.balance(77), 8.0);

    // Unmonitored order items never count.
    f.orderItem(quote, 77, 5, "N");
    QCOMPARE(b.balance(77), 8.0);
}

void TestStockBalance::availabilityLeavesOrderExitsOut()
{
    stocktest::Db f;
    f.product(42, "VELA");
    f.entry(42, 10);
    f.saleItem(f.sale(), 42, 2);
    f.orderItem(f.order("PV"), 42, 4);
    StockBalance b(f.db);
    const auto sums = b.sums(42);
    QCOMPARE(sums.entries, 10.0);
    QCOMPARE(sums.saleExits, 2.0);
    QCOMPARE(sums.orderExits, 4.0);
    QCOMPARE(b.availability(42), 8.0);
    QVERIFY(b.store(42));
    QCOMPARE(f.productField(42, "Estoque").toDouble(), 4.0);
}

void TestStockBalance::orphanItemsNeverCount()
{
    stocktest::Db f;
    f.product(9, "LAMPADA");
    f.entry(9, 6);
    f.saleItem(987654, 9, 3);            // no sale has this Chave
    f.orderItem(123456, 9, 2);           // no order has this Chave
    f.saleItem(f.sale("XX"), 9, 1);      // not a "PV" sale
    f.add("tbItems.DB", {{"CodBarra", 9.0}, {"Qtd", 4.0}, {"Monitorar", QStringLiteral("S")}});        // no link
    f.add("tbitemsordem.db", {{"CodBarra", 9.0}, {"Qtd", 4.0}, {"Monitorar", QStringLiteral("S")}});   // no order
    const qint64 counted = f.sale();
    f.saleItem(counted, 9, 1);           // the one exit that counts
    StockBalance b(f.db);
    QCOMPARE(b.balance(9), 5.0);
    QCOMPARE(b.refreshAll(), 1);
    QCOMPARE(f.productField(9, "Estoque").toDouble(), 5.0);
}

void TestStockBalance::codesAsText()
{
    QCOMPARE(StockBalance::parseCode(QStringLiteral("0000000000123")), std::optional<qint64>(123));
    QCOMPARE(StockBalance::parseCode(QStringLiteral(" 78 91 ")), std::optional<qint64>(7891));
    QCOMPARE(StockBalance::parseCode(QStringLiteral("7891234567895")), std::optional<qint64>(7891234567895));
    QVERIFY(!StockBalance::parseCode(QString()));
    QVERIFY(!StockBalance::parseCode(QStringLiteral("12A")));
    QVERIFY(!StockBalance::parseCode(QStringLiteral("12345678901234")));   // 14 digits

    stocktest::Db f;
    f.product(123, "ARRUELA");
    f.entry(123, 4);
    f.entry(1230, 50);                    // a different code that shares the digits
    StockBalance b(f.db);
    QCOMPARE(b.balance(QStringLiteral("0000000000123")), 4.0);
    QCOMPARE(b.availability(QStringLiteral("123")), 4.0);
    // Text that is no code is no product: no movement, and nothing breaks.
    QCOMPARE(b.balance(QStringLiteral("123\" or 1=1 --")), 0.0);
    QCOMPARE(b.balance(QStringLiteral("99999")), 0.0);
    QVERIFY(!b.store(99999));             // no such product: nothing written
}

void TestStockBalance::storeWritesOnlyEstoque()
{
    stocktest::Db f;
    f.product(31, "OLEO 5W30", "S", 45.9);
    f.product(32, "OUTRO", "S", 1);
    f.entry(31, 3);
    f.entry(32, 8);
    StockBalance b(f.db);
    QVERIFY(b.store(31));
    QCOMPARE(f.productField(31, "Estoque").toDouble(), 3.0);
    QCOMPARE(f.productField(31, "Valor").toDouble(), 45.9);
    QCOMPARE(f.productField(31, "Descricao").toString(), QStringLiteral("OLEO 5W30"));
    QCOMPARE(f.productField(32, "Estoque").toDouble(), 0.0);   // the other row is untouched
}

void TestStockBalance::refreshAllMatchesPerProduct()
{
    stocktest::Db f;
    const qint64 sale = f.sale();
    const qint64 os = f.order("PV");
    const qint64 quote = f.order("OC");
    for (int i = 1; i <= 40; ++i) {
        f.product(1000 + i, "P", i % 7 == 0 ? "N" : "S");
        if (i % 2)
            f.entry(1000 + i, i);
        if (i % 3 == 0)
            f.saleItem(sale, 1000 + i, 1.5, i % 5 ? "S" : "N");
        if (i % 4 == 0)
            f.orderItem(os, 1000 + i, 2);
        if (i % 6 == 0)
            f.orderItem(quote, 1000 + i, 100);
    }
    StockBalance b(f.db);
    QCOMPARE(b.refreshAll(), 40);
    for (int i = 1; i <= 40; ++i) {
        double expected = (i % 2 ? i : 0) - (i % 3 == 0 && i % 5 ? 1.5 : 0) - (i % 4 == 0 ? 2 : 0);
        QCOMPARE(f.productField(1000 + i, "Estoque").toDouble(), expected);
        QCOMPARE(b.balance(1000 + i), expected);
    }
}

void TestStockBalance::lowStock()
{
    QVERIFY(StockBalance::isLowStock(QStringLiteral("S"), 2, 2));
    QVERIFY(!StockBalance::isLowStock(QStringLiteral("S"), 3, 2));
    QVERIFY(StockBalance::isLowStock(QStringLiteral("S"), 0, 0));     // a new product
    QVERIFY(StockBalance::isLowStock(QStringLiteral("S"), -1, 0));
    QVERIFY(!StockBalance::isLowStock(QStringLiteral("N"), -1, 0));   // services have no stock
}

QTEST_MAIN(TestStockBalance)
#include "test_stock_balance.moc"
