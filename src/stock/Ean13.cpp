#include "stock/Ean13.h"

namespace brelvo::stock {

namespace {
bool allDigits(const QString &s)
{
    for (QChar c : s)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}
} // namespace

std::optional<int> ean13CheckDigit(const QString &twelve)
{
    if (twelve.size() != 12 || !allDigits(twelve))
        return std::nullopt;
    int odd = 0, even = 0;
    for (int i = 0; i < 12; ++i) {
        const int v = twelve.at(i).unicode() - '0';
        // Position i + 1 counted from the left.
        ((i + 1) % 2 == 0 ? even : odd) += v;
    }
    const int total = odd + 3 * even;
    return (10 - total % 10) % 10;
}

bool isValidEan13(const QString &code)
{
    if (code.size() != 13)
        return false;
    const auto d = ean13CheckDigit(code.left(12));
    return d && code.at(12).unicode() - '0' == *d;
}

std::optional<GeneratedCode> generateEan13(const QString &typed, QString *error)
{
    const QString base = typed.trimmed();
    const int n = base.size();
    if (n == 0 || n == 11 || n > 12 || !allDigits(base)) {
        if (error)
            *error = QString::fromUtf8(kEanLengthMessage);
        return std::nullopt;
    }
    GeneratedCode g;
    // Up to 10 digits: the number padded to 12 digits; a 10-digit base above
    // the 32-bit range is padded like any other.
    g.base = n <= 10 ? base.rightJustified(12, QLatin1Char('0')) : base;
    g.digit = *ean13CheckDigit(g.base);
    return g;
}

} // namespace brelvo::stock
