#pragma once
// Prepared pages: what a report looks like after layout, before painting.
// Every coordinate is in millimetres from the top-left corner of the paper.
// One painter (ReportPainter) draws these pages on screen, printer and PDF;
// tests read them directly.

#include <QFont>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

namespace brelvo::printing {

enum class Paper : quint8 { A4, Letter };

struct PageSetup {
    Paper paper = Paper::A4;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    double marginLeft = 10, marginTop = 10, marginRight = 10, marginBottom = 10;

    static PageSetup a4Portrait() { return {}; }
    static PageSetup a4Landscape() { PageSetup s; s.orientation = QPageLayout::Landscape; return s; }
    static PageSetup letterPortrait() { PageSetup s; s.paper = Paper::Letter; return s; }
    void setMargins(double mm) { marginLeft = marginTop = marginRight = marginBottom = mm; }

    QPageSize::PageSizeId pageSizeId() const { return paper == Paper::A4 ? QPageSize::A4 : QPageSize::Letter; }
    QSizeF paperSize() const;          // mm, oriented
    QRectF contentRect() const;        // paper less margins, mm
};

enum class Align : quint8 { Left, Center, Right };

struct PageItem {
    enum Kind : quint8 { Text, Line, Frame, Fill, Image };
    Kind kind = Text;
    Align align = Align::Left;
    quint16 font = 0;            // index into PreparedReport::fonts (Text)
    float x = 0, y = 0, w = 0, h = 0;   // Text/Frame/Fill/Image: rect; Line: from (x,y) to (x+w,y+h)
    float pen = 0;               // line width in mm (Line, Frame)
    qint32 image = -1;           // index into PreparedReport::images (Image)
    QString text;                // one line of text (Text)

    QRectF rect() const { return QRectF(x, y, w, h); }
};

struct Page {
    std::vector<PageItem> items;
};

// How a column of the detail lines goes into a spreadsheet. The report engine
// decides it once per column from the value's type and the display mask;
// Element::setCellKind overrides it where the mask cannot tell.
enum class CellKind : quint8 {
    Auto,         // let the engine decide
    Text,         // text as printed
    Identifier,   // codes and other digit strings: text, leading zeros kept
    Money,        // a number shown R$ #.##0,00
    Number,       // quantities and other numbers
    Date,         // a date shown dd/mm/aaaa
    DateTime,     // date and time
    Time,
};

struct SheetColumn {
    CellKind kind = CellKind::Text;
    int decimals = -1;            // Number: decimals shown; -1 = as many as the value has
    double left = 0, right = 0;   // mm, where the column stands on the page
};

// A value of the summary band, under the column it stands beneath on paper.
struct SheetCell {
    int column = 0;
    CellKind kind = CellKind::Text;
    int decimals = -1;
    QString text;                 // as printed
    QVariant value;               // typed (numbers, dates); the text otherwise
};

struct PreparedReport {
    QString title;
    PageSetup setup;
    std::vector<QFont> fonts;    // point sizes; shared by every item
    std::vector<QImage> images;
    std::vector<Page> pages;

    // The detail lines as a table, for the spreadsheet exports (Spreadsheet.h):
    // one column per value of the detail band, in reading order.
    QStringList sheetHeading;               // lines under the title: the period, and the like
    std::vector<SheetColumn> columns;
    QStringList csvHeader;                  // the column captions
    std::vector<QStringList> csvRows;       // each line's values as printed (never cut)
    std::vector<std::vector<QVariant>> rowValues;   // the same values as read, for typed cells
    std::vector<std::vector<SheetCell>> totals;     // the summary band's lines
    bool spreadsheetDefault = false;   // the preview's save proposes a spreadsheet instead of PDF

    int pageCount() const { return int(pages.size()); }
    // Every text of a page, in item order (a test helper as much as anything).
    QStringList texts(int page) const;
    // Texts of a page joined by '\n'.
    QString pageText(int page) const;
};

} // namespace brelvo::printing
