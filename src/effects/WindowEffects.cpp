#include "effects/WindowEffects.h"

#include <QWidget>
#include <cmath>

namespace ravel32 {

void SlideUp(SlideTarget& w)
{
    do {
        if (!w.DoEvents())
            return;
        w.SetTop(std::floor(w.Top()) - kSlideStep);
    } while (!(w.Top() < -w.Height()));
}

void SlideRight(SlideTarget& w)
{
    do {
        if (!w.DoEvents())
            return;
        w.SetLeft(std::floor(w.Left()) + kSlideStep);
    } while (!(w.Left() > w.ScreenWidth()));
}

void SlideDown(SlideTarget& w)
{
    do {
        if (!w.DoEvents())
            return;
        w.SetTop(std::floor(w.Top()) + kSlideStep);
    } while (!(w.Top() > kSlideDownBound));
}

void SlideLeft(SlideTarget& w)
{
    do {
        if (!w.DoEvents())
            return;
        w.SetLeft(std::floor(w.Left()) - kSlideStep);
    } while (!(w.Left() < -w.Width()));
}

void StayOnTop(QWidget* window)
{
    const QRect geometry = window->geometry();
    const bool visible = window->isVisible();
    // Changing window flags re-creates the native window; put it back where it was.
    window->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    window->setGeometry(geometry);
    if (visible)
        window->show();
}

}  // namespace ravel32
