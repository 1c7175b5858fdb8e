#include "web/requests/NotificationWindow.h"

#include "runtime/Look.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEngineNotification>
#include <QWebEngineProfile>

namespace {
constexpr double kTextPoints = 9;
constexpr int kWidth = 360;
constexpr int kMargin = 12;
// Long enough to read a few lines.
constexpr int kShownMs = 20000;

QLabel* PlainLabel(QWidget* parent, bool bold)
{
    auto* label = new QLabel(parent);
    // A page's words are shown as they are, never as markup of the program's.
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setFont(Look::font(kTextPoints, bold));
    Look::setTextColor(label, Look::highlightText());
    return label;
}

QList<NotificationWindow*> OpenWindows()
{
    QList<NotificationWindow*> open;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<NotificationWindow*>(widget); window && window->isVisible())
            open.append(window);
    return open;
}
}  // namespace

NotificationWindow::NotificationWindow(std::unique_ptr<QWebEngineNotification> notification)
    : QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus),
      m_title(PlainLabel(this, true)), m_message(PlainLabel(this, false))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_ShowWithoutActivating);
    Look::setColors(this, Look::panel(), Look::highlightText());
    setFixedWidth(kWidth);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setAccessibleName(QStringLiteral("Close"));
    close->setFont(Look::font(kTextPoints));
    connect(close, &QPushButton::clicked, this, &NotificationWindow::OnCloseClicked);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    layout->addWidget(m_title);
    layout->addWidget(m_message);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);
    layout->addLayout(buttons);
    QTimer::singleShot(kShownMs, this, &QWidget::close);
    Show(std::move(notification));
    PlaceBelowOthers();
    show();
}

NotificationWindow::~NotificationWindow() = default;

void NotificationWindow::PresentFor(QWebEngineProfile* profile)
{
    profile->setNotificationPresenter(&NotificationWindow::Present);
}

void NotificationWindow::Present(std::unique_ptr<QWebEngineNotification> notification)
{
    for (NotificationWindow* window : OpenWindows()) {
        if (window->m_notification && window->m_notification->matches(notification.get())) {
            window->Show(std::move(notification));
            return;
        }
    }
    new NotificationWindow(std::move(notification));
}

void NotificationWindow::Show(std::unique_ptr<QWebEngineNotification> notification)
{
    if (m_notification)
        m_notification->disconnect(this);
    m_notification = std::move(notification);
    const QString host = m_notification->origin().host();
    setWindowTitle(QStringLiteral("Notification - %1").arg(host));
    setAccessibleName(windowTitle());
    m_title->setText(QStringLiteral("%1: %2").arg(host, m_notification->title()));
    m_message->setText(m_notification->message());
    m_message->setVisible(!m_notification->message().isEmpty());
    connect(m_notification.get(), &QWebEngineNotification::closed, this, &QWidget::close);
    m_notification->show();
}

void NotificationWindow::PlaceBelowOthers()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    adjustSize();
    const QRect area = screen->availableGeometry();
    int top = area.top() + kMargin;
    for (const NotificationWindow* other : OpenWindows())
        if (other != this)
            top = qMax(top, other->frameGeometry().bottom() + kMargin);
    move(area.right() - kMargin - width(), top);
}

void NotificationWindow::mousePressEvent(QMouseEvent* event)
{
    QWidget::mousePressEvent(event);
    if (m_notification)
        m_notification->click();
    close();
}

void NotificationWindow::OnCloseClicked()
{
    if (m_notification)
        m_notification->close();
    close();
}
