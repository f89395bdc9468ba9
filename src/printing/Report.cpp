#include "printing/Report.h"

#include "core/Format.h"
#include "data/Dataset.h"
#include "printing/Ean13.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QHash>
#include <QImageReader>
#include <QTextDocument>
#include <algorithm>
#include <cmath>
#include <optional>

namespace brelvo::printing {

// ---------------------------------------------------------------- rows

static const QVariant *findField(const QVariantMap &row, const QString &field)
{
    auto it = row.constFind(field);
    if (it != row.constEnd())
        return &it.value();
    for (auto i = row.constBegin(); i != row.constEnd(); ++i)
        if (i.key().compare(field, Qt::CaseInsensitive) == 0)
            return &i.value();
    return nullptr;
}

bool MapRows::hasField(const QString &field) const
{
    return !eof() && findField(m_rows[m_pos], field);
}

QVariant MapRows::value(const QString &field) const
{
    if (eof())
        return {};
    const QVariant *v = findField(m_rows[m_pos], field);
    return v ? *v : QVariant();
}

void CallbackRows::first()
{
    m_index = 0;
    m_row.clear();
    m_eof = !m_fetch(m_index, m_row);
}

void CallbackRows::next()
{
    if (m_eof)
        return;
    ++m_index;
    m_row.clear();
    m_eof = !m_fetch(m_index, m_row);
}

bool CallbackRows::hasField(const QString &field) const
{
    return !m_eof && findField(m_row, field);
}

QVariant CallbackRows::value(const QString &field) const
{
    if (m_eof)
        return {};
    const QVariant *v = findField(m_row, field);
    return v ? *v : QVariant();
}

void DatasetRows::first() { m_ds->first(); }
void DatasetRows::next() { m_ds->next(); }
bool DatasetRows::eof() const { return m_ds->eof(); }
bool DatasetRows::hasField(const QString &field) const { return m_ds->hasField(field); }
QVariant DatasetRows::value(const QString &field) const { return m_ds->value(field); }

ValueType DatasetRows::fieldType(const QString &field) const
{
    if (!m_ds->hasField(field))
        return ValueType::Unknown;
    switch (m_ds->fieldType(field)) {
    case data::FieldType::AutoInc: case data::FieldType::Integer: return ValueType::Integer;
    case data::FieldType::Number: return ValueType::Number;
    case data::FieldType::Money: return ValueType::Money;
    case data::FieldType::Alpha: case data::FieldType::Memo: return ValueType::Text;
    case data::FieldType::Date: return ValueType::Date;
    case data::FieldType::Time: return ValueType::Time;
    case data::FieldType::Logical: return ValueType::Bool;
    case data::FieldType::Graphic: break;
    }
    return ValueType::Unknown;
}

QVariant RowContext::value(const QString &field) const
{
    if (m_snapshot) {
        if (const QVariant *v = findField(*m_snapshot, field))
            return *v;
    }
    if (m_sub && m_sub->hasField(field))
        return m_sub->value(field);
    return masterValue(field);
}

QVariant RowContext::masterValue(const QString &field) const
{
    if (m_master && !m_master->eof())
        return m_master->value(field);
    return {};
}

// ---------------------------------------------------------------- values

QString formatValue(const QVariant &value, const QString &mask)
{
    if (!value.isValid() || value.isNull())
        return QString();
    switch (value.typeId()) {
    case QMetaType::QDate:
        return mask.isEmpty() ? core::dateText(value.toDate())
                              : core::formatDateTime(mask, QDateTime(value.toDate(), QTime(0, 0)));
    case QMetaType::QDateTime:
        return core::formatDateTime(mask.isEmpty() ? QStringLiteral("dd/mm/yyyy hh:nn:ss") : mask,
                                    value.toDateTime());
    case QMetaType::QTime:
        return core::formatDateTime(mask.isEmpty() ? QStringLiteral("hh:nn:ss") : mask,
                                    QDateTime(QDate(1899, 12, 30), value.toTime()));
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("Sim") : QStringLiteral("Não");
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
    case QMetaType::Short: case QMetaType::UShort: case QMetaType::Long: case QMetaType::ULong:
        return mask.isEmpty() ? QString::number(value.toLongLong()) : core::formatMask(mask, value.toDouble());
    case QMetaType::Double: case QMetaType::Float:
        return mask.isEmpty() ? core::shortNumber(value.toDouble()) : core::formatMask(mask, value.toDouble());
    default:
        break;
    }
    const QString text = value.toString();
    if (!mask.isEmpty() && !text.trimmed().isEmpty()) {
        if (auto n = core::parseNumber(text))
            return core::formatMask(mask, *n);
    }
    return text;
}

static std::optional<double> numberOf(const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return std::nullopt;
    switch (v.typeId()) {
    case QMetaType::QString: case QMetaType::QByteArray:
        return core::parseNumber(v.toString());
    default: {
        bool ok = false;
        const double d = v.toDouble(&ok);
        if (ok)
            return d;
        return std::nullopt;
    }
    }
}

// ---------------------------------------------------------------- spreadsheet kinds

namespace {

QString firstSection(const QString &mask) { return mask.section(u';', 0, 0); }

// "000", "0000000000000": a code printed zero-padded.
bool zeroPadMask(const QString &mask)
{
    const QString m = firstSection(mask).trimmed();
    return m.size() >= 2 && m.count(u'0') == m.size();
}

int maskDecimals(const QString &mask)
{
    const QString m = firstSection(mask);
    const qsizetype dot = m.indexOf(u'.');
    if (dot < 0)
        return 0;
    int n = 0;
    for (qsizetype i = dot + 1; i < m.size() && (m[i] == u'0' || m[i] == u'#'); ++i)
        ++n;
    return n;
}

bool maskHasTime(const QString &mask)
{
    return mask.contains(QLatin1String("hh"), Qt::CaseInsensitive) || mask.contains(QLatin1String("nn"), Qt::CaseInsensitive);
}

bool maskHasDate(const QString &mask)
{
    return mask.contains(QLatin1String("dd"), Qt::CaseInsensitive) || mask.contains(QLatin1String("yy"), Qt::CaseInsensitive);
}

ValueType typeOfValue(const QVariant &v, const QString &mask)
{
    if (!v.isValid() || v.isNull())
        return ValueType::Unknown;
    switch (v.typeId()) {
    case QMetaType::QDate: return ValueType::Date;
    case QMetaType::QDateTime: return ValueType::DateTime;
    case QMetaType::QTime: return ValueType::Time;
    case QMetaType::Bool: return ValueType::Bool;
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
    case QMetaType::Short: case QMetaType::UShort: case QMetaType::Long: case QMetaType::ULong:
        return ValueType::Integer;
    case QMetaType::Double: case QMetaType::Float:
        return ValueType::Number;
    default:
        break;
    }
    // A text printed through a numeric mask is printed as a number.
    if (!mask.isEmpty() && core::parseNumber(v.toString()))
        return ValueType::Number;
    return ValueType::Text;
}

// The one rule that turns a declared type and a display mask into a column kind.
CellKind kindFor(ValueType type, const QString &mask, int *decimals)
{
    *decimals = -1;
    const QString m = firstSection(mask);
    switch (type) {
    case ValueType::Date:
        return !m.isEmpty() && maskHasTime(m) ? CellKind::DateTime : CellKind::Date;
    case ValueType::DateTime:
        if (m.isEmpty() || (maskHasDate(m) && maskHasTime(m)))
            return CellKind::DateTime;
        return maskHasTime(m) ? CellKind::Time : CellKind::Date;
    case ValueType::Time:
        return CellKind::Time;
    case ValueType::Money:
        return CellKind::Money;
    case ValueType::Integer:
    case ValueType::Number: {
        if (m.contains(QLatin1String("R$")))
            return CellKind::Money;
        if (zeroPadMask(m))
            return CellKind::Identifier;
        if (m.trimmed().isEmpty())
            return CellKind::Number;
        const int d = maskDecimals(m);
        if (d == 2 && m.contains(u','))
            return CellKind::Money;
        *decimals = d;
        return CellKind::Number;
    }
    case ValueType::Text: case ValueType::Bool: case ValueType::Unknown:
        break;
    }
    return CellKind::Text;
}

// Digits and punctuation only (amounts, dates, codes, CPF, phone numbers):
// shrunk to fit rather than cut.
bool numericLooking(QString text)
{
    text.remove(QLatin1String("R$"));
    bool digit = false;
    for (QChar c : text) {
        if (c.isDigit())
            digit = true;
        else if (c.isLetter())
            return false;
    }
    return digit;
}

} // namespace

// Plain text of an old RTF memo: control words dropped, \par as line breaks,
// \'hh as Windows-1252 characters, destination groups skipped.
static QString rtfToPlain(const QString &rtf)
{
    QString out;
    QByteArray pending;     // \'hh bytes waiting to be decoded
    auto flush = [&] {
        if (!pending.isEmpty()) {
            out += QString::fromLatin1(pending);   // cp1252 letters used in Portuguese are Latin-1
            pending.clear();
        }
    };
    int depth = 0, skipDepth = -1;
    for (int i = 0; i < rtf.size(); ++i) {
        const QChar c = rtf[i];
        if (c == u'{') { ++depth; continue; }
        if (c == u'}') { if (depth == skipDepth) skipDepth = -1; --depth; continue; }
        const bool skipping = skipDepth >= 0 && depth >= skipDepth;
        if (c == u'\\' && i + 1 < rtf.size()) {
            const QChar n = rtf[i + 1];
            if (n == u'\'' && i + 3 < rtf.size()) {
                if (!skipping)
                    pending.append(char(rtf.mid(i + 2, 2).toInt(nullptr, 16)));
                i += 3;
                continue;
            }
            if (n == u'\\' || n == u'{' || n == u'}') {
                if (!skipping) { flush(); out += n; }
                ++i;
                continue;
            }
            if (n == u'*') { skipDepth = depth; ++i; continue; }
            int j = i + 1;
            while (j < rtf.size() && rtf[j].isLetter()) ++j;
            const QString word = rtf.mid(i + 1, j - i - 1);
            while (j < rtf.size() && (rtf[j].isDigit() || rtf[j] == u'-')) ++j;
            if (j < rtf.size() && rtf[j] == u' ') ++j;
            i = j - 1;
            if (word == u"fonttbl" || word == u"colortbl" || word == u"stylesheet" || word == u"info"
                || word == u"pict")
                skipDepth = depth;
            else if (!skipping && (word == u"par" || word == u"line")) { flush(); out += u'\n'; }
            else if (!skipping && word == u"tab") { flush(); out += u'\t'; }
            continue;
        }
        if (skipping || c == u'\r' || c == u'\n')
            continue;
        flush();
        out += c;
    }
    flush();
    while (out.endsWith(u'\n'))
        out.chop(1);
    return out;
}

static QString plainText(const QString &text)
{
    if (text.startsWith(QLatin1String("{\\rtf")))
        return rtfToPlain(text);
    if (Qt::mightBeRichText(text)) {
        QTextDocument doc;
        doc.setHtml(text);
        return doc.toPlainText();
    }
    return text;
}

// ---------------------------------------------------------------- elements and bands

bool Element::loadPicture(const QString &path, QString *error, const QString &defaultPath)
{
    const QString file = path.trimmed().isEmpty() ? defaultPath : path;
    if (file.trimmed().isEmpty()) {
        m_image = QImage();
        return true;
    }
    if (!QFileInfo::exists(file)) {
        if (error)
            *error = QStringLiteral("Arquivo não encontrado: %1").arg(file);
        return false;
    }
    QImageReader reader(file);
    reader.setAutoTransform(true);
    QImage img = reader.read();
    if (img.isNull()) {
        if (error)
            *error = QStringLiteral("Não foi possível carregar a imagem: %1").arg(file);
        return false;
    }
    m_image = img;
    return true;
}

Element &Band::add(Element::Kind kind, const QRectF &mm)
{
    Element &e = m_elements.emplace_back();
    e.m_kind = kind;
    e.m_rect = mm;
    m_height = std::max(m_height, mm.bottom());
    return e;
}

Element &Band::label(const QRectF &mm, const QString &text, int font, Align align)
{
    Element &e = add(Element::Label, mm);
    e.m_text = text;
    e.m_font = font;
    e.m_align = align;
    return e;
}

Element &Band::richText(const QRectF &mm, const QString &text, int font)
{
    Element &e = add(Element::Label, mm);
    e.m_text = plainText(text);
    e.m_font = font;
    e.m_wrap = true;
    return e;
}

Element &Band::field(const QRectF &mm, const QString &field, const QString &mask, int font)
{
    Element &e = add(Element::Field, mm);
    e.m_text = field;
    e.m_mask = mask;
    e.m_font = font;
    return e;
}

Element &Band::expression(const QRectF &mm, Expression expr, const QString &mask, int font)
{
    Element &e = add(Element::Expr, mm);
    e.m_expr = std::move(expr);
    e.m_mask = mask;
    e.m_font = font;
    return e;
}

Element &Band::sum(const QRectF &mm, const QString &field, const QString &mask, int font)
{
    Element &e = add(Element::Sum, mm);
    e.m_text = field;
    e.m_mask = mask;
    e.m_font = font;
    return e;
}

Element &Band::sum(const QRectF &mm, Expression expr, const QString &mask, int font)
{
    Element &e = add(Element::Sum, mm);
    e.m_expr = std::move(expr);
    e.m_mask = mask;
    e.m_font = font;
    return e;
}

Element &Band::count(const QRectF &mm, const QString &mask, int font)
{
    Element &e = add(Element::Count, mm);
    e.m_mask = mask;
    e.m_font = font;
    return e;
}

Element &Band::picture(const QRectF &mm) { return add(Element::Picture, mm); }

Element &Band::pictureField(const QRectF &mm, const QString &field, const QString &defaultPath)
{
    Element &e = add(Element::PictureField, mm);
    e.m_text = field;
    e.m_defaultPicture = defaultPath;
    return e;
}

Element &Band::line(const QPointF &from, const QPointF &to, double pen)
{
    Element &e = add(Element::Line, QRectF(from, to));
    e.m_rect = QRectF(from.x(), from.y(), to.x() - from.x(), to.y() - from.y());
    m_height = std::max(m_height, std::max(from.y(), to.y()));
    e.m_pen = pen;
    return e;
}

Element &Band::frame(const QRectF &mm, double pen)
{
    Element &e = add(Element::Frame, mm);
    e.m_pen = pen;
    return e;
}

Element &Band::fill(const QRectF &mm) { return add(Element::Fill, mm); }

Element &Band::systemDate(const QRectF &mm, const QString &mask, int font)
{
    Element &e = add(Element::SystemDate, mm);
    e.m_mask = mask;
    e.m_font = font;
    return e;
}

Element &Band::systemTime(const QRectF &mm, const QString &mask, int font)
{
    Element &e = add(Element::SystemTime, mm);
    e.m_mask = mask;
    e.m_font = font;
    return e;
}

Element &Band::pageNumber(const QRectF &mm, const QString &format, int font)
{
    Element &e = add(Element::PageNumber, mm);
    e.m_text = format;
    e.m_font = font;
    return e;
}

Element &Band::barcode(const QRectF &mm, const QString &code)
{
    Element &e = add(Element::Barcode, mm);
    e.m_text = code;
    return e;
}

Element &Band::barcodeField(const QRectF &mm, const QString &field)
{
    Element &e = add(Element::BarcodeField, mm);
    e.m_text = field;
    return e;
}

// ---------------------------------------------------------------- report

static QFont makeFont(double pointSize, bool bold, bool italic, const QString &family)
{
    QFont f(family.isEmpty() ? QStringLiteral("Arial") : family);
    f.setPointSizeF(pointSize);
    f.setBold(bold);
    f.setItalic(italic);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

static int fontIndex(std::vector<QFont> &fonts, const QFont &f)
{
    for (size_t i = 0; i < fonts.size(); ++i)
        if (fonts[i] == f)
            return int(i);
    fonts.push_back(f);
    return int(fonts.size() - 1);
}

Report::Report(const QString &title) : m_title(title)
{
    m_fonts.push_back(makeFont(9, false, false, QString()));
}

Report::~Report() = default;

int Report::font(double pointSize, bool bold, bool italic, const QString &family)
{
    return fontIndex(m_fonts, makeFont(pointSize, bold, italic, family));
}

SubDetail &Report::addSubDetail() { return m_subDetails.emplace_back(); }

Group &Report::addGroup(const QString &field)
{
    Group &g = m_groups.emplace_back();
    g.field = field;
    return g;
}

Group &Report::addGroup(Expression key)
{
    Group &g = m_groups.emplace_back();
    g.key = std::move(key);
    return g;
}

void Report::setPeriod(const QDate &from, const QDate &to)
{
    m_period = QStringLiteral("Período: %1 a %2").arg(core::dateText(from), core::dateText(to));
}

void Report::setRows(std::unique_ptr<RowSource> rows) { m_rows = std::move(rows); }
void Report::setRows(std::vector<QVariantMap> rows) { m_rows = std::make_unique<MapRows>(std::move(rows)); }
void Report::setRows(data::Dataset *dataset) { m_rows = dataset ? std::make_unique<DatasetRows>(dataset) : nullptr; }
void Report::setRows(CallbackRows::Fetch fetch) { m_rows = std::make_unique<CallbackRows>(std::move(fetch)); }

// ---------------------------------------------------------------- engine

namespace {
constexpr double kRefDpi = 1200.0;          // text is measured at this resolution
constexpr double kPxToMm = 25.4 / kRefDpi;
constexpr double kEps = 0.001;
}

class ReportEngine {
public:
    explicit ReportEngine(Report &r) : R(r) {}
    PreparedReport run();

private:
    struct Pending {              // one laid-out item and whether it shows the page number
        bool pageNumber = false;
    };

    // A value a band printed, kept for the spreadsheets.
    struct Captured {
        const Element *e;
        QString text;       // whole, as formatted
        QVariant value;
    };
    struct TableColumn {
        const Element *e;
        CellKind kind = CellKind::Text;
        int decimals = -1;
        bool decided = false;
    };

    void collectSums(Band &band, bool isSub);
    void newPage();
    void finishPage();
    // Lays out and places a band at the current position. Returns false when
    // the band's condition hid it. With capture, `captured` receives its values.
    bool printBand(Band &band, bool resetSums = false, bool capture = false);
    void layoutBand(Band &band, bool capture, double *height);
    void place(double height, bool fixedPosition);
    void emitText(const Element &e, const QString &text, double dy, bool pageNumber, int font = -1);
    std::pair<QVariant, QString> valueAndText(const Element &e);
    // The text that fits its place, and the font to print it in.
    QString fitText(const Band &band, const Element &e, const QString &text, int *font);
    double textWidth(int font, const QString &text);
    double roughWidth(int font, const QString &text);
    std::pair<double, double> room(const Band &band, const Element &e);
    void setUpTable();
    void decideColumn(TableColumn &c, const QVariant &value);
    CellKind kindOf(const Element &e, const QVariant &value, int *decimals, bool *known);
    void captureRow();
    void captureTotals();
    void captureHeading();
    int imageIndex(const QImage &img);
    int pictureForPath(const QString &path, const QString &defaultPath);
    void emitPicture(const Element &e, int image, double dy);
    void emitBarcode(const Element &e, const QString &code, double dy);
    const QFontMetricsF &metrics(int font);
    QStringList wrap(const QString &text, int font, double widthMm);
    void accumulate(std::vector<Element *> &sums);
    QVariantMap snapshotRow();

    Report &R;
    PreparedReport out;
    QRectF content;
    double y = 0, limit = 0, bodyStart = 0, footerHeight = 0;
    Page *page = nullptr;
    bool inFrame = false;           // printing page header/title/column header/footer
    bool breakPending = false;
    RowContext ctx;
    QDateTime now;
    QImage refDevice;
    std::vector<std::optional<QFontMetricsF>> fm;
    std::vector<PageItem> scratch;
    std::vector<quint8> scratchPageNo;
    std::vector<std::pair<int, size_t>> totalFixups;
    QHash<qint64, int> imageByKey;
    QHash<QString, int> imageByPath;
    QHash<QString, Ean13Symbol> symbols;
    std::vector<Element *> detailSums;
    std::vector<std::vector<Element *>> subSums;
    std::vector<Captured> captured;
    std::vector<TableColumn> tableCols;
    QHash<const Element *, std::pair<double, double>> rooms;
    QHash<quint64, double> charWidths;     // px, by font and character
    QStringList snapshotFields;
    QVariantMap lastRow;
};

const QFontMetricsF &ReportEngine::metrics(int font)
{
    if (font < 0 || size_t(font) >= out.fonts.size())
        font = 0;
    if (fm.size() < out.fonts.size())
        fm.resize(out.fonts.size());
    if (!fm[font])
        fm[font].emplace(out.fonts[font], &refDevice);
    return *fm[font];
}

QStringList ReportEngine::wrap(const QString &text, int font, double widthMm)
{
    const QFontMetricsF &m = metrics(font);
    const double maxPx = widthMm / kPxToMm;
    QStringList lines;
    QString t = text;
    t.remove(u'\r');
    const QStringList paragraphs = t.split(u'\n');
    for (const QString &para : paragraphs) {
        const QStringList words = para.split(u' ', Qt::SkipEmptyParts);
        QString cur;
        for (QString w : words) {
            const QString cand = cur.isEmpty() ? w : cur + u' ' + w;
            if (m.horizontalAdvance(cand) <= maxPx) {
                cur = cand;
                continue;
            }
            if (!cur.isEmpty())
                lines << cur;
            // A word wider than the column is cut where it overflows.
            while (w.size() > 1 && m.horizontalAdvance(w) > maxPx) {
                int n = w.size() - 1;
                while (n > 1 && m.horizontalAdvance(w.left(n)) > maxPx)
                    --n;
                lines << w.left(n);
                w = w.mid(n);
            }
            cur = w;
        }
        lines << cur;
    }
    return lines;
}

int ReportEngine::imageIndex(const QImage &img)
{
    if (img.isNull())
        return -1;
    auto it = imageByKey.constFind(img.cacheKey());
    if (it != imageByKey.constEnd())
        return *it;
    out.images.push_back(img);
    const int i = int(out.images.size() - 1);
    imageByKey.insert(img.cacheKey(), i);
    return i;
}

int ReportEngine::pictureForPath(const QString &path, const QString &defaultPath)
{
    auto load = [this](const QString &p) -> int {
        if (p.trimmed().isEmpty())
            return -1;
        auto it = imageByPath.constFind(p);
        if (it != imageByPath.constEnd())
            return *it;
        QImageReader reader(p);
        reader.setAutoTransform(true);
        const int i = imageIndex(reader.read());
        imageByPath.insert(p, i);
        return i;
    };
    const int i = load(path);
    return i >= 0 ? i : load(defaultPath);
}

std::pair<QVariant, QString> ReportEngine::valueAndText(const Element &e)
{
    switch (e.m_kind) {
    case Element::Label:
        return {e.m_text, e.m_text};
    case Element::Field: {
        QVariant v = ctx.value(e.m_text);
        QString t = formatValue(v, e.m_mask);
        return {std::move(v), std::move(t)};
    }
    case Element::Expr: {
        QVariant v = e.m_expr ? e.m_expr(ctx) : QVariant();
        QString t = formatValue(v, e.m_mask);
        return {std::move(v), std::move(t)};
    }
    case Element::Sum:
        return {e.m_acc, e.m_mask.isEmpty() ? core::shortNumber(e.m_acc) : core::formatMask(e.m_mask, e.m_acc)};
    case Element::Count:
        return {e.m_n, e.m_mask.isEmpty() ? QString::number(e.m_n) : core::formatMask(e.m_mask, double(e.m_n))};
    case Element::SystemDate:
    case Element::SystemTime:
        return {now, core::formatDateTime(e.m_mask, now)};
    case Element::PageNumber:
        return {QVariant(), e.m_text};       // numbered when placed
    default:
        return {};
    }
}

void ReportEngine::emitText(const Element &e, const QString &text, double dy, bool pageNumber, int font)
{
    if (font < 0)
        font = e.m_font;
    PageItem it;
    it.kind = PageItem::Text;
    it.align = e.m_align;
    it.font = quint16(font < 0 || size_t(font) >= out.fonts.size() ? 0 : font);
    it.x = float(e.m_rect.x());
    it.y = float(e.m_rect.y() + dy);
    it.w = float(e.m_rect.width());
    it.h = float(e.m_rect.height());
    it.text = text;
    scratch.push_back(std::move(it));
    scratchPageNo.push_back(pageNumber);
}

double ReportEngine::textWidth(int font, const QString &text)
{
    return metrics(font).horizontalAdvance(text) * kPxToMm;
}

// The sum of the characters' own widths: close to the text's width, cheap
// enough for every value of a long listing.
double ReportEngine::roughWidth(int font, const QString &text)
{
    const QFontMetricsF &m = metrics(font);
    double px = 0;
    for (QChar c : text) {
        const quint64 key = (quint64(quint32(font)) << 16) | c.unicode();
        auto it = charWidths.constFind(key);
        if (it == charWidths.constEnd())
            it = charWidths.insert(key, m.horizontalAdvance(c));
        px += *it;
    }
    return px * kPxToMm;
}

// The free room a label may print into: from the element to its neighbours on
// the same line (or the edges of the band), in band millimetres.
std::pair<double, double> ReportEngine::room(const Band &band, const Element &e)
{
    auto it = rooms.constFind(&e);
    if (it != rooms.constEnd())
        return *it;
    double left = 0, right = content.width();
    const QRectF r = e.m_rect;
    for (const Element &n : band.m_elements) {
        if (&n == &e || n.m_kind == Element::Line || n.m_kind == Element::Frame || n.m_kind == Element::Fill)
            continue;
        const QRectF o = n.m_rect;
        if (o.bottom() <= r.top() + kEps || o.top() >= r.bottom() - kEps)
            continue;              // another line
        if (o.left() >= r.right() - kEps)
            right = std::min(right, o.left());
        else if (o.right() <= r.left() + kEps)
            left = std::max(left, o.right());
    }
    right = std::max(right, r.right());
    left = std::min(left, r.left());
    return *rooms.insert(&e, {left, right});
}

QString ReportEngine::fitText(const Band &band, const Element &e, const QString &text, int *font)
{
    *font = e.m_font;
    if (text.isEmpty())
        return text;
    double width = e.m_rect.width();
    if (e.m_kind == Element::Label) {
        const auto [left, right] = room(band, e);
        const QRectF r = e.m_rect;
        switch (e.m_align) {
        case Align::Left: width = right - r.left(); break;
        case Align::Right: width = r.right() - left; break;
        case Align::Center: width = 2 * std::min(r.center().x() - left, right - r.center().x()); break;
        }
        width = std::max(width, r.width());
    }
    if (width <= 0 || roughWidth(e.m_font, text) <= width * 0.97)
        return text;                // surely fits (kerning only narrows a text)
    const double need = textWidth(e.m_font, text);
    if (need <= width + kEps)
        return text;
    // Printed smaller, in half points: a number as far as it takes (it is
    // never cut), a text down to 80 % before it is cut.
    const bool number = e.m_kind == Element::Sum || e.m_kind == Element::Count || numericLooking(text);
    const QFont base = out.fonts[size_t(e.m_font < 0 || size_t(e.m_font) >= out.fonts.size() ? 0 : e.m_font)];
    const double floorPt = number ? 4.0 : base.pointSizeF() * 0.8;
    for (double pt = std::floor(base.pointSizeF() * width / need * 2) / 2;; pt -= 0.5) {
        pt = std::max(pt, number ? floorPt : 0.0);
        if (pt < floorPt - kEps)
            break;
        QFont f = base;
        f.setPointSizeF(pt);
        const int index = fontIndex(out.fonts, f);
        if (textWidth(index, text) <= width + kEps || pt <= floorPt + kEps) {
            if (number || textWidth(index, text) <= width + kEps) {
                *font = index;
                return text;
            }
            break;
        }
    }
    *font = e.m_font;
    return metrics(e.m_font).elidedText(text, Qt::ElideRight, width / kPxToMm);
}

void ReportEngine::emitPicture(const Element &e, int image, double dy)
{
    if (image < 0)
        return;
    QRectF r = e.m_rect.translated(0, dy);
    if (e.m_keepAspect) {
        const QSizeF s = QSizeF(out.images[image].size()).scaled(r.size(), Qt::KeepAspectRatio);
        r = QRectF(r.x() + (r.width() - s.width()) / 2, r.y() + (r.height() - s.height()) / 2,
                   s.width(), s.height());
    }
    PageItem it;
    it.kind = PageItem::Image;
    it.image = image;
    it.x = float(r.x()); it.y = float(r.y()); it.w = float(r.width()); it.h = float(r.height());
    scratch.push_back(std::move(it));
    scratchPageNo.push_back(0);
}

void ReportEngine::emitBarcode(const Element &e, const QString &code, double dy)
{
    const QString key = code + u'|' + QString::number(e.m_rect.width()) + u'x' + QString::number(e.m_rect.height());
    auto it = symbols.find(key);
    QString error;
    if (it == symbols.end())
        it = symbols.insert(key, ean13Symbol(code, e.m_rect.size(), &error));
    if (it->isNull()) {
        if (error.isEmpty())
            validateEan13(code, &error);
        emitText(e, error, dy, false);
        return;
    }
    const double x0 = e.m_rect.x(), y0 = e.m_rect.y() + dy;
    for (const QRectF &b : it->bars) {
        PageItem bar;
        bar.kind = PageItem::Fill;
        bar.x = float(x0 + b.x()); bar.y = float(y0 + b.y()); bar.w = float(b.width()); bar.h = float(b.height());
        scratch.push_back(std::move(bar));
        scratchPageNo.push_back(0);
    }
    const int font = fontIndex(out.fonts, makeFont(it->digitHeight * 72.0 / 25.4, false, false, QString()));
    for (const auto &d : it->digits) {
        PageItem t;
        t.kind = PageItem::Text;
        t.align = d.align & Qt::AlignRight ? Align::Right : d.align & Qt::AlignLeft ? Align::Left : Align::Center;
        t.font = quint16(font);
        t.x = float(x0 + d.rect.x()); t.y = float(y0 + d.rect.y());
        t.w = float(d.rect.width()); t.h = float(d.rect.height());
        t.text = d.text;
        scratch.push_back(std::move(t));
        scratchPageNo.push_back(0);
    }
}

void ReportEngine::layoutBand(Band &band, bool capture, double *height)
{
    scratch.clear();
    scratchPageNo.clear();
    if (capture)
        captured.clear();

    // Word-wrapped elements first: their growth pushes down what lies below them.
    struct Grow { double bottom; double growth; };
    std::vector<Grow> grows;
    std::vector<std::pair<const Element *, QStringList>> wrapped;
    for (const Element &e : band.m_elements) {
        if (!e.m_wrap || (e.m_when && !e.m_when(ctx)))
            continue;
        auto [value, text] = valueAndText(e);
        QStringList lines = wrap(text, e.m_font, e.m_rect.width());
        if (capture)
            captured.push_back({&e, std::move(text), std::move(value)});
        const double lineH = metrics(e.m_font).height() * kPxToMm;
        const double need = lines.size() * lineH;
        if (need > e.m_rect.height() + kEps)
            grows.push_back({e.m_rect.bottom(), need - e.m_rect.height()});
        wrapped.emplace_back(&e, std::move(lines));
    }
    auto shiftOf = [&grows](double top) {
        double s = 0;
        for (const Grow &g : grows)
            if (g.bottom <= top + kEps)
                s += g.growth;
        return s;
    };

    double extra = 0;
    size_t w = 0;
    for (const Element &e : band.m_elements) {
        const double dy = grows.empty() ? 0.0 : shiftOf(std::min(e.m_rect.top(), e.m_rect.bottom()));
        if (e.m_wrap) {
            if (w >= wrapped.size() || wrapped[w].first != &e)
                continue;                       // hidden by its condition
            const QStringList &lines = wrapped[w++].second;
            const double lineH = metrics(e.m_font).height() * kPxToMm;
            for (int i = 0; i < lines.size(); ++i) {
                emitText(e, lines[i], dy, false);
                PageItem &it = scratch.back();
                it.y = float(e.m_rect.y() + dy + i * lineH);
                it.h = float(lineH);
            }
            extra = std::max(extra, dy + std::max(0.0, lines.size() * lineH - e.m_rect.height()));
            continue;
        }
        if (e.m_when && !e.m_when(ctx))
            continue;
        extra = std::max(extra, dy);
        switch (e.m_kind) {
        case Element::Label: case Element::Field: case Element::Expr: case Element::Sum:
        case Element::Count: case Element::SystemDate: case Element::SystemTime: {
            auto [value, text] = valueAndText(e);
            int font = e.m_font;
            const QString shown = fitText(band, e, text, &font);
            emitText(e, shown, dy, false, font);
            if (capture)
                captured.push_back({&e, std::move(text), std::move(value)});
            break;
        }
        case Element::PageNumber:
            emitText(e, e.m_text, dy, true);
            break;
        case Element::Picture:
            emitPicture(e, imageIndex(e.m_image), dy);
            break;
        case Element::PictureField:
            emitPicture(e, pictureForPath(ctx.value(e.m_text).toString(), e.m_defaultPicture), dy);
            break;
        case Element::Line: case Element::Frame: case Element::Fill: {
            PageItem it;
            it.kind = e.m_kind == Element::Line ? PageItem::Line
                    : e.m_kind == Element::Frame ? PageItem::Frame : PageItem::Fill;
            it.x = float(e.m_rect.x()); it.y = float(e.m_rect.y() + dy);
            it.w = float(e.m_rect.width()); it.h = float(e.m_rect.height());
            it.pen = float(e.m_pen);
            scratch.push_back(std::move(it));
            scratchPageNo.push_back(0);
            break;
        }
        case Element::Barcode:
            emitBarcode(e, e.m_text, dy);
            break;
        case Element::BarcodeField: {
            const QVariant v = ctx.value(e.m_text);
            QString code = v.toString().trimmed();
            if (v.typeId() != QMetaType::QString && !code.isEmpty())
                code = QString::number(v.toLongLong()).rightJustified(13, u'0');
            emitBarcode(e, code, dy);
            break;
        }
        }
    }
    *height = band.m_height + extra;
}

void ReportEngine::place(double height, bool fixedPosition)
{
    // Starting a page lays out other bands: keep this band's items apart.
    std::vector<PageItem> items;
    std::vector<quint8> pageNo;
    items.swap(scratch);
    pageNo.swap(scratchPageNo);
    struct Restore {          // hand the buffers back for reuse
        ReportEngine *e; std::vector<PageItem> &items; std::vector<quint8> &pageNo;
        ~Restore() { items.clear(); pageNo.clear(); e->scratch.swap(items); e->scratchPageNo.swap(pageNo); }
    } restore{this, items, pageNo};
    if (!fixedPosition) {
        if (breakPending) {
            breakPending = false;
            newPage();
        }
        if (y + height > limit + kEps && y > bodyStart + kEps)
            newPage();
    }
    const float left = float(content.left());
    auto put = [&](size_t i, double top) {
        PageItem it = std::move(items[i]);
        it.x += left;
        it.y += float(top);
        if (pageNo[i]) {
            it.text = it.text.arg(ctx.m_page);
            if (it.text.contains(QLatin1String("%2")))
                totalFixups.emplace_back(int(out.pages.size() - 1), page->items.size());
        }
        page->items.push_back(std::move(it));
    };
    if (fixedPosition || y + height <= limit + kEps) {
        for (size_t i = 0; i < items.size(); ++i)
            put(i, y);
        y += height;
        return;
    }
    // Taller than a page: items go on in order of height, breaking where they overflow.
    std::vector<size_t> order(items.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&items](size_t a, size_t b) { return items[a].y < items[b].y; });
    double top = y, base = 0;
    for (size_t i : order) {
        const double relTop = items[i].y - base;
        const double bottom = relTop + std::max(0.0f, items[i].h);
        if (top + bottom > limit + kEps && items[i].y > base + kEps) {
            newPage();
            top = y;
            base = items[i].y;
        }
        put(i, top - base);
    }
    y = top + std::max(0.0, height - base);
}

bool ReportEngine::printBand(Band &band, bool resetSums, bool capture)
{
    if (band.isEmpty())
        return false;
    if (band.m_when && !band.m_when(ctx))
        return false;
    double h = 0;
    layoutBand(band, capture, &h);
    place(h, inFrame);
    if (band.m_breakAfter)
        breakPending = true;
    if (resetSums) {
        for (Element &e : band.m_elements) {
            if (e.m_kind == Element::Sum || e.m_kind == Element::Count) {
                e.m_acc = 0;
                e.m_n = 0;
            }
        }
    }
    return true;
}

void ReportEngine::newPage()
{
    if (page)
        finishPage();
    out.pages.emplace_back();
    page = &out.pages.back();
    ctx.m_page = int(out.pages.size());
    y = content.top();
    limit = content.bottom() - footerHeight;
    bodyStart = y;
    inFrame = true;
    printBand(R.m_pageHeader);
    if (out.pages.size() == 1 && printBand(R.m_titleBand, false, true))
        captureHeading();
    printBand(R.m_columnHeader);
    inFrame = false;
    bodyStart = y;
}

void ReportEngine::finishPage()
{
    if (R.m_pageFooter.isEmpty())
        return;
    y = content.bottom() - footerHeight;
    inFrame = true;
    printBand(R.m_pageFooter, true);
    inFrame = false;
}

void ReportEngine::collectSums(Band &band, bool)
{
    for (Element &e : band.m_elements) {
        if (e.m_kind != Element::Sum && e.m_kind != Element::Count)
            continue;
        e.m_acc = 0;
        e.m_n = 0;
        if (e.m_sumOver < 0)
            detailSums.push_back(&e);
        else if (size_t(e.m_sumOver) < subSums.size())
            subSums[e.m_sumOver].push_back(&e);
    }
}

void ReportEngine::accumulate(std::vector<Element *> &sums)
{
    for (Element *e : sums) {
        if (e->m_kind == Element::Count) {
            ++e->m_n;
            continue;
        }
        const QVariant v = e->m_expr ? e->m_expr(ctx) : ctx.value(e->m_text);
        if (auto d = numberOf(v)) {
            e->m_acc += *d;
            ++e->m_n;
        }
    }
}

QVariantMap ReportEngine::snapshotRow()
{
    QVariantMap row;
    for (const QString &f : snapshotFields)
        row.insert(f, ctx.value(f));
    return row;
}

// Elements in reading order: line by line from the top, left to right.
static std::vector<const Element *> readingOrder(std::vector<const Element *> els)
{
    std::stable_sort(els.begin(), els.end(), [](const Element *a, const Element *b) {
        return a->rect().top() < b->rect().top();
    });
    std::vector<const Element *> out;
    size_t i = 0;
    while (i < els.size()) {
        const QRectF first = els[i]->rect();
        const double lineEnd = first.top() + std::max(first.height(), 0.5) / 2;
        size_t j = i;
        while (j < els.size() && els[j]->rect().top() < lineEnd)
            ++j;
        std::vector<const Element *> line(els.begin() + qsizetype(i), els.begin() + qsizetype(j));
        std::stable_sort(line.begin(), line.end(), [](const Element *a, const Element *b) {
            return a->rect().left() < b->rect().left();
        });
        out.insert(out.end(), line.begin(), line.end());
        i = j;
    }
    return out;
}

void ReportEngine::setUpTable()
{
    std::vector<const Element *> values, labels;
    for (const Element &e : R.m_detail.m_elements) {
        switch (e.m_kind) {
        case Element::Field: case Element::Expr: case Element::Sum: case Element::Count:
            values.push_back(&e);
            break;
        case Element::Label:
            labels.push_back(&e);
            break;
        default:
            break;
        }
    }
    for (const Element *e : readingOrder(values)) {
        TableColumn c{e};
        if (e->m_cellKind != CellKind::Auto) {
            c.kind = e->m_cellKind;
            c.decimals = e->m_cellKind == CellKind::Number && !e->m_mask.isEmpty() ? maskDecimals(e->m_mask) : -1;
            c.decided = true;
        }
        tableCols.push_back(c);
    }

    if (!R.m_csvHeader.isEmpty()) {
        out.csvHeader = R.m_csvHeader;
        return;
    }
    // The column header label above each column, else the label before the
    // value on its line ("Nome:"), else the field's name.
    for (const TableColumn &c : tableCols) {
        const QRectF r = c.e->m_rect;
        QString caption;
        double best = kEps;
        for (const Element &h : R.m_columnHeader.m_elements) {
            if (h.m_kind != Element::Label)
                continue;
            const double overlap = std::min(r.right(), h.m_rect.right()) - std::max(r.left(), h.m_rect.left());
            if (overlap > best) {
                best = overlap;
                caption = h.m_text;
            }
        }
        if (caption.isEmpty()) {
            auto sameLine = [&r](const QRectF &o) { return o.bottom() > r.top() + kEps && o.top() < r.bottom() - kEps; };
            const Element *nearest = nullptr;
            for (const Element *l : labels)
                if (sameLine(l->m_rect) && l->m_rect.left() < r.left() - kEps
                    && (!nearest || l->m_rect.left() > nearest->m_rect.left()))
                    nearest = l;
            // Only a caption right before the value: no other value in between.
            for (const Element *v : values)
                if (nearest && v != c.e && sameLine(v->m_rect) && v->m_rect.left() >= nearest->m_rect.right() - kEps
                    && v->m_rect.left() < r.left() - kEps)
                    nearest = nullptr;
            if (nearest)
                caption = nearest->m_text.trimmed();
            while (caption.endsWith(u':'))
                caption.chop(1);
            caption = caption.trimmed();
        }
        if (caption.isEmpty() && c.e->m_kind == Element::Field)
            caption = c.e->m_text;
        out.csvHeader << caption;
    }
}

CellKind ReportEngine::kindOf(const Element &e, const QVariant &value, int *decimals, bool *known)
{
    *known = true;
    *decimals = -1;
    if (e.m_cellKind != CellKind::Auto) {
        if (e.m_cellKind == CellKind::Number && !e.m_mask.isEmpty())
            *decimals = maskDecimals(e.m_mask);
        return e.m_cellKind;
    }
    ValueType type = ValueType::Unknown;
    switch (e.m_kind) {
    case Element::Label:
        return CellKind::Text;
    case Element::Count:
        return CellKind::Number;
    case Element::Sum:
        type = ValueType::Number;
        break;
    case Element::SystemDate: case Element::SystemTime:
        type = ValueType::DateTime;
        break;
    case Element::Field:
        if (ctx.m_master)
            type = ctx.m_master->fieldType(e.m_text);
        [[fallthrough]];
    default: {
        const ValueType seen = typeOfValue(value, e.m_mask);
        if (type == ValueType::Unknown || (type == ValueType::Text && seen == ValueType::Number))
            type = seen;
        break;
    }
    }
    if (type == ValueType::Unknown) {
        *known = false;          // nothing to go by yet
        return CellKind::Text;
    }
    return kindFor(type, e.m_mask, decimals);
}

void ReportEngine::decideColumn(TableColumn &c, const QVariant &value)
{
    if (c.decided)
        return;
    bool known = false;
    c.kind = kindOf(*c.e, value, &c.decimals, &known);
    c.decided = known;
}

void ReportEngine::captureRow()
{
    if (tableCols.empty())
        return;
    QStringList texts;
    std::vector<QVariant> values(tableCols.size());
    for (size_t i = 0; i < tableCols.size(); ++i) {
        TableColumn &c = tableCols[i];
        QString text;
        for (Captured &k : captured) {
            if (k.e == c.e) {
                text = std::move(k.text);
                values[i] = std::move(k.value);
                break;
            }
        }
        decideColumn(c, values[i]);
        texts << text;
    }
    out.csvRows.push_back(std::move(texts));
    out.rowValues.push_back(std::move(values));
}

void ReportEngine::captureTotals()
{
    std::vector<const Element *> els;
    for (const Captured &k : captured)
        els.push_back(k.e);
    els = readingOrder(els);
    const int ncols = int(tableCols.size());
    std::vector<SheetCell> line;
    std::vector<bool> used;
    double lineEnd = -1e9;
    auto flush = [&] {
        if (!line.empty()) {
            std::sort(line.begin(), line.end(), [](auto &a, auto &b) { return a.column < b.column; });
            out.totals.push_back(std::move(line));
        }
        line.clear();
        used.assign(size_t(std::max(ncols, 1)), false);
    };
    flush();
    int sequential = 0;
    for (const Element *e : els) {
        const Captured &k = *std::find_if(captured.begin(), captured.end(), [e](auto &c) { return c.e == e; });
        if (k.text.trimmed().isEmpty())
            continue;
        const QRectF r = e->m_rect;
        if (r.top() >= lineEnd) {
            flush();
            sequential = 0;
            lineEnd = r.top() + std::max(r.height(), 0.5) / 2;
        }
        // The column it stands under: by its left edge, right edge or centre as it is aligned.
        int col = sequential;
        if (ncols > 0) {
            const double anchor = e->m_align == Align::Left ? r.left() + kEps
                                : e->m_align == Align::Right ? r.right() - kEps : r.center().x();
            double bestDist = 1e9;
            for (int i = 0; i < ncols; ++i) {
                const QRectF c = tableCols[size_t(i)].e->m_rect;
                const double d = anchor < c.left() ? c.left() - anchor : anchor > c.right() ? anchor - c.right() : 0;
                if (d < bestDist) {
                    bestDist = d;
                    col = i;
                }
            }
            if (used[size_t(col)]) {
                int free = -1;
                for (int i = col + 1; i < ncols && free < 0; ++i)
                    if (!used[size_t(i)]) free = i;
                for (int i = col - 1; i >= 0 && free < 0; --i)
                    if (!used[size_t(i)]) free = i;
                if (free < 0)
                    continue;      // no room left on this line
                col = free;
            }
            used[size_t(col)] = true;
        }
        ++sequential;
        SheetCell cell;
        cell.column = col;
        bool known = false;
        cell.kind = kindOf(*e, k.value, &cell.decimals, &known);
        cell.text = k.text;
        cell.value = e->m_kind == Element::Label ? QVariant(k.text) : k.value;
        line.push_back(std::move(cell));
    }
    flush();
}

void ReportEngine::captureHeading()
{
    if (!R.m_period.isEmpty()) {
        out.sheetHeading = QStringList{R.m_period};
        return;
    }
    std::vector<const Element *> els;
    for (const Captured &k : captured)
        els.push_back(k.e);
    els = readingOrder(els);
    QStringList parts;
    double lineEnd = -1e9;
    auto flush = [&] {
        const QString text = parts.join(QStringLiteral("  ")).trimmed();
        if (!text.isEmpty() && text.compare(R.m_title.trimmed(), Qt::CaseInsensitive) != 0)
            out.sheetHeading << text;
        parts.clear();
    };
    for (const Element *e : els) {
        const Captured &k = *std::find_if(captured.begin(), captured.end(), [e](auto &c) { return c.e == e; });
        if (e->rect().top() >= lineEnd) {
            flush();
            lineEnd = e->rect().top() + std::max(e->rect().height(), 0.5) / 2;
        }
        if (!k.text.trimmed().isEmpty())
            parts << k.text.trimmed();
    }
    flush();
}

PreparedReport ReportEngine::run()
{
    out.title = R.m_title;
    out.setup = R.m_setup;
    out.fonts = R.m_fonts;
    out.spreadsheetDefault = R.m_spreadsheet;
    content = R.m_setup.contentRect();
    footerHeight = R.m_pageFooter.isEmpty() ? 0.0 : R.m_pageFooter.m_height;
    now = QDateTime::currentDateTime();
    refDevice = QImage(1, 1, QImage::Format_Mono);
    refDevice.setDotsPerMeterX(qRound(kRefDpi / 0.0254));
    refDevice.setDotsPerMeterY(qRound(kRefDpi / 0.0254));

    subSums.resize(R.m_subDetails.size());
    for (Band *b : {&R.m_pageHeader, &R.m_titleBand, &R.m_columnHeader, &R.m_detail, &R.m_summary, &R.m_pageFooter})
        collectSums(*b, false);
    for (SubDetail &sd : R.m_subDetails)
        for (Band *b : {&sd.header, &sd.band, &sd.footer})
            collectSums(*b, true);
    for (Group &g : R.m_groups) {
        collectSums(g.header, false);
        collectSums(g.footer, false);
        if (!g.field.isEmpty())
            snapshotFields << g.field;
        for (const Element &e : g.footer.m_elements)
            if (e.m_kind == Element::Field || e.m_kind == Element::PictureField || e.m_kind == Element::BarcodeField)
                snapshotFields << e.m_text;
    }

    setUpTable();

    RowSource *rows = R.m_rows.get();
    ctx.m_master = rows;
    newPage();

    if (rows) {
        rows->first();
        const size_t levels = R.m_groups.size();
        std::vector<QVariant> prevKeys(levels), keys(levels);
        bool firstRow = true;
        while (!rows->eof()) {
            ++ctx.m_line;
            for (size_t g = 0; g < levels; ++g) {
                const Group &grp = R.m_groups[g];
                keys[g] = grp.key ? grp.key(ctx) : ctx.value(grp.field);
            }
            size_t changed = 0;
            if (!firstRow) {
                changed = levels;
                for (size_t g = 0; g < levels; ++g)
                    if (keys[g] != prevKeys[g]) { changed = g; break; }
                if (changed < levels) {
                    ctx.m_snapshot = &lastRow;
                    --ctx.m_line;
                    for (size_t g = levels; g-- > changed;)
                        printBand(R.m_groups[g].footer, true);
                    ++ctx.m_line;
                    ctx.m_snapshot = nullptr;
                }
            }
            for (size_t g = changed; g < levels; ++g)
                printBand(R.m_groups[g].header);
            prevKeys = keys;

            accumulate(detailSums);
            if (printBand(R.m_detail, false, true))
                captureRow();

            for (size_t k = 0; k < R.m_subDetails.size(); ++k) {
                SubDetail &sd = R.m_subDetails[k];
                std::unique_ptr<RowSource> owned;
                std::optional<DatasetRows> linked;
                RowSource *src = nullptr;
                if (sd.dataset) {
                    linked.emplace(sd.dataset);
                    src = &*linked;
                } else if (sd.rows) {
                    owned = sd.rows(ctx);
                    src = owned.get();
                }
                printBand(sd.header);
                if (src) {
                    ctx.m_sub = src;
                    ctx.m_subLine = 0;
                    for (src->first(); !src->eof(); src->next()) {
                        ++ctx.m_subLine;
                        accumulate(subSums[k]);
                        printBand(sd.band);
                    }
                    ctx.m_sub = nullptr;
                }
                printBand(sd.footer, true);
            }

            if (levels)
                lastRow = snapshotRow();
            firstRow = false;
            rows->next();
        }
        if (!firstRow && levels) {
            ctx.m_snapshot = &lastRow;
            for (size_t g = levels; g-- > 0;)
                printBand(R.m_groups[g].footer, true);
            ctx.m_snapshot = nullptr;
        }
    }

    breakPending = false;
    if (printBand(R.m_summary, false, true))
        captureTotals();
    finishPage();
    for (TableColumn &c : tableCols) {
        out.columns.push_back({c.kind, c.decimals, c.e->m_rect.left(), c.e->m_rect.right()});
    }

    const int total = int(out.pages.size());
    for (auto &[p, i] : totalFixups) {
        QString &t = out.pages[p].items[i].text;
        t = t.arg(total);
    }
    return std::move(out);
}

PreparedReport Report::prepare()
{
    ReportEngine engine(*this);
    return engine.run();
}

} // namespace brelvo::printing
