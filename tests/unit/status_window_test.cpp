#include "browser/MainFRM.h"
#include "monitor/BrowserStatusFRM.h"
#include "runtime/ImageControl.h"
#include "support/Eventually.h"
#include "support/TestApp.h"
#include "support/WindowAccess.h"

#include <QCoreApplication>
#include <QLabel>
#include <QTimer>
#include <gtest/gtest.h>

TEST(StatusWindow, OpensWithInitialTextsSoundAndStaysOnTop)
{
    TestApp t;
    t.app->forms().Get<MainFRM>();
    t.log.Clear();
    auto* status = t.app->forms().Get<BrowserStatusFRM>();
    EXPECT_EQ(t.log.entries(), (QStringList{"sound /OpenWin.WAV", "picture /Main.BMP"}));
    EXPECT_EQ(status->Caption(), "Browser Status" + QString(36, ' ') + "NB");
    EXPECT_EQ(status->Caption().size(), 52);
    EXPECT_TRUE(status->windowFlags() & Qt::WindowStaysOnTopHint);
    const QStringList rows{"Percentage Loaded:", "Location Name:", "Location URL:", "Height (Pixles):", "Width (Pixles):"};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(ui(status).Info[static_cast<size_t>(i)]->text(), rows[i]);
    EXPECT_EQ(ui(status).PercentageLoaded->text(), "Percentage Loaded");
    EXPECT_EQ(ui(status).LocationName->text(), "Location Name");
    EXPECT_EQ(ui(status).LocationURLL->text(), "Location URL");
    EXPECT_EQ(ui(status).HeightQ->text(), "Height");
    EXPECT_EQ(ui(status).WidthQ->text(), "Width");
    // Created hidden by the first progress report: nothing to refresh yet.
    EXPECT_FALSE(ui(status).Timer->isActive());
}

TEST(StatusWindow, TickCopiesTheMainBrowsersValuesButNotTheProgress)
{
    TestApp t;
    MainFRM* main = t.app->forms().Get<MainFRM>();
    ScriptedBrowser* browser = t.BrowserOf(main);
    auto* status = t.app->forms().Get<BrowserStatusFRM>();
    browser->locationURL = "http://status.test/";
    browser->locationName = "Status";
    browser->widget()->resize(321, 123);
    status->Timer_Timer();
    EXPECT_EQ(ui(status).LocationURLL->text(), "http://status.test/");
    EXPECT_EQ(ui(status).LocationName->text(), "Status");
    EXPECT_EQ(ui(status).HeightQ->text(), "123");
    EXPECT_EQ(ui(status).WidthQ->text(), "321");
    EXPECT_EQ(ui(status).PercentageLoaded->text(), "Percentage Loaded");

    browser->locationURL.clear();
    browser->locationName.clear();
    status->Timer_Timer();
    EXPECT_EQ(ui(status).LocationURLL->text(), "");
    EXPECT_EQ(ui(status).LocationName->text(), "");
}

TEST(StatusWindow, ReopenedAfterCloseStartsFromItsInitialTexts)
{
    TestApp t;
    t.app->forms().Get<MainFRM>();
    auto* status = t.app->forms().Show<BrowserStatusFRM>();
    ui(status).PercentageLoaded->setText("Reading 1  of  2");
    status->close();
    EXPECT_EQ(t.sound.played.last(), "/CloseWin.WAV");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    status = t.app->forms().Show<BrowserStatusFRM>();
    EXPECT_EQ(ui(status).PercentageLoaded->text(), "Percentage Loaded");
}

TEST(StatusWindow, ShowingRefreshesAtOnceFollowsChangesWhileShownAndRestsOtherwise)
{
    TestApp t;
    MainFRM* main = t.app->forms().Show<MainFRM>();
    ScriptedBrowser* browser = t.BrowserOf(main);
    browser->locationName = "Shown";
    auto* status = t.app->forms().Get<BrowserStatusFRM>();
    EXPECT_EQ(ui(status).LocationName->text(), "Location Name");
    status->show();
    EXPECT_EQ(ui(status).LocationName->text(), "Shown");
    // Nothing changes, nothing is waiting to run: a resting program is not woken.
    EXPECT_FALSE(ui(status).Timer->isActive());

    // A new page name, the page's own retitling, reaches the window with the control's word.
    browser->locationName = "Retitled";
    browser->locationURL = "http://status.test/retitled";
    emit browser->LocationChanged();
    EXPECT_EVENTUALLY_EQ(ui(status).LocationName->text(), QString("Retitled"), 2000);
    EXPECT_EQ(ui(status).LocationURLL->text(), "http://status.test/retitled");
    EXPECT_FALSE(ui(status).Timer->isActive());
    // So does a page load.
    browser->RaisePageLoad("http://status.test/loaded", "Loaded");
    EXPECT_EVENTUALLY_EQ(ui(status).LocationURLL->text(), QString("http://status.test/loaded"), 2000);
    EXPECT_EQ(ui(status).LocationName->text(), "Loaded");
    // And the view resized, however it was resized (once the main window's
    // own sizing of it is over; a hidden view hears of its size only when shown).
    ASSERT_EVENTUALLY(!ui(main).ResizeMe->isActive(), 5000);
    browser->widget()->resize(345, 234);
    EXPECT_EVENTUALLY_EQ(ui(status).WidthQ->text(), QString("345"), 2000);
    EXPECT_EQ(ui(status).HeightQ->text(), "234");

    // While hidden nothing is fetched; showing it again brings it up to date at once.
    status->hide();
    browser->locationName = "Changed while hidden";
    emit browser->LocationChanged();
    browser->widget()->resize(200, 100);
    EXPECT_FALSE(ui(status).Timer->isActive());
    QCoreApplication::processEvents();
    EXPECT_EQ(ui(status).LocationName->text(), "Loaded");
    status->show();
    EXPECT_EQ(ui(status).LocationName->text(), "Changed while hidden");
    EXPECT_EQ(ui(status).WidthQ->text(), "200");
    EXPECT_FALSE(ui(status).Timer->isActive());
}
