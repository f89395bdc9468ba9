#pragma once
// Filters of the receivables and payables lists, written as the data layer's
// record filters (values quoted by the layer, dates dd/mm/yyyy). An entry is
// open while `DataPagamento` is empty and paid once it is filled.

#include <QDate>
#include <QString>
#include <optional>

namespace brelvo::finance {

// A due-date range typed in the "De:" / "A:" boxes; used only when both are filled.
struct DueRange {
    QDate from, to;
    bool isSet() const { return from.isValid() && to.isValid(); }
};

// Reads a date box ("dd/mm/yyyy" mask). Nothing typed ("  /  /    ") gives
// an invalid QDate and true; a complete valid date gives it and true;
// anything else false with a Portuguese message in *error.
bool readDateBox(const QString &text, QDate *date, QString *error);
// Both boxes of a pair: nullopt (after setting *error) when one holds a bad
// date; an unset range when either is empty.
std::optional<DueRange> readRange(const QString &from, const QString &to, QString *error);

enum class PaidState { Any, Open, Paid };

// Due in the range (when set), in the paid state, and with `field` equal to
// the upper-cased `value` (when a field is given). Empty for "no filter".
QString titleFilter(const DueRange &range, PaidState state, const QString &field = QString(),
                    const QString &value = QString());
// Open entries due before `day`.
QString overdueFilter(const QDate &day);
// Open entries due on `day` (the reminder).
QString reminderFilter(const QDate &day);

} // namespace brelvo::finance
