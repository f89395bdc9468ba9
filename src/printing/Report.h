#pragma once
// Banded page reports.
//
// A Report is a page setup, a font table and bands of elements, all measured
// in millimetres. prepare() runs the rows through the bands and gives
// PreparedReport pages (PageModel.h); showPreview() (PrintPreview.h) shows
// them modally, and from there the user prints, or saves PDF / CSV.
//
//   Report r(QStringLiteral("Lista Clientes"));
//   r.setPage(PageSetup::a4Landscape());
//   const int bold = r.font(10, true);
//   r.title().setHeight(12).label({0, 0, 277, 8}, QStringLiteral("Clientes"), bold, Align::Center);
//   Band &cols = r.columnHeader().setHeight(6);          // repeated on every page
//   cols.label({0, 0, 80, 5}, QStringLiteral("Nome"), bold);
//   Band &d = r.detail().setHeight(5);                   // one per row; breaks across pages
//   d.field({0, 0, 80, 5}, QStringLiteral("Nome"));
//   d.field({200, 0, 30, 5}, QStringLiteral("Valor"), QStringLiteral("###,##0.00")).setAlign(Align::Right);
//   r.summary().setHeight(8).sum({200, 1, 30, 5}, QStringLiteral("Valor"), QStringLiteral("###,##0.00"));
//   r.pageFooter().setHeight(6).pageNumber({230, 0, 47, 5}, QStringLiteral("Página %1 de %2"));
//   r.setRows(dataset);            // a data::Dataset*, rows as QVariantMaps, or a RowSource
//   PreparedReport pages = r.prepare();
//   showPreview(pages, window);
//
// Bands print in this order: page header (every page), title (first page
// only), column header (every page), then for each row: group headers, detail,
// each sub-detail (its header, one band per sub-row, its footer), group
// footers; then the summary; the page footer sits at the foot of every page.
// A band grows with its word-wrapped texts; a band that does not fit in what
// is left of the page goes to the next one (one taller than a page is split).
// Sums and counts accumulate over detail lines (or the rows of a sub-detail,
// see Element::setSumOver) and restart after each group footer, page footer
// and sub-detail footer that shows them; in the summary they are the totals.
// Field lookups are case-insensitive; a sub-detail band reads its own rows
// first, then the master row. Numbers are formatted with core::formatMask,
// dates as dd/mm/yyyy (or a date mask "dd/mm/yyyy hh:nn").
// A text never runs into its neighbour: a value wider than its element is cut
// with "…" (a number is printed smaller instead, never cut); a label may use
// the free room up to the next element on its line.
// Spreadsheets: the values of the detail band are the table's columns, in
// reading order; each column's CellKind is decided once, from the field's
// type and the mask (Element::setCellKind overrides it). Captions come from
// setCsvHeader, else the column header label above each column, else the
// detail label left of it; the title band's other lines (or setPeriod) head
// the sheet and the summary band's values follow the lines.
// Pictures: Element::loadPicture fails with "Arquivo não encontrado: <path>"
// or "Não foi possível carregar a imagem: <path>"; show it and do not preview.

#include "printing/PageModel.h"

#include <QDate>
#include <QPointF>
#include <QVariant>
#include <QVariantMap>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

namespace brelvo::data { class Dataset; }

namespace brelvo::printing {

// The declared type of a field, when the rows know it.
enum class ValueType : quint8 { Unknown, Text, Integer, Number, Money, Date, Time, DateTime, Bool };

// A cursor over report rows.
class RowSource {
public:
    virtual ~RowSource() = default;
    virtual void first() = 0;
    virtual void next() = 0;
    virtual bool eof() const = 0;
    virtual bool hasField(const QString &field) const = 0;
    virtual QVariant value(const QString &field) const = 0;
    // Unknown: the engine looks at the values instead.
    virtual ValueType fieldType(const QString &field) const { return ValueType::Unknown; }
};

// Rows held as maps (field names matched without case).
class MapRows : public RowSource {
public:
    explicit MapRows(std::vector<QVariantMap> rows) : m_rows(std::move(rows)) {}
    void first() override { m_pos = 0; }
    void next() override { ++m_pos; }
    bool eof() const override { return m_pos >= m_rows.size(); }
    bool hasField(const QString &field) const override;
    QVariant value(const QString &field) const override;
private:
    std::vector<QVariantMap> m_rows;
    size_t m_pos = 0;
};

// Rows produced on demand: fetch(index, row) fills row and returns true, or
// returns false after the last one.
class CallbackRows : public RowSource {
public:
    using Fetch = std::function<bool(int index, QVariantMap &row)>;
    explicit CallbackRows(Fetch fetch) : m_fetch(std::move(fetch)) {}
    void first() override;
    void next() override;
    bool eof() const override { return m_eof; }
    bool hasField(const QString &field) const override;
    QVariant value(const QString &field) const override;
private:
    Fetch m_fetch;
    QVariantMap m_row;
    int m_index = 0;
    bool m_eof = true;
};

// A database cursor (not owned). The report walks it with first()/next().
// Master/detail tables linked to it follow it as usual. When grids show the
// cursor and nothing linked must follow it, wrap prepare() in
// disableControls()/enableControls().
class DatasetRows : public RowSource {
public:
    explicit DatasetRows(data::Dataset *ds) : m_ds(ds) {}
    void first() override;
    void next() override;
    bool eof() const override;
    bool hasField(const QString &field) const override;
    QVariant value(const QString &field) const override;
    ValueType fieldType(const QString &field) const override;
private:
    data::Dataset *m_ds;
};

class ReportEngine;

// What expressions and print conditions see.
class RowContext {
public:
    QVariant value(const QString &field) const;      // sub-row first, then master row
    QVariant masterValue(const QString &field) const;
    int line() const { return m_line; }              // 1-based detail line (0 before the first)
    int subLine() const { return m_subLine; }        // 1-based line within the current sub-detail
    int page() const { return m_page; }              // 1-based
private:
    friend class ReportEngine;
    const RowSource *m_master = nullptr;
    const RowSource *m_sub = nullptr;
    const QVariantMap *m_snapshot = nullptr;          // last row of a group, in its footer
    int m_line = 0, m_subLine = 0, m_page = 0;
};

using Expression = std::function<QVariant(const RowContext &)>;
using Condition = std::function<bool(const RowContext &)>;

class Element {
public:
    enum Kind : quint8 { Label, Field, Expr, Sum, Count, Picture, PictureField, Line, Frame, Fill,
                         SystemDate, SystemTime, PageNumber, Barcode, BarcodeField };

    Element &setFont(int font) { m_font = font; return *this; }
    Element &setAlign(Align a) { m_align = a; return *this; }
    // Word wrap over the element's width; the band grows to fit the lines.
    Element &setWordWrap(bool on = true) { m_wrap = on; return *this; }
    Element &setMask(const QString &mask) { m_mask = mask; return *this; }
    Element &setText(const QString &text) { m_text = text; return *this; }
    Element &setPen(double mm) { m_pen = mm; return *this; }
    Element &setKeepAspect(bool on) { m_keepAspect = on; return *this; }
    // Sums/counts: over the rows of sub-detail `index` instead of the detail lines.
    Element &setSumOver(int subDetailIndex) { m_sumOver = subDetailIndex; return *this; }
    // Printed only when the condition holds.
    Element &setPrintWhen(Condition c) { m_when = std::move(c); return *this; }
    // How the value goes into a spreadsheet, where type and mask cannot tell
    // (a text column of amounts, a number that is a code).
    Element &setCellKind(CellKind kind) { m_cellKind = kind; return *this; }
    CellKind cellKind() const { return m_cellKind; }

    // Loads the element's picture now. An empty path loads defaultPath
    // instead when given. False with a Portuguese message on failure.
    bool loadPicture(const QString &path, QString *error, const QString &defaultPath = QString());
    void setImage(const QImage &image) { m_image = image; }
    const QImage &image() const { return m_image; }

    Kind kind() const { return m_kind; }
    QRectF rect() const { return m_rect; }
    QString text() const { return m_text; }

private:
    friend class Band;
    friend class ReportEngine;
    Kind m_kind = Label;
    Align m_align = Align::Left;
    CellKind m_cellKind = CellKind::Auto;
    bool m_wrap = false;
    bool m_keepAspect = true;
    int m_font = 0;
    int m_sumOver = -1;
    double m_pen = 0.2;
    QRectF m_rect;
    QString m_text;       // label text, field name, page-number format
    QString m_mask;
    QString m_defaultPicture;
    QImage m_image;
    Expression m_expr;
    Condition m_when;
    double m_acc = 0;     // running sum / count while preparing
    qint64 m_n = 0;
};

class Band {
public:
    Band &setHeight(double mm) { m_height = mm; return *this; }
    double height() const { return m_height; }
    Band &setPrintWhen(Condition c) { m_when = std::move(c); return *this; }
    // The next band after this one starts a new page.
    Band &setPageBreakAfter(bool on = true) { m_breakAfter = on; return *this; }
    bool isEmpty() const { return m_elements.empty() && m_height <= 0; }

    Element &label(const QRectF &mm, const QString &text, int font = 0, Align align = Align::Left);
    // Multi-line text (plain, or HTML converted to plain), word-wrapped; the band grows.
    Element &richText(const QRectF &mm, const QString &text, int font = 0);
    Element &field(const QRectF &mm, const QString &field, const QString &mask = QString(), int font = 0);
    Element &expression(const QRectF &mm, Expression expr, const QString &mask = QString(), int font = 0);
    Element &sum(const QRectF &mm, const QString &field, const QString &mask = QString(), int font = 0);
    Element &sum(const QRectF &mm, Expression expr, const QString &mask = QString(), int font = 0);
    Element &count(const QRectF &mm, const QString &mask = QString(), int font = 0);
    Element &picture(const QRectF &mm);
    // A picture whose path is in a field; an empty or missing file shows defaultPath.
    Element &pictureField(const QRectF &mm, const QString &field, const QString &defaultPath = QString());
    Element &line(const QPointF &from, const QPointF &to, double pen = 0.2);
    Element &frame(const QRectF &mm, double pen = 0.2);
    Element &fill(const QRectF &mm);
    Element &systemDate(const QRectF &mm, const QString &mask = QStringLiteral("dd/mm/yyyy"), int font = 0);
    Element &systemTime(const QRectF &mm, const QString &mask = QStringLiteral("hh:nn:ss"), int font = 0);
    // %1 = page number, %2 = page count.
    Element &pageNumber(const QRectF &mm, const QString &format = QStringLiteral("Página %1 de %2"), int font = 0);
    // EAN-13 symbol of a fixed code or of a field (an invalid code prints its error text).
    Element &barcode(const QRectF &mm, const QString &code);
    Element &barcodeField(const QRectF &mm, const QString &field);

    const std::deque<Element> &elements() const { return m_elements; }

private:
    friend class ReportEngine;
    Element &add(Element::Kind kind, const QRectF &mm);
    double m_height = 0;
    bool m_breakAfter = false;
    Condition m_when;
    std::deque<Element> m_elements;    // stable references
};

// Rows printed under each detail row: a linked Dataset that follows the
// master, or a callback giving the rows of the current master row.
struct SubDetail {
    Band header;          // printed before the rows (also when there are none)
    Band band;            // one per sub-row
    Band footer;          // after the rows; sums over this sub-detail restart after it
    data::Dataset *dataset = nullptr;
    std::function<std::unique_ptr<RowSource>(const RowContext &master)> rows;
};

// Rows with equal keys form a group; header before the first, footer after
// the last. Footers read the last row of their group.
struct Group {
    QString field;        // the key field, or
    Expression key;       // a computed key
    Band header;
    Band footer;
};

class Report {
public:
    explicit Report(const QString &title = QString());
    ~Report();
    Report(const Report &) = delete;
    Report &operator=(const Report &) = delete;

    void setTitle(const QString &title) { m_title = title; }
    QString title() const { return m_title; }
    void setPage(const PageSetup &setup) { m_setup = setup; }
    PageSetup &page() { return m_setup; }
    const PageSetup &page() const { return m_setup; }
    // Content width in mm (paper less margins).
    double width() const { return m_setup.contentRect().width(); }

    // Font table: index 0 is the default (Arial 9 pt). Equal fonts share an index.
    int font(double pointSize, bool bold = false, bool italic = false, const QString &family = QString());
    const std::vector<QFont> &fonts() const { return m_fonts; }

    Band &pageHeader() { return m_pageHeader; }
    Band &title() { return m_titleBand; }
    Band &columnHeader() { return m_columnHeader; }
    Band &detail() { return m_detail; }
    Band &summary() { return m_summary; }
    Band &pageFooter() { return m_pageFooter; }
    SubDetail &addSubDetail();
    SubDetail &subDetail(int index) { return m_subDetails.at(size_t(index)); }
    Group &addGroup(const QString &field);
    Group &addGroup(Expression key);

    void setRows(std::unique_ptr<RowSource> rows);
    void setRows(std::vector<QVariantMap> rows);
    void setRows(data::Dataset *dataset);
    void setRows(CallbackRows::Fetch fetch);

    // The preview's save proposes a spreadsheet rather than PDF.
    void setSpreadsheetDefault(bool on) { m_spreadsheet = on; }
    // Column captions of the spreadsheets, left to right; by default the
    // column header label above each column.
    void setCsvHeader(const QStringList &header) { m_csvHeader = header; }
    // The period under the title of a spreadsheet ("Período: 01/03/2024 a
    // 31/03/2024"); by default the title band's other lines as printed.
    void setPeriod(const QString &text) { m_period = text; }
    void setPeriod(const QDate &from, const QDate &to);

    PreparedReport prepare();

private:
    friend class ReportEngine;
    QString m_title;
    PageSetup m_setup;
    std::vector<QFont> m_fonts;
    Band m_pageHeader, m_titleBand, m_columnHeader, m_detail, m_summary, m_pageFooter;
    std::deque<SubDetail> m_subDetails;
    std::deque<Group> m_groups;
    std::unique_ptr<RowSource> m_rows;
    bool m_spreadsheet = false;
    QStringList m_csvHeader;
    QString m_period;
};

// Text of a value as reports show it: numbers with the mask (or shortest
// decimal text), dates dd/mm/yyyy (or the date mask), the rest as text.
QString formatValue(const QVariant &value, const QString &mask = QString());

} // namespace brelvo::printing
