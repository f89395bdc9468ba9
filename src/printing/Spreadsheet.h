#pragma once
// A report's detail lines as a spreadsheet: Excel (.xlsx, typed cells) or CSV.
//
// Both read the table the engine keeps in PreparedReport (columns, captions,
// the values as printed and as read, the summary's totals), so every report
// exports the same way with no code of its own.
//
// .xlsx: one sheet named after the report; the title and its heading lines
// on top, the captions as a frozen header row, one row per detail line, the
// totals below, columns as wide as their contents. Cells by CellKind: codes
// as text with their zeros, amounts as numbers shown R$ #.##0,00, quantities
// as numbers, dates as dates shown dd/mm/aaaa.
//
// CSV: UTF-8 with BOM, ';' between fields, quoted when needed, CRLF line
// ends. Amounts and dates as printed (decimal comma), which a Brazilian
// spreadsheet reads as numbers and dates. A text cell that would run as a
// formula (starting with =, +, -, @, tab or CR) or that a spreadsheet would
// turn into a number (codes, "0000000000123") starts with an apostrophe.

#include "printing/PageModel.h"

#include <QByteArray>
#include <QString>

namespace brelvo::printing {

QByteArray csvBytes(const PreparedReport &report);
bool writeCsv(const PreparedReport &report, const QString &path, QString *error = nullptr);

// One CSV field (without the separator), made safe for spreadsheets.
QByteArray csvField(const QString &text, CellKind kind = CellKind::Text);

// False with a Portuguese message when the file cannot be written; an
// existing file of that name is then left as it was.
bool writeXlsx(const PreparedReport &report, const QString &path, QString *error = nullptr);

// The sheet name for a report title: at most 31 characters, none of []:*?/\.
QString sheetName(const QString &title);

// The number format a column of that kind carries in the .xlsx ("" = General).
QString xlsxNumberFormat(CellKind kind, int decimals);

} // namespace brelvo::printing
