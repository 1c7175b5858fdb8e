#pragma once

#include <QObject>
#include <functional>

// Reports each character key typed into a control with its character code
// (13 for Enter), before the control handles the key. The key is never
// consumed: the control receives it as usual.
class KeyPressHook : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(int code)>;
    static void Install(QObject* control, QObject* context, Handler handler);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    KeyPressHook(QObject* context, Handler handler);
    Handler m_handler;
};
