#include "core/Format.h"

#include <QDateTime>
#include <QStringList>
#include <cmath>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace brelvo::core {

namespace {

// Decimal digits of |value| rounded to `decimals` places, half away from zero.
// The value is first taken to 15 significant digits so that amounts such as
// 1,005 or 2,675 round the way they read.
struct Digits {
    QString integer;    // no leading zeros; empty for zero
    QString fraction;   // exactly `decimals` digits
    bool zero = true;
};

Digits decimalDigits(double value, int decimals)
{
    Digits out;
    value = std::fabs(value);
    if (!std::isfinite(value)) value = 0;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", value);
    // buf: d.dddddddddddddde[+-]XX
    QString mant;
    int exp10 = 0;
    {
        const char *p = buf;
        for (; *p && *p != 'e'; ++p)
            if (*p >= '0' && *p <= '9') mant.append(QLatin1Char(*p));
        if (*p == 'e') exp10 = std::atoi(p + 1);
    }
    // value = 0.mant * 10^(exp10+1)
    int pointPos = exp10 + 1;            // digits before the decimal point
    QString all;                         // digit string with implied point at `pointPos`
    if (pointPos <= 0) {
        all = QString(-pointPos, QLatin1Char('0')) + mant;
        pointPos = 0;
    } else {
        all = mant;
        if (all.size() < pointPos) all += QString(pointPos - all.size(), QLatin1Char('0'));
    }
    // Keep pointPos + decimals digits, rounding on the next one.
    const int keep = pointPos + decimals;
    if (all.size() < keep + 1) all += QString(keep + 1 - all.size(), QLatin1Char('0'));
    bool roundUp = all.at(keep) >= QLatin1Char('5');
    QString kept = all.left(keep);
    if (roundUp) {
        int i = kept.size() - 1;
        for (; i >= 0; --i) {
            if (kept.at(i) == QLatin1Char('9')) {
                kept[i] = QLatin1Char('0');
            } else {
                kept[i] = QChar(kept.at(i).unicode() + 1);
                break;
            }
        }
        if (i < 0) {
            kept.prepend(QLatin1Char('1'));
            ++pointPos;
        }
    }
    out.integer = kept.left(pointPos);
    out.fraction = kept.mid(pointPos);
    int nz = 0;
    while (nz < out.integer.size() && out.integer.at(nz) == QLatin1Char('0')) ++nz;
    out.integer = out.integer.mid(nz);
    out.zero = out.integer.isEmpty();
    for (QChar c : out.fraction)
        if (c != QLatin1Char('0')) out.zero = false;
    return out;
}

// Splits a mask into its ';' sections, keeping quoted text intact.
QStringList maskSections(const QString &mask)
{
    QStringList out;
    QString cur;
    QChar quote;
    for (QChar c : mask) {
        if (!quote.isNull()) {
            cur += c;
            if (c == quote) quote = QChar();
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
            cur += c;
        } else if (c == QLatin1Char(';')) {
            out << cur;
            cur.clear();
        } else {
            cur += c;
        }
    }
    out << cur;
    return out;
}

struct MaskItem {
    enum Kind { Literal, Zero, Hash, Point, Comma } kind;
    QString text;   // for literals
};

QList<MaskItem> parseSection(const QString &section)
{
    QList<MaskItem> items;
    QChar quote;
    QString lit;
    auto flush = [&] {
        if (!lit.isEmpty()) items.append(MaskItem{MaskItem::Literal, lit});
        lit.clear();
    };
    for (QChar c : section) {
        if (!quote.isNull()) {
            if (c == quote) quote = QChar();
            else lit += c;
            continue;
        }
        switch (c.unicode()) {
        case '"': case '\'': quote = c; break;
        case '0': flush(); items.append(MaskItem{MaskItem::Zero, {}}); break;
        case '#': flush(); items.append(MaskItem{MaskItem::Hash, {}}); break;
        case '.': flush(); items.append(MaskItem{MaskItem::Point, {}}); break;
        case ',': flush(); items.append(MaskItem{MaskItem::Comma, {}}); break;
        default: lit += c;
        }
    }
    flush();
    return items;
}

QString applySection(const QList<MaskItem> &items, double value, bool withSign)
{
    // Layout: placeholders before and after the first decimal point.
    int pointAt = -1;
    for (int i = 0; i < items.size(); ++i)
        if (items[i].kind == MaskItem::Point) { pointAt = i; break; }
    const int intEnd = pointAt < 0 ? int(items.size()) : pointAt;
    int intPlaces = 0, minInt = 0, fracPlaces = 0, minFrac = 0;
    bool grouping = false, sawZero = false;
    int firstPlace = -1, lastPlace = -1;
    for (int i = 0; i < items.size(); ++i) {
        const auto k = items[i].kind;
        if (k == MaskItem::Zero || k == MaskItem::Hash) {
            if (firstPlace < 0) firstPlace = i;
            lastPlace = i;
        }
    }
    for (int i = 0; i < intEnd; ++i) {
        const auto k = items[i].kind;
        if (k == MaskItem::Zero || k == MaskItem::Hash) {
            ++intPlaces;
            if (k == MaskItem::Zero) sawZero = true;
            if (sawZero) ++minInt;
        } else if (k == MaskItem::Comma && firstPlace >= 0 && i > firstPlace) {
            grouping = true;
        }
    }
    for (int i = intEnd + 1; i < items.size(); ++i) {
        const auto k = items[i].kind;
        if (k == MaskItem::Zero || k == MaskItem::Hash) {
            ++fracPlaces;
            if (k == MaskItem::Zero) minFrac = fracPlaces;
        }
    }
    if (firstPlace < 0) {
        // No digit placeholder: the section is plain text.
        QString s;
        for (const auto &it : items) {
            if (it.kind == MaskItem::Literal) s += it.text;
            else if (it.kind == MaskItem::Point) s += QLatin1Char(',');
            else if (it.kind == MaskItem::Comma) s += QLatin1Char('.');
        }
        return s;
    }

    Digits d = decimalDigits(value, fracPlaces);
    QString intDigits = d.integer;
    if (intDigits.size() < minInt) intDigits.prepend(QString(minInt - intDigits.size(), QLatin1Char('0')));
    QString frac = d.fraction;
    while (frac.size() > minFrac && frac.endsWith(QLatin1Char('0'))) frac.chop(1);

    QString out;
    if (withSign && value < 0 && !d.zero) out += QLatin1Char('-');
    const int n = intDigits.size();
    auto emitDigit = [&](int pos) {    // pos counted from the right, 0 = units
        out += intDigits.at(n - 1 - pos);
        if (grouping && pos > 0 && pos % 3 == 0) out += QLatin1Char('.');
    };
    int place = 0;   // integer placeholder index, left to right
    int fracIndex = 0;
    for (int i = 0; i < items.size(); ++i) {
        const auto &it = items[i];
        if (i < intEnd) {
            switch (it.kind) {
            case MaskItem::Literal: out += it.text; break;
            case MaskItem::Comma:
                if (i < firstPlace) out += QLatin1Char('.');   // outside the digits: literal
                break;
            case MaskItem::Zero:
            case MaskItem::Hash: {
                const int pos = intPlaces - 1 - place;
                if (place == 0)
                    for (int p = n - 1; p > pos; --p) emitDigit(p);   // digits beyond the mask
                if (pos < n) emitDigit(pos);
                ++place;
                break;
            }
            default: break;
            }
        } else if (i == intEnd) {
            if (!frac.isEmpty()) out += QLatin1Char(',');
        } else {
            switch (it.kind) {
            case MaskItem::Literal: out += it.text; break;
            case MaskItem::Zero:
            case MaskItem::Hash:
                if (fracIndex < frac.size()) out += frac.at(fracIndex);
                ++fracIndex;
                break;
            case MaskItem::Point: break;
            case MaskItem::Comma: break;
            }
        }
    }
    Q_UNUSED(lastPlace);
    return out;
}

const char *const kMonths[] = {"janeiro", "fevereiro", "março", "abril", "maio", "junho", "julho",
                               "agosto", "setembro", "outubro", "novembro", "dezembro"};
const char *const kShortMonths[] = {"jan", "fev", "mar", "abr", "mai", "jun",
                                    "jul", "ago", "set", "out", "nov", "dez"};
const char *const kDays[] = {"segunda-feira", "terça-feira", "quarta-feira", "quinta-feira",
                             "sexta-feira", "sábado", "domingo"};
const char *const kShortDays[] = {"seg", "ter", "qua", "qui", "sex", "sáb", "dom"};

QString two(int v) { return QString::number(v).rightJustified(2, QLatin1Char('0')); }

} // namespace

QString formatMask(const QString &mask, double value)
{
    if (mask.isEmpty()) return shortNumber(value);
    const QStringList sections = maskSections(mask);
    // Sections: positive;negative;zero. An empty section falls back to the first.
    if (sections.size() >= 3 && !sections[2].isEmpty()) {
        const auto items = parseSection(sections[0]);
        int dec = 0;
        bool after = false;
        for (const auto &it : items) {
            if (it.kind == MaskItem::Point) after = true;
            else if (after && (it.kind == MaskItem::Zero || it.kind == MaskItem::Hash)) ++dec;
        }
        if (decimalDigits(value, dec).zero) return applySection(parseSection(sections[2]), 0, false);
    }
    if (value < 0 && sections.size() >= 2 && !sections[1].isEmpty())
        return applySection(parseSection(sections[1]), value, false);
    return applySection(parseSection(sections[0]), value, true);
}

QString shortNumber(double value)
{
    if (!std::isfinite(value)) return QStringLiteral("0");
    // 15 significant digits, never an exponent.
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(value));
    int exp10 = std::atoi(std::strchr(buf, 'e') + 1);
    int decimals = std::max(0, 14 - exp10);
    Digits d = decimalDigits(value, decimals);
    QString frac = d.fraction;
    while (frac.endsWith(QLatin1Char('0'))) frac.chop(1);
    QString s = d.integer.isEmpty() ? QStringLiteral("0") : d.integer;
    if (!frac.isEmpty()) s += QLatin1Char(',') + frac;
    if (value < 0 && !d.zero) s.prepend(QLatin1Char('-'));
    return s;
}

QString money(double value)
{
    return money(value, 2);
}

QString money(double value, int decimals)
{
    QString mask = QStringLiteral("R$ #,##0");
    if (decimals > 0) mask += QLatin1Char('.') + QString(decimals, QLatin1Char('0'));
    return formatMask(mask, value);
}

std::optional<double> parseNumber(const QString &text, QString *error)
{
    auto fail = [&]() -> std::optional<double> {
        if (error) *error = QStringLiteral("'%1' não é um valor válido").arg(text);
        return std::nullopt;
    };
    QString s = text.trimmed();
    bool negative = false;
    if (s.startsWith(QLatin1Char('-')) || s.startsWith(QLatin1Char('+'))) {
        negative = s.startsWith(QLatin1Char('-'));
        s = s.mid(1).trimmed();
    }
    if (s.startsWith(QLatin1String("R$"))) s = s.mid(2).trimmed();
    if (s.isEmpty()) return fail();

    const int comma = s.indexOf(QLatin1Char(','));
    if (comma >= 0 && s.indexOf(QLatin1Char(','), comma + 1) >= 0) return fail();
    QString intPart = comma >= 0 ? s.left(comma) : s;
    const QString fracPart = comma >= 0 ? s.mid(comma + 1) : QString();
    if (intPart.isEmpty() && fracPart.isEmpty()) return fail();
    for (QChar c : fracPart)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return fail();
    if (intPart.contains(QLatin1Char('.'))) {
        // Thousands points only between proper groups of three: 1.234.567
        const QStringList groups = intPart.split(QLatin1Char('.'));
        if (groups.first().isEmpty() || groups.first().size() > 3) return fail();
        for (int i = 1; i < groups.size(); ++i)
            if (groups[i].size() != 3) return fail();
        intPart = groups.join(QString());
    }
    for (QChar c : intPart)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return fail();
    const QString plain = (intPart.isEmpty() ? QStringLiteral("0") : intPart) + QLatin1Char('.') +
                          (fracPart.isEmpty() ? QStringLiteral("0") : fracPart);
    bool ok = false;
    double v = plain.toDouble(&ok);
    if (!ok || !std::isfinite(v)) return fail();
    if (error) error->clear();
    return negative ? -v : v;
}

namespace {

struct PrintfSpec {
    QString before, after;
    bool left = false;
    int width = -1;
    int precision = -1;
    QChar type;
    bool valid = false;
};

PrintfSpec parsePrintf(const QString &format)
{
    PrintfSpec fs;
    int i = 0;
    const int n = format.size();
    while (i < n) {
        if (format.at(i) == QLatin1Char('%')) {
            if (i + 1 < n && format.at(i + 1) == QLatin1Char('%')) {
                fs.before += QLatin1Char('%');
                i += 2;
                continue;
            }
            break;
        }
        fs.before += format.at(i++);
    }
    if (i >= n) return fs;
    int j = i + 1;
    if (j < n && format.at(j) == QLatin1Char('-')) { fs.left = true; ++j; }
    QString w;
    while (j < n && format.at(j).isDigit()) w += format.at(j++);
    if (!w.isEmpty()) fs.width = w.toInt();
    if (j < n && format.at(j) == QLatin1Char('.')) {
        ++j;
        QString p;
        while (j < n && format.at(j).isDigit()) p += format.at(j++);
        fs.precision = p.isEmpty() ? 0 : p.toInt();
    }
    if (j >= n) { fs.before += format.mid(i); return fs; }
    fs.type = format.at(j).toLower();
    fs.valid = QStringLiteral("sdfmnegux").contains(fs.type);
    if (!fs.valid) { fs.before += format.mid(i); return fs; }
    fs.after = format.mid(j + 1);
    fs.after.replace(QLatin1String("%%"), QLatin1String("%"));
    return fs;
}

QString pad(const PrintfSpec &fs, const QString &body)
{
    QString s = body;
    if (fs.width > s.size())
        s = fs.left ? s.leftJustified(fs.width, QLatin1Char(' '))
                      : s.rightJustified(fs.width, QLatin1Char(' '));
    return fs.before + s + fs.after;
}

QString numberBody(const PrintfSpec &fs, double value)
{
    switch (fs.type.unicode()) {
    case 'd': case 'u': case 'x': {
        const double r = std::isfinite(value) ? std::round(value) : 0;
        QString s;
        if (fs.type == QLatin1Char('x')) s = QString::number(qint64(r), 16).toUpper();
        else s = QString::number(std::fabs(r), 'f', 0);
        if (fs.precision > s.size()) s = s.rightJustified(fs.precision, QLatin1Char('0'));
        if (r < 0 && fs.type != QLatin1Char('x')) s.prepend(QLatin1Char('-'));
        return s;
    }
    case 'f': {
        const int dec = fs.precision < 0 ? 2 : fs.precision;
        return formatMask(dec > 0 ? QStringLiteral("0.") + QString(dec, QLatin1Char('0')) : QStringLiteral("0"), value);
    }
    case 'n': {
        const int dec = fs.precision < 0 ? 2 : fs.precision;
        return formatMask(dec > 0 ? QStringLiteral("#,##0.") + QString(dec, QLatin1Char('0')) : QStringLiteral("#,##0"), value);
    }
    case 'm':
        return money(value, fs.precision < 0 ? 2 : fs.precision);
    case 'e': case 'g':
    default: {
        QString s = shortNumber(value);
        if (fs.type == QLatin1Char('s') && fs.precision >= 0) s = s.left(fs.precision);
        return s;
    }
    }
}

} // namespace

QString formatPrintf(const QString &format, const QString &text)
{
    const PrintfSpec fs = parsePrintf(format);
    if (!fs.valid) return fs.before;
    if (fs.type == QLatin1Char('s')) {
        QString s = text;
        if (fs.precision >= 0) s = s.left(fs.precision);
        return pad(fs, s);
    }
    if (auto v = parseNumber(text)) return pad(fs, numberBody(fs, *v));
    return pad(fs, text);
}

QString formatPrintf(const QString &format, double value)
{
    const PrintfSpec fs = parsePrintf(format);
    if (!fs.valid) return fs.before;
    return pad(fs, numberBody(fs, value));
}

QString formatPrintfArgs(const QString &format, const QVariantList &args)
{
    QString out;
    int next = 0;
    const int n = format.size();
    int i = 0;
    while (i < n) {
        const QChar c = format.at(i);
        if (c != QLatin1Char('%')) {
            out += c;
            ++i;
            continue;
        }
        if (i + 1 < n && format.at(i + 1) == QLatin1Char('%')) {
            out += QLatin1Char('%');
            i += 2;
            continue;
        }
        int j = i + 1;
        while (j < n && (format.at(j) == QLatin1Char('-') || format.at(j) == QLatin1Char('.') || format.at(j).isDigit()))
            ++j;
        if (j >= n) {
            out += format.mid(i);
            break;
        }
        const QString fs = format.mid(i, j - i + 1);
        const QVariant arg = args.value(next++);
        switch (arg.metaType().id()) {
        case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
        case QMetaType::Double: case QMetaType::Float:
            out += formatPrintf(fs, arg.toDouble());
            break;
        default:
            out += formatPrintf(fs, arg.toString());
        }
        i = j + 1;
    }
    return out;
}

QString dateText(const QDate &d)
{
    return d.isValid() ? d.toString(QStringLiteral("dd/MM/yyyy")) : QString();
}

std::optional<QDate> parseDate(const QString &text)
{
    QString s = text.trimmed();
    if (s.isEmpty()) return std::nullopt;
    QStringList parts = s.split(QLatin1Char('/'));
    if (parts.size() < 2 || parts.size() > 3) return std::nullopt;
    int nums[3] = {0, 0, 0};
    int yearDigits = 0;
    for (int i = 0; i < parts.size(); ++i) {
        const QString p = parts[i].trimmed();
        if (p.isEmpty() || p.size() > (i == 2 ? 4 : 2)) return std::nullopt;
        for (QChar c : p)
            if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
        nums[i] = p.toInt();
        if (i == 2) yearDigits = p.size();
    }
    const int thisYear = QDate::currentDate().year();
    int year = parts.size() == 3 ? nums[2] : thisYear;
    if (parts.size() == 3 && yearDigits <= 2) {
        // Two-digit years fall within fifty years of today.
        const int century = thisYear / 100 * 100;
        year = century + nums[2];
        if (year > thisYear + 49) year -= 100;
        else if (year < thisYear - 50) year += 100;
    } else if (parts.size() == 3 && yearDigits == 3) {
        return std::nullopt;
    }
    if (year < 1) return std::nullopt;
    QDate d(year, nums[1], nums[0]);
    if (!d.isValid()) return std::nullopt;
    return d;
}

QString sqlDateLiteral(const QDate &d)
{
    return d.isValid() ? d.toString(QStringLiteral("MM/dd/yyyy")) : QString();
}

QString formatDateTime(const QString &mask, const QDateTime &dt)
{
    const QDate d = dt.date();
    const QTime t = dt.time();
    QString out;
    const int n = mask.size();
    int i = 0;
    bool lastWasHour = false;
    auto run = [&](QChar c) {
        int k = i;
        while (k < n && mask.at(k).toLower() == c) ++k;
        return k - i;
    };
    while (i < n) {
        const QChar c = mask.at(i);
        const QChar lc = c.toLower();
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            int k = mask.indexOf(c, i + 1);
            if (k < 0) k = n;
            out += mask.mid(i + 1, k - i - 1);
            i = k + 1;
            continue;
        }
        if (lc == QLatin1Char('d')) {
            const int r = run(lc);
            if (r == 1) out += QString::number(d.day());
            else if (r == 2) out += two(d.day());
            else if (r == 3) out += QString::fromUtf8(kShortDays[d.dayOfWeek() - 1]);
            else if (r == 4) out += QString::fromUtf8(kDays[d.dayOfWeek() - 1]);
            else if (r == 5) out += dateText(d);
            else out += longDate(d);
            i += r;
            lastWasHour = false;
        } else if (lc == QLatin1Char('m')) {
            const int r = run(lc);
            if (lastWasHour && r <= 2) {
                out += r == 1 ? QString::number(t.minute()) : two(t.minute());
            } else if (r == 1) out += QString::number(d.month());
            else if (r == 2) out += two(d.month());
            else if (r == 3) out += QString::fromUtf8(kShortMonths[d.month() - 1]);
            else out += QString::fromUtf8(kMonths[d.month() - 1]);
            i += r;
            lastWasHour = false;
        } else if (lc == QLatin1Char('y')) {
            const int r = run(lc);
            out += r <= 2 ? two(d.year() % 100) : QString::number(d.year()).rightJustified(4, QLatin1Char('0'));
            i += r;
            lastWasHour = false;
        } else if (lc == QLatin1Char('h')) {
            const int r = run(lc);
            out += r == 1 ? QString::number(t.hour()) : two(t.hour());
            i += r;
            lastWasHour = true;
        } else if (lc == QLatin1Char('n')) {
            const int r = run(lc);
            out += r == 1 ? QString::number(t.minute()) : two(t.minute());
            i += r;
            lastWasHour = false;
        } else if (lc == QLatin1Char('s')) {
            const int r = run(lc);
            out += r == 1 ? QString::number(t.second()) : two(t.second());
            i += r;
            lastWasHour = false;
        } else if (lc == QLatin1Char('z')) {
            const int r = run(lc);
            out += r >= 3 ? QString::number(t.msec()).rightJustified(3, QLatin1Char('0')) : QString::number(t.msec());
            i += r;
        } else if (lc == QLatin1Char('t')) {
            const int r = run(lc);
            out += r == 1 ? t.toString(QStringLiteral("hh:mm")) : t.toString(QStringLiteral("hh:mm:ss"));
            i += r;
        } else if (lc == QLatin1Char('c') ) {
            out += dateText(d) + QLatin1Char(' ') + t.toString(QStringLiteral("hh:mm:ss"));
            ++i;
        } else {
            if (c != QLatin1Char(':') && !c.isSpace()) lastWasHour = false;   // "hh:mm" keeps minutes
            out += c;
            ++i;
        }
    }
    return out;
}

QString longDate(const QDate &d)
{
    if (!d.isValid()) return QString();
    return formatDateTime(QStringLiteral("dddd\", \"dd\" de \"mmmm\" de \"yyyy"), QDateTime(d, QTime(0, 0)));
}

QString monthName(int month)
{
    if (month < 1 || month > 12) return QString();
    QString s = QString::fromUtf8(kMonths[month - 1]);
    s[0] = s.at(0).toUpper();
    return s;
}

QString weekdayName(int dayOfWeek)
{
    if (dayOfWeek < 1 || dayOfWeek > 7) return QString();
    return QString::fromUtf8(kDays[dayOfWeek - 1]);
}

QString upper(const QString &s)
{
    QString out = s;
    for (QChar &c : out) c = c.toUpper();
    return out;
}

QString lower(const QString &s)
{
    QString out = s;
    for (QChar &c : out) c = c.toLower();
    return out;
}

} // namespace brelvo::core
