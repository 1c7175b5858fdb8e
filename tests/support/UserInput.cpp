#include "support/UserInput.h"

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <QWindow>

namespace UserInput {
namespace {

QPoint InTarget(QWidget* target, QPoint pos)
{
    return pos == QPoint(-1, -1) ? target->rect().center() : pos;
}

// The top-level window holding `target`, and `pos` in its coordinates.
QWindow* WindowOf(QWidget* target, QPoint pos, QPoint* windowPos)
{
    QWidget* top = target->window();
    if (windowPos)
        *windowPos = target->mapTo(top, InTarget(target, pos));
    return top->windowHandle();
}

}  // namespace

bool Activate(QWidget* window)
{
    QWidget* top = window->window();
    if (!top->isVisible())
        top->show();
    top->raise();
    top->activateWindow();
    return QTest::qWaitForWindowActive(top);
}

void Key(QWidget* anyWidget, Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    QWindow* window = WindowOf(anyWidget, QPoint(0, 0), nullptr);
    QTest::keyClick(window, key, modifiers);
}

void Type(QWidget* anyWidget, const QString& text)
{
    QWindow* window = WindowOf(anyWidget, QPoint(0, 0), nullptr);
    for (const QChar c : text) {
        // Letters and digits carry their key code, as a keyboard sends them;
        // any other character arrives as text alone, as an input method gives it.
        Qt::Key key = Qt::Key_unknown;
        if (c.unicode() < 0x80 && c.isLetterOrNumber())
            key = Qt::Key(c.toUpper().unicode());
        else if (c == QLatin1Char(' '))
            key = Qt::Key_Space;
        QTest::sendKeyEvent(QTest::Click, window, key, QString(c), Qt::NoModifier);
    }
}

void Click(QWidget* target, QPoint pos, Qt::MouseButton button)
{
    QPoint at;
    QWindow* window = WindowOf(target, pos, &at);
    QTest::mouseClick(window, button, Qt::NoModifier, at);
}

void DoubleClick(QWidget* target, QPoint pos)
{
    QPoint at;
    QWindow* window = WindowOf(target, pos, &at);
    // Two presses and releases in quick succession; the window system's own
    // double-click detection turns the second press into the double-click.
    QTest::mouseDClick(window, Qt::LeftButton, Qt::NoModifier, at);
}

void Press(QWidget* target, QPoint pos)
{
    QPoint at;
    QWindow* window = WindowOf(target, pos, &at);
    QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, at);
}

void Release(QWidget* target, QPoint pos)
{
    QPoint at;
    QWindow* window = WindowOf(target, pos, &at);
    QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, at);
}

void Hover(QWidget* target, QPoint pos)
{
    QPoint at;
    QWindow* window = WindowOf(target, pos, &at);
    QTest::mouseMove(window, at);
}

QWidget* WidgetAt(QWidget* target, QPoint pos)
{
    QWidget* top = target->window();
    const QPoint at = target->mapTo(top, InTarget(target, pos));
    QWidget* child = top->childAt(at);
    return child ? child : top;
}

}  // namespace UserInput
