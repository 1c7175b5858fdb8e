#include "shell/WindowSlideTarget.h"

#include "platform/App.h"
#include "platform/Twips.h"

#include <QCoreApplication>
#include <QWidget>

WindowSlideTarget::WindowSlideTarget(App& app, QWidget* window) : m_app(app), m_window(window) {}

double WindowSlideTarget::Left() const { return Twips::outerLeft(m_window); }
double WindowSlideTarget::Top() const { return Twips::outerTop(m_window); }
double WindowSlideTarget::Width() const { return Twips::outerWidth(m_window); }
double WindowSlideTarget::Height() const { return Twips::outerHeight(m_window); }

void WindowSlideTarget::SetLeft(double left)
{
    Twips::moveOuter(m_window, left, Top());
}

void WindowSlideTarget::SetTop(double top)
{
    Twips::moveOuter(m_window, Left(), top);
}

double WindowSlideTarget::ScreenWidth() const
{
    return Twips::screenWidth(m_window);
}

bool WindowSlideTarget::DoEvents()
{
    QCoreApplication::processEvents();
    return m_window && !m_app.ended();
}
