#include "browser/MainFRM.h"
#include "ports/BrowserControl.h"
#include "runtime/Twips.h"
#include "support/Eventually.h"
#include "support/TestApp.h"
#include "support/WindowAccess.h"

#include <QComboBox>
#include <QTimer>
#include <gtest/gtest.h>

// The layout timer ticks while the window is being resized and rests once the
// size has stopped changing, so a browser left alone is not woken by it.
TEST(LayoutTimer, FollowsEachResizeThenRests)
{
    TestApp t;
    MainFRM* main = t.app->forms().Get<MainFRM>();
    BrowserControl* browser = ui(main).BrowserWindow;
    main->show();
    main->resize(700, 450);
    EXPECT_TRUE(ui(main).ResizeMe->isActive());
    ASSERT_EVENTUALLY(!ui(main).ResizeMe->isActive(), 5000);
    EXPECT_EQ(browser->widget()->width(), Twips::toPixels(Twips::outerWidth(main) - 350));

    // A new size wakes it again, and the next ticks apply it.
    main->resize(820, 560);
    EXPECT_TRUE(ui(main).ResizeMe->isActive());
    EXPECT_EVENTUALLY_EQ(ui(main).URLC->width(), Twips::toPixels(Twips::outerWidth(main) - 350), 2000);
    EXPECT_EVENTUALLY_EQ(browser->widget()->height(), Twips::toPixels(Twips::outerHeight(main) - 1500), 2000);
    ASSERT_EVENTUALLY(!ui(main).ResizeMe->isActive(), 5000);

    // Restoring a minimised window is a resize too: the layout catches up.
    main->SetState(Form::WindowState::Minimized);
    main->SetState(Form::WindowState::Normal);
    EXPECT_TRUE(ui(main).ResizeMe->isActive());
}
