#include "runtime/CursorBlinkRest.h"

#include <QEvent>
#include <QGuiApplication>
#include <QStyleHints>

CursorBlinkRest::CursorBlinkRest(int restMs, QObject* parent) : QObject(parent)
{
    m_flashTime = QGuiApplication::styleHints()->cursorFlashTime();
    m_rest.setSingleShot(true);
    m_rest.setInterval(restMs);
    connect(&m_rest, &QTimer::timeout, this, &CursorBlinkRest::Rest);
    qApp->installEventFilter(this);
    m_rest.start();
}

CursorBlinkRest::~CursorBlinkRest()
{
    Wake();
}

bool CursorBlinkRest::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::InputMethod:
    case QEvent::FocusIn:
        // One restart per input event; a rest timer already running is only moved on.
        if (m_resting)
            Wake();
        m_rest.start();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void CursorBlinkRest::Rest()
{
    if (m_resting || m_flashTime <= 0)
        return;
    m_resting = true;
    // A flash time of 0 shows the cursor steadily.
    QGuiApplication::styleHints()->setCursorFlashTime(0);
}

void CursorBlinkRest::Wake()
{
    if (!m_resting)
        return;
    m_resting = false;
    QGuiApplication::styleHints()->setCursorFlashTime(m_flashTime);
}
