#include "runtime/KeyPress.h"

#include <QKeyEvent>
#include <QWidget>

KeyPressHook::KeyPressHook(QObject* context, Handler handler)
    : QObject(context), m_handler(std::move(handler))
{
}

void KeyPressHook::Install(QWidget* control, QObject* context, Handler handler)
{
    QWidget* receiver = control;
    while (receiver->focusProxy())
        receiver = receiver->focusProxy();
    receiver->installEventFilter(new KeyPressHook(context, std::move(handler)));
}

bool KeyPressHook::eventFilter(QObject*, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    int code = 0;
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
        code = 13;
    else if (!key->text().isEmpty())
        code = key->text().at(0).unicode();
    if (code != 0)
        m_handler(code);
    return false;
}
