#pragma once
// The print preview: modal, maximised, zoomed to the page width; page
// navigation; print through the system's printer dialog; save as PDF, or as
// CSV for reports flagged spreadsheet-default.

#include "printing/PageModel.h"

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
    // Asks for a file (PDF proposed, or CSV for spreadsheet reports) and writes it.
    // True when a file was written.
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

// Shows prepared pages in the preview through the dialog service (name
// "preview"; a test's fake receives &report). Returns the dialog's result.
int showPreview(PreparedReport &report, QWidget *parent = nullptr);

} // namespace brelvo::printing
