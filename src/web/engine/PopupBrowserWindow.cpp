#include "web/engine/PopupBrowserWindow.h"

#include "text/PageText.h"
#include "web/engine/EnginePage.h"
#include "web/engine/FindBar.h"
#include "web/engine/LocalFileScheme.h"
#include "web/requests/PageRequests.h"
#include "web/engine/WebEngineBrowser.h"
#include "web/engine/WebEngineBrowserFactory.h"

#include <QVBoxLayout>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace {
// Used when the page asks for no particular size.
constexpr QSize kDefaultSize{800, 600};
}

PopupBrowserWindow::PopupBrowserWindow(WebEngineBrowserFactory& factory, QWebEngineProfile* profile,
                                       WebEngineBrowser* origin)
    : QWidget(nullptr), m_factory(factory), m_origin(origin), m_view(new QWebEngineView(this)),
      m_page(new EnginePage(profile, m_view))
{
    setAttribute(Qt::WA_DeleteOnClose);
    m_view->setPage(m_page);
    new FindBar(m_view);
    new PageRequests(m_page, m_view);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    resize(kDefaultSize);

    connect(m_page, &QWebEnginePage::titleChanged, this, &PopupBrowserWindow::ShowPageInCaption);
    connect(m_page, &QWebEnginePage::urlChanged, this, &PopupBrowserWindow::ShowPageInCaption);
    connect(m_page, &QWebEnginePage::windowCloseRequested, this, &QWidget::close);
    connect(m_page, &QWebEnginePage::newWindowRequested, this, &PopupBrowserWindow::OnNewWindowRequested);
}

PopupBrowserWindow::~PopupBrowserWindow()
{
    // The view takes its page along; nothing of the page may reach this
    // half-destroyed window meanwhile.
    m_page->disconnect(this);
    delete m_view;
}

void PopupBrowserWindow::Adopt(QWebEngineNewWindowRequest& request)
{
    const QRect wanted = request.requestedGeometry();
    if (wanted.width() > 0 && wanted.height() > 0)
        resize(wanted.size());
    m_requestedUrl = request.requestedUrl();
    ShowPageInCaption();
    request.openIn(m_page);
    show();
}

QString PopupBrowserWindow::Caption(const QString& title, const QUrl& url)
{
    // The address shows the site even when a page picks a misleading title.
    const QString address = PageText::ShownAddress(url.toDisplayString());
    const QString shown = PageText::Shown(title);
    if (shown.isEmpty() || shown == address)
        return address;
    if (address.isEmpty())
        return shown;
    return shown + QStringLiteral(" - ") + address;
}

void PopupBrowserWindow::ShowPageInCaption()
{
    const QUrl loaded = m_page->url().isEmpty() ? m_requestedUrl : m_page->url();
    const QUrl url = LocalFileScheme::ToShown(loaded);
    // Until the page has a title of its own the engine offers its address as the title.
    QString title = m_page->title();
    if (title == url.toString() || title == url.toDisplayString() || title == loaded.toString()
        || title == loaded.toDisplayString())
        title.clear();
    setWindowTitle(Caption(title, url));
}

void PopupBrowserWindow::OnNewWindowRequested(QWebEngineNewWindowRequest& request)
{
    if (m_origin) {
        m_origin->OfferNewWindow(request);
        return;
    }
    // The control that opened this window is gone, and with it the rule that
    // decided; only what the user clicked still opens.
    if (request.isUserInitiated())
        m_factory.OpenWindow(request, nullptr);
}
