#include "monitor/DriveExplorer.h"
#include "runtime/Twips.h"
#include "support/TestApp.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

TEST(DriveExplorerWindow, OpensAtTheRootWithSoundThenNavigation)
{
    TestApp t;
    DriveExplorer* explorer = t.app->forms().Show<DriveExplorer>();
    const QString title = explorer->Caption();
    EXPECT_EQ(title, "C: Explorer                           NB");
    EXPECT_EQ(title.size(), 40);
    EXPECT_EQ(explorer->size(), QSize(Twips::toPixels(5895), Twips::toPixels(4470)));
    EXPECT_EQ(explorer->minimumSize(), explorer->maximumSize());
    EXPECT_FALSE(explorer->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(explorer->windowFlags() & Qt::WindowCloseButtonHint);

    ScriptedBrowser* browser = t.BrowserOf(explorer);
    ASSERT_NE(browser, nullptr);
    EXPECT_EQ(browser->widget()->geometry(),
              QRect(0, 0, Twips::toPixels(5895), Twips::toPixels(4455)));
    EXPECT_EQ(t.log.entries(), (QStringList{"sound /OpenWin.WAV", QString("browser %1 Navigate C:\\").arg(browser->id)}));
}

TEST(DriveExplorerWindow, ShowingAgainKeepsTheFolderAndReopeningStartsAtTheRoot)
{
    TestApp t;
    DriveExplorer* explorer = t.app->forms().Show<DriveExplorer>();
    ScriptedBrowser* first = t.BrowserOf(explorer);
    ASSERT_NE(first, nullptr);
    first->Navigate("C:\\usr\\share");
    t.log.Clear();

    EXPECT_EQ(t.app->forms().Show<DriveExplorer>(), explorer);
    EXPECT_TRUE(t.log.entries().isEmpty());  // no sound, no navigation
    EXPECT_EQ(first->LocationURL(), "C:\\usr\\share");

    explorer->close();
    EXPECT_EQ(t.log.entries(), QStringList{"sound /CloseWin.WAV"});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    t.log.Clear();

    DriveExplorer* reopened = t.app->forms().Show<DriveExplorer>();
    ScriptedBrowser* second = t.BrowserOf(reopened);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->LocationURL(), "C:\\");
    EXPECT_EQ(second->history, QStringList{"C:\\"});
    EXPECT_EQ(t.log.entries(), (QStringList{"sound /OpenWin.WAV", QString("browser %1 Navigate C:\\").arg(second->id)}));
}
