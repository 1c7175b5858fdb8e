#pragma once

#include "ports/BrowserControl.h"
#include "web/engine/EnginePage.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineView>

class QWebEngineNewWindowRequest;
class QWebEngineProfile;
class WebEngineBrowserFactory;

// The browser control on Qt WebEngine. It turns the engine's load signals into
// the control's events so that every page load raises DownloadBegin,
// ProgressChange, NavigateComplete2, DownloadComplete and DocumentComplete, in
// that order and always ending on DocumentComplete, failed loads included.
class WebEngineBrowser final : public BrowserControl {
    Q_OBJECT
public:
    // The pages the control keeps (its own and those it opens in windows of
    // their own) belong to `factory`'s profile.
    WebEngineBrowser(WebEngineBrowserFactory& factory, QWebEngineProfile* profile, QWidget* parent);
    ~WebEngineBrowser() override;

    QWidget* widget() const override;

    bool Navigate(const QString& address) override;
    bool GoBack() override;
    bool GoForward() override;
    bool Refresh() override;
    bool Stop() override;
    bool GoHome() override;
    bool GoSearch() override;

    QString LocationURL() const override;
    QString LocationName() const override;
    // Busy from the moment a load is asked for: the engine reports the start
    // a little later, and a caller polling in between must not see it idle.
    bool Busy() const override;

    // Where GoHome and GoSearch go.
    static QString HomePage();
    static QString SearchPage();

    // The address as a user typed it, read as the original control read it:
    // "www.example.org" is a web address, a drive path such as "C:\" stands for
    // the file-system root where there are no drive letters, and a local path
    // opens that file. An empty or unusable address gives an invalid QUrl.
    static QUrl AddressToUrl(const QString& address);

    // Raises NewWindow2 for a window that one of this control's pages (or a
    // window opened from them) wants to open; opens it unless the handler
    // cancels. Pop-up windows call this on the control that opened them.
    void OfferNewWindow(QWebEngineNewWindowRequest& request);

private:
    void OnLoadStarted();
    void OnLoadProgress(int progress);
    void OnUrlChanged(const QUrl& url);
    void OnLoadFinished(bool ok);
    void OnLinkHovered(const QString& link);
    void OnRendererEnded();
    void RaiseNavigateComplete();
    void LoadAsked();

    WebEngineBrowserFactory& m_factory;
    // The view is a child of the window and may go before the control does.
    QPointer<QWebEngineView> m_view;
    QPointer<EnginePage> m_page;
    bool m_loading = false;
    bool m_navigateRaised = false;
    // When a load was last asked for and has not started yet (invalid when none).
    QElapsedTimer m_asked;
    // The status text last raised: the address of the link under the pointer.
    QString m_statusText;
};
