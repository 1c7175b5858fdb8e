#pragma once

#include <QWidget>
#include <memory>

class QLabel;
class QWebEngineNotification;
class QWebEngineProfile;

// A notification that a site was allowed to show: a small window of the
// program's own in the top right corner of the screen, naming the site by
// its host over the page's title and message (shown as plain text). A click
// on the text tells the page; Close or the page itself closes it, and it goes
// by itself after a while. A newer notification with the same tag replaces
// the older one.
class NotificationWindow final : public QWidget {
    Q_OBJECT
public:
    explicit NotificationWindow(std::unique_ptr<QWebEngineNotification> notification);
    ~NotificationWindow() override;

    // Shows the notifications of `profile`'s pages in windows like this one.
    static void PresentFor(QWebEngineProfile* profile);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    static void Present(std::unique_ptr<QWebEngineNotification> notification);
    void Show(std::unique_ptr<QWebEngineNotification> notification);
    void PlaceBelowOthers();
    void OnCloseClicked();

    std::unique_ptr<QWebEngineNotification> m_notification;
    QLabel* m_title;
    QLabel* m_message;
};
