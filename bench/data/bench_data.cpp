// Data-layer benchmarks on a generated database at shop scale (50 000
// products, 200 000 sales with 1 000 000 items, 50 000 service orders ...).
// The database is generated once into BRELVO_BENCH_DB (default: the build
// folder's bench-db) and reused by later runs.

#include "BenchDatabase.h"

#include "data/Database.h"
#include "data/Dataset.h"
#include "data/Statement.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <memory>
#include <random>
#include <vector>

using namespace brelvo;
using data::Query;
using data::Table;

#ifndef BRELVO_BENCH_DB_DEFAULT
#define BRELVO_BENCH_DB_DEFAULT "bench-db"
#endif

namespace {

QString benchFolder()
{
    return bench::benchLocation({"BRELVO_BENCH_DB"}, QString::fromUtf8(BRELVO_BENCH_DB_DEFAULT));
}

data::DatabasePtr &sharedDb()
{
    static data::DatabasePtr db;
    return db;
}

// Values sampled once from the database, so each benchmark looks up rows that exist.
struct Samples {
    std::vector<qint64> codes;          // product codes
    std::vector<QString> descriptions;  // product descriptions
    std::vector<qint64> monitoredCodes; // products with stock movements
    std::vector<qint64> saleKeys;       // tbVendas.db Chave
    std::vector<qint64> customerCodes;  // tbCliente.DB Codigo
};

// Rows of a query through the data layer, whichever engine holds the database.
std::vector<QVariantList> rows(const QString &sql)
{
    data::ForwardQuery q(sharedDb(), sql);
    std::vector<QVariantList> out;
    while (q.next()) {
        QVariantList row;
        for (int i = 0; i < q.columnCount(); ++i)
            row << q.value(i);
        out.push_back(row);
    }
    return out;
}

const Samples &samples()
{
    static const Samples s = [] {
        Samples r;
        for (const auto &row : rows(QStringLiteral("SELECT Codigo, Descricao, MonitorarEstq FROM \"tbProdutos.db\" ORDER BY random() LIMIT 4000"))) {
            r.codes.push_back(qint64(row[0].toDouble()));
            r.descriptions.push_back(row[1].toString());
            if (row[2].toString() == QLatin1String("S"))
                r.monitoredCodes.push_back(qint64(row[0].toDouble()));
        }
        for (const auto &row : rows(QStringLiteral("SELECT Chave FROM \"tbVendas.db\" ORDER BY random() LIMIT 4000")))
            r.saleKeys.push_back(qint64(row[0].toDouble()));
        for (const auto &row : rows(QStringLiteral("SELECT Codigo FROM \"tbCliente.DB\" ORDER BY random() LIMIT 4000")))
            r.customerCodes.push_back(qint64(row[0].toDouble()));
        return r;
    }();
    return s;
}

template <typename T> const T &pick(const std::vector<T> &v, size_t &i) { return v[i++ % v.size()]; }

bool ready(benchmark::State &state)
{
    if (sharedDb())
        return true;
    state.SkipWithError("no database");
    return false;
}

// ---------------------------------------------------------------- benchmarks

// Open tbItems.DB (1 000 000 rows) and move to its last row; range(0) = 1 orders by ByLink.
void BM_OpenItemsMoveLast(benchmark::State &state)
{
    if (!ready(state))
        return;
    const bool byLink = state.range(0) == 1;
    for (auto _ : state) {
        Table t(sharedDb(), QStringLiteral("tbItems.DB"));
        if (byLink)
            t.setIndexName(QStringLiteral("ByLink"));
        t.open();
        t.last();
        benchmark::DoNotOptimize(t.value(QStringLiteral("Chave")));
    }
    state.SetLabel(byLink ? "ByLink" : "primary");
}
BENCHMARK(BM_OpenItemsMoveLast)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_ProductsFindKeyByCodigo(benchmark::State &state)
{
    if (!ready(state))
        return;
    Table t(sharedDb(), QStringLiteral("tbProdutos.db"));
    t.setIndexName(QStringLiteral("ByCodigo"));
    t.open();
    size_t i = 0;
    qint64 misses = 0;
    for (auto _ : state) {
        if (!t.findKey({pick(samples().codes, i)}))
            ++misses;
        benchmark::DoNotOptimize(t.value(QStringLiteral("Descricao")));
    }
    if (misses)
        state.SkipWithError("findKey missed an existing code");
}
BENCHMARK(BM_ProductsFindKeyByCodigo)->Unit(benchmark::kMicrosecond);

void BM_ProductsFindNearestByCodigo(benchmark::State &state)
{
    if (!ready(state))
        return;
    Table t(sharedDb(), QStringLiteral("tbProdutos.db"));
    t.setIndexName(QStringLiteral("ByCodigo"));
    t.open();
    size_t i = 0;
    for (auto _ : state) {
        t.findNearest({pick(samples().codes, i) - 5});
        benchmark::DoNotOptimize(t.value(QStringLiteral("Codigo")));
    }
}
BENCHMARK(BM_ProductsFindNearestByCodigo)->Unit(benchmark::kMicrosecond);

// The customer picker's look-up by number.
void BM_CustomersFindKeyByCodigo(benchmark::State &state)
{
    if (!ready(state))
        return;
    Table t(sharedDb(), QStringLiteral("tbCliente.DB"));
    t.setIndexName(QStringLiteral("byCodigo"));
    t.open();
    size_t i = 0;
    qint64 misses = 0;
    for (auto _ : state) {
        if (!t.findKey({pick(samples().customerCodes, i)}))
            ++misses;
        benchmark::DoNotOptimize(t.value(QStringLiteral("Nome")));
    }
    if (misses)
        state.SkipWithError("findKey missed an existing customer");
}
BENCHMARK(BM_CustomersFindKeyByCodigo)->Unit(benchmark::kMicrosecond);

void BM_ProductsFindKeyByDescricao(benchmark::State &state)
{
    if (!ready(state))
        return;
    Table t(sharedDb(), QStringLiteral("tbProdutos.db"));
    t.setIndexName(QStringLiteral("ByDescricao"));
    t.open();
    size_t i = 0;
    qint64 misses = 0;
    for (auto _ : state) {
        if (!t.findKey({pick(samples().descriptions, i)}))
            ++misses;
        benchmark::DoNotOptimize(t.value(QStringLiteral("Codigo")));
    }
    if (misses)
        state.SkipWithError("findKey missed an existing description");
}
BENCHMARK(BM_ProductsFindKeyByDescricao)->Unit(benchmark::kMicrosecond);

// Prefix search as the product picker types it, in lower case (the index ignores case).
void BM_ProductsFindNearestByDescricao(benchmark::State &state)
{
    if (!ready(state))
        return;
    Table t(sharedDb(), QStringLiteral("tbProdutos.db"));
    t.setIndexName(QStringLiteral("ByDescricao"));
    t.open();
    std::vector<QString> prefixes;
    for (size_t k = 0; k < samples().descriptions.size(); ++k)
        prefixes.push_back(samples().descriptions[k].left(3 + int(k % 10)).toLower());
    size_t i = 0;
    for (auto _ : state) {
        t.findNearest({pick(prefixes, i)});
        benchmark::DoNotOptimize(t.value(QStringLiteral("Descricao")));
    }
}
BENCHMARK(BM_ProductsFindNearestByDescricao)->Unit(benchmark::kMicrosecond);

// A grid scroll through 1 000 sales: next() on the master, the items of each
// sale re-read through ByLink, their count and Qtd x ValorUni summed.
void BM_SalesMasterDetailScroll1000(benchmark::State &state)
{
    if (!ready(state))
        return;
    Table master(sharedDb(), QStringLiteral("tbVendas.db"));
    Table detail(sharedDb(), QStringLiteral("tbItems.DB"));
    master.open();
    detail.setIndexName(QStringLiteral("ByLink"));
    detail.setMasterSource(&master, QStringLiteral("Chave"), QStringLiteral("Link"));
    detail.open();
    master.first();
    qint64 items = 0;
    double total = 0;
    for (auto _ : state) {
        for (int k = 0; k < 1000; ++k) {
            master.next();
            if (master.eof())
                master.first();
            items += detail.recordCount();
            for (detail.first(); !detail.eof(); detail.next())
                total += detail.asFloat(QStringLiteral("Qtd")) * detail.asFloat(QStringLiteral("ValorUni"));
        }
    }
    benchmark::DoNotOptimize(total);
    state.SetItemsProcessed(state.iterations() * 1000);
    state.counters["items_per_sale"] = double(items) / double(std::max<qint64>(1, state.iterations() * 1000));
}
BENCHMARK(BM_SalesMasterDetailScroll1000)->Unit(benchmark::kMillisecond);

// The stock balance of one product in one statement: entries minus monitored
// items of "PV" sales minus monitored items of "PV" service orders.
const char *kBalanceSqlSingle =
    "SELECT COALESCE((SELECT SUM(Qtd) FROM tbReposicao WHERE Codigo = :vCodigo), 0) "
    "- COALESCE((SELECT SUM(tbItems.Qtd) FROM tbItems INNER JOIN tbVendas ON tbVendas.Chave = tbItems.Link "
    "WHERE tbItems.CodBarra = :vCodigo and tbItems.Monitorar = 'S' and tbVendas.VenOs = 'PV'), 0) "
    "- COALESCE((SELECT SUM(tbitemsordem.Qtd) FROM tbitemsordem INNER JOIN TOrdemServico ON TOrdemServico.Chave = tbitemsordem.CodVenda "
    "WHERE tbitemsordem.CodBarra = :vCodigo and tbitemsordem.Monitorar = 'S' and TOrdemServico.OsOc = 'PV'), 0) AS Saldo";

void BM_StockBalanceQuery(benchmark::State &state)
{
    if (!ready(state))
        return;
    Query q(sharedDb());
    q.setSql(QString::fromLatin1(kBalanceSqlSingle));
    size_t i = 0;
    for (auto _ : state) {
        q.setParam(QStringLiteral("vCodigo"), pick(samples().monitoredCodes, i));
        q.open();
        benchmark::DoNotOptimize(q.asFloat(QStringLiteral("Saldo")));
        q.close();
    }
}
BENCHMARK(BM_StockBalanceQuery)->Unit(benchmark::kMicrosecond);

// The same statement straight on SQLite: the floor the layer's Query adds to.
void BM_StockBalanceRawSqlite(benchmark::State &state)
{
    if (!ready(state))
        return;
    sqlite3 *h = data::detail::handle(*sharedDb());
    if (!h) {
        state.SkipWithError("the database is not a SQLite file");
        return;
    }
    const char *sql =
        "SELECT COALESCE((SELECT SUM(Qtd) FROM tbreposicao WHERE Codigo = ?1), 0)"
        " - COALESCE((SELECT SUM(i.Qtd) FROM tbitems i JOIN tbvendas v ON v.Chave = i.Link"
        "   WHERE i.CodBarra = ?1 AND i.Monitorar = 'S' AND v.VenOs = 'PV'), 0)"
        " - COALESCE((SELECT SUM(o.Qtd) FROM tbitemsordem o JOIN tordemservico s ON s.Chave = o.CodVenda"
        "   WHERE o.CodBarra = ?1 AND o.Monitorar = 'S' AND s.OsOc = 'PV'), 0)";
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(h, sql, -1, &st, nullptr) != SQLITE_OK) {
        state.SkipWithError(sqlite3_errmsg(h));
        return;
    }
    size_t i = 0;
    for (auto _ : state) {
        sqlite3_bind_double(st, 1, double(pick(samples().monitoredCodes, i)));
        if (sqlite3_step(st) == SQLITE_ROW)
            benchmark::DoNotOptimize(sqlite3_column_double(st, 0));
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
}
BENCHMARK(BM_StockBalanceRawSqlite)->Unit(benchmark::kMicrosecond);

// Post one sale item and re-sum its sale, as `totalizar` does after an item.
// The rows added are removed afterwards so the database stays as generated.
void BM_PostItemAndResum(benchmark::State &state)
{
    if (!ready(state))
        return;
    auto db = sharedDb();
    const qint64 before = qint64(rows(QStringLiteral("SELECT MAX(Chave) FROM \"tbItems.DB\"")).front().value(0).toDouble());
    {
        Table items(db, QStringLiteral("tbItems.DB"));
        items.open();
        Query sum(db);
        sum.setSql(QStringLiteral("SELECT SUM(Qtd*ValorUni) AS Total FROM tbItems WHERE Link = :k"));
        size_t i = 0, c = 0;
        for (auto _ : state) {
            const qint64 sale = pick(samples().saleKeys, i);
            items.append();
            items.setValue(QStringLiteral("Link"), sale);
            items.setValue(QStringLiteral("CodVenda"), sale);
            items.setValue(QStringLiteral("CodBarra"), pick(samples().codes, c));
            items.setValue(QStringLiteral("Qtd"), 1.0);
            items.setValue(QStringLiteral("ValorUni"), 9.9);
            items.setValue(QStringLiteral("Descricao"), QStringLiteral("ITEM DE TESTE"));
            items.setValue(QStringLiteral("Monitorar"), QStringLiteral("S"));
            items.post();
            sum.setParam(QStringLiteral("k"), sale);
            sum.open();
            benchmark::DoNotOptimize(sum.asFloat(QStringLiteral("Total")));
            sum.close();
        }
    }
    data::Statement cleanup(db, QStringLiteral("DELETE FROM \"tbItems.DB\" WHERE Chave > :k"));
    cleanup.setParam(QStringLiteral("k"), before);
    cleanup.run();
}
BENCHMARK(BM_PostItemAndResum)->Unit(benchmark::kMicrosecond);

// Provisioning an empty database: every table, index and seed row.
void BM_ProvisionEmptyDatabase(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto dir = std::make_unique<QTemporaryDir>();
        state.ResumeTiming();
        {
            auto db = data::Database::open(dir->path(), true);
            benchmark::DoNotOptimize(db.get());
        }
        state.PauseTiming();
        dir.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ProvisionEmptyDatabase)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;

    const QString folder = benchFolder();
    try {
        sharedDb() = bench::openGenerated(folder);
        // Diagnostics: BRELVO_BENCH_PRAGMAS="PRAGMA mmap_size=268435456;" tries
        // connection settings without rebuilding the layer.
        const QByteArray pragmas = qgetenv("BRELVO_BENCH_PRAGMAS");
        if (!pragmas.isEmpty() && !data::detail::handle(*sharedDb())) {
            std::fprintf(stderr, "bench_data: BRELVO_BENCH_PRAGMAS vale só para SQLite\n");
            return 1;
        }
        if (!pragmas.isEmpty()) {
            char *err = nullptr;
            if (sqlite3_exec(data::detail::handle(*sharedDb()), pragmas.constData(), nullptr,
                             nullptr, &err) != SQLITE_OK) {
                std::fprintf(stderr, "bench_data: %s\n", err ? err : "?");
                sqlite3_free(err);
                return 1;
            }
            std::fprintf(stderr, "bench_data: %s\n", pragmas.constData());
        }
        samples();
    } catch (const data::DbError &e) {
        std::fprintf(stderr, "bench_data: %s\n", qPrintable(e.message()));
        return 1;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "bench_data: %s\n", e.what());
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    sharedDb().reset();
    benchmark::Shutdown();
    return 0;
}
