#include "authoring/EditorFRM.h"
#include "authoring/HTMLVeiwerFRM.h"
#include "runtime/ImageControl.h"
#include "net/NetworkTransfer.h"
#include "runtime/Twips.h"
#include "support/LocalHttpServer.h"
#include "support/TestApp.h"
#include "support/WindowAccess.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

// A transfer that runs a step of the test while the fetch is "on the wire".
class ObservedTransfer final : public Transfer {
public:
    TransferResult OpenURL(const QString& address) override
    {
        addresses << address;
        if (during)
            during();
        return result;
    }
    std::function<void()> during;
    TransferResult result{true, QStringLiteral("<p>fetched</p>"), {}};
    QStringList addresses;
};

// The test program with its transfer replaced.
struct ViewerWith {
    explicit ViewerWith(Transfer& transfer)
        : services{t.sound, t.pictures, t.browsers, transfer, t.dialogs, t.process, t.random, t.messages},
          app(services, t.dir())
    {
    }
    TestApp t;
    Services services;
    App app;
};

}  // namespace

TEST(HtmlViewer, OpensWithWwwAnEmptySourceAndItsSound)
{
    TestApp t;
    HTMLVeiwerFRM* viewer = t.app->forms().Show<HTMLVeiwerFRM>();
    EXPECT_EQ(ui(viewer).URL->text(), "www.");
    EXPECT_TRUE(ui(viewer).HTML->toPlainText().isEmpty());
    EXPECT_EQ(viewer->Caption(), QStringLiteral("HTML Viewer") + QString(31, ' ') + "NB");
    EXPECT_EQ(t.log.entries(), QStringList({"sound /OpenWin.WAV", "picture /Main.BMP"}));
    EXPECT_EQ(viewer->size(), QSize(Twips::toPixels(8040), Twips::toPixels(6840)));
    EXPECT_EQ(viewer->minimumSize(), viewer->maximumSize());
    EXPECT_EQ(ui(viewer).VS->text(), "View Source");
    EXPECT_TRUE(ui(viewer).VS->font().bold());
    EXPECT_EQ(ui(viewer).OpenInEd->text(), "Open In Editor");
    EXPECT_EQ(ui(viewer).HTML->geometry(),
              QRect(Twips::toPixels(120), Twips::toPixels(480), Twips::toPixels(7815), Twips::toPixels(6255)));
}

TEST(HtmlViewer, ViewSourceAndEnterFetchTheAddressAsTyped)
{
    TestApp t;
    HTMLVeiwerFRM* viewer = t.app->forms().Show<HTMLVeiwerFRM>();
    t.log.Clear();
    ui(viewer).URL->setText("www.example.org");
    t.transfer.results.push_back({true, "<html>one</html>", {}});
    ui(viewer).VS->click();
    EXPECT_EQ(t.log.entries(), QStringList({"sound /Click.WAV", "transfer www.example.org"}));
    EXPECT_EQ(ui(viewer).HTML->toPlainText(), "<html>one</html>");
    EXPECT_TRUE(ui(viewer).VS->isEnabled());

    t.log.Clear();
    t.transfer.results.push_back({true, {}, {}});
    QTest::keyClick(ui(viewer).URL, Qt::Key_Return);
    EXPECT_EQ(t.log.entries(), QStringList({"sound /Click.WAV", "transfer www.example.org"}));
    EXPECT_TRUE(ui(viewer).HTML->toPlainText().isEmpty());  // empty content leaves the box empty

    t.log.Clear();
    QTest::keyClick(ui(viewer).URL, Qt::Key_A);
    EXPECT_TRUE(t.log.entries().isEmpty());
}

TEST(HtmlViewer, FailedFetchTellsTheUserAndLeavesNoPreviousSource)
{
    TestApp t;
    HTMLVeiwerFRM* viewer = t.app->forms().Show<HTMLVeiwerFRM>();
    t.transfer.results.push_back({true, "previous", {}});
    viewer->VS_Click();
    t.transfer.results.push_back({false, {}, "The host \"nowhere\" could not be found."});
    viewer->VS_Click();
    EXPECT_EQ(ui(viewer).HTML->toPlainText(), "");
    EXPECT_TRUE(ui(viewer).VS->isEnabled());
    EXPECT_EQ(t.messages.TextsOver(viewer), QStringList({"The host \"nowhere\" could not be found."}));
}

TEST(HtmlViewer, ViewSourceIsDisabledDuringTheFetchAndEnterCannotStartAnother)
{
    ObservedTransfer transfer;
    ViewerWith w(transfer);
    HTMLVeiwerFRM* viewer = w.app.forms().Show<HTMLVeiwerFRM>();
    bool enabledDuring = true;
    transfer.during = [&] {
        enabledDuring = ui(viewer).VS->isEnabled();
        QTest::keyClick(ui(viewer).URL, Qt::Key_Return);
    };
    viewer->VS_Click();
    EXPECT_FALSE(enabledDuring);
    EXPECT_EQ(transfer.addresses.size(), 1);
    EXPECT_EQ(w.t.sound.played, QStringList({"/OpenWin.WAV", "/Click.WAV"}));
    EXPECT_TRUE(ui(viewer).VS->isEnabled());
    EXPECT_EQ(ui(viewer).HTML->toPlainText(), "<p>fetched</p>");
}

TEST(HtmlViewer, ClosingTheWindowOrEndingTheProgramDuringAFetchIsSafe)
{
    ObservedTransfer transfer;
    ViewerWith w(transfer);
    QPointer<HTMLVeiwerFRM> viewer = w.app.forms().Show<HTMLVeiwerFRM>();
    transfer.during = [&] {
        viewer->Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };
    viewer->VS_Click();
    EXPECT_TRUE(viewer.isNull());

    QPointer<HTMLVeiwerFRM> again = w.app.forms().Show<HTMLVeiwerFRM>();
    transfer.during = [&] { w.app.EndProgram(); };
    again->VS_Click();
    ASSERT_FALSE(again.isNull());
    EXPECT_TRUE(ui(again).HTML->toPlainText().isEmpty());
    EXPECT_TRUE(w.t.messages.TextsOver(again.data()).isEmpty());
}

TEST(HtmlViewer, OpenInEditorHandsTheSourceOverEvenBeforeTheEditorExisted)
{
    TestApp t;
    HTMLVeiwerFRM* viewer = t.app->forms().Show<HTMLVeiwerFRM>();
    ASSERT_EQ(t.app->forms().Find<EditorFRM>(), nullptr);
    ui(viewer).HTML->setPlainText("<html>\n<p>from the web</p>\n</html>");
    t.log.Clear();
    ui(viewer).OpenInEd->click();
    EditorFRM* editor = t.app->forms().Find<EditorFRM>();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->Text(), "<html>\r\n<p>from the web</p>\r\n</html>");
    EXPECT_EQ(t.log.Filtered("sound "), QStringList({"sound /OpenWin.WAV"}));

    ui(viewer).HTML->setPlainText(QString());
    viewer->OpenInEd_Click();
    EXPECT_EQ(t.app->forms().Find<EditorFRM>(), editor);
    EXPECT_EQ(editor->Text(), "");
}

TEST(HtmlViewer, AFailedFetchLeavesNoEarlierSourceBehind)
{
    ObservedTransfer transfer;
    ViewerWith w(transfer);
    HTMLVeiwerFRM* viewer = w.app.forms().Show<HTMLVeiwerFRM>();
    ui(viewer).URL->setText("http://127.0.0.1:1/good");
    viewer->VS_Click();
    ASSERT_EQ(ui(viewer).HTML->toPlainText(), "<p>fetched</p>");

    transfer.result = TransferResult{false, {}, QStringLiteral("Connection refused")};
    ui(viewer).URL->setText("http://127.0.0.1:1/refused");
    viewer->VS_Click();
    EXPECT_EQ(ui(viewer).HTML->toPlainText(), "");
    EXPECT_EQ(ui(viewer).URL->text(), "http://127.0.0.1:1/refused");
    EXPECT_EQ(w.t.messages.TextsOver(viewer), QStringList({"Connection refused"}));

    // Open In Editor hands over nothing of the earlier page.
    viewer->OpenInEd_Click();
    EditorFRM* editor = w.app.forms().Find<EditorFRM>();
    ASSERT_NE(editor, nullptr);
    EXPECT_FALSE(editor->Text().contains("fetched"));
}

// The real transfer against a server that never answers: the wait is bounded,
// the window keeps handling events meanwhile, and the message says what happened.
TEST(HtmlViewer, AHangingServerTimesOutWhileTheWindowKeepsRunning)
{
    LocalHttpServer server;
    LocalHttpServer::Response hang;
    hang.behaviour = LocalHttpServer::Behaviour::Hang;
    server.route("/hang", hang);
    NetworkTransfer transfer(400);
    ViewerWith w(transfer);
    HTMLVeiwerFRM* viewer = w.app.forms().Show<HTMLVeiwerFRM>();
    ui(viewer).HTML->setPlainText("previous");
    ui(viewer).URL->setText(server.url("/hang"));

    int ticks = 0;
    bool disabledDuring = true;
    QTimer ticker;
    ticker.setInterval(20);
    QObject::connect(&ticker, &QTimer::timeout, viewer, [&] {
        ++ticks;
        disabledDuring = disabledDuring && !ui(viewer).VS->isEnabled();
    });
    ticker.start();
    QElapsedTimer clock;
    clock.start();
    viewer->VS_Click();
    ticker.stop();
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_GE(ticks, 5);
    EXPECT_TRUE(disabledDuring);
    EXPECT_TRUE(ui(viewer).VS->isEnabled());
    EXPECT_EQ(ui(viewer).HTML->toPlainText(), "");
    ASSERT_EQ(w.t.messages.TextsOver(viewer).size(), 1);
    EXPECT_TRUE(w.t.messages.TextsOver(viewer).at(0).contains("within 0.4 seconds")) << w.t.messages.TextsOver(viewer).at(0).toStdString();
}
