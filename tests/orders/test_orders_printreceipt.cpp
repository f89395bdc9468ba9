// The text receipt of a service order: its bytes for the cases that matter,
// and what the operator sees when the port is missing, fails or works.

#include "test_orders_print_fixture.h"

#include "core/FakeDialogService.h"
#include "printing/PrintData.h"
#include "printing/ReceiptWriter.h"

#include <QFile>
#include <QFileInfo>

using namespace orderprint;
using brelvo::core::FakeDialogService;
using brelvo::core::ScopedFakeDialogs;
using namespace brelvo;

namespace {

// Expected bytes are spelled out here, independently of the writer.
QByteArray padR(QByteArray s, int n)
{
    while (s.size() < n)
        s += ' ';
    return s;
}
QByteArray L(const QByteArray &s) { return s + "\r\n"; }
const QByteArray kSep(54, '-');
// As the printer expects it, byte for byte.
const QByteArray kDeco = QByteArray::fromHex(QByteArray(
    "40 23 24 25 A8 26 2A 2A 26 A8 25 25 24 24 23 A8 25 24 23 40 21 26 25 A8 24 23 40 21 40 23 24 23 24 25 A8 24 "
    "40 23 40 40 24 25 24 A8 25 24 23 40 21 24 24 21 23").replace(' ', ""));

const QDateTime kNow(QDate(2026, 3, 9), QTime(14, 5, 9));
const QString k40 = QStringLiteral("FILTRO DE OLEO MOTOR 1.0 8V FLEX ORIGINA");   // 40 characters

QByteArray expectedReceipt(const QByteArray &address, const QByteArray &itemLines, const QByteArray &sub,
                           const QByteArray &desc, const QByteArray &total, bool daruma)
{
    QByteArray r;
    r += '\x0F';
    r += L(padR("AUTO CENTER S\xC3O JORGE", 50));
    r += L(padR(address, 50));
    r += L(padR("CAMPINAS-SP - Fone: (19) 3232-1000 / (19) 99876-5432", 50));
    r += L(padR("CNPJ:12.345.678/0001-95 - IE:244.123.456.789", 50));
    r += L(kSep);
    r += L(padR("O.S No......: 000042", 50));
    r += L("Data........: 09/03/2026 Hora: 14:05:09");
    r += L(padR("Cliente.....: JOS\xC9 DA SILVA", 50));
    r += L("");
    r += L("QTDE. PRODUTO                    VALOR UN  VALOR TOTAL");
    r += L(kSep);
    r += itemLines;
    r += L(kSep);
    r += '\x0F' + padR("SUB-TOTAL R$...:", 36) + '\x12' + L(sub);
    r += '\x0F' + padR("DESCONTO R$....:", 36) + '\x12' + L(desc);
    r += '\x0F' + padR("VALOR TOTAL R$.:", 36) + '\x12' + L(total);
    r += '\x0F' + L(kSep);
    r += L(padR("VENDEDOR: 3     Atendente....: MARIA", 50));
    r += L(kSep);
    r += L(padR("AGRADECEMOS A PREFERENCIA !", 50));
    r += L(kSep);
    r += L(kDeco);
    r += "\r\n\r\n\r\n\r\n\r\n";
    if (daruma)
        r += "\x1Bm\r\n";
    return r;
}

const QList<Item> kThreeItems{
    {7891000100103LL, 1.0, 12.5, k40},
    {7891000100202LL, 1.5, 40.0, QStringLiteral("VELAS")},
    {1LL, 2.33333, 1234.5, QStringLiteral("MÃO DE OBRA REVISÃO")},
};

QByteArray threeItemLines()
{
    return "1     " + k40.left(28).toLatin1() + padR("R$ 12,50", 12) + L("R$ 12,50")
           + "1,5   " + padR("VELAS", 28) + padR("R$ 40,00", 12) + L("R$ 60,00")
           + "2,333 " + padR("M\xC3O DE OBRA REVIS\xC3O", 28) + padR("R$ 1.234,50", 12) + L("R$ 2.880,50");
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestOrderReceipt : public QObject {
    Q_OBJECT
private slots:
    void bytes_data();
    void bytes();
    void boldIssuerOfTheDarumaSaleReceipt();
    void printsToAFilePortAndSaysSo();
    void anEmptyDiscountPrintsAtOnce();
    void noPortOpensThePortWindow();
    void failingPortsNeverReportSuccess();
    void aFailedTotalPrintsNothing();
    void noOrderNoReceipt();
};

void TestOrderReceipt::bytes_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("withItems");
    QTest::addColumn<bool>("daruma");
    QTest::addColumn<double>("desconto");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray co = "RUA DAS OFICINAS, 120 - CENTRO";
    // 12,50 + 60,00 + 2.880,4958... = 2.952,9958...; less 10.
    QTest::newRow("three items, no cut") << QString() << true << false << 10.0
        << expectedReceipt(co, threeItemLines(), "R$ 2.953,00", "R$ 10,00", "R$ 2.943,00", false);
    QTest::newRow("three items, Daruma cut") << QString() << true << true << 10.0
        << expectedReceipt(co, threeItemLines(), "R$ 2.953,00", "R$ 10,00", "R$ 2.943,00", true);
    QTest::newRow("no items") << QString() << false << false << 0.0
        << expectedReceipt(co, QByteArray(), "R$ 0,00", "R$ 0,00", "R$ 0,00", false);
    QTest::newRow("no items, a discount") << QString() << false << false << 10.0
        << expectedReceipt(co, QByteArray(), "R$ 0,00", "R$ 10,00", "-R$ 10,00", false);
    // The address line is 78 characters: written whole, not cut to 50.
    const QString longAddress = QStringLiteral("RODOVIA DOM PEDRO I, KM 127, GALPÃO 3, SALA 12, DISTRITO INDUSTRIAL");
    QTest::newRow("company line longer than 50") << longAddress << true << false << 10.0
        << expectedReceipt("RODOVIA DOM PEDRO I, KM 127, GALP\xC3O 3, SALA 12, DISTRITO INDUSTRIAL - CENTRO",
                           threeItemLines(), "R$ 2.953,00", "R$ 10,00", "R$ 2.943,00", false);
}

void TestOrderReceipt::bytes()
{
    QFETCH(QString, address);
    QFETCH(bool, withItems);
    QFETCH(bool, daruma);
    QFETCH(double, desconto);
    QFETCH(QByteArray, expected);
    QCOMPARE(k40.size(), 40);

    Fixture fx;
    if (!address.isEmpty())
        setSettings(fx.db, QStringLiteral("empresa.DB"), {{"End", address}});
    // An order without items still has the blank row its total leaves behind.
    fx.makeOrder(withItems ? kThreeItems : QList<Item>{Item{}}, desconto);
    const QByteArray got = orders::orderReceiptBytes(fx.source(), daruma, kNow);
    if (got != expected) {
        const QList<QByteArray> g = got.split('\n'), e = expected.split('\n');
        for (int i = 0; i < std::min(g.size(), e.size()); ++i)
            QVERIFY2(g[i] == e[i], qPrintable(QStringLiteral("line %1: got [%2] expected [%3]")
                                                   .arg(i + 1).arg(QString::fromLatin1(g[i].toHex(' ')),
                                                                   QString::fromLatin1(e[i].toHex(' ')))));
        QCOMPARE(g.size(), e.size());
    }
    QCOMPARE(got, expected);
}

void TestOrderReceipt::boldIssuerOfTheDarumaSaleReceipt()
{
    printing::Issuer is;
    is.empresa = QStringLiteral("OFICINA");
    printing::ReceiptWriter w;
    w.issuerHeader(is, true);
    // The escapes count towards the 50 columns, as the old format() counted them.
    QVERIFY(w.bytes().startsWith("\x0F" + L(padR("\x1B" "EOFICINA\x1B" "F", 50))));
    QVERIFY(w.bytes().endsWith(L(kSep)));
}

void TestOrderReceipt::printsToAFilePortAndSaysSo()
{
    ScopedFakeDialogs dlg;
    Fixture fx;
    const QString port = fx.dir.filePath(QStringLiteral("cupom.prn"));
    setSettings(fx.db, QStringLiteral("tbPortaImpressora.db"), {{"Porta", port}, {"Daruma", "S"}});
    fx.makeOrder(kThreeItems);
    int totals = 0;
    orders::OrderPrintSource src = fx.source();
    src.totalize = [&] {
        ++totals;
        fx.order->edit();
        fx.order->setValue(QStringLiteral("Desconto"), 2.95);
        fx.order->post();
    };
    const QDateTime before = QDateTime::currentDateTime();
    orders::printOrderReceipt(nullptr, src);
    const QDateTime after = QDateTime::currentDateTime();
    QCOMPARE(totals, 1);
    QCOMPARE(dlg->messages(), QStringList{QStringLiteral("Impressão Enviada com Sucesso!!!")});
    const QByteArray written = readFile(port);
    QVERIFY(written == orders::orderReceiptBytes(src, true, before)
            || written == orders::orderReceiptBytes(src, true, after));
    // The totals are read after the window stored them.
    QVERIFY(written.contains("DESCONTO R$....:" + QByteArray(20, ' ') + "\x12R$ 2,95\r\n"));
    QVERIFY(written.endsWith("\r\n\r\n\r\n\r\n\r\n\x1Bm\r\n"));
}

void TestOrderReceipt::anEmptyDiscountPrintsAtOnce()
{
    ScopedFakeDialogs dlg;
    Fixture fx;
    const QString port = fx.dir.filePath(QStringLiteral("cupom.prn"));
    setSettings(fx.db, QStringLiteral("tbPortaImpressora.db"), {{"Porta", port}});
    fx.makeOrder(kThreeItems, QVariant());
    orders::printOrderReceipt(nullptr, fx.source());
    const QByteArray written = readFile(port);
    QVERIFY(written.contains("\x12R$ 0,00\r\n"));
    QVERIFY(written.contains("VALOR TOTAL R$.:" + QByteArray(20, ' ') + "\x12R$ 2.953,00\r\n"));
    QCOMPARE(dlg->messages(), QStringList{QStringLiteral("Impressão Enviada com Sucesso!!!")});
}

void TestOrderReceipt::noPortOpensThePortWindow()
{
    ScopedFakeDialogs dlg;
    Fixture fx;
    setSettings(fx.db, QStringLiteral("tbPortaImpressora.db"), {{"Porta", "   "}});
    fx.makeOrder(kThreeItems);
    int opened = 0;
    const auto previous = printing::setReceiptPortWindow([&](QWidget *, const data::DatabasePtr &db) {
        QCOMPARE(db, fx.db);
        ++opened;
    });
    int totals = 0;
    orders::OrderPrintSource src = fx.source();
    src.totalize = [&] { ++totals; };
    orders::printOrderReceipt(nullptr, src);
    printing::setReceiptPortWindow(previous);
    QCOMPARE(opened, 1);
    QCOMPARE(totals, 0);
    QCOMPARE(dlg->messages(), QStringList{QStringLiteral("Porta Impressora Não fiscal não foi informada!")});
}

void TestOrderReceipt::failingPortsNeverReportSuccess()
{
    QStringList ports{QStringLiteral("%1/nao/existe/cupom.prn")};
    if (QFileInfo::exists(QStringLiteral("/dev/full")))
        ports << QStringLiteral("/dev/full");
    for (const QString &p : ports) {
        ScopedFakeDialogs dlg;
        Fixture fx;
        const QString port = p.contains(QLatin1String("%1")) ? p.arg(fx.dir.path()) : p;
        setSettings(fx.db, QStringLiteral("tbPortaImpressora.db"), {{"Porta", port}});
        fx.makeOrder(kThreeItems);
        orders::printOrderReceipt(nullptr, fx.source());
        QCOMPARE(dlg->count(FakeDialogService::Kind::Error), 1);
        QCOMPARE(dlg->count(FakeDialogService::Kind::Information), 0);
        const QString text = dlg->callsOf(FakeDialogService::Kind::Error).first().text;
        QVERIFY2(text.contains(port) && text.contains(QStringLiteral("O cupom não foi impresso ou saiu incompleto")),
                 qPrintable(text));
    }
}

void TestOrderReceipt::aFailedTotalPrintsNothing()
{
    ScopedFakeDialogs dlg;
    Fixture fx;
    const QString port = fx.dir.filePath(QStringLiteral("cupom.prn"));
    setSettings(fx.db, QStringLiteral("tbPortaImpressora.db"), {{"Porta", port}});
    fx.makeOrder(kThreeItems);
    orders::OrderPrintSource src = fx.source();
    src.totalize = [] { throw data::DbError(data::DbError::Kind::RecordLocked, QStringLiteral("Registro em uso.")); };
    orders::printOrderReceipt(nullptr, src);
    QVERIFY(!QFileInfo::exists(port));
    QCOMPARE(dlg->messages(), QStringList{QStringLiteral("Registro em uso.")});
    QCOMPARE(dlg->count(FakeDialogService::Kind::Error), 1);
}

void TestOrderReceipt::noOrderNoReceipt()
{
    ScopedFakeDialogs dlg;
    Fixture fx;
    const QString port = fx.dir.filePath(QStringLiteral("cupom.prn"));
    setSettings(fx.db, QStringLiteral("tbPortaImpressora.db"), {{"Porta", port}});
    Table empty(fx.db, QStringLiteral("TOrdemServico.DB"));
    empty.open();
    orders::printOrderReceipt(nullptr, {fx.db, &empty, nullptr, QString(), {}});
    QVERIFY(!QFileInfo::exists(port));
    QCOMPARE(dlg->messages(), QStringList{QStringLiteral("Nenhum dado para impresão! ")});
}

QTEST_MAIN(TestOrderReceipt)
#include "test_orders_printreceipt.moc"
