#pragma once
// Helpers shared by the stock windows.

#include <QString>
#include <QVariant>

namespace brelvo::stock {

// Text of a product code as every window shows it: 13 digits, zero-padded.
QString codeText(const QVariant &codigo);

} // namespace brelvo::stock
