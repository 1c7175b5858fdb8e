#pragma once

class QWidget;

// Window effects shared by the windows: keeping a window above the others and
// the four slide movements with which the splash window leaves the screen.
namespace ravel32 {

// What a slide needs of a window, in twips. Reads come back from the window
// system, which may have adjusted a written value to whole pixels.
class SlideTarget {
public:
    virtual ~SlideTarget() = default;
    virtual double Left() const = 0;
    virtual double Top() const = 0;
    virtual double Width() const = 0;
    virtual double Height() const = 0;
    virtual void SetLeft(double left) = 0;
    virtual void SetTop(double top) = 0;
    virtual double ScreenWidth() const = 0;
    // Lets pending window events run once. Returns false when the slide must
    // stop at once (the window is gone or the program has ended).
    virtual bool DoEvents() = 0;
};

// Each slide repeats one pass at least once: let events run, floor the moving
// coordinate, step it by 300 twips, then test the value read back (strictly).
inline constexpr double kSlideStep = 300.0;
inline constexpr double kSlideDownBound = 7200.0;

void SlideUp(SlideTarget& window);
void SlideRight(SlideTarget& window);
void SlideDown(SlideTarget& window);
void SlideLeft(SlideTarget& window);

// Keeps the window above all ordinary windows; position and size unchanged.
void StayOnTop(QWidget* window);

}  // namespace ravel32
