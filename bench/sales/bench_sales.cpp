// The till on the generated database (200 000 sales, 1 000 000 items, 50 000
// products): 100 codes scanned into one sale the way a barcode scanner sends
// them (13 digits typed into the code box, then Enter). Each scan looks the
// product up, runs the stock check, writes the item and runs totalizar.
// Figures: the median, 95th percentile and worst scan of each run of 100.
// The database is generated once into $BRELVO_BENCH_SALES_DB (default
// /tmp/brelvo-bench-sales) and reused; every run deletes the sale it made.

#include "BenchDatabase.h"
#include "core/FakeDialogService.h"
#include "data/Database.h"
#include "data/Statement.h"
#include "sales/SaleRules.h"
#include "sales/TFormFrenteCaixa.h"
#include "stock/StockBalance.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>
#include <QTextStream>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <random>
#include <vector>

using namespace brelvo;

namespace {

data::DatabasePtr g_db;
std::vector<QString> g_scans;   // 100 codes that may be sold one at a time, as typed

void setUp()
{
    g_db = bench::openGenerated(
        bench::benchLocation({"BRELVO_BENCH_SALES_DB"}, QDir::temp().filePath(QStringLiteral("brelvo-bench-sales"))));

    // Random products the stock check lets through with quantity 1, so that
    // every scan ends in an item written.
    std::vector<std::tuple<qint64, QString, QString>> products;
    data::ForwardQuery q(g_db, QStringLiteral("SELECT Codigo, MonitorarEstq, PermiteVenda FROM \"tbProdutos.db\""));
    while (q.next())
        products.emplace_back(q.value(0).toLongLong(), q.value(1).toString(), q.value(2).toString());
    std::mt19937 rng(15);
    std::shuffle(products.begin(), products.end(), rng);
    stock::StockBalance stock(g_db);
    for (const auto &[code, monitorar, permite] : products) {
        if (g_scans.size() == 100)
            break;
        if (sales::checkStock(1, stock.availability(code), monitorar, permite) == sales::StockVerdict::Add)
            g_scans.push_back(QStringLiteral("%1").arg(code, 13, 10, QLatin1Char('0')));
    }
    data::ForwardQuery n(g_db, QStringLiteral("SELECT count(*) FROM \"tbItems.DB\""));
    QTextStream(stderr) << products.size() << " produtos, " << n.scalar().toLongLong() << " itens de venda, "
                        << g_scans.size() << " códigos para ler\n";
}

double percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(p * double(v.size() - 1) + 0.5))];
}

// One iteration = one scanned code. A run is 100 scans into a new sale.
void BM_ScanIntoOneSale(benchmark::State &state)
{
    core::ScopedFakeDialogs fake;
    sales::TFormFrenteCaixa w(g_db, QStringLiteral("BENCH"), {});
    w.show();
    w.NovaVenda();          // a sale of its own, whatever the last one is
    w.comfirmarCliente();   // anonymous
    const qint64 chave = w.TbVendas()->asInteger(QStringLiteral("Chave"));
    auto *codigo = w.findChild<QLineEdit *>(QStringLiteral("mskCodigo"));

    std::vector<double> ms;
    ms.reserve(g_scans.size());
    size_t i = 0;
    QElapsedTimer clock;
    for (auto _ : state) {
        clock.start();
        codigo->selectAll();
        QTest::keyClicks(codigo, g_scans[i++ % g_scans.size()]);
        QTest::keyClick(codigo, Qt::Key_Return);
        ms.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    const int items = w.TbItems()->recordCount();
    state.counters["items"] = items;
    state.counters["median_ms"] = percentile(ms, 0.5);
    state.counters["p95_ms"] = percentile(ms, 0.95);
    state.counters["max_ms"] = percentile(ms, 1.0);
    state.counters["messages"] = double(fake->messages().size());
    if (items != int(ms.size()) || !fake->messages().isEmpty())
        state.SkipWithError("nem todo código virou item");

    // The sale and its items go; the generated database stays as it was.
    w.TbVendas()->remove();
    data::ForwardQuery left(g_db, QStringLiteral("SELECT count(*) FROM \"tbItems.DB\" WHERE Link = :l"));
    left.setParam(QStringLiteral("l"), chave);
    if (left.scalar().toInt() != 0)
        state.SkipWithError("itens ficaram sem a venda");
}
BENCHMARK(BM_ScanIntoOneSale)->Unit(benchmark::kMicrosecond)->Iterations(100);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen")
                                                                     : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    try {
        setUp();
    } catch (const data::DbError &e) {
        QTextStream(stderr) << e.message() << '\n';
        return 1;
    }
    if (g_scans.size() < 100) {
        QTextStream(stderr) << "menos de 100 produtos vendáveis\n";
        g_db.reset();
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_db.reset();   // before the application goes
    return 0;
}
