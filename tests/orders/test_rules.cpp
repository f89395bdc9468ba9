// Order rules without a window: the stock test, the discount limit, the
// change, the removal text, typed numbers, numbering, deleting an order with
// its items, and the history, car and mechanic look-ups.

#include "OrderFixture.h"
#include "orders/OrderData.h"
#include "orders/OrderRules.h"
#include "orders/OrderTotals.h"
#include "stock/StockBalance.h"

#include <QTest>

using namespace brelvo;
using ordertest::u;

class TestRules : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void stockTest_data();
    void stockTest();
    void stockTestReadsTheBalance();
    void discountLimit_data();
    void discountLimit();
    void changeAndRemovalText();
    void typedNumbers_data();
    void typedNumbers();
    void numbering();
    void deletingAnOrderTakesItsItems();
    void history();
    void carsAndMechanic();
    void totals();
    void totalsOfANewOrderAndAnEmptyDiscount();
};

void TestRules::stockTest_data()
{
    QTest::addColumn<double>("stock");
    QTest::addColumn<QString>("monitorar");
    QTest::addColumn<QString>("permite");
    QTest::addColumn<bool>("allowed");
    QTest::newRow("monitored, stock 0") << 0.0 << "S" << "N" << false;
    QTest::newRow("monitored, stock 0.5") << 0.5 << "S" << "N" << false;
    QTest::newRow("monitored, negative") << -3.0 << "S" << "N" << false;
    QTest::newRow("monitored, stock 1") << 1.0 << "S" << "N" << true;
    QTest::newRow("service, stock 0") << 0.0 << "N" << "N" << true;
    QTest::newRow("sold without stock") << 0.0 << "S" << "S" << true;
    QTest::newRow("empty flags, stock 0") << 0.0 << "" << "" << false;
}

void TestRules::stockTest()
{
    QFETCH(double, stock);
    QFETCH(QString, monitorar);
    QFETCH(QString, permite);
    QFETCH(bool, allowed);
    QCOMPARE(orders::mayAddProduct(stock, monitorar, permite), allowed);
}

void TestRules::stockTestReadsTheBalance()
{
    ordertest::Db f;
    f.product(10, "PASTILHA", 50, "S", "N");
    f.product(11, "MAO DE OBRA", 80, "N", "N");
    stock::StockBalance balance(f.db);
    data::Table produtos(f.db, QStringLiteral("tbProdutos.db"));
    produtos.open();

    auto product = [&](const char *code) {
        auto p = orders::findProduct(produtos, QString::fromLatin1(code));
        Q_ASSERT(p);
        return *p;
    };
    QVERIFY(!orders::stockAllows(balance, product("10")));
    f.entry(10, 1);
    QVERIFY(orders::stockAllows(balance, product("0000000000010")));
    // A quote does not take from the stock; a service order does.
    const qint64 quote = f.order(1, "OC", "EM ABERTO");
    f.orderItem(quote, 10, "PASTILHA", 1, 50);
    QVERIFY(orders::stockAllows(balance, product("10")));
    const qint64 os = f.order(2, "PV", "EM ABERTO");
    f.orderItem(os, 10, "PASTILHA", 1, 50);
    QVERIFY(!orders::stockAllows(balance, product("10")));
    // Services are always allowed.
    QVERIFY(orders::stockAllows(balance, product("11")));
    // Unknown or unreadable codes find nothing.
    QVERIFY(!orders::findProduct(produtos, QStringLiteral("99")));
    QVERIFY(!orders::findProduct(produtos, QStringLiteral("1O")));
    QVERIFY(!orders::findProduct(produtos, QString()));
}

void TestRules::discountLimit_data()
{
    QTest::addColumn<double>("discount");
    QTest::addColumn<double>("total");
    QTest::addColumn<double>("percent");
    QTest::addColumn<bool>("allowed");
    QTest::newRow("exactly the limit") << 20.0 << 200.0 << 10.0 << true;
    QTest::newRow("a cent above") << 20.01 << 200.0 << 10.0 << false;
    QTest::newRow("below") << 5.0 << 200.0 << 10.0 << true;
    QTest::newRow("limit with a rounding tail") << 3.33 << 33.3 << 10.0 << true;
    QTest::newRow("no discount on an empty order") << 0.0 << 0.0 << 10.0 << true;
    QTest::newRow("any discount on an empty order") << 0.01 << 0.0 << 10.0 << false;
    QTest::newRow("limit 0") << 0.01 << 100.0 << 0.0 << false;
}

void TestRules::discountLimit()
{
    QFETCH(double, discount);
    QFETCH(double, total);
    QFETCH(double, percent);
    QFETCH(bool, allowed);
    QCOMPARE(orders::discountAllowed(discount, total, percent), allowed);
}

void TestRules::changeAndRemovalText()
{
    QCOMPARE(orders::change(200, 150), 50.0);
    QCOMPARE(orders::change(100, 150), -50.0);
    QCOMPARE(orders::removalText(u("FILTRO"), 12.5), u("Remover Item: FILTRO?   Total de R$ 12,5 ?"));
    QCOMPARE(orders::removalText(u("ÓLEO"), 30), u("Remover Item: ÓLEO?   Total de R$ 30 ?"));
    QCOMPARE(orders::progressStates().size(), 9);
    QVERIFY(!orders::progressStates().contains(orders::kFinalizado));
    QCOMPARE(orders::searchStates().size(), 10);
    QCOMPARE(orders::paymentMethods().size(), 12);
    QCOMPARE(orders::paymentMethods().at(8).code, u("PROMISSÓRIA"));
    QCOMPARE(orders::progressColour(u("FALTANDO PEÇAS")), QColor(0x51, 0x51, 0x00));
    QVERIFY(!orders::progressColour(u("ENTREGUE")).isValid());
}

void TestRules::typedNumbers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("value");
    QTest::newRow("comma") << "12,5" << true << 12.5;
    QTest::newRow("thousands") << "1.234,56" << true << 1234.56;
    QTest::newRow("blanks") << " 7 " << true << 7.0;
    QTest::newRow("letters") << "abc" << false << 0.0;
    QTest::newRow("letter inside") << "1O" << false << 0.0;
    QTest::newRow("empty") << "" << false << 0.0;
}

void TestRules::typedNumbers()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(double, value);
    QString message;
    const auto v = orders::parseTyped(text, u("a quantidade"), &message);
    QCOMPARE(bool(v), ok);
    if (ok) {
        QCOMPARE(*v, value);
    } else {
        QVERIFY(message.contains(u("a quantidade")));
    }
}

namespace {
// The number a new order row shows while it is typed (nothing stored).
qint64 shownNumber(const data::DatabasePtr &db)
{
    data::Table t(db, QStringLiteral("TOrdemServico.DB"));
    t.open();
    t.append();
    const qint64 n = t.asInteger(QStringLiteral("Codigo"));
    t.cancel();
    return n;
}
} // namespace

void TestRules::numbering()
{
    ordertest::Db f;
    QCOMPARE(shownNumber(f.db), 1);
    f.order(1, "PV", "EM ABERTO");
    f.order(2, "PV", "EM ABERTO");
    QCOMPARE(shownNumber(f.db), 3);
    // The last created, not the highest: 700 came before 500.
    f.order(700, "PV", "EM ABERTO");
    f.order(500, "PV", "EM ABERTO");
    QCOMPARE(shownNumber(f.db), 501);
    // 501 and 502 are taken by older orders: the next free number.
    f.order(501, "PV", "EM ABERTO");
    f.order(502, "OC", "EM ABERTO");
    f.order(500, "PV", "EM ABERTO");
    QCOMPARE(shownNumber(f.db), 503);
    QCOMPARE(orders::firstFreeOrderNumber(f.db, 1), 3);
    QCOMPARE(orders::firstFreeOrderNumber(f.db, 699), 699);
    QCOMPARE(orders::firstFreeOrderNumber(f.db, 700), 701);

    // Two desks start an order at the same moment: both show 503, the one
    // stored second is given the next number when it is stored.
    data::Table a(f.db, QStringLiteral("TOrdemServico.DB"));
    data::Table b(f.db, QStringLiteral("TOrdemServico.DB"));
    a.open();
    b.open();
    a.append();
    b.append();
    QCOMPARE(a.asInteger(QStringLiteral("Codigo")), 503);
    QCOMPARE(b.asInteger(QStringLiteral("Codigo")), 503);
    a.post();
    b.post();
    QCOMPARE(a.asInteger(QStringLiteral("Codigo")), 503);
    QCOMPARE(b.asInteger(QStringLiteral("Codigo")), 504);
    QVERIFY(f.orderField(504, "Chave").isValid());
}

void TestRules::deletingAnOrderTakesItsItems()
{
    ordertest::Db f;
    const qint64 a = f.order(1, "PV", "EM ABERTO");
    const qint64 b = f.order(2, "PV", "EM ABERTO");
    f.orderItem(a, 1, "A1", 1, 1);
    f.orderItem(a, 2, "A2", 1, 1);
    f.orderItem(b, 3, "B1", 1, 1);
    data::Table t(f.db, QStringLiteral("TOrdemServico.DB"));
    t.setIndexName(QStringLiteral("ByChave"));
    t.open();
    t.first();
    t.remove();
    QCOMPARE(f.count("TOrdemServico.DB"), 1);
    QCOMPARE(f.itemCount(a), 0);
    QCOMPARE(f.itemCount(b), 1);
    QCOMPARE(t.asInteger(QStringLiteral("Chave")), b);

    // A refused delete of the order keeps its items too.
    data::Table other(f.db, QStringLiteral("TOrdemServico.DB"));
    other.open();
    other.first();
    other.edit();
    other.setValue(QStringLiteral("Obs"), u("MUDOU"));
    other.post();   // t's row changed under it: its delete is refused
    QVERIFY_THROWS_EXCEPTION(data::DbError, t.remove());
    QCOMPARE(f.count("TOrdemServico.DB"), 1);
    QCOMPARE(f.itemCount(b), 1);
    QVERIFY(!f.db->inTransaction());
}

void TestRules::history()
{
    ordertest::Db f;
    const QDate today = QDate::currentDate();
    const QDate yesterday = today.addDays(-1);
    const qint64 old = f.order(10, "PV", "FINALIZADO", today.addDays(-30), "ABC1234", 150);
    f.order(11, "PV", "EM ABERTO", yesterday, "ABC1234", 80);
    f.order(12, "PV", "EM ABERTO", today, "ABC1234", 99);       // today: not listed
    f.order(13, "OC", "EM ABERTO", today.addDays(-3), "ABC1234", 40);   // a quote
    f.order(14, "PV", "EM ABERTO", today.addDays(-2), "abc1234", 40);   // other case
    f.order(15, "PV", "EM ABERTO", today.addDays(-2), "ABC12345", 40);  // longer plate
    f.orderItem(old, 1, "OLEO", 4, 25);
    f.orderItem(old, 2, "FILTRO", 1, 50);

    data::Query q(f.db);
    orders::prepareHistory(q, QStringLiteral("ABC1234"), yesterday);
    q.open();
    QStringList got;
    for (q.first(); !q.eof(); q.next())
        got << q.asString(QStringLiteral("Codigo")) + QLatin1Char('/') + q.asString(QStringLiteral("Total"));
    QCOMPARE(got, (QStringList{QStringLiteral("11/80"), QStringLiteral("10/150")}));
    QVERIFY(q.hasField(QStringLiteral("Data_OS")));
    q.first();
    QCOMPARE(q.asDate(QStringLiteral("Data_OS")), yesterday);

    orders::prepareHistory(q, QStringLiteral("abc1234"), yesterday);
    q.open();
    QCOMPARE(q.recordCount(), 1);
    QCOMPARE(q.asInteger(QStringLiteral("Codigo")), 14);
    // Quotes and SQL in the plate are plain text.
    orders::prepareHistory(q, QStringLiteral("X\" or \"1\"=\"1"), yesterday);
    q.open();
    QCOMPARE(q.recordCount(), 0);
    orders::prepareHistory(q, QStringLiteral("X' or '1'='1"), yesterday);
    q.open();
    QCOMPARE(q.recordCount(), 0);

    data::Query d(f.db);
    orders::prepareDetails(d, old);
    d.open();
    QCOMPARE(d.recordCount(), 2);
    d.first();
    QCOMPARE(d.asString(QStringLiteral("Descricao")), u("OLEO"));
    QCOMPARE(d.asFloat(QStringLiteral("SubTotal")), 100.0);
}

void TestRules::carsAndMechanic()
{
    ordertest::Db f;
    f.customer(7, "JOAO");
    f.customer(8, "MARIA");
    f.car(7, "GOL", "AAA1111", 2010, 2011, "VW", "FLEX");
    f.car(7, "UNO", "BBB2222", 2005, 2005, "FIAT", "ALCOOL");
    f.car(8, "KA", "CCC3333");
    data::Query q(f.db);
    orders::prepareCars(q, 7);
    q.open();
    QStringList plates;
    for (q.first(); !q.eof(); q.next())
        plates << q.asString(QStringLiteral("Modelo")) + QLatin1Char(':') + q.asString(QStringLiteral("Placa"));
    QCOMPARE(plates, (QStringList{u("GOL:AAA1111"), u("UNO:BBB2222")}));
    q.first();
    QCOMPARE(q.asInteger(QStringLiteral("Anofabrica")), 2010);
    QCOMPARE(q.asInteger(QStringLiteral("AnoModelo")), 2011);

    f.employee(3, "CARLOS", "MECÂNICO");
    f.employee(4, "ANA", "ATENDENTE");
    QCOMPARE(orders::employeeName(f.db, 3), std::optional<QString>(u("CARLOS")));
    QCOMPARE(orders::employeeName(f.db, 4), std::optional<QString>(u("ANA")));   // any role
    QVERIFY(!orders::employeeName(f.db, 5));
}

namespace {
struct OrderCursors {
    data::Table order;
    data::Table items;
    explicit OrderCursors(const data::DatabasePtr &db)
        : order(db, QStringLiteral("TOrdemServico.DB")), items(db, QStringLiteral("tbitemsordem.db"))
    {
        order.setIndexName(QStringLiteral("ByChave"));
        items.setIndexName(QStringLiteral("ByCodVenda"));
        items.setMasterSource(&order, QStringLiteral("Chave"), QStringLiteral("CodVenda"));
        order.open();
        items.open();
    }
};
} // namespace

void TestRules::totals()
{
    ordertest::Db f;
    f.order(1, "PV", "EM ABERTO");   // another order's lines never count
    const qint64 chave = f.order(2, "PV", "EM ABERTO", QDate::currentDate(), "", 0, {{"Desconto", 20.0}});
    f.orderItem(1, 1, "OUTRA", 10, 10);
    f.orderItem(chave, 1, "FILTRO", 2, 12.5);
    f.orderItem(chave, 2, "PASTILHA", 1, 175);
    OrderCursors c(f.db);
    c.order.last();
    orders::OrderTotals t(f.db);
    t.totalizar(c.order, c.items);
    QCOMPARE(c.order.asFloat(QStringLiteral("VrTotal")), 180.0);
    QCOMPARE(t.gross(), 200.0);
    QCOMPARE(t.lastTotal(), 180.0);
    QCOMPARE(f.itemCount(chave), 2);   // no blank line added to an order with lines

    // The line being edited is stored before the sum.
    c.items.first();
    c.items.edit();
    c.items.setValue(QStringLiteral("Qtd"), 4.0);
    t.totalizar(c.order, c.items);
    QCOMPARE(c.items.state(), data::Dataset::State::Browse);
    QCOMPARE(c.order.asFloat(QStringLiteral("VrTotal")), 205.0);

    // Without discount while the discount panel is open; the discount stays.
    t.totalSemDesconto(c.order, c.items);
    QCOMPARE(c.order.asFloat(QStringLiteral("VrTotal")), 225.0);
    QCOMPARE(c.order.asFloat(QStringLiteral("Desconto")), 20.0);
    QCOMPARE(t.lastTotal(), 225.0);
    QCOMPARE(orders::OrderTotals(f.db).sumItems(chave), 225.0);
    // Stored, not only shown.
    QCOMPARE(f.orderField(2, "VrTotal").toDouble(), 225.0);
}

void TestRules::totalsOfANewOrderAndAnEmptyDiscount()
{
    ordertest::Db f;
    OrderCursors c(f.db);
    orders::OrderTotals t(f.db);
    c.order.append();
    c.order.setValue(QStringLiteral("Codigo"), 1);
    t.totalizar(c.order, c.items);
    // The new order is stored with one blank line, Desconto 0 and VrTotal 0.
    QCOMPARE(f.count("TOrdemServico.DB"), 1);
    QCOMPARE(f.itemCount(c.order.asInteger(QStringLiteral("Chave"))), 1);
    QVERIFY(c.items.isNull(QStringLiteral("CodBarra")));
    QVERIFY(!f.orderField(1, "Desconto").isNull());
    QCOMPARE(f.orderField(1, "Desconto").toDouble(), 0.0);
    QCOMPARE(f.orderField(1, "VrTotal").toDouble(), 0.0);
    t.totalizar(c.order, c.items);
    QCOMPARE(f.itemCount(c.order.asInteger(QStringLiteral("Chave"))), 1);

    // An emptied discount: 0,00 and the recomputed total are both stored.
    f.orderItem(c.order.asInteger(QStringLiteral("Chave")), 5, "OLEO", 3, 33.333);
    c.order.edit();
    c.order.clearField(QStringLiteral("Desconto"));
    c.order.post();
    c.items.refresh();
    t.totalizar(c.order, c.items);
    QCOMPARE(f.orderField(1, "Desconto").toDouble(), 0.0);
    QCOMPARE(f.orderField(1, "VrTotal").toDouble(), 100.0);   // 99,999 to the cent
}

QTEST_MAIN(TestRules)
#include "test_rules.moc"
