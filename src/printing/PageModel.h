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

struct PreparedReport {
    QString title;
    PageSetup setup;
    std::vector<QFont> fonts;    // point sizes; shared by every item
    std::vector<QImage> images;
    std::vector<Page> pages;

    // The detail lines as text, for the spreadsheet export.
    QStringList csvHeader;
    std::vector<QStringList> csvRows;
    bool spreadsheetDefault = false;   // the preview's save proposes CSV instead of PDF

    int pageCount() const { return int(pages.size()); }
    // Every text of a page, in item order (a test helper as much as anything).
    QStringList texts(int page) const;
    // Texts of a page joined by '\n'.
    QString pageText(int page) const;
};

} // namespace brelvo::printing
