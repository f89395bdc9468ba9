// Finance on the generated database (10 000 receivables, 10 000 payables,
// 50 000 service orders, 200 000 sales): opening each window, a month and a
// year of cash flow, and the total over every receivable.
// The database is generated once into <build>/bench-db (BRELVO_BENCH_DB
// overrides) and shared with the other benchmarks of the build.

#include "BenchDatabase.h"
#include "core/DialogService.h"
#include "data/Database.h"
#include "finance/CashFlow.h"
#include "finance/TFFluxo.h"
#include "finance/Tfpagar.h"
#include "finance/Tfreceber.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <benchmark/benchmark.h>
#include <cstdio>

using namespace brelvo;

namespace {

data::DatabasePtr g_db;

QString benchFolder()
{
    return bench::benchLocation({"BRELVO_BENCH_DB"}, QString::fromUtf8(BRELVO_BENCH_DB_DEFAULT));
}

// The last whole calendar month and year before today: full of rows in a
// generated database that spreads them over the years up to today.
finance::Period lastMonth()
{
    const QDate first = QDate::currentDate().addMonths(-1);
    return finance::monthOf(first);
}

finance::Period lastYear()
{
    const int y = QDate::currentDate().year() - 1;
    return {QDate(y, 1, 1), QDate(y, 12, 31)};
}

void BM_OpenReceber(benchmark::State &state)
{
    for (auto _ : state) {
        finance::Tfreceber w(g_db);
        benchmark::DoNotOptimize(w.reminderTotal());
    }
}
BENCHMARK(BM_OpenReceber)->Unit(benchmark::kMillisecond);

void BM_OpenPagar(benchmark::State &state)
{
    for (auto _ : state) {
        finance::Tfpagar w(g_db);
        benchmark::DoNotOptimize(w.reminderTotal());
    }
}
BENCHMARK(BM_OpenPagar)->Unit(benchmark::kMillisecond);

void BM_OpenFluxo(benchmark::State &state)
{
    for (auto _ : state) {
        finance::TFFluxo w(g_db);
        benchmark::DoNotOptimize(w.flow().figures().totalIn);
    }
}
BENCHMARK(BM_OpenFluxo)->Unit(benchmark::kMillisecond);

// What "Ok" computes: both lists, the revenue sums and the totals.
void cashFlow(benchmark::State &state, const finance::Period &p)
{
    finance::CashFlow flow(g_db);
    for (auto _ : state) {
        flow.analitico(p);
        benchmark::DoNotOptimize(flow.figures().balance());
    }
    state.counters["entradas"] = double(flow.entradas()->recordCount());
    state.counters["saidas"] = double(flow.saidas()->recordCount());
    state.counters["saldo"] = flow.figures().balance();
}

void BM_CashFlowMonth(benchmark::State &state) { cashFlow(state, lastMonth()); }
BENCHMARK(BM_CashFlowMonth)->Unit(benchmark::kMillisecond);

void BM_CashFlowYear(benchmark::State &state) { cashFlow(state, lastYear()); }
BENCHMARK(BM_CashFlowYear)->Unit(benchmark::kMillisecond);

// The same year through the open window: typed period, "Ok", lists redrawn.
void BM_CashFlowYearInWindow(benchmark::State &state)
{
    finance::TFFluxo w(g_db);
    const finance::Period p = lastYear();
    w.findChild<QLineEdit *>(QStringLiteral("edtDe"))->setText(p.from.toString(QStringLiteral("dd/MM/yyyy")));
    w.findChild<QLineEdit *>(QStringLiteral("edtA"))->setText(p.to.toString(QStringLiteral("dd/MM/yyyy")));
    auto *ok = w.findChild<QPushButton *>(QStringLiteral("btnOk"));
    for (auto _ : state) {
        ok->click();
        QApplication::processEvents();
    }
    state.counters["entradas"] = double(w.flow().entradas()->recordCount());
}
BENCHMARK(BM_CashFlowYearInWindow)->Unit(benchmark::kMillisecond);

// The search page's "Todos": every receivable listed and totalled.
void BM_TotalAllReceivables(benchmark::State &state)
{
    finance::Tfreceber w(g_db);
    w.findChild<QTabWidget *>(QStringLiteral("PageControl1"))->setCurrentIndex(1);
    for (auto _ : state) {
        w.totalizar();
        benchmark::DoNotOptimize(w.total());
    }
}
BENCHMARK(BM_TotalAllReceivables)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    const QString folder = benchFolder();
    try {
        g_db = bench::openGenerated(folder);
    } catch (const data::DbError &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_db.reset();
    return 0;
}
