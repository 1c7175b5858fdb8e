#pragma once

#include <QPointer>
#include <QWidget>

class QWebEnginePage;
class QWebEngineView;

// A page that asked for the whole screen (a video, a game, a slide show):
// the window takes the page from the view that showed it and shows it alone
// over the whole screen, leaving the window it came from as it was. Escape,
// closing the window or the page itself ends it; the page goes back to its
// view when the window is deleted.
class FullScreenWindow final : public QWidget {
    Q_OBJECT
public:
    explicit FullScreenWindow(QWebEngineView* original);
    ~FullScreenWindow() override;

    QWebEngineView* view() const { return m_view; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void AskPageToLeave();
    void ShowPageInCaption();
    void GiveBack();

    QPointer<QWebEngineView> m_original;
    QWebEngineView* m_view;
    // The page on show; never asked of the view, which would make a blank one when it has none.
    QPointer<QWebEnginePage> m_page;
};
