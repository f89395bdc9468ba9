#pragma once
// A web page inside a window. With the embedded browser (Qt WebEngine, when
// the build found it) the page shows in the pane and the browser shows its
// own error page when there is no network. Without it — or with it turned
// off — every address goes to the page opener, by default the desktop's
// default browser, and the pane says so.
//
// Tests install a recording opener (ScopedPageOpener) so no page is loaded.

#include <QList>
#include <QUrl>
#include <QWidget>
#include <functional>

class QLabel;

namespace brelvo::web {

// True when the embedded browser was built in.
bool embeddedBrowserBuilt();
// Built in and not turned off.
bool embeddedBrowserEnabled();
void setEmbeddedBrowserEnabled(bool on);

// Opens an address outside the program; false when it could not.
using PageOpener = std::function<bool(const QUrl &)>;
// Installs an opener (empty: the desktop's default browser); returns the previous one.
PageOpener setPageOpener(PageOpener opener);
bool openPage(const QUrl &url);

class BrowserView : public QWidget {
    Q_OBJECT
public:
    explicit BrowserView(QWidget *parent = nullptr);

    void load(const QUrl &url);
    // The last address handed over.
    QUrl url() const { return m_url; }
    bool embedded() const { return m_embedded != nullptr; }
    // The notice shown in place of the page (empty with the embedded browser).
    QString notice() const;

private:
    QWidget *m_embedded = nullptr;
    QLabel *m_notice = nullptr;
    QUrl m_url;
};

// For tests: turns the embedded browser off and records every address opened.
class ScopedPageOpener {
public:
    explicit ScopedPageOpener(bool opens = true)
        : m_wasEnabled(embeddedBrowserEnabled())
    {
        setEmbeddedBrowserEnabled(false);
        m_previous = setPageOpener([this, opens](const QUrl &u) { urls.append(u); return opens; });
    }
    ~ScopedPageOpener()
    {
        setPageOpener(m_previous);
        setEmbeddedBrowserEnabled(m_wasEnabled);
    }
    ScopedPageOpener(const ScopedPageOpener &) = delete;
    ScopedPageOpener &operator=(const ScopedPageOpener &) = delete;

    QList<QUrl> urls;

private:
    bool m_wasEnabled;
    PageOpener m_previous;
};

} // namespace brelvo::web
