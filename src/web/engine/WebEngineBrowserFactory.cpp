#include "web/engine/WebEngineBrowserFactory.h"

#include "web/engine/DownloadKeeper.h"
#include "web/engine/LocalFileScheme.h"
#include "web/requests/PageRequests.h"
#include "web/engine/PopupBrowserWindow.h"
#include "web/engine/WebEngineBrowser.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QStandardPaths>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

WebEngineBrowserFactory::~WebEngineBrowserFactory()
{
    if (!m_profile)
        return;
    for (const QPointer<PopupBrowserWindow>& window : std::as_const(m_windows))
        delete window.data();
    // Windows closed a moment ago are only marked for deletion; their pages
    // must go before the profile they belong to.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    delete m_profile;
}

BrowserControl* WebEngineBrowserFactory::Create(QWidget* parent)
{
    return new WebEngineBrowser(*this, Profile(), parent);
}

QWebEngineProfile* WebEngineBrowserFactory::Profile()
{
    if (m_profile)
        return m_profile;
    // Cookies and site data belong with the user's data; the page cache can be
    // thrown away, so it goes where the desktop keeps caches. Both folders are
    // already the program's own, so the engine's part is just "engine".
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    LocalFileScheme::Register();
    m_profile = new QWebEngineProfile(QStringLiteral("nimbrel"));
    m_profile->installUrlSchemeHandler(LocalFileScheme::kName, new LocalFileScheme(m_profile));
    m_profile->setPersistentStoragePath(QDir(data).filePath(QStringLiteral("engine")));
    m_profile->setCachePath(QDir(cache).filePath(QStringLiteral("engine")));
    SetPageRules(m_profile->settings());
    // Files that pages offer for download are kept, not silently dropped.
    new DownloadKeeper(m_profile, m_messages);
    // What pages ask of their browser reaches the user.
    PageRequests::PrepareProfile(m_profile);
    return m_profile;
}

void WebEngineBrowserFactory::SetPageRules(QWebEngineSettings* settings)
{
    // Pages may ask for windows on their own; whether they get one is decided
    // by the NewWindow2 handler, so the engine must pass every request on.
    settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, true);
    // Local files are shown through LocalFileScheme; a page of the engine's
    // own file: scheme, should one ever be shown, reads no other file and
    // reaches no web address.
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
}

PopupBrowserWindow* WebEngineBrowserFactory::OpenWindow(QWebEngineNewWindowRequest& request, WebEngineBrowser* origin)
{
    m_windows.removeAll(nullptr);
    auto* window = new PopupBrowserWindow(*this, Profile(), origin);
    m_windows.append(window);
    window->Adopt(request);
    return window;
}

QList<PopupBrowserWindow*> WebEngineBrowserFactory::windows() const
{
    QList<PopupBrowserWindow*> open;
    for (const QPointer<PopupBrowserWindow>& window : m_windows)
        if (window)
            open.append(window.data());
    return open;
}
