#pragma once
// The one painter of prepared pages: preview images, the printer and PDF
// all go through ReportPainter::paintPage.

#include "printing/PageModel.h"

#include <QFontMetricsF>
#include <optional>

class QPainter;
class QPaintDevice;
class QPrinter;

namespace brelvo::printing {

class ReportPainter {
public:
    // `device` gives the resolution fonts are sized for (points at its dpi).
    ReportPainter(const PreparedReport &report, QPaintDevice *device);

    // Draws page `index` with the paper's top-left corner at `origin` (device pixels).
    void paintPage(QPainter &p, int index, QPointF origin = QPointF()) const;

private:
    const PreparedReport &m_report;
    double m_dpiX, m_dpiY;
    std::vector<QFont> m_fonts;                 // bound to the device
    mutable std::vector<std::optional<QFontMetricsF>> m_metrics;
    QPaintDevice *m_device;
};

// A page rendered to an image at `dpi` (the preview).
QImage renderPage(const PreparedReport &report, int index, double dpi);

// PDF file of every page. False with a Portuguese message on failure.
bool writePdf(const PreparedReport &report, const QString &path, QString *error = nullptr);

// Prints to a printer already set up (by the print dialog); honours its page
// range. The page size and orientation come from the report.
bool printReport(const PreparedReport &report, QPrinter *printer, QString *error = nullptr);

} // namespace brelvo::printing
