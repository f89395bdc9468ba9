// The service-order windows on the generated database (50 000 orders,
// 250 000 lines): opening the order window on the last order, adding a line
// with its totals, moving through orders, a car's history, and each filter of
// the progress search. Every benchmark times one action as the operator
// starts it. The database is generated once into $BRELVO_BENCH_ORDERS_DB
// (default /tmp/brelvo-bench-orders) and reused on later runs.

#include "BenchDatabase.h"
#include "core/DatasetModel.h"
#include "core/FakeDialogService.h"
#include "data/Database.h"
#include "data/Dataset.h"
#include "orders/OrderTotals.h"
#include "orders/TForm_Pesquisa.h"
#include "orders/TFormOrdem.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QTableView>
#include <QTextStream>
#include <benchmark/benchmark.h>
#include <memory>
#include <random>
#include <vector>

using namespace brelvo;

namespace {

data::DatabasePtr g_db;
std::vector<qint64> g_chaves;        // every order, in creation order
std::vector<qint64> g_plated;        // orders with a plate
qint64 g_service = 0;                // a product that is a service (no stock sums)
qint64 g_part = 0;                   // a monitored product

void setUp()
{
    g_db = bench::openGenerated(
        bench::benchLocation({"BRELVO_BENCH_ORDERS_DB"}, QDir::temp().filePath(QStringLiteral("brelvo-bench-orders"))));
    data::Table t(g_db, QStringLiteral("TOrdemServico.DB"));
    t.setIndexName(QStringLiteral("ByChave"));
    t.open();
    for (t.first(); !t.eof(); t.next()) {
        g_chaves.push_back(t.asInteger(QStringLiteral("Chave")));
        if (!t.asString(QStringLiteral("Placa")).isEmpty())
            g_plated.push_back(g_chaves.back());
    }
    data::Table p(g_db, QStringLiteral("tbProdutos.db"));
    p.open();
    for (p.first(); !p.eof() && (!g_service || !g_part); p.next()) {
        const bool monitored = p.asString(QStringLiteral("MonitorarEstq")) == QLatin1String("S");
        (monitored ? g_part : g_service) = p.asInteger(QStringLiteral("Codigo"));
    }
    QTextStream(stderr) << g_chaves.size() << " ordens, " << g_plated.size() << " com placa\n";
}

std::unique_ptr<orders::TFormOrdem> openWindow()
{
    return std::make_unique<orders::TFormOrdem>(g_db, orders::OrderWindowContext{});
}

void gotoOrder(orders::TFormOrdem &w, qint64 chave)
{
    w.TabelaControle()->locate(QStringLiteral("Chave"), {chave});
}

// Construction: every cursor opened, captions applied, the last order shown.
// Closing the window is not part of the action.
void BM_OpenOrderWindow(benchmark::State &state)
{
    core::ScopedFakeDialogs dialogs;
    for (auto _ : state) {
        auto w = openWindow();
        benchmark::DoNotOptimize(w->TabelaControle()->asInteger(QStringLiteral("Codigo")));
        state.PauseTiming();
        w.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenOrderWindow)->Unit(benchmark::kMillisecond);

// Enter in the product-code box: look-up, stock test, the line stored and
// totalizar. The lines added are removed every 10 additions (not timed), so the
// order keeps the size of a real one (5 to 15 lines).
void addLineBench(benchmark::State &state, qint64 code)
{
    core::ScopedFakeDialogs dialogs;
    auto w = openWindow();
    gotoOrder(*w, g_chaves.back());
    auto *box = w->findChild<QLineEdit *>(QStringLiteral("mskCodigo"));
    const QString text = QString::number(code);
    const qint64 chave = w->TabelaControle()->asInteger(QStringLiteral("Chave"));
    // Back to `keep` lines (also undoes lines left by an interrupted run).
    const auto trim = [&](int keep) {
        data::Table items(g_db, QStringLiteral("tbitemsordem.db"));
        items.setIndexName(QStringLiteral("ByCodVenda"));
        items.open();
        items.setRange({chave}, {chave});
        items.last();
        while (items.recordCount() > keep) {
            items.remove();
            items.last();
        }
        w->TabelaItem()->refresh();
    };
    const int before = std::min(w->TabelaItem()->recordCount(), 5);
    trim(before);
    int added = 0;
    for (auto _ : state) {
        box->setText(text);
        w->mskCodigoEnter();
        if (++added == 10) {
            state.PauseTiming();
            trim(before);
            added = 0;
            state.ResumeTiming();
        }
    }
    trim(before);
    if (!dialogs->messages().isEmpty())
        state.SkipWithError(dialogs->messages().first().toUtf8().constData());
}
void BM_AddServiceLineAndTotal(benchmark::State &state) { addLineBench(state, g_service); }
void BM_AddPartLineAndTotal(benchmark::State &state) { addLineBench(state, g_part); }
BENCHMARK(BM_AddServiceLineAndTotal)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AddPartLineAndTotal)->Unit(benchmark::kMicrosecond);

// totalizar alone on an order of five lines.
void BM_Totalizar(benchmark::State &state)
{
    core::ScopedFakeDialogs dialogs;
    auto w = openWindow();
    gotoOrder(*w, g_chaves[g_chaves.size() / 2]);
    for (auto _ : state)
        w->totalizar();
}
BENCHMARK(BM_Totalizar)->Unit(benchmark::kMicrosecond);

// The "next" button, 1 000 orders from the middle of the table; one move per action.
void BM_NextOrder(benchmark::State &state)
{
    core::ScopedFakeDialogs dialogs;
    auto w = openWindow();
    size_t i = g_chaves.size() / 2;
    gotoOrder(*w, g_chaves[i]);
    int moves = 0;
    for (auto _ : state) {
        w->navigate(2);
        if (++moves == 1000) {
            state.PauseTiming();
            gotoOrder(*w, g_chaves[i]);
            moves = 0;
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_NextOrder)->Unit(benchmark::kMicrosecond);

// F4: the history of the current order's plate and the lines of its newest earlier order.
void BM_HistoryOfAPlate(benchmark::State &state)
{
    core::ScopedFakeDialogs dialogs;
    auto w = openWindow();
    std::mt19937 rng(5);
    std::uniform_int_distribution<size_t> pick(0, g_plated.size() - 1);
    qint64 rows = 0;
    for (auto _ : state) {
        state.PauseTiming();
        gotoOrder(*w, g_plated[pick(rng)]);
        state.ResumeTiming();
        w->BtServicosAnteriosresClick();
        rows += w->QServAnteriores()->recordCount();
    }
    state.counters["rows"] = benchmark::Counter(double(rows), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_HistoryOfAPlate)->Unit(benchmark::kMillisecond);

// A filter of the progress search and the first screen of its grid.
void searchBench(benchmark::State &state, const std::function<void(orders::TForm_Pesquisa &, int)> &apply)
{
    core::ScopedFakeDialogs dialogs;
    orders::TForm_Pesquisa w(g_db);
    auto *grid = w.findChild<QTableView *>(QStringLiteral("DBGrid1"));
    int i = 0;
    qint64 rows = 0;
    for (auto _ : state) {
        apply(w, i++);
        const int n = grid->model()->rowCount();
        for (int r = 0; r < std::min(n, 30); ++r)
            benchmark::DoNotOptimize(grid->model()->index(r, 3).data());
        rows += n;
    }
    state.counters["rows"] = benchmark::Counter(double(rows), benchmark::Counter::kAvgIterations);
}

void BM_SearchByState(benchmark::State &state)
{
    const QStringList states{QStringLiteral("EM ABERTO"), QStringLiteral("FINALIZADO"), QStringLiteral("EM"),
                             QStringLiteral("ENTREGUE")};
    searchBench(state, [&](orders::TForm_Pesquisa &w, int i) { w.andamentoChange(states[i % states.size()]); });
}
BENCHMARK(BM_SearchByState)->Unit(benchmark::kMillisecond);

void BM_SearchByMechanic(benchmark::State &state)
{
    QStringList names;
    {
        data::Table t(g_db, QStringLiteral("tbFunciocario.db"));
        t.setFilter(QStringLiteral("Funcao='MECÂNICO'"));
        t.setFiltered(true);
        t.open();
        for (t.first(); !t.eof(); t.next())
            names << t.asString(QStringLiteral("Nome"));
    }
    searchBench(state, [&](orders::TForm_Pesquisa &w, int i) { w.mecanicoChosen(names[i % names.size()]); });
}
BENCHMARK(BM_SearchByMechanic)->Unit(benchmark::kMillisecond);

void BM_SearchByCustomer(benchmark::State &state)
{
    const QStringList typed{QStringLiteral("M"), QStringLiteral("MA"), QStringLiteral("MAR"), QStringLiteral("MARI"),
                            QStringLiteral("J"), QStringLiteral("JO")};
    searchBench(state, [&](orders::TForm_Pesquisa &w, int i) { w.clienteChange(typed[i % typed.size()]); });
}
BENCHMARK(BM_SearchByCustomer)->Unit(benchmark::kMillisecond);

void BM_SearchByPeriod(benchmark::State &state)
{
    searchBench(state, [&](orders::TForm_Pesquisa &w, int i) {
        const QDate to = QDate::currentDate().addDays(-30 * (i % 12));
        w.findChild<QLineEdit *>(QStringLiteral("edDe"))->setText(to.addDays(-30).toString(QStringLiteral("dd/MM/yyyy")));
        w.findChild<QLineEdit *>(QStringLiteral("edAte"))->setText(to.toString(QStringLiteral("dd/MM/yyyy")));
        w.periodoOk();
    });
}
BENCHMARK(BM_SearchByPeriod)->Unit(benchmark::kMillisecond);

void BM_SearchShowAll(benchmark::State &state)
{
    searchBench(state, [](orders::TForm_Pesquisa &w, int) { w.mostrarTodas(); });
}
BENCHMARK(BM_SearchShowAll)->Unit(benchmark::kMillisecond);

// The in-window search panel: a plate by its first three characters.
void BM_FindByPlatePrefix(benchmark::State &state)
{
    core::ScopedFakeDialogs dialogs;
    auto w = openWindow();
    w->showLocalizar();
    auto *box = w->findChild<QLineEdit *>(QStringLiteral("EditLocPlaca"));
    QStringList prefixes;
    data::Table t(g_db, QStringLiteral("TOrdemServico.DB"));
    t.open();
    std::mt19937 rng(9);
    std::uniform_int_distribution<size_t> pick(0, g_plated.size() - 1);
    for (int i = 0; i < 64; ++i) {
        t.locate(QStringLiteral("Chave"), {g_plated[pick(rng)]});
        prefixes << t.asString(QStringLiteral("Placa")).left(3);
    }
    int i = 0;
    for (auto _ : state) {
        box->blockSignals(true);
        box->setText(prefixes[i++ % prefixes.size()]);
        box->blockSignals(false);
        Q_EMIT box->textChanged(box->text());
    }
}
BENCHMARK(BM_FindByPlatePrefix)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen")
                                                                      : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
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
