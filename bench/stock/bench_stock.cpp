// Stock balance on the generated database (50 000 products):
//   one product, and every product at once (set-based, per-product loops).
// The database is generated once into $BRELVO_BENCH_STOCK_DB
// (default /tmp/brelvo-bench-stock) and reused on later runs.

#include "BenchDatabase.h"
#include "data/Database.h"
#include "data/Statement.h"
#include "stock/StockBalance.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>
#include <benchmark/benchmark.h>
#include <random>
#include <vector>

using namespace brelvo;

namespace {

data::DatabasePtr g_db;
std::vector<qint64> g_codes;

void setUp()
{
    g_db = bench::openGenerated(
        bench::benchLocation({"BRELVO_BENCH_STOCK_DB"}, QDir::temp().filePath(QStringLiteral("brelvo-bench-stock"))));
    data::ForwardQuery q(g_db, QStringLiteral("SELECT Codigo FROM \"tbProdutos.db\""));
    while (q.next())
        g_codes.push_back(q.value(0).toLongLong());
    QTextStream(stderr) << g_codes.size() << " produtos\n";
}

void BM_BalanceOneProduct(benchmark::State &state)
{
    stock::StockBalance b(g_db);
    std::mt19937 rng(7);
    std::uniform_int_distribution<size_t> pick(0, g_codes.size() - 1);
    double sink = 0;
    for (auto _ : state)
        sink += b.balance(g_codes[pick(rng)]);
    benchmark::DoNotOptimize(sink);
}
BENCHMARK(BM_BalanceOneProduct)->Unit(benchmark::kMicrosecond);

// Compute and store one product's balance (its own commit), as the products window does.
void BM_StoreOneProduct(benchmark::State &state)
{
    stock::StockBalance b(g_db);
    std::mt19937 rng(11);
    std::uniform_int_distribution<size_t> pick(0, g_codes.size() - 1);
    for (auto _ : state)
        b.store(g_codes[pick(rng)]);
}
BENCHMARK(BM_StoreOneProduct)->Unit(benchmark::kMicrosecond);

// Every product: one statement in one transaction.
void BM_AllProductsSetBased(benchmark::State &state)
{
    stock::StockBalance b(g_db);
    for (auto _ : state)
        benchmark::DoNotOptimize(b.refreshAll());
    state.counters["products"] = double(g_codes.size());
}
BENCHMARK(BM_AllProductsSetBased)->Unit(benchmark::kMillisecond)->Iterations(3);

// Every product: per-product queries and updates inside one transaction.
void BM_AllProductsLoopOneTransaction(benchmark::State &state)
{
    stock::StockBalance b(g_db);
    for (auto _ : state) {
        g_db->transaction();
        for (qint64 code : g_codes)
            b.store(code);
        g_db->commit();
    }
}
BENCHMARK(BM_AllProductsLoopOneTransaction)->Unit(benchmark::kMillisecond)->Iterations(2);

// Per-product commits, measured over the first N products (N = range).
void BM_ProductsLoopCommitEach(benchmark::State &state)
{
    stock::StockBalance b(g_db);
    const size_t n = std::min<size_t>(size_t(state.range(0)), g_codes.size());
    for (auto _ : state)
        for (size_t i = 0; i < n; ++i)
            b.store(g_codes[i]);
    // Seconds per product.
    state.counters["s_per_product"] = benchmark::Counter(
        double(n), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ProductsLoopCommitEach)->Arg(5000)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    try {
        setUp();
    } catch (const data::DbError &e) {
        QTextStream(stderr) << e.message() << '\n';
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_db.reset();
    return 0;
}
