#include "platform/engine/WebEngineBrowserFactory.h"

#include "platform/engine/DownloadKeeper.h"
#include "platform/engine/PopupBrowserWindow.h"
#include "platform/engine/WebEngineBrowser.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QStandardPaths>
#include <QWebEngineProfile>

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
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    const QString storage = QDir(data).filePath(QStringLiteral("QtWebEngine/nimbrel"));
    m_profile = new QWebEngineProfile(QStringLiteral("nimbrel"));
    m_profile->setPersistentStoragePath(storage);
    m_profile->setCachePath(QDir(storage).filePath(QStringLiteral("Cache")));
    // Files that pages offer for download are kept, not silently dropped.
    new DownloadKeeper(m_profile);
    return m_profile;
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
