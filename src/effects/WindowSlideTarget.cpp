#include "effects/WindowSlideTarget.h"

#include "runtime/App.h"
#include "runtime/Twips.h"
#include "runtime/WindowSystem.h"

#include <QCoreApplication>
#include <QThread>
#include <QWidget>

WindowSlideTarget::WindowSlideTarget(App& app, QWidget* window)
    : m_app(app), m_window(window), m_watched(WindowSystem::IsWatched())
{
}

double WindowSlideTarget::Left() const { return Twips::outerLeft(m_window); }
double WindowSlideTarget::Top() const { return Twips::outerTop(m_window); }
double WindowSlideTarget::Width() const { return Twips::outerWidth(m_window); }
double WindowSlideTarget::Height() const { return Twips::outerHeight(m_window); }

void WindowSlideTarget::SetLeft(double left)
{
    MoveAndShow(left, Top());
}

void WindowSlideTarget::SetTop(double top)
{
    MoveAndShow(Left(), top);
}

void WindowSlideTarget::MoveAndShow(double left, double top)
{
    if (m_watched && m_sinceMove.isValid()) {
        // The place before this one stays on screen for a whole pass.
        const qint64 wait = kPassMs - m_sinceMove.elapsed();
        if (wait > 0)
            QThread::usleep(static_cast<unsigned long>(wait * 1000));
    }
    Twips::moveOuter(m_window, left, top);
    if (m_watched && m_window->isVisible())
        WindowSystem::WaitUntilPlaced(m_window, kPlacedTimeoutMs);
    m_sinceMove.start();
}

double WindowSlideTarget::ScreenWidth() const
{
    return Twips::screenWidth(m_window);
}

bool WindowSlideTarget::DoEvents()
{
    // Repaints what the last move uncovered, among all else that is pending.
    QCoreApplication::processEvents();
    return m_window && !m_app.ended();
}
