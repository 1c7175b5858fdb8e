#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

class App;
class MainFRM;
class QKeySequence;
class QShortcut;

// The main window's keyboard and screen-reader side: the standard browser
// keys, each running the handler a click would run (so sounds and faces are
// the same), names for the skinned buttons, the pop-up switch and the address
// box, and a "Go Idle" button that cannot take the focus while it lies out of
// sight. Lives as a child of the window it serves.
class MainKeys final : public QObject {
    Q_OBJECT
public:
    MainKeys(MainFRM& window, App& app);

    // Zoom of the main browser: one step in, one step out, back to the page's size.
    void ZoomIn();
    void ZoomOut();
    void ZoomReset();
    double Zoom() const;

    // Puts the focus in the address box with its text selected.
    void SelectAddress();
    // Pops the tools menu up at the menu button, as its click does.
    void PopUpMenu();
    // The menu's "Exit".
    void Exit();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void NameControls();
    void ApplyTabOrder();
    QShortcut* AddShortcut(const QKeySequence& keys, void (MainKeys::*action)());
    void PressBack();
    void PressForward();
    void PressRefresh();
    void PressStop();
    void SetZoom(double factor);
    void KeepIdleFocusInSight();

    MainFRM& m_window;
    QPointer<QWidget> m_view;
    App& m_app;
};
