// The reports window's queries on a generated database at shop scale (50 000
// products, 200 000 sales with 1 000 000 items, 50 000 service orders with
// 250 000 items): every report over one month (the last complete one) and
// over the whole data range; the commission statement, the cash summary,
// the stock list's recomputation, and the month's printouts laid out.
// The database is generated once into BRELVO_BENCH_DB (default: the build
// folder's bench-db) and reused by later runs.

#include "BenchDatabase.h"

#include "core/Format.h"

#include "data/Database.h"
#include "data/Dataset.h"
#include "printing/PageModel.h"
#include "reports/ReportPrintouts.h"
#include "reports/ReportQueries.h"
#include "stock/StockBalance.h"

#include <QApplication>
#include <QDir>
#include <QTextStream>

#include <benchmark/benchmark.h>
#include <functional>

#ifndef BRELVO_BENCH_DB_DEFAULT
#define BRELVO_BENCH_DB_DEFAULT "bench-db"
#endif

using namespace brelvo;
using namespace brelvo::reports;

namespace {

data::DatabasePtr g_db;
Periodo g_mes;
Periodo g_tudo;
qint64 g_mecanico = 1;

void setUp()
{
    g_db = bench::openGenerated(bench::benchLocation({"BRELVO_BENCH_DB"}, QString::fromUtf8(BRELVO_BENCH_DB_DEFAULT)));
    const QDate hoje = QDate::currentDate();
    g_mes = mesAtual(hoje.addMonths(-1));
    // The whole range: from the first order or sale to the last.
    data::Query q(g_db);
    q.setSql(QStringLiteral("select min(Data) as Primeiro, max(Data) as Ultimo from tordemservico"));
    q.open();
    data::Query v(g_db);
    v.setSql(QStringLiteral("select min(DtVenda) as Primeiro, max(DtVenda) as Ultimo from tbVendas"));
    v.open();
    g_tudo = {std::min(q.asDate(QStringLiteral("Primeiro")), v.asDate(QStringLiteral("Primeiro"))),
              std::max(q.asDate(QStringLiteral("Ultimo")), v.asDate(QStringLiteral("Ultimo")))};
    data::Query m(g_db);
    m.setSql(QString::fromUtf8("select Codigo from tbFunciocario where Funcao = \"MECÂNICO\" order by Codigo"));
    m.open();
    g_mecanico = m.asInteger(QStringLiteral("Codigo"));
    QTextStream(stderr) << "mês " << g_mes.de.toString(Qt::ISODate) << ".." << g_mes.ate.toString(Qt::ISODate)
                        << ", tudo " << g_tudo.de.toString(Qt::ISODate) << ".." << g_tudo.ate.toString(Qt::ISODate)
                        << ", mecânico " << g_mecanico << '\n';
}

struct Relatorio {
    const char *nome;
    QString (*texto)();
    bool periodo;
    PreparedReport (*impresso)(data::Dataset *, const QString &, const QString &);
};

const Relatorio kRelatorios[] = {
    {"TabelaPrecos", sql::tabelaPrecos, false,
     [](data::Dataset *ds, const QString &, const QString &) { return relatorioTabelaPrecos(ds); }},
    {"ProdutosEmFalta", sql::produtosEmFalta, false,
     [](data::Dataset *ds, const QString &, const QString &) { return relatorioProdutosEmFalta(ds); }},
    {"NuncaVendidos", sql::nuncaVendidos, false,
     [](data::Dataset *ds, const QString &, const QString &) { return relatorioNuncaVendidos(ds); }},
    {"MaisVendidos", sql::maisVendidos, true, relatorioMaisVendidos},
    {"VendasCaixa", sql::vendasCaixa, true, relatorioVendas},
    {"EntradasOrdens", sql::entradasOrdens, true, relatorioVendas},
    {"EntradaCaixaDia", sql::entradaCaixaDia, true, relatorioEntradaCaixa},
    {"RecebimentosOS", sql::recebimentosOrdens, true, relatorioRecebimentosOS},
    {"ComissaoMecanicos", sql::comissaoMecanicos, true, relatorioComissaoMecanicos},
};

void consulta(benchmark::State &state, const Relatorio &r, const Periodo &p)
{
    data::Query q(g_db);
    int linhas = 0;
    for (auto _ : state) {
        prepararConsulta(q, r.texto(), r.periodo ? &p : nullptr);
        q.open();
        linhas = q.recordCount();
    }
    state.counters["linhas"] = linhas;
}

void impresso(benchmark::State &state, const Relatorio &r, const Periodo &p)
{
    data::Query q(g_db);
    int paginas = 0;
    for (auto _ : state) {
        prepararConsulta(q, r.texto(), r.periodo ? &p : nullptr);
        q.open();
        const PreparedReport pr = r.impresso(&q, core::dateText(p.de), core::dateText(p.ate));
        paginas = pr.pageCount();
    }
    state.counters["paginas"] = paginas;
}

void BM_CaixaGeral(benchmark::State &state, const Periodo *p)
{
    data::Query cx(g_db), os(g_db);
    for (auto _ : state)
        benchmark::DoNotOptimize(calcularCaixaGeral(cx, os, *p).totalGeral());
}

void BM_Comissao(benchmark::State &state, const Periodo *p, FiltroComissao f)
{
    data::Query q(g_db), func(g_db);
    int linhas = 0;
    for (auto _ : state)
        linhas = calcularComissao(q, func, *p, g_mecanico, f).linhas;
    state.counters["linhas"] = linhas;
}

// The stock list: every balance recomputed and stored, then the monitored
// products listed in code order (the panel's cursor, first rows read).
void BM_ListaEstoque(benchmark::State &state)
{
    for (auto _ : state) {
        stock::StockBalance(g_db).refreshAll();
        data::Table t(g_db, QStringLiteral("tbProdutos.db"));
        t.setIndexName(QStringLiteral("ByCodigo"));
        t.setFilter(QStringLiteral("MonitorarEstq='S*'"));
        t.setFiltered(true);
        t.open();
        for (int i = 0; i < 30 && !t.eof(); ++i)
            t.next();
    }
}

void registrar()
{
    for (const Relatorio &r : kRelatorios) {
        const std::string n = r.nome;
        if (r.periodo) {
            benchmark::RegisterBenchmark(("Consulta/" + n + "/Mes").c_str(),
                                         [&r](benchmark::State &s) { consulta(s, r, g_mes); })
                ->Unit(benchmark::kMillisecond);
            benchmark::RegisterBenchmark(("Consulta/" + n + "/Tudo").c_str(),
                                         [&r](benchmark::State &s) { consulta(s, r, g_tudo); })
                ->Unit(benchmark::kMillisecond);
        } else {
            benchmark::RegisterBenchmark(("Consulta/" + n).c_str(),
                                         [&r](benchmark::State &s) { consulta(s, r, g_mes); })
                ->Unit(benchmark::kMillisecond);
        }
    }
    benchmark::RegisterBenchmark("Consulta/CaixaGeral/Mes", BM_CaixaGeral, &g_mes)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Consulta/CaixaGeral/Tudo", BM_CaixaGeral, &g_tudo)->Unit(benchmark::kMillisecond);
    const std::pair<const char *, FiltroComissao> filtros[] = {
        {"Todos", FiltroComissao::Todos}, {"Produtos", FiltroComissao::Produtos},
        {"Servicos", FiltroComissao::Servicos}};
    for (const auto &[nome, f] : filtros) {
        const std::string n = nome;
        benchmark::RegisterBenchmark(("Consulta/Comissao" + n + "/Mes").c_str(), BM_Comissao, &g_mes, f)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("Consulta/Comissao" + n + "/Tudo").c_str(), BM_Comissao, &g_tudo, f)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark("ListaEstoque/Recalculo", BM_ListaEstoque)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
    // The month's printouts (query and page layout); the product lists are whole-table.
    for (const Relatorio &r : kRelatorios)
        benchmark::RegisterBenchmark((std::string("Impresso/") + r.nome + (r.periodo ? "/Mes" : "")).c_str(),
                                     [&r](benchmark::State &s) { impresso(s, r, g_mes); })
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen")
                                                                     : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);     // the page layout measures text with fonts
    benchmark::Initialize(&argc, argv);
    try {
        setUp();
    } catch (const data::DbError &e) {
        QTextStream(stderr) << e.message() << '\n';
        return 1;
    }
    registrar();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_db.reset();
    return 0;
}
