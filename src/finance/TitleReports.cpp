#include "finance/TitleReports.h"

#include "printing/Report.h"

namespace brelvo::finance {

using printing::Align;

printing::PreparedReport prepareOver(printing::Report &report, data::Dataset &rows)
{
    const data::Bookmark at = rows.bookmark();
    rows.disableControls();
    printing::PreparedReport out;
    try {
        report.setRows(&rows);
        out = report.prepare();
        if (at.isValid())
            rows.gotoBookmark(at);
    } catch (...) {
        rows.enableControls();
        throw;
    }
    rows.enableControls();
    return out;
}

printing::PreparedReport titleListReport(const TitleKind &kind, data::Table &rows)
{
    printing::Report r(kind.reportTitle);
    printing::PageSetup page = kind.paper == printing::Paper::Letter ? printing::PageSetup::letterPortrait()
                                                                      : printing::PageSetup::a4Portrait();
    page.setMargins(10);
    r.setPage(page);
    const double w = r.width();
    const int titleFont = r.font(14, true);
    const int bold = r.font(9, true);

    r.title().setHeight(12).label({0, 0, w, 9}, kind.reportTitle, titleFont, Align::Center);
    printing::Band &heads = r.columnHeader().setHeight(7);
    printing::Band &detail = r.detail().setHeight(5);
    double x = 0;
    for (const ReportColumn &c : kind.reportColumns) {
        const bool number = !c.mask.isEmpty() && c.mask.contains(QLatin1Char('.'));
        const Align align = number ? Align::Right : Align::Left;
        heads.label({x, 0, c.width - 1, 5}, c.head, bold, align);
        detail.field({x, 0, c.width - 1, 5}, c.field, c.mask).setAlign(align);
        x += c.width;
    }
    heads.line({0, 6}, {w, 6});

    const ReportColumn &value = kind.reportColumns.last();
    const double vx = w - value.width;
    printing::Band &sum = r.summary().setHeight(9);
    sum.line({vx - 20, 1}, {w, 1});
    sum.label({vx - 20, 2, 19, 5}, QStringLiteral("TOTAL"), bold, Align::Right);
    sum.sum({vx, 2, value.width - 1, 5}, value.field, value.mask, bold).setAlign(Align::Right);
    if (kind.payable) {
        // The footer stamp of the payables list.
        printing::Band &foot = r.pageFooter().setHeight(8);
        foot.line({0, 1}, {w, 1}, 0.4);
        foot.label({0, 2, w / 2, 5}, kind.title, 0);
        foot.systemDate({w / 2, 2, w / 2, 5}).setAlign(Align::Right);
    }

    return prepareOver(r, rows);
}

} // namespace brelvo::finance
