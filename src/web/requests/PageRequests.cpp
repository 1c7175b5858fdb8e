#include "web/requests/PageRequests.h"

#include "web/requests/CertificateRequests.h"
#include "web/requests/FullScreenWindow.h"
#include "web/requests/NotificationWindow.h"
#include "web/requests/PagePrinter.h"
#include "web/requests/PermissionRequests.h"
#include "web/requests/SignInRequests.h"
#include "web/requests/SitePermissions.h"

#include <QWebEngineFullScreenRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

PageRequests::PageRequests(QWebEnginePage* page, QWebEngineView* view) : QObject(page), m_view(view)
{
    new SignInRequests(page);
    new CertificateRequests(page);
    new PermissionRequests(page, SitePermissions::For(page->profile()));
    new PagePrinter(page, view);
    connect(page, &QWebEnginePage::fullScreenRequested, this, &PageRequests::OnFullScreenRequested);
}

PageRequests::~PageRequests()
{
    delete m_fullScreen.data();
}

FullScreenWindow* PageRequests::fullScreenWindow() const
{
    return m_fullScreen;
}

void PageRequests::PrepareProfile(QWebEngineProfile* profile)
{
    QWebEngineSettings* settings = profile->settings();
    settings->setAttribute(QWebEngineSettings::FullScreenSupportEnabled, true);
    // Copy buttons: a page may put text on the clipboard when the user clicks.
    // Reading the clipboard stays a question for the user where the engine
    // asks one, and is refused where it does not.
    settings->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, true);
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    // Answers are kept by SitePermissions, in memory only.
    profile->setPersistentPermissionsPolicy(QWebEngineProfile::PersistentPermissionsPolicy::AskEveryTime);
#endif
    SitePermissions::For(profile);
    NotificationWindow::PresentFor(profile);
}

void PageRequests::OnFullScreenRequested(QWebEngineFullScreenRequest request)
{
    if (!request.toggleOn()) {
        request.accept();
        // The page goes back to its view as the window goes, once the
        // handler that asked (the window's own Escape, say) has returned.
        if (m_fullScreen)
            m_fullScreen->deleteLater();
        return;
    }
    if (!m_fullScreen) {
        if (!m_view) {
            request.reject();
            return;
        }
        m_fullScreen = new FullScreenWindow(m_view);
    }
    request.accept();
}
