#include "browser/MainFRM.h"
#include "runtime/ImageControl.h"
#include "runtime/Twips.h"
#include "shell/IntroFRM.h"
#include "support/TestApp.h"
#include "support/WindowAccess.h"

#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

TEST(Splash, LoadsSoundPictureAndStaysOnTop)
{
    TestApp t;
    t.pictures.missing.insert("/Intro.BMP");
    auto* intro = t.app->forms().Show<IntroFRM>();
    EXPECT_EQ(t.log.entries(), (QStringList{"sound /Intro.WAV", "picture /Intro.BMP"}));
    EXPECT_TRUE(intro->isVisible());
    EXPECT_TRUE(intro->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(intro->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(intro->size(), QSize(Twips::toPixels(6975), Twips::toPixels(2415)));
    EXPECT_EQ(ui(intro).IntroImage->geometry(), QRect(8, 8, Twips::toPixels(6735), Twips::toPixels(2175)));
    const QString caption = ui(intro).ClickAnywhereToEnter->text();
    EXPECT_EQ(caption.size(), 850);
    EXPECT_TRUE(caption.endsWith("Click Anywhere To Enter."));
    EXPECT_EQ(caption.left(826).trimmed(), QString());
}

TEST(Splash, ClickAnywhereSlidesAwayHidesAndShowsTheMainWindow)
{
    TestApp t;
    auto* intro = t.app->forms().Show<IntroFRM>();
    intro->move(100, 100);
    t.log.Clear();
    // Click in the margin: the label covering the window takes it.
    QTest::mouseClick(ui(intro).ClickAnywhereToEnter, Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_EQ(t.log.entries().first(), "sound /CloseWin.WAV");
    EXPECT_FALSE(intro->isVisible());
    EXPECT_EQ(t.app->forms().Find<IntroFRM>(), intro);  // hidden, not closed
    MainFRM* main = t.app->forms().Find<MainFRM>();
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(main->isVisible());
    EXPECT_EQ(t.log.entries().at(1), "sound /OpenWin.WAV");
    // The last movement left it past the right edge of the screen.
    EXPECT_GT(Twips::outerLeft(intro), Twips::screenWidth(intro));
}
