#include "runtime/Form.h"

#include "runtime/App.h"
#include "runtime/NativeCaption.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QPointer>

Form::Form(App& app) : QWidget(nullptr), m_app(app)
{
    setAttribute(Qt::WA_DeleteOnClose, false);
}

Form::~Form() = default;

Form::WindowState Form::State() const
{
    const Qt::WindowStates s = windowState();
    if (s & Qt::WindowMinimized)
        return WindowState::Minimized;
    if (s & Qt::WindowMaximized)
        return WindowState::Maximized;
    return WindowState::Normal;
}

void Form::SetState(WindowState state)
{
    Qt::WindowStates s = windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
    if (state == WindowState::Minimized)
        s |= Qt::WindowMinimized;
    else if (state == WindowState::Maximized)
        s |= Qt::WindowMaximized;
    setWindowState(s);
}

void Form::CenterOnScreen()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(0, 0), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void Form::SetCaption(const QString& caption)
{
    m_caption = caption;
    // A window not on the screen sends nothing to the window system: it
    // takes the caption at once and shows with it.
    if (!isVisible()) {
        ShowCaption(caption);
        return;
    }
    if (m_captionQueued)
        return;
    // On the screen, the caption waits for control to be back in the event
    // loop, and only the last one set by then is shown.
    m_captionQueued = true;
    QMetaObject::invokeMethod(this, &Form::ShowQueuedCaption, Qt::QueuedConnection);
}

void Form::ShowQueuedCaption()
{
    m_captionQueued = false;
    ShowCaption(m_caption);
}

void Form::ShowCaption(const QString& caption)
{
    // Qt itself sends nothing when a caption is set to the one on show.
    setWindowTitle(caption);
    if (caption.isEmpty() && isVisible())
        NativeCaption::ShowEmpty(this);
}

void Form::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // The native window exists now, with whatever name Qt gave it.
    if (windowTitle().isEmpty())
        NativeCaption::ShowEmpty(this);
}

QString Form::AssetPath(const QString& name) const
{
    return m_app.AssetPath(name);
}

void Form::PlayWave(const QString& path)
{
    m_app.PlayWave(path);
}

void Form::Unload()
{
    if (m_unloaded || m_app.ended())
        return;
    m_unloaded = true;
    QPointer<Form> self(this);
    Form_Unload();
    // Ending the program from an unload handler stops everything here.
    if (self && !m_app.ended())
        m_app.forms().Discard(this);
}

void Form::closeEvent(QCloseEvent* event)
{
    // The window is never deleted by Qt itself; the registry decides.
    event->ignore();
    Unload();
}

void Form::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (!m_app.ended() && !m_unloaded)
        Form_Resize();
}

void Form::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && !m_app.ended() && !m_unloaded)
        Form_Resize();
}
