#pragma once
// Numbers, money and dates in the Brazilian convention (decimal comma,
// thousands point, dd/mm/yyyy).

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVariantList>
#include <optional>

namespace brelvo::core {

// Display masks: "###,##0.00", "R$ ###,##0.00", "0000", "######0.00",
// "#,##0.00", "0.00", "0000000000000", "00", "000000". '0' forces a digit,
// '#' an optional one, ',' groups thousands (shown as '.'), '.' is the
// decimal separator (shown as ','); other characters are copied.
QString formatMask(const QString &mask, double value);

// Shortest decimal text of a number: 12,5; 0,5; 1; -3,25.
QString shortNumber(double value);

// Money in the system's currency format: "R$ 1.234,56", "-R$ 5,00".
QString money(double value);
QString money(double value, int decimals);

// Parses typed amounts: "12,5", "1.234,56", "  7 ", "-3,2". Empty text is not
// a number. On failure, *error gets a Portuguese message such as
// "'abc' não é um valor válido".
std::optional<double> parseNumber(const QString &text, QString *error = nullptr);

// Receipt formats as the old format() gave them: "%-50s", "%-28.28s",
// "%-6.5s", "%-12.2m", "%2m", "%d", "%.2f" ...; one argument per call.
QString formatPrintf(const QString &format, const QString &text);
QString formatPrintf(const QString &format, double value);
// Several conversions, one argument each, in order ("%d.%d.%d.%d"). Numbers
// (int, double, ...) format as numbers, anything else as text.
QString formatPrintfArgs(const QString &format, const QVariantList &args);

// Dates.
QString dateText(const QDate &d);                        // "dd/MM/yyyy"; "" for invalid
std::optional<QDate> parseDate(const QString &text);     // "dd/mm/yyyy", "d/m/yy"
QString sqlDateLiteral(const QDate &d);                  // "mm/dd/yyyy" for query texts
// Old-style date masks: "dddd, dd de mmmm de yyyy", "dd/mm/yyyy", "mmmm", "hh:nn:ss".
QString formatDateTime(const QString &mask, const QDateTime &dt);
QString longDate(const QDate &d);                        // "quarta-feira, 09 de dezembro de 2026"
QString monthName(int month);                            // "Janeiro".."Dezembro"
QString weekdayName(int dayOfWeek);                      // 1 = "segunda-feira"

// Upper/lower case as the edit boxes force it (accents kept: "ç" -> "Ç").
QString upper(const QString &s);
QString lower(const QString &s);

} // namespace brelvo::core
