#pragma once

#include <QPointer>
#include <QUrl>
#include <QWidget>

class QWebEngineNewWindowRequest;
class QWebEnginePage;
class QWebEngineProfile;
class QWebEngineView;
class WebEngineBrowser;
class WebEngineBrowserFactory;

// A plain browser window for a page that another page opened: only the page,
// its title and address in the caption (so the user sees which site it is),
// no controls of the program's. It deletes itself
// when closed, and closes when its page asks to (window.close()).
class PopupBrowserWindow final : public QWidget {
    Q_OBJECT
public:
    // New windows that this window's page wants are offered to `origin`, so
    // the same rule decides for them; `factory` opens them.
    PopupBrowserWindow(WebEngineBrowserFactory& factory, QWebEngineProfile* profile, WebEngineBrowser* origin);
    ~PopupBrowserWindow() override;

    // Takes over the page the request carries and shows the window.
    void Adopt(QWebEngineNewWindowRequest& request);

    QWebEngineView* view() const { return m_view; }

    // "Title - address", or the address alone while the page has no title.
    static QString Caption(const QString& title, const QUrl& url);

private:
    void OnNewWindowRequested(QWebEngineNewWindowRequest& request);
    void ShowPageInCaption();

    WebEngineBrowserFactory& m_factory;
    QPointer<WebEngineBrowser> m_origin;
    QWebEngineView* m_view = nullptr;
    QWebEnginePage* m_page = nullptr;
    QUrl m_requestedUrl;
};
