// A page never takes the browser from the user: its dialogs give way to the
// user's navigation, a renderer held up for good or ended gives way to the
// page the user asked for, and a page that stopped says so and comes back
// with Refresh.
#include "ports/BrowserControl.h"
#include "web/engine/CrashNotice.h"
#include "web/engine/PageDialog.h"
#include "web/engine/WebEngineBrowserFactory.h"
#include "support/EngineTest.h"
#include "support/Eventually.h"
#include "support/LocalHttpServer.h"
#include "support/TestMain.h"

#include <QApplication>
#include <QLabel>
#include <QStandardPaths>
#include <QTimer>
#include <QWebEngineView>
#include <gtest/gtest.h>
#include <csignal>
#include <memory>

namespace {

constexpr int kLoadTimeout = 20000;

class PageControlTest : public EngineTest {
protected:
    static void SetUpTestSuite()
    {
        QStandardPaths::setTestModeEnabled(true);
        TestMain::IgnoreWarnings(QStringLiteral("^crbug/1173575, non-JS module files deprecated\\.$"));
    }
    void SetUp() override
    {
        EngineTest::SetUp();
        server.page("/one", "<title>One</title><body>one</body>");
        server.page("/other", "<title>Other</title><body>other</body>");
    }
    static PageDialog* OpenDialog()
    {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<PageDialog*>(widget); dialog && dialog->isVisible())
                return dialog;
        return nullptr;
    }
    CrashNotice* Notice() const { return control->widget()->findChild<CrashNotice*>(); }
    QWebEnginePage* page() const { return static_cast<QWebEngineView*>(control->widget())->page(); }

    LocalHttpServer server;
};

}  // namespace

TEST_F(PageControlTest, NavigatingDismissesThePagesDialogAndEndsOnTheNewPage)
{
    server.page("/asks", "<title>Asks</title><script>setTimeout(() => alert('first'), 0)</script>");
    // The dialog waits in a loop of its own: what the user does meanwhile
    // comes from within it, as a timer's work does here.
    QString title;
    bool modal = true;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, &user, [&] {
        PageDialog* dialog = OpenDialog();
        if (!dialog)
            return;
        user.stop();
        title = dialog->windowTitle();
        modal = dialog->isModal() || QApplication::activeModalWidget();
        control->Navigate(server.url("/other"));
    });
    user.start(50);
    control->Navigate(server.url("/asks"));
    EXPECT_EVENTUALLY(control->LocationName() == "Other" && !control->Busy(), kLoadTimeout);
    EXPECT_EQ(title, "127.0.0.1 says");
    EXPECT_FALSE(modal);
    EXPECT_EQ(OpenDialog(), nullptr);
}

TEST_F(PageControlTest, ARendererHeldUpForGoodGivesWayToTheUsersNavigation)
{
    server.page("/busy", "<title>Busy</title><script>setTimeout(() => { for (;;) {} }, 100)</script>");
    control->Navigate(server.url("/busy"));
    ASSERT_EVENTUALLY(control->LocationName() == "Busy" && !control->Busy(), kLoadTimeout);
    QTest::qWait(300);  // the script is spinning now

    // The same site: the new page would wait for the spinning renderer.
    control->Navigate(server.url("/other"));
    EXPECT_EVENTUALLY(control->LocationName() == "Other", kLoadTimeout);
    EXPECT_EQ(Notice(), nullptr);
}

TEST_F(PageControlTest, AStoppedPageSaysSoUntilRefreshBringsItBack)
{
    control->Navigate(server.url("/one"));
    ASSERT_EVENTUALLY(control->LocationName() == "One" && !control->Busy(), kLoadTimeout);
    const int loads = server.hits("/one");
    ASSERT_GT(page()->renderProcessPid(), 0);
    ::kill(static_cast<pid_t>(page()->renderProcessPid()), SIGKILL);

    ASSERT_EVENTUALLY(Notice() != nullptr, kLoadTimeout);
    EXPECT_TRUE(Notice()->isVisible());
    EXPECT_TRUE(Notice()->Text().contains(server.url("/one"))) << Notice()->Text().toStdString();
    EXPECT_TRUE(Notice()->Text().contains("killed")) << Notice()->Text().toStdString();
    EXPECT_EQ(Notice()->geometry(), control->widget()->rect());
    QTest::qWait(1000);
    EXPECT_EQ(server.hits("/one"), loads) << "the page loaded again by itself";

    ASSERT_TRUE(control->Refresh());
    EXPECT_EVENTUALLY(Notice() == nullptr && server.hits("/one") == loads + 1 && !control->Busy(), kLoadTimeout);
    EXPECT_EQ(control->LocationName(), "One");
}
