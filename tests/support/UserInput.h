#pragma once

#include <QPoint>
#include <QString>
#include <Qt>

class QWidget;

// Input as the window system delivers it. Keys go to a window, which hands
// them to its focus widget (shortcuts first, as for a real key); mouse events
// arrive at window coordinates and reach whatever widget lies there. Nothing
// here sends an event straight to a child widget, because real input cannot
// do that either: a test that did would pass where a user's key or click fails.
namespace UserInput {

// Shows `window` if needed and makes it the active window, as clicking its
// title bar would. Returns false if the window system did not activate it.
bool Activate(QWidget* window);

// Keys typed into the active window that holds `anyWidget`.
void Key(QWidget* anyWidget, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void Type(QWidget* anyWidget, const QString& text);

// A click, double-click, press or hover at `pos` in `target`'s coordinates
// (its middle when not given), delivered to `target`'s window at the matching
// window position. What receives it is whatever lies on top there.
void Click(QWidget* target, QPoint pos = QPoint(-1, -1), Qt::MouseButton button = Qt::LeftButton);
void DoubleClick(QWidget* target, QPoint pos = QPoint(-1, -1));
void Press(QWidget* target, QPoint pos = QPoint(-1, -1));
void Release(QWidget* target, QPoint pos = QPoint(-1, -1));
void Hover(QWidget* target, QPoint pos = QPoint(-1, -1));

// The widget a real click at `pos` in `target` would reach first.
QWidget* WidgetAt(QWidget* target, QPoint pos = QPoint(-1, -1));

}  // namespace UserInput
