#include "printing/ReportPainter.h"

#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

namespace brelvo::printing {

ReportPainter::ReportPainter(const PreparedReport &report, QPaintDevice *device)
    : m_report(report), m_dpiX(device->logicalDpiX()), m_dpiY(device->logicalDpiY()), m_device(device)
{
    m_fonts = report.fonts;
    m_metrics.resize(m_fonts.size());
}

void ReportPainter::paintPage(QPainter &p, int index, QPointF origin) const
{
    if (index < 0 || index >= m_report.pageCount())
        return;
    const double kx = m_dpiX / 25.4, ky = m_dpiY / 25.4;
    auto X = [&](double mm) { return origin.x() + mm * kx; };
    auto Y = [&](double mm) { return origin.y() + mm * ky; };

    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    const QPen textPen(Qt::black);
    int currentFont = -1;
    bool penIsText = false;

    for (const PageItem &it : m_report.pages[size_t(index)].items) {
        switch (it.kind) {
        case PageItem::Text: {
            if (it.text.isEmpty())
                break;
            const int f = it.font < m_fonts.size() ? it.font : 0;
            if (f != currentFont) {
                p.setFont(m_fonts[size_t(f)]);
                currentFont = f;
            }
            if (!penIsText) {
                p.setPen(textPen);
                penIsText = true;
            }
            if (!m_metrics[size_t(f)])
                m_metrics[size_t(f)].emplace(m_fonts[size_t(f)], m_device);
            const QFontMetricsF &fm = *m_metrics[size_t(f)];
            const double top = Y(it.y) + (it.h * ky - fm.height()) / 2;
            double x = X(it.x);
            if (it.align != Align::Left) {
                const double tw = fm.horizontalAdvance(it.text);
                const double w = it.w * kx;
                x += it.align == Align::Right ? w - tw : (w - tw) / 2;
            }
            p.drawText(QPointF(x, top + fm.ascent()), it.text);
            break;
        }
        case PageItem::Line:
        case PageItem::Frame: {
            QPen pen(Qt::black);
            pen.setWidthF(std::max(0.0, double(it.pen)) * kx);
            p.setPen(pen);
            penIsText = false;
            if (it.kind == PageItem::Line) {
                p.drawLine(QPointF(X(it.x), Y(it.y)), QPointF(X(it.x + it.w), Y(it.y + it.h)));
            } else {
                p.setBrush(Qt::NoBrush);
                p.drawRect(QRectF(X(it.x), Y(it.y), it.w * kx, it.h * ky));
            }
            break;
        }
        case PageItem::Fill:
            p.fillRect(QRectF(X(it.x), Y(it.y), it.w * kx, it.h * ky), Qt::black);
            break;
        case PageItem::Image:
            if (it.image >= 0 && size_t(it.image) < m_report.images.size())
                p.drawImage(QRectF(X(it.x), Y(it.y), it.w * kx, it.h * ky), m_report.images[size_t(it.image)]);
            break;
        }
    }
    p.restore();
}

QImage renderPage(const PreparedReport &report, int index, double dpi)
{
    const QSizeF paper = report.setup.paperSize();
    QImage img(std::max(1, qRound(paper.width() * dpi / 25.4)), std::max(1, qRound(paper.height() * dpi / 25.4)),
               QImage::Format_RGB32);
    img.setDotsPerMeterX(qRound(dpi / 0.0254));
    img.setDotsPerMeterY(qRound(dpi / 0.0254));
    img.fill(Qt::white);
    QPainter p(&img);
    ReportPainter(report, &img).paintPage(p, index);
    p.end();
    return img;
}

static QPageLayout layoutOf(const PreparedReport &report)
{
    return QPageLayout(QPageSize(report.setup.pageSizeId()), report.setup.orientation, QMarginsF(0, 0, 0, 0),
                       QPageLayout::Millimeter);
}

bool writePdf(const PreparedReport &report, const QString &path, QString *error)
{
    // QPdfWriter says nothing about a file it cannot create: try it first.
    {
        QFile probe(path);
        const bool existed = probe.exists();
        if (!probe.open(QIODevice::WriteOnly)) {
            if (error)
                *error = QStringLiteral("Não foi possível gravar o arquivo %1: %2").arg(path, probe.errorString());
            return false;
        }
        probe.close();
        if (!existed)
            probe.remove();
    }
    QPdfWriter writer(path);
    writer.setResolution(600);
    writer.setPageLayout(layoutOf(report));
    writer.setTitle(report.title);
    writer.setCreator(QStringLiteral("Brelvo"));
    QPainter p;
    if (!p.begin(&writer)) {
        if (error)
            *error = QStringLiteral("Não foi possível gravar o arquivo %1.").arg(path);
        return false;
    }
    ReportPainter painter(report, &writer);
    for (int i = 0; i < report.pageCount(); ++i) {
        if (i > 0)
            writer.newPage();
        painter.paintPage(p, i);
    }
    if (!p.end() || QFileInfo(path).size() == 0) {
        if (error)
            *error = QStringLiteral("Não foi possível gravar o arquivo %1.").arg(path);
        return false;
    }
    return true;
}

bool printReport(const PreparedReport &report, QPrinter *printer, QString *error)
{
    printer->setFullPage(true);
    printer->setPageLayout(layoutOf(report));
    if (printer->docName().isEmpty())
        printer->setDocName(report.title);
    int from = 1, to = report.pageCount();
    if (printer->printRange() == QPrinter::PageRange && printer->fromPage() > 0) {
        from = std::max(1, printer->fromPage());
        to = std::min(to, printer->toPage() > 0 ? printer->toPage() : to);
    }
    QPainter p;
    if (!p.begin(printer)) {
        if (error)
            *error = QStringLiteral("Não foi possível iniciar a impressão em %1.").arg(printer->printerName());
        return false;
    }
    ReportPainter painter(report, printer);
    for (int i = from; i <= to; ++i) {
        if (i > from)
            printer->newPage();
        painter.paintPage(p, i - 1);
    }
    if (!p.end()) {
        if (error)
            *error = QStringLiteral("A impressão falhou.");
        return false;
    }
    return true;
}

} // namespace brelvo::printing
