#include "core/Codepage.h"

namespace brelvo::core {

namespace {
// 0x80..0x9F; 0 marks the five unassigned bytes, which map to the C1 controls.
const char16_t kHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

char encodeOne(char32_t u)
{
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return char(u);
    if (u >= 0x80 && u <= 0x9F) {
        // Only the unassigned bytes pass through as themselves.
        return kHigh[u - 0x80] == 0 ? char(u) : '?';
    }
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] != 0 && kHigh[i] == u) return char(0x80 + i);
    return '?';
}
} // namespace

QByteArray toCp1252(const QString &text)
{
    QByteArray out;
    out.reserve(text.size());
    const int n = text.size();
    for (int i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        char32_t u = c.unicode();
        if (c.isHighSurrogate() && i + 1 < n && text.at(i + 1).isLowSurrogate()) {
            u = QChar::surrogateToUcs4(c, text.at(i + 1));
            ++i;
        }
        out.append(encodeOne(u));
    }
    return out;
}

QString fromCp1252(const QByteArray &bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        const unsigned char b = static_cast<unsigned char>(ch);
        if (b >= 0x80 && b <= 0x9F && kHigh[b - 0x80] != 0) out.append(QChar(kHigh[b - 0x80]));
        else out.append(QChar(b));
    }
    return out;
}

} // namespace brelvo::core
