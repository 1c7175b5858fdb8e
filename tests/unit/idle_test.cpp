#include "browser/MainFRM.h"
#include "monitor/EffectCanvas.h"
#include "monitor/Effex.h"
#include "monitor/IdleFRM.h"
#include "support/RecordingEffectSurface.h"
#include "support/TestApp.h"
#include "support/WindowAccess.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

using Call = RecordingEffectSurface::Call;

constexpr int kLinesPerTick = Effex::kLinePasses * Effex::kLinesPerPass;

class Idle : public ::testing::Test {
protected:
    void SetUp() override
    {
        idle = t.app->forms().Get<IdleFRM>();
        idle->SetSurface(surface);
    }
    // Draws per tick: X, Y, three per circle, five per pass.
    static int DrawsPerTick(int circles) { return 2 + 3 * circles + 5 * Effex::kLinePasses; }
    void PostClick(QWidget* target)
    {
        const QPointF at(10, 10);
        QCoreApplication::postEvent(target, new QMouseEvent(QEvent::MouseButtonPress, at, target->mapToGlobal(at),
                                                             Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
        QCoreApplication::postEvent(target, new QMouseEvent(QEvent::MouseButtonRelease, at, target->mapToGlobal(at),
                                                             Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
    }

    RecordingEffectSurface surface;  // outlives the window
    TestApp t;
    IdleFRM* idle = nullptr;
};

bool InPalette(const QColor& colour, int first, int last)
{
    for (int i = first; i <= last; ++i)
        if (Effex::PaletteColour(i) == colour)
            return true;
    return false;
}

}  // namespace

TEST_F(Idle, TickDrawsCirclesThenLinesInOrderWithTheRoundingRules)
{
    surface.size = QSize(128, 128);
    t.random.values = {
        5.0 / 256, 3.0 / 256,          // X = 2.5 -> 3, Y = 1.5 -> 2: halves away from zero
        0.5, 2.5 / 255, 0.9999999,     // 127.5 -> 128, 2.5 -> 2 (halves to even), 255
        3.5 / 255, 0.0, 0.25,          // 3.5 -> 4, 0, 63.75 -> 64
        1.5 / 255, 0.6, 0.4,           // 1.5 -> 2, 153, 102
        0.0, 0.9999, 0.5, 0.25, 0.9999 // p1 0, p2 100, p3 50, p4 25, k 14
    };
    idle->EffectTimer_Timer();

    EXPECT_EQ(t.random.randomizes, 1);
    EXPECT_EQ(t.random.draws, DrawsPerTick(3));

    const QList<Call> circles = surface.Of(Call::Circle);
    ASSERT_EQ(circles.size(), 3);  // radii 0 to min(3, 2)
    for (int r = 0; r < 3; ++r) {
        EXPECT_EQ(circles[r].x1, 3);
        EXPECT_EQ(circles[r].y1, 2);
        EXPECT_EQ(circles[r].x2, r);
    }
    EXPECT_EQ(circles[0].colour, QColor(128, 2, 255));
    EXPECT_EQ(circles[1].colour, QColor(4, 0, 64));
    EXPECT_EQ(circles[2].colour, QColor(2, 153, 102));

    // Pixel scale, the burst shown, then black, height 100 before width 100, then lines only.
    ASSERT_GE(surface.calls.size(), 8);
    EXPECT_EQ(surface.calls[0].kind, Call::PixelScale);
    EXPECT_EQ(surface.calls[4].kind, Call::Present);
    EXPECT_EQ(surface.calls[5].kind, Call::BackColor);
    EXPECT_EQ(surface.calls[5].colour, QColor(0, 0, 0));
    EXPECT_EQ(surface.calls[6].kind, Call::ScaleHeight);
    EXPECT_EQ(surface.calls[6].x1, 100);
    EXPECT_EQ(surface.calls[7].kind, Call::ScaleWidth);
    EXPECT_EQ(surface.calls[7].x1, 100);
    EXPECT_EQ(surface.calls.size(), 8 + kLinesPerTick);

    const QList<Call> lines = surface.Of(Call::Line);
    ASSERT_EQ(lines.size(), kLinesPerTick);
    auto endPoints = [](const Call& c) { return QLineF(c.x1, c.y1, c.x2, c.y2); };
    EXPECT_EQ(endPoints(lines[0]), QLineF(0, 50, 100, 25));   // (p1, p3) to (p2, p4)
    EXPECT_EQ(endPoints(lines[1]), QLineF(0, 25, 100, 50));   // (p1, p4) to (p2, p3)
    EXPECT_EQ(endPoints(lines[2]), QLineF(100, 50, 0, 25));   // (p2, p3) to (p1, p4)
    EXPECT_EQ(endPoints(lines[3]), QLineF(50, 25, 0, 100));   // (p3, p4) to (p1, p2)
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(lines[i].colour, QColor(255, 255, 0));      // palette 14, light yellow
}

TEST_F(Idle, LinesStayOnTheGridAndNeverBrightWhite)
{
    // Extremes and everything between: whole grid points, palette 0 to 14 only.
    t.random.values = {0.0, 0.9999999, 0.5, 0.01, 0.99, 0.3333, 0.6667, 0.999999999};
    surface.size = QSize(64, 48);
    idle->EffectTimer_Timer();
    const QList<Call> lines = surface.Of(Call::Line);
    ASSERT_EQ(lines.size(), kLinesPerTick);
    bool reached100 = false, reached0 = false;
    for (const Call& c : lines) {
        for (double v : {c.x1, c.y1, c.x2, c.y2}) {
            EXPECT_GE(v, 0);
            EXPECT_LE(v, 100);
            EXPECT_EQ(v, std::floor(v));
            reached100 |= v == 100;
            reached0 |= v == 0;
        }
        EXPECT_TRUE(InPalette(c.colour, 0, 14)) << c.colour.name().toStdString();
        EXPECT_NE(c.colour, QColor(255, 255, 255));
    }
    EXPECT_TRUE(reached100);
    EXPECT_TRUE(reached0);
}

TEST_F(Idle, ACentreOnTheEdgeGivesOneCircleOfRadiusZero)
{
    surface.size = QSize(300, 200);
    t.random.values = {0.0, 0.7, 0.1, 0.2, 0.3};
    idle->EffectTimer_Timer();
    const QList<Call> circles = surface.Of(Call::Circle);
    ASSERT_EQ(circles.size(), 1);
    EXPECT_EQ(circles[0].x1, 0);
    EXPECT_EQ(circles[0].y1, 140);
    EXPECT_EQ(circles[0].x2, 0);
    EXPECT_EQ(t.random.draws, DrawsPerTick(1));
}

TEST_F(Idle, MinimisedWindowGetsItsCirclesButNoLines)
{
    surface.size = QSize(40, 30);
    t.random.values = {0.5};  // centre (20, 15): 16 circles
    idle->setWindowState(Qt::WindowMinimized);
    ASSERT_EQ(idle->State(), Form::WindowState::Minimized);

    EXPECT_TRUE(Effex::LineEffect(*idle));
    EXPECT_TRUE(surface.calls.isEmpty());
    EXPECT_EQ(t.random.draws, 0);

    idle->EffectTimer_Timer();
    EXPECT_EQ(surface.Of(Call::Circle).size(), 16);
    EXPECT_TRUE(surface.Of(Call::BackColor).isEmpty());
    EXPECT_TRUE(surface.Of(Call::Line).isEmpty());
    EXPECT_EQ(t.random.draws, 2 + 3 * 16);
}

TEST_F(Idle, EveryTickReseedsAndATickArrivingMidTickIsSkipped)
{
    surface.size = QSize(20, 20);
    int nestedCalls = 0;
    surface.onCall = [&](const Call& c) {
        // A timer tick delivered while the passes let events run.
        if (c.kind == Call::Line && nestedCalls++ == 0) {
            EXPECT_TRUE(idle->Ticking());
            idle->EffectTimer_Timer();
        }
    };
    idle->EffectTimer_Timer();
    EXPECT_EQ(t.random.randomizes, 1);
    EXPECT_EQ(surface.Of(Call::Line).size(), kLinesPerTick);
    EXPECT_EQ(surface.Of(Call::BackColor).size(), 1);
    EXPECT_FALSE(idle->Ticking());

    surface.onCall = nullptr;
    idle->EffectTimer_Timer();
    EXPECT_EQ(t.random.randomizes, 2);
    EXPECT_EQ(surface.Of(Call::Line).size(), 2 * kLinesPerTick);
}

TEST_F(Idle, ClickMidTickBringsTheMainWindowBackAtOnceAndTheTickFinishes)
{
    MainFRM* main = t.app->forms().Get<MainFRM>();
    t.app->forms().Show<IdleFRM>();
    ASSERT_TRUE(idle->isVisible());
    EXPECT_TRUE(ui(idle).EffectTimer->isActive());
    t.log.Clear();

    int linesWhenMainShown = -1;
    int lines = 0;
    surface.onCall = [&](const Call& c) {
        if (c.kind != Call::Line)
            return;
        if (linesWhenMainShown < 0 && main->isVisible())
            linesWhenMainShown = lines;
        ++lines;
    };
    PostClick(idle);
    idle->EffectTimer_Timer();

    EXPECT_EQ(linesWhenMainShown, 0);  // answered in the first pass's events
    EXPECT_EQ(lines, kLinesPerTick);   // the rest of the tick ran on the hidden window
    EXPECT_FALSE(idle->isVisible());
    EXPECT_TRUE(main->isVisible());
    EXPECT_EQ(t.log.Filtered("sound "), QStringList{"sound /Click.WAV"});
    // A hidden idle screen does not tick.
    EXPECT_FALSE(ui(idle).EffectTimer->isActive());
    EXPECT_EQ(t.app->forms().Find<IdleFRM>(), idle);
}

TEST_F(Idle, ClosedOrEndedMidTickStopsAtOnce)
{
    surface.onCall = [&](const Call& c) {
        if (c.kind == Call::Line && surface.Of(Call::Line).size() == 4)
            idle->close();
    };
    idle->EffectTimer_Timer();
    EXPECT_EQ(surface.Of(Call::Line).size(), 4);
    EXPECT_EQ(t.log.Filtered("sound "), (QStringList{"sound /OpenWin.WAV", "sound /CloseWin.WAV"}));
    EXPECT_EQ(t.app->forms().Find<IdleFRM>(), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // A fresh idle window, and the program ends during a pass.
    IdleFRM* again = t.app->forms().Get<IdleFRM>();
    surface.Clear();
    again->SetSurface(surface);
    surface.onCall = [&](const Call& c) {
        if (c.kind == Call::Line && surface.Of(Call::Line).size() == 8)
            t.app->EndProgram();
    };
    again->EffectTimer_Timer();
    EXPECT_EQ(surface.Of(Call::Line).size(), 8);
    EXPECT_EQ(t.process.ends, 1);
}

TEST_F(Idle, ClosingTheIdleScreenBringsTheHiddenMainWindowBack)
{
    MainFRM* main = t.app->forms().Get<MainFRM>();
    t.app->forms().Show<IdleFRM>();
    ASSERT_TRUE(main->isHidden());
    t.log.Clear();
    idle->close();
    EXPECT_TRUE(main->isVisible());
    EXPECT_EQ(t.log.Filtered("sound "), QStringList{"sound /CloseWin.WAV"});
    EXPECT_EQ(t.app->forms().Find<IdleFRM>(), nullptr);
}

TEST_F(Idle, LoadsOnceBorderlessAndBlackAndPlaysItsSounds)
{
    EXPECT_EQ(t.log.Filtered("sound "), QStringList{"sound /OpenWin.WAV"});
    EXPECT_TRUE(idle->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(idle->windowState() & Qt::WindowFullScreen);
    EXPECT_FALSE(ui(idle).EffectTimer->isActive());  // rests until shown
    t.app->forms().Show<IdleFRM>();
    idle->hide();
    t.app->forms().Show<IdleFRM>();
    EXPECT_EQ(t.log.Filtered("sound "), QStringList{"sound /OpenWin.WAV"});
    idle->close();
    EXPECT_EQ(t.log.Filtered("sound ").last(), "sound /CloseWin.WAV");
}

TEST(EffectCanvasTest, PaintsShapesAndMapsTheGridEdgesOntoTheLastPixels)
{
    QWidget window;
    EffectCanvas canvas(&window);
    canvas.resize(101, 51);
    canvas.SetBackColor(Qt::black);
    EXPECT_EQ(canvas.image().pixelColor(50, 25), QColor(Qt::black));

    canvas.UsePixelScale();
    canvas.Circle(10, 10, 0, QColor(1, 2, 3));
    canvas.Circle(50, 25, 20, QColor(200, 0, 0));
    canvas.SetScaleHeight(100);
    canvas.SetScaleWidth(100);
    canvas.Line(100, 0, 100, 100, QColor(0, 255, 0));
    canvas.Line(0, 100, 100, 100, QColor(0, 0, 255));
    canvas.Present();

    const QImage& image = canvas.image();
    EXPECT_EQ(image.pixelColor(10, 10), QColor(1, 2, 3));       // radius 0: one point
    EXPECT_EQ(image.pixelColor(11, 10), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(30, 25), QColor(200, 0, 0));     // outline, left of centre
    EXPECT_EQ(image.pixelColor(50, 25), QColor(Qt::black));     // no fill
    EXPECT_EQ(image.pixelColor(100, 10), QColor(0, 255, 0));    // x = 100: right edge
    EXPECT_EQ(image.pixelColor(60, 50), QColor(0, 0, 255));     // y = 100: bottom edge

    canvas.SetBackColor(Qt::black);
    EXPECT_EQ(canvas.image().pixelColor(100, 10), QColor(Qt::black));
}

TEST(EffectCanvasTest, LinesAreUnbrokenOnePixelWideAndIncludeBothEnds)
{
    QWidget window;
    EffectCanvas canvas(&window);
    canvas.resize(201, 101);
    canvas.SetBackColor(Qt::black);
    canvas.SetScaleHeight(100);
    canvas.SetScaleWidth(100);
    const QColor red(255, 0, 0);
    // A shallow line from the top left corner to the right edge's middle:
    // one pixel in every column, none apart from its neighbour by more than a row.
    canvas.Line(0, 0, 100, 50, red);
    const QImage& image = canvas.image();
    int lastRow = -1;
    for (int x = 0; x < 201; ++x) {
        int lit = 0;
        int row = -1;
        for (int y = 0; y < 101; ++y) {
            if (image.pixelColor(x, y) == red) {
                ++lit;
                row = y;
            }
        }
        ASSERT_EQ(lit, 1) << "column " << x;
        if (lastRow >= 0) {
            EXPECT_LE(std::abs(row - lastRow), 1);
        }
        lastRow = row;
    }
    EXPECT_EQ(image.pixelColor(0, 0), red);
    EXPECT_EQ(image.pixelColor(200, 50), red);

    // Drawn backwards, the same line: the same pixels.
    QImage forwards = image.copy();
    canvas.SetBackColor(Qt::black);
    canvas.Line(100, 50, 0, 0, red);
    EXPECT_EQ(canvas.image(), forwards);
}
