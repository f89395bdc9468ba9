#include "finance/Totals.h"

#include "core/Format.h"

namespace brelvo::finance {

double sumField(data::Dataset &rows, const QString &field)
{
    double total = 0;
    const data::Bookmark at = rows.bookmark();
    rows.disableControls();
    try {
        for (rows.first(); !rows.eof(); rows.next())
            total += rows.asFloat(field);
        if (at.isValid())
            rows.gotoBookmark(at);
    } catch (...) {
        rows.enableControls();
        throw;
    }
    rows.enableControls();
    return total;
}

QString amountText(double value) { return core::formatMask(QStringLiteral("###,##0.00"), value); }

QString totalLine(double value) { return QStringLiteral("Total: ") + amountText(value); }

} // namespace brelvo::finance
