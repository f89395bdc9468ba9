#include "finance/CashFlowReports.h"

#include "core/Format.h"
#include "finance/TitleReports.h"
#include "printing/Report.h"

namespace brelvo::finance {

using printing::Align;
using printing::Band;
using printing::Report;

namespace {
QString u(const char *s) { return QString::fromUtf8(s); }
const QString kLineMask = QStringLiteral("R$ ###,###,##0.00");

void setUp(Report &r)
{
    printing::PageSetup page = printing::PageSetup::a4Portrait();
    page.setMargins(10);
    r.setPage(page);
}

// Title and "Período: De: .. à: .." of the entries and exits lists.
void periodTitle(Report &r, const QString &title, const PeriodText &p, double height = 20)
{
    const int big = r.font(14, true);
    const int bold = r.font(9, true);
    Band &t = r.title().setHeight(height);
    t.label({0, 0, r.width(), 8}, title, big, Align::Center);
    t.label({0, 10, 18, 5}, u("Período:"), bold);
    t.label({20, 10, 8, 5}, QStringLiteral("De:"), bold);
    t.label({28, 10, 24, 5}, p.from);
    t.label({54, 10, 8, 5}, u("à:"), bold);
    t.label({62, 10, 24, 5}, p.to);
}

printing::PreparedReport listReport(const QString &title, const QString &head, const QString &dateField,
                                    const PeriodText &p, data::Dataset &rows)
{
    Report r(title);
    setUp(r);
    periodTitle(r, title, p);
    const double w = r.width();
    const int bold = r.font(9, true);
    Band &heads = r.columnHeader().setHeight(7);
    heads.label({0, 0, 25, 5}, QStringLiteral("Data"), bold);
    heads.label({27, 0, 120, 5}, head, bold);
    heads.label({w - 40, 0, 40, 5}, QStringLiteral("Valor"), bold, Align::Right);
    heads.line({0, 6}, {w, 6});
    Band &d = r.detail().setHeight(5);
    d.field({0, 0, 25, 5}, dateField);
    d.field({27, 0, 120, 5}, QStringLiteral("Cliente"));
    d.field({w - 40, 0, 40, 5}, QStringLiteral("Valor"), QStringLiteral("###,##0.00")).setAlign(Align::Right);
    Band &s = r.summary().setHeight(9);
    s.line({w - 70, 1}, {w, 1});
    s.label({w - 70, 2, 28, 5}, QStringLiteral("TOTAL"), bold, Align::Right);
    s.sum({w - 40, 2, 40, 5}, QStringLiteral("Valor"), QStringLiteral("###,##0.00"), bold).setAlign(Align::Right);
    return prepareOver(r, rows);
}
} // namespace

printing::PreparedReport cashSummaryReport(const PeriodText &p, const CashFigures &f, const QStringList &bottomLines)
{
    Report r(QStringLiteral("FLUXO DE CAIXA"));
    setUp(r);
    periodTitle(r, QStringLiteral("FLUXO DE CAIXA"), p, 53);
    const double w = r.width();
    const int bold = r.font(10, true);
    Band &t = r.title();
    // The counter sales have a line of their own, so that the lines add up
    // to the total of the entries.
    const QList<std::pair<QString, double>> lines = {{u("Entradas Ordem de Serviços : "), f.orderRevenue},
                                                     {u("Entradas (Vendas Balcão):"), f.salesRevenue},
                                                     {u("Entradas (Contas à Receber):"), f.received},
                                                     {u("Saída Caixa (Contas à Pagar):"), f.paid}};
    double y = 19;
    for (const auto &[caption, value] : lines) {
        t.label({0, y, 70, 6}, caption, bold);
        t.label({72, y, 45, 6}, core::formatMask(kLineMask, value), 0, Align::Right);
        y += 7;
    }
    t.line({0, 50}, {w, 50});
    Band &d = r.detail().setHeight(22);
    for (int i = 0; i < 3; ++i)
        d.field({0, 1 + 7.0 * i, w, 6}, QStringLiteral("Linha%1").arg(i + 1), QString(), bold);
    QVariantMap row;
    for (int i = 0; i < 3; ++i)
        row.insert(QStringLiteral("Linha%1").arg(i + 1), bottomLines.value(i));
    r.setRows(std::vector<QVariantMap>{row});
    printing::PreparedReport out = r.prepare();
    // The spreadsheet copy: one line per figure, the amounts as numbers (a
    // text column would make the spreadsheet keep them as text).
    out.csvHeader = {u("Descrição"), QStringLiteral("Valor")};
    out.columns = {printing::SheetColumn{printing::CellKind::Text},
                   printing::SheetColumn{printing::CellKind::Money, 2}};
    out.csvRows.clear();
    out.rowValues.clear();
    out.totals.clear();
    out.csvRows.push_back({u("Período"), p.from + u(" à ") + p.to});
    out.rowValues.push_back({QVariant(), QVariant()});
    for (const auto &[caption, value] : lines) {
        out.csvRows.push_back({caption.trimmed(), core::formatMask(QStringLiteral("###,##0.00"), value)});
        out.rowValues.push_back({QVariant(), value});
    }
    for (const QString &line : bottomLines) {
        const int colon = line.indexOf(QLatin1Char(':'));
        const QString amount = line.mid(colon + 1).trimmed();
        out.csvRows.push_back({line.left(colon + 1).trimmed(), amount});
        const std::optional<double> n = core::parseNumber(amount);
        out.rowValues.push_back({QVariant(), n ? QVariant(*n) : QVariant()});
    }
    return out;
}

printing::PreparedReport cashEntriesReport(const PeriodText &p, data::Dataset &entradas)
{
    return listReport(QStringLiteral("Entradas"), QStringLiteral("Entrada"), QStringLiteral("Entrada"), p, entradas);
}

printing::PreparedReport cashExitsReport(const PeriodText &p, data::Dataset &saidas)
{
    return listReport(u("Saídas"), u("Saída"), QStringLiteral("saida"), p, saidas);
}

printing::PreparedReport cashOrdersReport(const PeriodText &p, data::Dataset &ordens)
{
    Report r(u("Detalhes Ordem de Serviços"));
    setUp(r);
    const double w = r.width();
    const int big = r.font(14, true);
    const int bold = r.font(8, true);
    const int small = r.font(8);
    Band &t = r.title().setHeight(18);
    t.label({0, 0, w, 8}, u("Detalhes Ordem de Serviços"), big, Align::Center);
    t.label({0, 10, 24, 5}, u("Período de: "), bold);
    t.label({24, 10, 24, 5}, p.from);
    t.label({50, 10, 6, 5}, QStringLiteral("a"), bold);
    t.label({56, 10, 24, 5}, p.to);
    struct Col { const char *head, *field, *mask; double width; Align align; };
    const Col cols[] = {{"Data", "Data_OS", "", 20, Align::Left},
                        {"Hr O.S", "HrOS", "", 16, Align::Left},
                        {"Nº O.S", "Cod_OS", "000", 14, Align::Left},
                        {"Cliente", "NomeCliente", "", 58, Align::Left},
                        {"F. de Pagamento", "ForPagamento", "", 30, Align::Left},
                        {"Desconto", "VLDesconto", "R$ ###,##0.00", 24, Align::Right},
                        {"Valor Total", "Total_Venda", "R$ ###,##0.00", 28, Align::Right}};
    Band &heads = r.columnHeader().setHeight(7);
    Band &d = r.detail().setHeight(5);
    double x = 0;
    for (const Col &c : cols) {
        heads.label({x, 0, c.width - 1, 5}, u(c.head), bold, c.align);
        d.field({x, 0, c.width - 1, 5}, QString::fromLatin1(c.field), QString::fromLatin1(c.mask), small)
            .setAlign(c.align);
        x += c.width;
    }
    heads.line({0, 6}, {w, 6});
    Band &s = r.summary().setHeight(24);
    s.line({0, 1}, {w, 1});
    s.label({0, 3, 50, 5}, QStringLiteral("Total Registro Encontrados:"), bold);
    s.count({50, 3, 20, 5}, QStringLiteral("0"), bold);
    s.label({w - 90, 3, 40, 5}, QStringLiteral("Total em Desconto:"), bold);
    s.sum({w - 50, 3, 50, 5}, QStringLiteral("VLDesconto"), QStringLiteral("R$ #####0.00"), bold).setAlign(Align::Right);
    s.label({w - 90, 10, 40, 5}, QStringLiteral("Total Geral:"), bold);
    s.sum({w - 50, 10, 50, 5}, QStringLiteral("Total_Venda"), QStringLiteral("R$ #####0.00"), bold).setAlign(Align::Right);
    r.pageFooter().setHeight(7).pageNumber({w - 50, 1, 50, 5}, QStringLiteral("Pagina %1")).setAlign(Align::Right);
    return prepareOver(r, ordens);
}

} // namespace brelvo::finance
