#pragma once

#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QWebEnginePage>

class CrashNotice;
class PageDialog;
class QWebEngineProfile;

// A page of the program: the engine's page with the answers the engine
// leaves to the program.
// - A script's alert, confirm and prompt come in a dialog of the program's
//   own that blocks no window: the user can still reach the address box and
//   close the main window. From a page's second dialog on, the dialog offers
//   to stop the page's dialogs until it navigates; navigating dismisses an
//   open dialog.
// - When the page's renderer process ends abnormally, the page area shows a
//   notice of the program's own with the page's address and why it stopped;
//   Refresh loads the page again (nothing reloads by itself, so a page that
//   crashes at once cannot loop).
// - A navigation the user asks for ends on the new page even when the
//   renderer it waits for is busy for good or dies: a renderer whose script
//   does not answer while a load waits for it is ended, and a load the
//   renderer's end cut off is asked for again.
class EnginePage final : public QWebEnginePage {
    Q_OBJECT
public:
    EnginePage(QWebEngineProfile* profile, QObject* parent);
    ~EnginePage() override;

    // Loads `url` for the user (see above); UserLeaves() comes first.
    void LoadForUser(const QUrl& url);
    // The user is leaving the page (a load, Back, Forward, Refresh, Stop): a
    // dialog of the page still open goes, so the page can let the load go on.
    void UserLeaves();

signals:
    // The renderer ended abnormally; the notice is on show.
    void Stopped();

protected:
    void javaScriptAlert(const QUrl& origin, const QString& message) override;
    bool javaScriptConfirm(const QUrl& origin, const QString& message) override;
    bool javaScriptPrompt(const QUrl& origin, const QString& message, const QString& value, QString* result) override;

private:
    struct Answer {
        bool accepted = false;
        QString text;
    };
    Answer AskUser(const QUrl& origin, const QString& message, bool withCancel, const QString* value);
    void OnLoadStarted();
    void OnUrlChanged(const QUrl& url);
    void StopWaiting();
    void OnRendererEnded(RenderProcessTerminationStatus status, int exitCode);
    void CheckWaitingLoad();
    void EndUnansweringRenderer();
    void ShowNotice(RenderProcessTerminationStatus status);
    void HideNotice();

    // Dialogs shown since the page last navigated, and whether the user stopped them.
    int m_dialogsShown = 0;
    bool m_dialogsStopped = false;
    QPointer<PageDialog> m_dialog;
    QPointer<CrashNotice> m_notice;
    // The user's load that has not reached the page yet, and the check on it.
    QUrl m_waiting;
    QTimer m_waitCheck;
    int m_probe = 0;
    bool m_probeAnswered = true;
};
