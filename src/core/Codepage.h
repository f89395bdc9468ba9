#pragma once
// Windows-1252 bytes for receipts and archives.
#include <QByteArray>
#include <QString>

namespace brelvo::core {
QByteArray toCp1252(const QString &text);       // unmappable characters become '?'
QString fromCp1252(const QByteArray &bytes);
}
