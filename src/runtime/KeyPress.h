#pragma once

#include <QObject>

class QWidget;
#include <functional>

// Reports each character key typed into a control with its character code
// (13 for Enter), before the control handles the key. The key is never
// consumed: the control receives it as usual.
//
// The hook sits on the widget the window system gives the keys to: the
// control's focus proxy where it has one. An editable combo box is the focus
// proxy of its inner line edit and feeds it keys by a direct call that passes
// no event filter, so a hook on the line edit itself would never see a key.
class KeyPressHook : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(int code)>;
    static void Install(QWidget* control, QObject* context, Handler handler);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    KeyPressHook(QObject* context, Handler handler);
    Handler m_handler;
};
