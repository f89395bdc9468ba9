#include "printing/PrintPreview.h"

#include "core/AppPaths.h"
#include "core/DialogService.h"
#include "printing/ReportPainter.h"
#include "printing/Spreadsheet.h"

#include <cmath>
#include <optional>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QResizeEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QStandardPaths>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

namespace brelvo::printing {

// Draws the current page as an image cached per page and zoom.
class PageView : public QWidget {
public:
    explicit PageView(const PreparedReport &report, QWidget *parent) : QWidget(parent), m_report(report) {}
    void show(int page, double dpi)
    {
        if (page == m_page && qFuzzyCompare(dpi, m_dpi))
            return;
        m_page = page;
        m_dpi = dpi;
        m_image = m_report.pageCount() ? renderPage(m_report, page, dpi) : QImage();
        setFixedSize(m_image.size() + QSize(2 * kBorder, 2 * kBorder));
        update();
    }
protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), palette().color(QPalette::Dark));
        if (!m_image.isNull()) {
            p.fillRect(QRect(kBorder + 3, kBorder + 3, m_image.width(), m_image.height()), Qt::darkGray);
            p.drawImage(kBorder, kBorder, m_image);
        }
    }
private:
    static constexpr int kBorder = 12;
    const PreparedReport &m_report;
    int m_page = -1;
    double m_dpi = 0;
    QImage m_image;
};

PrintPreview::PrintPreview(PreparedReport &report, QWidget *parent) : QDialog(parent), m_report(report)
{
    setObjectName(QStringLiteral("PrintPreview"));
    setWindowTitle(report.title.isEmpty() ? QStringLiteral("Visualizar impressão") : report.title);
    auto *bar = new QHBoxLayout;
    auto button = [&](const QString &name, const QString &text, const QString &tip, auto slot) {
        auto *b = new QToolButton(this);
        b->setObjectName(name);
        b->setText(text);
        b->setToolTip(tip);
        b->setAutoRaise(true);
        connect(b, &QToolButton::clicked, this, slot);
        bar->addWidget(b);
        return b;
    };
    button(QStringLiteral("btnLargura"), QStringLiteral("Largura"), QStringLiteral("Ajustar à largura da página"),
           [this] { setZoom(Zoom::PageWidth); });
    button(QStringLiteral("btnPagina"), QStringLiteral("Página inteira"), QStringLiteral("Mostrar a página inteira"),
           [this] { setZoom(Zoom::WholePage); });
    button(QStringLiteral("btn100"), QStringLiteral("100%"), QStringLiteral("Tamanho real"),
           [this] { setZoom(Zoom::Actual); });
    bar->addSpacing(16);
    button(QStringLiteral("btnPrimeira"), QStringLiteral("|<"), QStringLiteral("Primeira página"), [this] { firstPage(); });
    button(QStringLiteral("btnAnterior"), QStringLiteral("<"), QStringLiteral("Página anterior"), [this] { priorPage(); });
    m_pageBox = new QSpinBox(this);
    m_pageBox->setObjectName(QStringLiteral("edtPagina"));
    m_pageBox->setRange(1, std::max(1, report.pageCount()));
    connect(m_pageBox, &QSpinBox::valueChanged, this, [this](int v) { setPage(v - 1); });
    bar->addWidget(m_pageBox);
    m_pageCount = new QLabel(QStringLiteral("de %1").arg(report.pageCount()), this);
    bar->addWidget(m_pageCount);
    button(QStringLiteral("btnProxima"), QStringLiteral(">"), QStringLiteral("Próxima página"), [this] { nextPage(); });
    button(QStringLiteral("btnUltima"), QStringLiteral(">|"), QStringLiteral("Última página"), [this] { lastPage(); });
    bar->addSpacing(16);
    button(QStringLiteral("btnImprimir"), QStringLiteral("Imprimir"), QStringLiteral("Imprimir"), [this] { print(); });
    button(QStringLiteral("btnSalvar"), QStringLiteral("Salvar"),
           QStringLiteral("Salvar como PDF, planilha Excel ou CSV"),
           [this] { save(); });
    bar->addStretch();
    button(QStringLiteral("btnFechar"), QStringLiteral("Fechar"), QStringLiteral("Fechar"), [this] { reject(); });

    m_scroll = new QScrollArea(this);
    m_scroll->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_view = new PageView(m_report, m_scroll);
    m_scroll->setWidget(m_view);
    // The zoom follows the visible area: the dialog's own resize comes before
    // its layout has sized the scroll area.
    m_scroll->viewport()->installEventFilter(this);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(m_scroll, 1);
    resize(1024, 768);
    setWindowState(Qt::WindowMaximized);
    refresh();
}

PrintPreview::~PrintPreview() = default;

void PrintPreview::setPage(int index)
{
    index = std::clamp(index, 0, std::max(0, m_report.pageCount() - 1));
    if (index == m_page && m_pageBox->value() == index + 1)
        return;
    m_page = index;
    refresh();
}

void PrintPreview::setZoom(Zoom z)
{
    m_zoom = z;
    refresh();
}

double PrintPreview::zoomDpi() const
{
    const QSizeF paper = m_report.setup.paperSize();
    const QSize room = m_scroll->viewport()->size() - QSize(24 + m_scroll->verticalScrollBar()->sizeHint().width(), 24);
    const double screenDpi = logicalDpiX() > 0 ? logicalDpiX() : 96;
    switch (m_zoom) {
    case Zoom::PageWidth:
        return std::max(10.0, room.width() / (paper.width() / 25.4));
    case Zoom::WholePage:
        return std::max(10.0, std::min(room.width() / (paper.width() / 25.4), room.height() / (paper.height() / 25.4)));
    case Zoom::Actual:
        break;
    }
    return screenDpi;
}

void PrintPreview::refresh()
{
    const QSignalBlocker block(m_pageBox);
    m_pageBox->setValue(m_page + 1);
    m_shownDpi = zoomDpi();
    m_view->show(m_page, m_shownDpi);
}

void PrintPreview::resizeEvent(QResizeEvent *e)
{
    QDialog::resizeEvent(e);
    if (m_zoom != Zoom::Actual)
        refresh();
}

bool PrintPreview::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == m_scroll->viewport() && e->type() == QEvent::Resize && m_zoom != Zoom::Actual) {
        // A width change can show or hide the scroll bar; the next resize settles it.
        const double dpi = zoomDpi();
        if (std::abs(dpi - m_shownDpi) > 0.5)
            refresh();
    }
    return QDialog::eventFilter(watched, e);
}

void PrintPreview::print()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(m_report.title);
    printer.setPageLayout(QPageLayout(QPageSize(m_report.setup.pageSizeId()), m_report.setup.orientation,
                                      QMarginsF(0, 0, 0, 0)));
    printer.setFromTo(1, std::max(1, m_report.pageCount()));
    QPrintDialog dialog(&printer, this);
    dialog.setObjectName(QStringLiteral("PrintDialog"));
    dialog.setMinMax(1, std::max(1, m_report.pageCount()));
    if (core::dialogs().exec(&dialog) != QDialog::Accepted)
        return;
    QString error;
    if (!printReport(m_report, &printer, &error))
        core::dialogs().error(this, QStringLiteral("Erro"), error);
}

namespace {

struct FormatInfo {
    SaveFormat format;
    const char *key;        // in the settings and as the extension
    const char *filter;
};

const FormatInfo kFormats[] = {
    {SaveFormat::Pdf, "pdf", "Documento PDF (*.pdf)"},
    {SaveFormat::Xlsx, "xlsx", "Planilha Excel (*.xlsx)"},
    {SaveFormat::Csv, "csv", "Planilha CSV (*.csv)"},
};

const FormatInfo &info(SaveFormat f)
{
    for (const FormatInfo &i : kFormats)
        if (i.format == f)
            return i;
    return kFormats[0];
}

std::optional<SaveFormat> formatOfKey(const QString &key)
{
    for (const FormatInfo &i : kFormats)
        if (key.compare(QLatin1String(i.key), Qt::CaseInsensitive) == 0)
            return i.format;
    return std::nullopt;
}

std::optional<SaveFormat> formatOfFilter(const QString &filter)
{
    for (const FormatInfo &i : kFormats)
        if (filter == QString::fromUtf8(i.filter))
            return i.format;
    return std::nullopt;
}

} // namespace

QString saveSettingsPath()
{
    return core::userConfigFile(QStringLiteral("salvar.ini"));
}

QString proposedFileName(const QString &title, const QDate &date, SaveFormat format)
{
    QString name;
    for (QChar c : title.simplified())
        if (c.unicode() >= 32 && !QStringLiteral("\\/:*?\"<>|").contains(c))
            name += c;
    name = name.trimmed();
    while (name.endsWith(u'.'))
        name.chop(1);
    if (name.isEmpty())
        name = QStringLiteral("Relatório");
    return QStringLiteral("%1 %2.%3").arg(name, date.toString(QStringLiteral("dd-MM-yyyy")),
                                          QLatin1String(info(format).key));
}

bool writeReport(const PreparedReport &report, const QString &path, SaveFormat format, QString *error)
{
    switch (format) {
    case SaveFormat::Pdf: return writePdf(report, path, error);
    case SaveFormat::Xlsx: return writeXlsx(report, path, error);
    case SaveFormat::Csv: return writeCsv(report, path, error);
    }
    return false;
}

bool PrintPreview::save()
{
    QSettings settings(saveSettingsPath(), QSettings::IniFormat);
    QString folder = settings.value(QStringLiteral("pasta")).toString();
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (folder.isEmpty() || !QFileInfo(folder).isDir())
            folder = QDir::homePath();
    }
    // The last format; a listing meant for a spreadsheet proposes the last spreadsheet format.
    const bool sheet = m_report.spreadsheetDefault;
    SaveFormat format = formatOfKey(settings.value(QStringLiteral("formato")).toString())
                            .value_or(sheet ? SaveFormat::Xlsx : SaveFormat::Pdf);
    if (sheet && format == SaveFormat::Pdf)
        format = formatOfKey(settings.value(QStringLiteral("formatoPlanilha")).toString()).value_or(SaveFormat::Xlsx);

    QStringList filters;
    for (const FormatInfo &i : kFormats)
        filters << QString::fromUtf8(i.filter);
    QString chosen = QString::fromUtf8(info(format).filter);
    const QString proposed = QDir(folder).filePath(proposedFileName(m_report.title, QDate::currentDate(), format));
    QString path = core::dialogs().saveFile(this, QStringLiteral("Salvar como"), proposed,
                                            filters.join(QStringLiteral(";;")), QString(), &chosen);
    if (path.isEmpty())
        return false;

    // The format chosen in the dialog decides, and its extension is added to
    // a name without one. An extension the user typed over the proposed one
    // says the format instead; the proposed one left as it was while another
    // format was chosen (dialogs that do not rename) is replaced.
    const SaveFormat proposedFormat = format;
    const std::optional<SaveFormat> picked = formatOfFilter(chosen);
    const QFileInfo named(path);
    const std::optional<SaveFormat> byName = formatOfKey(named.suffix());
    bool renamed = false;
    if (!byName) {
        format = picked.value_or(format);
        path += u'.' + QLatin1String(info(format).key);
        renamed = true;
    } else if (picked && *byName != *picked && *byName == proposedFormat) {
        format = *picked;
        path = named.dir().filePath(named.completeBaseName() + u'.' + QLatin1String(info(format).key));
        renamed = true;
    } else {
        format = *byName;
    }
    if (renamed && QFileInfo::exists(path)
        && core::dialogs().question(this, QStringLiteral("Salvar como"),
                                    QStringLiteral("O arquivo %1 já existe. Deseja substituí-lo?")
                                        .arg(QFileInfo(path).fileName()))
               != core::Answer::Yes)
        return false;

    QString error;
    if (!writeReport(m_report, path, format, &error)) {
        core::dialogs().error(this, QStringLiteral("Erro"), error);
        return false;
    }
    settings.setValue(QStringLiteral("pasta"), QFileInfo(path).absolutePath());
    settings.setValue(QStringLiteral("formato"), QLatin1String(info(format).key));
    if (format != SaveFormat::Pdf)
        settings.setValue(QStringLiteral("formatoPlanilha"), QLatin1String(info(format).key));
    return true;
}

int showPreview(PreparedReport &report, QWidget *parent)
{
    PrintPreview preview(report, parent);
    return core::dialogs().execNamed(QStringLiteral("preview"), &preview, &report);
}

} // namespace brelvo::printing
