// The generator: check digits, tax numbers, and a small generated database
// checked for the properties the benchmarks and screens rely on.

#include "GenData.h"

#include "data/Catalogue.h"
#include "data/Database.h"

#include <QDate>
#include <QTemporaryDir>
#include <QtTest>

#include <sqlite3.h>

using namespace brelvo;

namespace {

// One-column results straight from the connection of an open database.
QVariantList column(data::Database &db, const QString &sql)
{
    sqlite3 *h = brelvo::data::detail::handle(db);
    sqlite3_stmt *st = nullptr;
    const QByteArray q = sql.toUtf8();
    if (sqlite3_prepare_v2(h, q.constData(), -1, &st, nullptr) != SQLITE_OK)
        qFatal("%s: %s", q.constData(), sqlite3_errmsg(h));
    QVariantList out;
    while (sqlite3_step(st) == SQLITE_ROW) {
        switch (sqlite3_column_type(st, 0)) {
        case SQLITE_INTEGER: out << QVariant(qint64(sqlite3_column_int64(st, 0))); break;
        case SQLITE_FLOAT: out << QVariant(sqlite3_column_double(st, 0)); break;
        case SQLITE_NULL: out << QVariant(); break;
        default: out << QVariant(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0))));
        }
    }
    sqlite3_finalize(st);
    return out;
}

qint64 scalar(data::Database &db, const QString &sql)
{
    const QVariantList v = column(db, sql);
    return v.isEmpty() ? -1 : v.first().toLongLong();
}

gendata::Options smallOptions()
{
    gendata::Options o;
    o.customers = 300;
    o.vehicles = 400;
    o.products = 500;
    o.replenishments = 1500;
    o.sales = 800;
    o.saleItems = 4000;
    o.orders = 200;
    o.orderItems = 900;
    o.receivables = 150;
    o.payables = 120;
    o.seed = 7;
    return o;
}

} // namespace

class TestGenData : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void ean13CheckDigits();
    void cpfCheckDigits();
    void countsAndReferences();
    void valuesFitAndLookRealistic();
    void storedBalancesMatchMovements();
    void sameSeedSameData();
    void refusesAFilledDatabase();

private:
    QTemporaryDir m_dir;
    gendata::Result m_result;
};

void TestGenData::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QStringList lines;
    m_result = gendata::generate(m_dir.path(), smallOptions(), [&lines](const QString &l) { lines << l; });
    QVERIFY(!lines.isEmpty());
    QVERIFY(m_result.orphanSaleItems > 0);
    QVERIFY(m_result.orphanOrderItems > 0);
}

void TestGenData::ean13CheckDigits()
{
    QCOMPARE(gendata::ean13CheckDigit(1), 7);                 // 000000000001
    QCOMPARE(gendata::ean13CheckDigit(67890), 2);             // 000000067890
    QCOMPARE(gendata::ean13CheckDigit(0), 0);
    QCOMPARE(gendata::ean13CheckDigit(400638133393LL), 1);    // 4006381333931
    QCOMPARE(gendata::ean13(789100031550LL) % 10, qint64(gendata::ean13CheckDigit(789100031550LL)));
    QVERIFY(gendata::isValidEan13(4006381333931LL));
    QVERIFY(!gendata::isValidEan13(4006381333932LL));
    QVERIFY(!gendata::isValidEan13(4006381333391LL));         // two digits swapped
    QVERIFY(!gendata::isValidEan13(-1));
    QVERIFY(!gendata::isValidEan13(10000000000000LL));        // 14 digits
}

void TestGenData::cpfCheckDigits()
{
    QCOMPARE(gendata::cpfFromDigits(111444777), QStringLiteral("111.444.777-35"));
    QCOMPARE(gendata::cpfFromDigits(123456789), QStringLiteral("123.456.789-09"));
    QCOMPARE(gendata::cpfFromDigits(1), QStringLiteral("000.000.001-91"));
}

void TestGenData::countsAndReferences()
{
    const auto o = smallOptions();
    auto db = data::Database::open(m_dir.path());
    QCOMPARE(scalar(*db, "SELECT COUNT(*) FROM tbcliente"), qint64(o.customers));
    QCOMPARE(scalar(*db, "SELECT COUNT(*) FROM tcadastrocarros"), qint64(o.vehicles));
    QCOMPARE(scalar(*db, "SELECT COUNT(*) FROM tbprodutos"), qint64(o.products));
    QCOMPARE(scalar(*db, "SELECT COUNT(*) FROM tbreposicao"), qint64(o.replenishments));
    QCOMPARE(scalar(*db, "SELECT COUNT(*) FROM tbvendas"), qint64(o.sales));
    QCOMPARE(scalar(*db, "SELECT COUNT(*) FROM tbitems"), qint64(o.saleItems));
    QCOMPARE(scalar(*db, "SELECT COUNT(*) FROM tordemservico"), qint64(o.orders));
    QCOMPARE(scalar(*db, "SELECT COUNT(*) FROM tbitemsordem"), qint64(o.orderItems));
    QCOMPARE(scalar(*db, "SELECT COUNT(*) FROM tbreceber"), qint64(o.receivables));
    QCOMPARE(scalar(*db, "SELECT COUNT(*) FROM tbpagar"), qint64(o.payables));
    // The seeded rows of a new database are still there.
    QCOMPARE(scalar(*db, "SELECT COUNT(*) FROM usuarios WHERE LOGIN = 'KOV'"), qint64(1));

    // Orphans are exactly the items whose header is missing; all others point at real rows.
    QCOMPARE(scalar(*db, "SELECT COUNT(*) FROM tbitems i WHERE NOT EXISTS (SELECT 1 FROM tbvendas v WHERE v.Chave = i.Link)"),
             qint64(m_result.orphanSaleItems));
    QCOMPARE(scalar(*db, "SELECT COUNT(*) FROM tbitemsordem i WHERE NOT EXISTS "
                         "(SELECT 1 FROM tordemservico o WHERE o.Chave = i.CodVenda)"),
             qint64(m_result.orphanOrderItems));
    QCOMPARE(scalar(*db, "SELECT COUNT(*) FROM tbitems i WHERE NOT EXISTS (SELECT 1 FROM tbprodutos p WHERE p.Codigo = i.CodBarra)"), qint64(0));
    QCOMPARE(scalar(*db, "SELECT COUNT(*) FROM tbitemsordem i WHERE NOT EXISTS (SELECT 1 FROM tbprodutos p WHERE p.Codigo = i.CodBarra)"), qint64(0));
    QCOMPARE(scalar(*db, "SELECT COUNT(*) FROM tbreposicao r WHERE NOT EXISTS (SELECT 1 FROM tbprodutos p WHERE p.Codigo = r.Codigo)"), qint64(0));
    QCOMPARE(scalar(*db, "SELECT COUNT(*) FROM tcadastrocarros c WHERE NOT EXISTS (SELECT 1 FROM tbcliente p WHERE p.Codigo = c.Link)"), qint64(0));
    // Items carry the flag of their product.
    QCOMPARE(scalar(*db, "SELECT COUNT(*) FROM tbitems i JOIN tbprodutos p ON p.Codigo = i.CodBarra WHERE i.Monitorar <> p.MonitorarEstq"), qint64(0));
    QCOMPARE(scalar(*db, "SELECT COUNT(*) FROM tbitemsordem i JOIN tbprodutos p ON p.Codigo = i.CodBarra WHERE i.Monitorar <> p.MonitorarEstq"), qint64(0));
    // Item sale numbers agree with their header.
    QCOMPARE(scalar(*db, "SELECT COUNT(*) FROM tbitems i JOIN tbvendas v ON v.Chave = i.Link WHERE v.CodVenda <> i.CodVenda"), qint64(0));
    // Document numbers are unique.
    QCOMPARE(scalar(*db, "SELECT COUNT(DISTINCT CodVenda) FROM tbvendas"), qint64(o.sales));
    QCOMPARE(scalar(*db, "SELECT COUNT(DISTINCT Codigo) FROM tordemservico"), qint64(o.orders));
}

void TestGenData::valuesFitAndLookRealistic()
{
    auto db = data::Database::open(m_dir.path());
    // Every text value within its field's size, in every generated table.
    for (const data::TableDef &t : data::catalogue()) {
        for (const data::FieldDef &f : t.fields) {
            if (f.type != data::FieldType::Alpha)
                continue;
            const qint64 tooLong = scalar(*db, QStringLiteral("SELECT COUNT(*) FROM \"%1\" WHERE length(\"%2\") > %3")
                                                   .arg(t.sqlName, f.name).arg(f.size));
            QVERIFY2(tooLong == 0, qPrintable(t.fileName + "." + f.name));
        }
    }
    // Product codes are valid EAN-13 codes.
    for (const QVariant &v : column(*db, "SELECT Codigo FROM tbprodutos"))
        QVERIFY2(gendata::isValidEan13(v.toLongLong()), qPrintable(v.toString()));
    // Mostly monitored products, some services.
    const qint64 services = scalar(*db, "SELECT COUNT(*) FROM tbprodutos WHERE MonitorarEstq = 'N'");
    const qint64 parts = scalar(*db, "SELECT COUNT(*) FROM tbprodutos WHERE MonitorarEstq = 'S'");
    QVERIFY(services > 0 && parts > 4 * services);
    // Accents and apostrophes appear in names; customers' names are upper case.
    QVERIFY(scalar(*db, QString::fromUtf8("SELECT COUNT(*) FROM tbcliente WHERE Nome LIKE '%Ç%' OR Nome LIKE '%Ã%' OR Nome LIKE '%É%'")) > 0);
    QVERIFY(scalar(*db, "SELECT COUNT(*) FROM tbcliente WHERE Nome LIKE '%''%'") > 0);
    QCOMPARE(scalar(*db, "SELECT COUNT(*) FROM tbcliente WHERE Nome GLOB '*[a-z]*'"), qint64(0));
    // Every sale is "PV"; orders mix service orders and quotes.
    QCOMPARE(scalar(*db, "SELECT COUNT(*) FROM tbvendas WHERE VenOs <> 'PV'"), qint64(0));
    QVERIFY(scalar(*db, "SELECT COUNT(*) FROM tordemservico WHERE OsOc = 'OC'") > 0);
    QVERIFY(scalar(*db, "SELECT COUNT(*) FROM tordemservico WHERE OsOc = 'PV'") > 0);
    // Finalised orders carry their payment date; others do not.
    QCOMPARE(scalar(*db, "SELECT COUNT(*) FROM tordemservico WHERE (Andamento = 'FINALIZADO') <> (DtOs IS NOT NULL)"), qint64(0));
    // Several years of documents, none in the future, dates stored as ISO text.
    const QDate first = QDate::fromString(column(*db, "SELECT MIN(DtVenda) FROM tbvendas").value(0).toString(), Qt::ISODate);
    const QDate last = QDate::fromString(column(*db, "SELECT MAX(DtVenda) FROM tbvendas").value(0).toString(), Qt::ISODate);
    QVERIFY(first.isValid() && last.isValid());
    QVERIFY(first.daysTo(last) > 3 * 365);
    QVERIFY(last <= QDate::currentDate());
    // Some titles paid, some open.
    for (const char *t : {"tbreceber", "tbpagar"}) {
        QVERIFY(scalar(*db, QStringLiteral("SELECT COUNT(*) FROM %1 WHERE DataPagamento IS NULL").arg(QLatin1String(t))) > 0);
        QVERIFY(scalar(*db, QStringLiteral("SELECT COUNT(*) FROM %1 WHERE DataPagamento IS NOT NULL").arg(QLatin1String(t))) > 0);
    }
    // A sale's total is its items less its discount.
    QCOMPARE(scalar(*db, "SELECT COUNT(*) FROM tbvendas v WHERE abs(v.VrVenda - (SELECT COALESCE(SUM(i.Qtd * i.ValorUni), 0) "
                         "FROM tbitems i WHERE i.Link = v.Chave) + v.VLDesconto) > 0.011"),
             qint64(0));
}

void TestGenData::storedBalancesMatchMovements()
{
    auto db = data::Database::open(m_dir.path());
    // Recomputed here product by product, with the "PV" and monitored rules and
    // inner joins, independently of the set-based update of the generator.
    const QVariantList codes = column(*db, "SELECT Codigo FROM tbprodutos WHERE MonitorarEstq = 'S' ORDER BY Codigo LIMIT 60");
    QVERIFY(codes.size() == 60);
    int nonZero = 0;
    for (const QVariant &c : codes) {
        const QString code = QString::number(c.toLongLong());
        const double in = column(*db, "SELECT COALESCE(SUM(Qtd),0) FROM tbreposicao WHERE Codigo = " + code).value(0).toDouble();
        const double sold = column(*db, "SELECT COALESCE(SUM(i.Qtd),0) FROM tbitems i, tbvendas v WHERE i.CodBarra = " + code
                                            + " AND i.Monitorar = 'S' AND v.VenOs = 'PV' AND v.Chave = i.Link").value(0).toDouble();
        const double used = column(*db, "SELECT COALESCE(SUM(i.Qtd),0) FROM tbitemsordem i, tordemservico o WHERE i.CodBarra = " + code
                                            + " AND i.Monitorar = 'S' AND o.OsOc = 'PV' AND o.Chave = i.CodVenda").value(0).toDouble();
        const double stored = column(*db, "SELECT Estoque FROM tbprodutos WHERE Codigo = " + code).value(0).toDouble();
        QCOMPARE(stored, in - sold - used);
        if (stored != 0)
            ++nonZero;
    }
    QVERIFY(nonZero > 0);
}

void TestGenData::sameSeedSameData()
{
    QTemporaryDir other;
    QVERIFY(other.isValid());
    gendata::generate(other.path(), smallOptions());
    auto a = data::Database::open(m_dir.path());
    auto b = data::Database::open(other.path());
    const char *probe = "SELECT group_concat(Codigo || Descricao || Valor, '|') FROM (SELECT * FROM tbprodutos ORDER BY Codigo)";
    QCOMPARE(column(*a, probe), column(*b, probe));
    const char *items = "SELECT group_concat(CodBarra || '/' || Qtd || '/' || Link, '|') FROM (SELECT * FROM tbitems ORDER BY Chave)";
    QCOMPARE(column(*a, items), column(*b, items));
}

void TestGenData::refusesAFilledDatabase()
{
    gendata::Options tiny;
    tiny.customers = tiny.vehicles = tiny.products = 1;
    tiny.replenishments = tiny.sales = tiny.saleItems = tiny.orders = tiny.orderItems = 0;
    tiny.receivables = tiny.payables = 0;
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, gendata::generate(m_dir.path(), tiny));
    auto db = data::Database::open(m_dir.path());
    QCOMPARE(scalar(*db, "SELECT COUNT(*) FROM tbprodutos"), qint64(smallOptions().products));
}

QTEST_GUILESS_MAIN(TestGenData)
#include "test_gendata.moc"
