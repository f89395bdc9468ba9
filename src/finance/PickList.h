#pragma once
// The pick lists of the finance windows: plain text files beside the program,
// one name a line, read and written whole.

#include <QString>
#include <QStringList>

namespace brelvo::finance {

// The names of a list file, blank lines left out. Text that is not UTF-8 is
// read as Windows-1252 (lists written by older installations). A missing
// file gives an empty list.
QStringList loadPickList(const QString &path);
// Writes the names, one a line (UTF-8). False with a Portuguese message.
bool savePickList(const QString &path, const QStringList &names, QString *error);

} // namespace brelvo::finance
