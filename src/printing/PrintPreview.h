#pragma once
// The print preview: modal, maximised, zoomed to the page width; page
// navigation; print through the system's printer dialog; save as PDF, Excel
// (.xlsx) or CSV. The save dialog proposes the last folder and format (a
// spreadsheet for reports flagged spreadsheet-default) and a file name made
// of the report's title and the date; the format chosen in the dialog decides,
// and its extension is added to a name that has none.

#include "printing/PageModel.h"

#include <QDate>
#include <QDialog>

class QLabel;
class QScrollArea;
class QSpinBox;
class QToolButton;

namespace brelvo::printing {

class PageView;

class PrintPreview : public QDialog {
    Q_OBJECT
public:
    enum class Zoom { PageWidth, WholePage, Actual };

    explicit PrintPreview(PreparedReport &report, QWidget *parent = nullptr);
    ~PrintPreview() override;

    int currentPage() const { return m_page; }     // 0-based
    void setPage(int index);
    void setZoom(Zoom z);
    Zoom zoom() const { return m_zoom; }

    // The toolbar actions (also what the buttons run).
    void firstPage() { setPage(0); }
    void priorPage() { setPage(m_page - 1); }
    void nextPage() { setPage(m_page + 1); }
    void lastPage() { setPage(m_report.pageCount() - 1); }
    void print();
    // Asks for a file and writes it. True when a file was written.
    bool save();

protected:
    void resizeEvent(QResizeEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void refresh();
    double zoomDpi() const;
    double m_shownDpi = 0;

    PreparedReport &m_report;
    int m_page = 0;
    Zoom m_zoom = Zoom::PageWidth;
    QScrollArea *m_scroll = nullptr;
    PageView *m_view = nullptr;
    QSpinBox *m_pageBox = nullptr;
    QLabel *m_pageCount = nullptr;
};

enum class SaveFormat { Pdf, Xlsx, Csv };

// Writes the pages (PDF) or the detail lines (.xlsx, CSV). False with a
// Portuguese message on failure.
bool writeReport(const PreparedReport &report, const QString &path, SaveFormat format, QString *error = nullptr);

// "Lista Clientes 09-12-2026.xlsx": the title without the characters file
// names cannot hold, the date, the format's extension.
QString proposedFileName(const QString &title, const QDate &date, SaveFormat format);

// Where the save dialog keeps the last folder and format (an ini file in the
// user's configuration folder).
QString saveSettingsPath();

// Shows prepared pages in the preview through the dialog service (name
// "preview"; a test's fake receives &report). Returns the dialog's result.
int showPreview(PreparedReport &report, QWidget *parent = nullptr);

} // namespace brelvo::printing
