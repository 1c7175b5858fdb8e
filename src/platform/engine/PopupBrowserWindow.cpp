#include "platform/engine/PopupBrowserWindow.h"

#include "platform/engine/WebEngineBrowser.h"
#include "platform/engine/WebEngineBrowserFactory.h"

#include <QVBoxLayout>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace {
// Used when the page asks for no particular size.
constexpr QSize kDefaultSize{800, 600};
}

PopupBrowserWindow::PopupBrowserWindow(WebEngineBrowserFactory& factory, QWebEngineProfile* profile,
                                       WebEngineBrowser* origin)
    : QWidget(nullptr), m_factory(factory), m_origin(origin), m_view(new QWebEngineView(this)),
      m_page(new QWebEnginePage(profile, m_view))
{
    setAttribute(Qt::WA_DeleteOnClose);
    m_page->settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, true);
    m_view->setPage(m_page);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    resize(kDefaultSize);

    connect(m_page, &QWebEnginePage::titleChanged, this, &QWidget::setWindowTitle);
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
    setWindowTitle(request.requestedUrl().toString());
    request.openIn(m_page);
    show();
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
