#include "effects/WindowSlideTarget.h"
#include "effects/WindowEffects.h"
#include "support/TestApp.h"

#include <QWidget>

#include <gtest/gtest.h>
#include <cmath>
#include <vector>

namespace {

// A window whose system rounds written coordinates to whole pixels (15 twips),
// or keeps them exactly, and that counts event runs.
class FakeWindow final : public ravel32::SlideTarget {
public:
    double left = 0, top = 0, width = 6975, height = 2415, screen = 28800;
    bool snapToPixels = false;
    int events = 0;
    int stopAfterEvents = -1;
    std::vector<double> writes;

    double Left() const override { return left; }
    double Top() const override { return top; }
    double Width() const override { return width; }
    double Height() const override { return height; }
    void SetLeft(double v) override { left = snap(v); writes.push_back(v); }
    void SetTop(double v) override { top = snap(v); writes.push_back(v); }
    double ScreenWidth() const override { return screen; }
    bool DoEvents() override { ++events; return stopAfterEvents < 0 || events <= stopAfterEvents; }

private:
    double snap(double v) const { return snapToPixels ? std::round(v / 15.0) * 15.0 : v; }
};

}  // namespace

TEST(Slide, FractionIsFlooredBeforeTheStep)
{
    FakeWindow w;
    w.top = 1234.6;
    w.height = 0;  // stops only below 0, so look at the first write
    ravel32::SlideUp(w);
    ASSERT_FALSE(w.writes.empty());
    EXPECT_DOUBLE_EQ(w.writes.front(), 934.0);
}

TEST(Slide, EachSlideStepsAtLeastOnceEvenBeyondItsBound)
{
    FakeWindow up;
    up.top = -100000;
    ravel32::SlideUp(up);
    EXPECT_EQ(up.events, 1);
    EXPECT_DOUBLE_EQ(up.top, -100300);

    FakeWindow right;
    right.left = 999999;
    ravel32::SlideRight(right);
    EXPECT_EQ(right.events, 1);
    EXPECT_DOUBLE_EQ(right.left, 1000299);

    FakeWindow down;
    down.top = 9000;
    ravel32::SlideDown(down);
    EXPECT_EQ(down.events, 1);
    EXPECT_DOUBLE_EQ(down.top, 9300);

    FakeWindow left;
    left.left = -100000;
    ravel32::SlideLeft(left);
    EXPECT_EQ(left.events, 1);
    EXPECT_DOUBLE_EQ(left.left, -100300);
}

TEST(Slide, StopTestsAreStrictAndUseTheirBounds)
{
    // Exactly 7200 is not past the bound: one more step, to 7500.
    FakeWindow down;
    down.top = 6900;
    ravel32::SlideDown(down);
    EXPECT_DOUBLE_EQ(down.top, 7500);
    EXPECT_EQ(down.events, 2);

    // The bound is the window's height, read afresh; -height itself is not enough.
    FakeWindow up;
    up.top = 0;
    up.height = 600;
    ravel32::SlideUp(up);
    EXPECT_DOUBLE_EQ(up.top, -900);

    FakeWindow right;
    right.left = 0;
    right.screen = 600;
    ravel32::SlideRight(right);
    EXPECT_DOUBLE_EQ(right.left, 900);

    FakeWindow left;
    left.left = 0;
    left.width = 600;
    ravel32::SlideLeft(left);
    EXPECT_DOUBLE_EQ(left.left, -900);
}

TEST(Slide, TestsTheValueReadBackFromTheWindowSystem)
{
    // A system that snaps 7199 + 300 = 7499 to 7500 is still judged on what it reports.
    FakeWindow down;
    down.snapToPixels = true;
    down.top = 6899.5;
    ravel32::SlideDown(down);
    EXPECT_DOUBLE_EQ(std::fmod(down.top, 15.0), 0.0);
    EXPECT_GT(down.top, 7200);
}

TEST(Slide, OneEventRunPerPassAndStopsWhenTheWindowGoes)
{
    FakeWindow w;
    w.top = 3000;
    w.height = 0;
    ravel32::SlideUp(w);
    EXPECT_EQ(w.events, static_cast<int>(w.writes.size()));

    FakeWindow gone;
    gone.top = 3000;
    gone.height = 0;
    gone.stopAfterEvents = 2;
    ravel32::SlideUp(gone);
    EXPECT_EQ(gone.writes.size(), 2u);
}

TEST(WindowSlide, MovesTheRealWindowAndStopsWhenItGoes)
{
    TestApp t;
    auto* window = new QWidget;
    window->setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    window->resize(100, 40);
    window->move(300, 200);
    window->show();
    WindowSlideTarget target(*t.app, window);
    // Positions come back in twips, whole pixels of 15 twips each.
    EXPECT_DOUBLE_EQ(target.Left(), 300 * 15.0);
    EXPECT_DOUBLE_EQ(target.Width(), 100 * 15.0);
    target.SetTop(target.Top() - ravel32::kSlideStep);
    EXPECT_EQ(window->pos(), QPoint(300, 180));
    target.SetLeft(1234.6);  // not a whole pixel: the window system's nearest
    EXPECT_EQ(window->x(), 82);
    EXPECT_DOUBLE_EQ(target.Left(), 82 * 15.0);

    // A whole slide on the real window: past the top, one pass at a time.
    ravel32::SlideUp(target);
    EXPECT_LT(target.Top(), -target.Height());
    EXPECT_TRUE(target.DoEvents());
    delete window;
    EXPECT_FALSE(target.DoEvents());
}
