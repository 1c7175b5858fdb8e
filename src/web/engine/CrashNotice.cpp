#include "web/engine/CrashNotice.h"

#include "runtime/Look.h"

#include <QEvent>
#include <QLabel>
#include <QVBoxLayout>

namespace {
constexpr double kHeadingPoints = 14;
constexpr double kTextPoints = 10;
}  // namespace

CrashNotice::CrashNotice(QWidget* view, const QString& why, const QString& address)
    : QWidget(view), m_text(new QLabel(this))
{
    setObjectName(QStringLiteral("pageStoppedNotice"));
    Look::setColors(this, Look::panel(), Look::highlightText());
    auto* heading = new QLabel(QStringLiteral("This page has stopped"), this);
    heading->setFont(Look::font(kHeadingPoints, true));
    Look::setTextColor(heading, Look::highlightText());
    // The address is the page's; it is shown as text, never as markup.
    m_text->setTextFormat(Qt::PlainText);
    m_text->setWordWrap(true);
    m_text->setFont(Look::font(kTextPoints));
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Look::setTextColor(m_text, Look::windowText());
    m_text->setText(why + QStringLiteral("\n\n") + address
                    + QStringLiteral("\n\nPress Refresh (F5) to load it again."));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->addWidget(heading);
    layout->addWidget(m_text);
    layout->addStretch();
    setAccessibleName(heading->text());
    setAccessibleDescription(m_text->text());

    setGeometry(view->rect());
    view->installEventFilter(this);
    raise();
    show();
}

QString CrashNotice::Text() const
{
    return m_text->text();
}

bool CrashNotice::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parent() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    // The engine puts its drawing surface into the view when it starts a
    // renderer; the notice stays above it until it goes.
    if (watched == parent() && event->type() == QEvent::ChildAdded)
        raise();
    return QWidget::eventFilter(watched, event);
}
