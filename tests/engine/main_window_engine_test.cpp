// The main window on the real engine, against pages served on 127.0.0.1.
#include "browser/MainFRM.h"
#include "monitor/BrowserStatusFRM.h"
#include "ports/BrowserControl.h"
#include "runtime/ImageControl.h"
#include "web/engine/PopupBrowserWindow.h"
#include "runtime/Twips.h"
#include "web/engine/WebEngineBrowserFactory.h"
#include "support/Eventually.h"
#include "support/LocalHttpServer.h"
#include "support/TestApp.h"
#include "support/WindowAccess.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QStandardPaths>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

constexpr int kLoadTimeout = 20000;

class MainWindowEngine : public ::testing::Test {
protected:
    static void SetUpTestSuite() { QStandardPaths::setTestModeEnabled(true); }

    void SetUp() override
    {
        server.page("/one", "<html><head><title>Page One</title></head><body>one</body></html>");
        server.page("/two", "<html><head><title>Page Two</title></head><body>two</body></html>");
        t = std::make_unique<TestApp>(&engine);
        main = t->app->forms().Get<MainFRM>();
        main->show();
        // The start address is not reachable here; let that first load end.
        ASSERT_EVENTUALLY_EQ(main->Caption(), QStringLiteral("Nimbrel - [Done Loading Document]"), kLoadTimeout);
        // A caption reaches the window's title once control is back in the
        // event loop; the load is over for the user when that title is on show.
        ASSERT_EVENTUALLY_EQ(main->windowTitle(), QStringLiteral("Nimbrel - [Done Loading Document]"), kLoadTimeout);
    }
    void TearDown() override { t.reset(); }

    void Go(const QString& url)
    {
        ui(main).URLC->setEditText(url);
        main->Go_Click();
        ASSERT_EVENTUALLY(ui(main).BrowserWindow->LocationURL() == url && !ui(main).BrowserWindow->Busy(), kLoadTimeout);
        ASSERT_EVENTUALLY_EQ(main->Caption(), QStringLiteral("Nimbrel - [Done Loading Document]"), kLoadTimeout);
        // A caption reaches the window's title once control is back in the
        // event loop; the load is over for the user when that title is on show.
        ASSERT_EVENTUALLY_EQ(main->windowTitle(), QStringLiteral("Nimbrel - [Done Loading Document]"), kLoadTimeout);
    }

    int popupCount() const
    {
        int n = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<PopupBrowserWindow*>(w) && w->isVisible())
                ++n;
        return n;
    }

    LocalHttpServer server;
    RecordingMessages messages;
    WebEngineBrowserFactory engine{messages};
    std::unique_ptr<TestApp> t;
    MainFRM* main = nullptr;
};

}  // namespace

TEST_F(MainWindowEngine, APageLoadEndsOnDoneLoadingDocumentWithItsAddress)
{
    const QString url = server.url("/one");
    QStringList titles;
    QObject::connect(main, &QWidget::windowTitleChanged, main, [&](const QString& s) { titles << s; });
    Go(url);
    EXPECT_EQ(ui(main).URLC->currentText(), url);
    EXPECT_EQ(titles.first(), "Nimbrel - [Going to: " + url + "]");
    // The load's progress shows in the title (steps raised together show as
    // the last of them).
    EXPECT_FALSE(titles.filter(" ] - [ Reading ").isEmpty()) << titles.join('\n').toStdString();
    EXPECT_EQ(titles.last(), "Nimbrel - [Done Loading Document]");
    // The first progress of the run made the status window, hidden.
    auto* status = t->app->forms().Find<BrowserStatusFRM>();
    ASSERT_NE(status, nullptr);
    EXPECT_FALSE(status->isVisible());
    EXPECT_EQ(ui(status).PercentageLoaded->text(), "Reading -1  of  100");
}

TEST_F(MainWindowEngine, BackAndForwardMoveThroughTheEnginesHistory)
{
    Go(server.url("/one"));
    Go(server.url("/two"));
    main->Back_Click();
    ASSERT_EVENTUALLY_EQ(ui(main).URLC->currentText(), server.url("/one"), kLoadTimeout);
    ASSERT_EVENTUALLY_EQ(ui(main).BrowserWindow->LocationName(), QStringLiteral("Page One"), kLoadTimeout);
    main->ForwardF_Click();
    ASSERT_EVENTUALLY_EQ(ui(main).URLC->currentText(), server.url("/two"), kLoadTimeout);
}

TEST_F(MainWindowEngine, BackAtTheStartOfHistoryChangesNothingAndClicks)
{
    // A window of its own, whose only page is the first one.
    TestApp fresh(&engine);
    MainFRM* other = fresh.app->forms().Get<MainFRM>();
    ASSERT_EVENTUALLY_EQ(other->Caption(), QStringLiteral("Nimbrel - [Done Loading Document]"), kLoadTimeout);
    const QString before = ui(other).BrowserWindow->LocationURL();
    fresh.sound.played.clear();
    other->Back_Click();
    QTest::qWait(300);
    EXPECT_EQ(ui(other).BrowserWindow->LocationURL(), before);
    EXPECT_EQ(fresh.sound.played, QStringList{"/Click.WAV"});
    EXPECT_TRUE(ui(other).Back->PictureFile().endsWith("/BackUP.BMP"));
}

TEST_F(MainWindowEngine, StatusWindowFollowsTheRealViewAfterAResize)
{
    Go(server.url("/one"));
    auto* status = t->app->forms().Show<BrowserStatusFRM>();
    main->resize(900, 700);
    ASSERT_EVENTUALLY(ui(main).BrowserWindow->widget()->width() == Twips::toPixels(Twips::outerWidth(main) - 350), 5000);
    const QWidget* view = ui(main).BrowserWindow->widget();
    ASSERT_EVENTUALLY_EQ(ui(status).WidthQ->text(), QString::number(view->width()), 5000);
    ASSERT_EVENTUALLY_EQ(ui(status).HeightQ->text(), QString::number(view->height()), 5000);
    EXPECT_EQ(ui(status).LocationURLL->text(), server.url("/one"));
    EXPECT_EQ(ui(status).LocationName->text(), "Page One");

    // The shown window follows a new page, and a page that retitles itself
    // after its load, with nothing asked of it.
    server.page("/retitle", "<html><head><title>Before</title></head><body>"
                            "<script>setTimeout(() => document.title = 'After', 300);</script></body></html>");
    Go(server.url("/retitle"));
    ASSERT_EVENTUALLY_EQ(ui(status).LocationURLL->text(), server.url("/retitle"), 5000);
    ASSERT_EVENTUALLY_EQ(ui(status).LocationName->text(), QStringLiteral("After"), 5000);
}

TEST_F(MainWindowEngine, TheSwitchBlocksPagePopUpsButNotClickedLinks)
{
    server.page("/popup", "<html><body><script>window.open('/two', '_blank', 'width=300,height=200');</script>"
                          "<a id='l' href='/one' target='_blank' style='display:block;width:400px;height:200px'>link</a>"
                          "</body></html>");
    ui(main).BP->setChecked(true);
    Go(server.url("/popup"));
    QTest::qWait(1000);
    EXPECT_EQ(popupCount(), 0);
    EXPECT_FALSE(ui(main).AllowPopup);

    // A click of the user's on a link for a new window still opens it.
    QWidget* view = ui(main).BrowserWindow->widget();
    QWidget* input = view->focusProxy() ? view->focusProxy() : view;
    QTest::mouseClick(input, Qt::LeftButton, {}, QPoint(50, 50));
    ASSERT_EVENTUALLY_EQ(popupCount(), 1, kLoadTimeout);
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<PopupBrowserWindow*>(w))
            w->close();
    ASSERT_EVENTUALLY_EQ(popupCount(), 0, 5000);

    ui(main).BP->setChecked(false);
    main->RefreshR_Click();
    ASSERT_EVENTUALLY_EQ(popupCount(), 1, kLoadTimeout);
    EXPECT_TRUE(ui(main).AllowPopup);
}
