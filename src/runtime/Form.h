#pragma once

#include <QWidget>

class App;

// Tests reach a window's controls through TestAccess<ThatWindow> (in the
// tests' support library), which the window names as its only outside friend.
template <class Window>
struct TestAccess;

// A window of the program. Subclasses override the handlers they have; the
// base class raises them from Qt's events:
//  - Form_Load when the registry creates the window (not when it is shown);
//  - Form_Resize whenever the size or the window state changes;
//  - Form_Unload when the user closes the window (never refused), after which
//    the window is discarded and the next request creates it afresh.
// Once the program has ended, no handler is raised any more.
class Form : public QWidget {
    Q_OBJECT
public:
    enum class WindowState { Normal, Minimized, Maximized };

    explicit Form(App& app);
    ~Form() override;

    virtual void Form_Load() {}
    virtual void Form_Unload() {}
    virtual void Form_Resize() {}

    WindowState State() const;
    void SetState(WindowState state);
    // An empty caption shows as empty in the window system too. Captions
    // set one after another while the program is busy (a page load writes
    // several within a millisecond) reach the window system as the last one
    // set before control is back in the event loop: each title sent there is
    // redrawn by the window manager, work that competes with the page for
    // the processor, and the ones before it are replaced before they could
    // be seen.
    void SetCaption(const QString& caption);
    // The latest caption set, shown or about to be.
    QString Caption() const { return m_caption; }

    // Places the window in the middle of the primary screen.
    void CenterOnScreen();

    // Closes the window as its close box does: Form_Unload, then discard.
    void Unload();
    bool isUnloaded() const { return m_unloaded; }

protected:
    App& app() const { return m_app; }
    QString AssetPath(const QString& name) const;
    void PlayWave(const QString& path);

    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void ShowCaption(const QString& caption);
    void ShowQueuedCaption();

    App& m_app;
    bool m_unloaded = false;
    // The caption last set, while it waits to be shown; and whether a show
    // of the latest caption is queued, so the ones set meanwhile wait.
    QString m_caption;
    bool m_captionQueued = false;
};
