// Windows a page opens, on the real engine: scripted ones as the handler allows,
// links the user clicks always, and the pop-up window's caption.
#include "engine/BrowserControlTest.h"

namespace {

class NewWindowTest : public BrowserControlTest {
protected:
    void SetUp() override
    {
        BrowserControlTest::SetUp();
        QObject::connect(control, &BrowserControl::NewWindow2, control, [this](NewWindowRequest& request) {
            offers.append(request);
            if (blockScripted && !request.userInitiated)
                request.cancel = true;
        });
        server.page("/popup", "<title>Popup</title><body style='background:#036;color:#fff;font:40px sans-serif'>popup</body>");
        server.page("/opener", "<title>Opener</title><script>window.open('/popup', '_blank', 'width=300,height=200');</script>");
    }
    void TearDown() override
    {
        offers.clear();
        BrowserControlTest::TearDown();
    }
    bool blockScripted = false;
    QList<NewWindowRequest> offers;
};

TEST_F(NewWindowTest, ScriptedWindowIsRefusedWhenTheHandlerCancels)
{
    blockScripted = true;
    ASSERT_TRUE(Load(server.url("/opener")));
    ASSERT_EVENTUALLY_EQ(offers.size(), 1, kLoadTimeout);
    EXPECT_FALSE(offers.first().userInitiated);
    EXPECT_EQ(offers.first().url, server.url("/popup"));
    QTest::qWait(500);
    EXPECT_TRUE(factory->windows().isEmpty());
    EXPECT_EQ(server.hits("/popup"), 0);
}

TEST_F(NewWindowTest, ScriptedWindowOpensInAWindowOfItsOwnWhenAllowed)
{
    ASSERT_TRUE(Load(server.url("/opener")));
    ASSERT_EVENTUALLY_EQ(factory->windows().size(), 1, kLoadTimeout);
    PopupBrowserWindow* window = factory->windows().first();
    // The caption names the page and shows where it comes from.
    ASSERT_EVENTUALLY_EQ(window->windowTitle(), "Popup - " + server.url("/popup"), kLoadTimeout);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->size(), QSize(300, 200));  // as the script asked
    EXPECT_EQ(Evaluate(window->view()->page(), QStringLiteral("document.body.innerText")).toString(), "popup");
    EXPECT_EQ(server.hits("/popup"), 1);
    EXPECT_EQ(offers.size(), 1);
    // The opener keeps its own page.
    EXPECT_EQ(control->LocationName(), "Opener");

    const QPointer<PopupBrowserWindow> guard(window);
    window->close();
    ASSERT_EVENTUALLY(guard.isNull(), kLoadTimeout);
    EXPECT_TRUE(factory->windows().isEmpty());
}

TEST(PopupCaption, ShowsTitleAndAddressOrTheAddressAlone)
{
    const QUrl url(QStringLiteral("http://127.0.0.1:8080/a?b"));
    EXPECT_EQ(PopupBrowserWindow::Caption("Bank", url), "Bank - http://127.0.0.1:8080/a?b");
    EXPECT_EQ(PopupBrowserWindow::Caption("", url), "http://127.0.0.1:8080/a?b");
    EXPECT_EQ(PopupBrowserWindow::Caption("http://127.0.0.1:8080/a?b", url), "http://127.0.0.1:8080/a?b");
    EXPECT_EQ(PopupBrowserWindow::Caption("Blank", QUrl()), "Blank");
}

TEST_F(NewWindowTest, WindowsThatAPopUpOpensAreOfferedToTheSameHandler)
{
    // The handler lets "/chain" through but refuses the window it opens in turn.
    server.page("/chain", "<title>Chain</title><script>window.open('/popup');</script>");
    server.page("/chainer", "<title>Chainer</title><script>window.open('/chain');</script>");
    QObject::connect(control, &BrowserControl::NewWindow2, control, [](NewWindowRequest& request) {
        if (!request.url.endsWith("/chain"))
            request.cancel = true;
    });
    ASSERT_TRUE(Load(server.url("/chainer")));
    ASSERT_EVENTUALLY_EQ(offers.size(), 2, kLoadTimeout);
    EXPECT_TRUE(offers.at(1).url.endsWith("/popup"));
    QTest::qWait(500);
    EXPECT_EQ(factory->windows().size(), 1);
    EXPECT_EQ(server.hits("/chain"), 1);
    EXPECT_EQ(server.hits("/popup"), 0);
}

TEST_F(NewWindowTest, LinkTheUserClicksOpensEvenWhenScriptedWindowsAreRefused)
{
    blockScripted = true;
    server.page("/links", "<title>Links</title><body style='margin:0'>"
                          "<a id='l' href='/popup' target='_blank' "
                          "style='display:block;width:300px;height:120px;background:#c00'>open</a></body>");
    ASSERT_TRUE(Load(server.url("/links")));
    QPoint at;
    ASSERT_NO_FATAL_FAILURE(at = CentreOf(QStringLiteral("l")));

    QWidget* input = control->widget()->focusProxy();
    ASSERT_NE(input, nullptr);
    // Pointing at the link reports its address as status text.
    QSignalSpy status(control, &BrowserControl::StatusTextChange);
    // Qt drops a move to where the pointer already is (an earlier test may
    // have left it on this very spot), so it first goes somewhere else.
    QTest::mouseMove(input, at + QPoint(0, 200));
    QTest::qWait(50);
    status.clear();
    QTest::mouseMove(input, at);
    ASSERT_EVENTUALLY(!status.isEmpty(), kLoadTimeout);
    EXPECT_EQ(status.last().at(0).toString(), server.url("/popup"));

    // A press and a release apart, as a hand makes them.
    QTest::mousePress(input, Qt::LeftButton, {}, at);
    QTest::qWait(50);
    QTest::mouseRelease(input, Qt::LeftButton, {}, at);

    ASSERT_EVENTUALLY_EQ(factory->windows().size(), 1, kLoadTimeout);
    ASSERT_EQ(offers.size(), 1);
    EXPECT_TRUE(offers.first().userInitiated);
    ASSERT_EVENTUALLY_EQ(server.hits("/popup"), 1, kLoadTimeout);
    PopupBrowserWindow* window = factory->windows().first();
    ASSERT_EVENTUALLY_EQ(window->windowTitle(), "Popup - " + server.url("/popup"), kLoadTimeout);
    EXPECT_EQ(Evaluate(window->view()->page(), QStringLiteral("document.body.innerText")).toString(), "popup");
    EXPECT_EQ(control->LocationName(), "Links");
    QTest::qWait(300);  // let the compositor paint before the picture is taken
    window->grab().save(QStringLiteral("/tmp/shots/engine-popup.png"));
    // The window stays open: the factory closes it when it shuts the profile down.
}

}  // namespace
