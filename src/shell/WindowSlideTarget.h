#pragma once

#include "shell/ravel32.h"

#include <QPointer>

class App;
class QWidget;

// A real top-level window as a slide target: its outer position in twips,
// the primary screen's width, and one turn of the event loop per pass.
class WindowSlideTarget final : public ravel32::SlideTarget {
public:
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
    App& m_app;
    QPointer<QWidget> m_window;
};
