#include "web/BrowserView.h"

#include "core/DataControls.h"

#include <QDesktopServices>
#include <QLabel>
#include <QVBoxLayout>

#ifdef BRELVO_HAVE_WEBENGINE
#include <QWebEngineView>
#endif

namespace brelvo::web {

namespace {
bool g_enabled = true;
PageOpener g_opener;
} // namespace

bool embeddedBrowserBuilt()
{
#ifdef BRELVO_HAVE_WEBENGINE
    return true;
#else
    return false;
#endif
}

bool embeddedBrowserEnabled() { return embeddedBrowserBuilt() && g_enabled; }

void setEmbeddedBrowserEnabled(bool on) { g_enabled = on; }

PageOpener setPageOpener(PageOpener opener)
{
    PageOpener previous = std::move(g_opener);
    g_opener = std::move(opener);
    return previous;
}

bool openPage(const QUrl &url) { return g_opener ? g_opener(url) : QDesktopServices::openUrl(url); }

BrowserView::BrowserView(QWidget *parent)
    : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
#ifdef BRELVO_HAVE_WEBENGINE
    if (embeddedBrowserEnabled()) {
        auto *view = new QWebEngineView(this);
        view->setObjectName(QStringLiteral("WebBrowser"));
        layout->addWidget(view);
        m_embedded = view;
        // Enter belongs to the page (its forms), not to the window's move-on.
        auto keepEnter = [view] {
            if (QWidget *inner = view->focusProxy())
                core::EnterMovesFocus::keepEnter(inner);
        };
        connect(view, &QWebEngineView::loadStarted, this, keepEnter);
        connect(view, &QWebEngineView::loadFinished, this, keepEnter);
        return;
    }
#endif
    m_notice = new QLabel(this);
    m_notice->setObjectName(QStringLiteral("lbNavegador"));
    m_notice->setWordWrap(true);
    m_notice->setAlignment(Qt::AlignCenter);
    m_notice->setTextInteractionFlags(Qt::TextBrowserInteraction);
    m_notice->setFrameShape(QFrame::StyledPanel);
    m_notice->setTextFormat(Qt::RichText);
    m_notice->setText(QStringLiteral("O navegador embutido não está disponível nesta instalação.<br>"
                                     "As páginas serão abertas no seu navegador padrão."));
    layout->addWidget(m_notice, 1);
}

void BrowserView::load(const QUrl &url)
{
    m_url = url;
#ifdef BRELVO_HAVE_WEBENGINE
    if (auto *view = qobject_cast<QWebEngineView *>(m_embedded)) {
        view->load(url);
        return;
    }
#endif
    const QString address = url.toString(QUrl::FullyEncoded).toHtmlEscaped();
    if (openPage(url))
        m_notice->setText(QStringLiteral("A página foi aberta no seu navegador padrão.<br><br>%1").arg(address));
    else
        m_notice->setText(QStringLiteral("Não foi possível abrir o navegador padrão.<br>"
                                         "Copie o endereço abaixo para o seu navegador:<br><br>%1")
                              .arg(address));
}

QString BrowserView::notice() const { return m_notice ? m_notice->text() : QString(); }

} // namespace brelvo::web
