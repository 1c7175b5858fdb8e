#pragma once

#include "effects/WindowEffects.h"

#include <QElapsedTimer>
#include <QPointer>

class App;
class QWidget;

// A real top-level window as a slide target: its outer position in twips,
// the primary screen's width, and one turn of the event loop per pass.
//
// A move is done only once the window system shows the window at its new
// place (a window manager applies moves some time after they are asked for),
// and passes are at least kPassMs apart. Without that a whole sequence of
// slides ran in some 50 ms on a current machine, before the window manager
// had shown a single step, and nobody saw the window leave.
class WindowSlideTarget final : public ravel32::SlideTarget {
public:
    // About 166 places a second: the eye follows the window across the
    // screen, and the splash's five slides take about two seconds on a
    // screen 1280 pixels wide (some 280 passes).
    static constexpr int kPassMs = 6;
    // A window manager that does not apply a move within this time is not
    // waited for any longer.
    static constexpr int kPlacedTimeoutMs = 100;

    WindowSlideTarget(App& app, QWidget* window);
    double Left() const override;
    double Top() const override;
    double Width() const override;
    double Height() const override;
    void SetLeft(double left) override;
    void SetTop(double top) override;
    double ScreenWidth() const override;
    bool DoEvents() override;

private:
    void MoveAndShow(double left, double top);

    App& m_app;
    QPointer<QWidget> m_window;
    bool m_watched;
    QElapsedTimer m_sinceMove;
};
