#pragma once

#include "ports/BrowserControl.h"

#include <QList>
#include <QPointer>

class Messages;
class PopupBrowserWindow;
class QWebEngineNewWindowRequest;
class QWebEngineProfile;
class QWebEngineSettings;
class WebEngineBrowser;

// Makes the program's browser controls on Qt WebEngine. All of them share one
// persistent profile, "nimbrel", whose cookies live in the user's application
// data folder and whose cache lives in the user's cache folder. Nothing of the
// engine starts before the first control is made. Files that pages offer for download are saved into the
// user's download folder (see DownloadKeeper). Destroy the factory after the
// windows holding its controls (and before the QApplication): it closes any
// window a page opened and then shuts the profile down.
class WebEngineBrowserFactory final : public BrowserFactory {
public:
    // `messages` tells the user where a download went; it must outlive the factory.
    explicit WebEngineBrowserFactory(Messages& messages) : m_messages(messages) {}
    ~WebEngineBrowserFactory() override;
    WebEngineBrowserFactory(const WebEngineBrowserFactory&) = delete;
    WebEngineBrowserFactory& operator=(const WebEngineBrowserFactory&) = delete;

    BrowserControl* Create(QWidget* parent) override;

    // Opens the page that `request` carries in a plain browser window of its
    // own. New windows wanted by that page are offered to `origin` in turn.
    PopupBrowserWindow* OpenWindow(QWebEngineNewWindowRequest& request, WebEngineBrowser* origin);

    // The pop-up windows still open.
    QList<PopupBrowserWindow*> windows() const;

    // The profile, or null before the first control is made.
    QWebEngineProfile* profile() const { return m_profile; }

private:
    QWebEngineProfile* Profile();
    // What every page of the profile may do: the main window's, the preview's and pop-ups'.
    static void SetPageRules(QWebEngineSettings* settings);

    Messages& m_messages;
    QWebEngineProfile* m_profile = nullptr;
    QList<QPointer<PopupBrowserWindow>> m_windows;
};
