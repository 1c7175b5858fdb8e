// The editor's preview on the real engine: the written page is what the
// preview browser shows.
#include "authoring/EditorBrowserFRM.h"
#include "authoring/EditorFRM.h"
#include "ports/BrowserControl.h"
#include "web/engine/WebEngineBrowserFactory.h"
#include "support/Eventually.h"
#include "support/LocalHttpServer.h"
#include "support/TestApp.h"
#include "support/TestMain.h"
#include "support/WindowAccess.h"

#include <QComboBox>
#include <QStandardPaths>
#include <QTest>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <gtest/gtest.h>
#include <memory>

namespace {

constexpr int kLoadTimeout = 20000;

QVariant evaluate(QWebEnginePage* page, const QString& script)
{
    QVariant result;
    bool done = false;
    page->runJavaScript(script, [&](const QVariant& value) {
        result = value;
        done = true;
    });
    [&] { ASSERT_EVENTUALLY(done, kLoadTimeout); }();
    return result;
}

// The test program with the real engine in place of the scripted browser.
struct EngineApp {
    EngineApp() : factory(t.messages)
    {
        const Services services{t.sound, t.pictures, factory, t.transfer, t.dialogs, t.process, t.random, t.messages};
        app = std::make_unique<App>(services, t.dir());
    }
    ~EngineApp()
    {
        app.reset();  // the windows with their controls go before the engine
    }
    TestApp t;
    WebEngineBrowserFactory factory;
    std::unique_ptr<App> app;
};

}  // namespace

TEST(EditorPreviewEngine, PreviewShowsTheWrittenPageWithItsNameInTheCaption)
{
    QStandardPaths::setTestModeEnabled(true);
    TestMain::IgnoreWarnings(QStringLiteral("^crbug/1173575, non-JS module files deprecated\\.$"));
    EngineApp e;
    EditorFRM* editor = e.app->forms().Show<EditorFRM>();
    editor->Command2_Click();

    EditorBrowserFRM* preview = e.app->forms().Find<EditorBrowserFRM>();
    ASSERT_NE(preview, nullptr);
    ASSERT_EVENTUALLY_EQ(preview->Caption(), QStringLiteral("NB Editor - [Web Page ]"), kLoadTimeout);
    EXPECT_TRUE(ui(preview).BrowserWindow->LocationURL().endsWith("/Preview.html"))
        << ui(preview).BrowserWindow->LocationURL().toStdString();
    EXPECT_EQ(ui(preview).CBOAddress->itemText(0), ui(preview).BrowserWindow->LocationURL());

    // A changed page previewed again is what the browser shows.
    editor->SetText("<html><head><title>Second</title></head><body><h1 id=h>Changed</h1></body></html>");
    editor->Command2_Click();
    ASSERT_EVENTUALLY_EQ(preview->Caption(), QStringLiteral("NB Editor - [Second ]"), kLoadTimeout);
    auto* view = qobject_cast<QWebEngineView*>(ui(preview).BrowserWindow->widget());
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(evaluate(view->page(), "document.getElementById('h').textContent").toString(), "Changed");
    EXPECT_EQ(ui(preview).CBOAddress->count(), 1);  // the same address, recorded once
}

// The preview browser goes from the local preview to a web page and back
// through its history, Forward and Refresh included, while the web page
// still cannot read the local file.
TEST(EditorPreviewEngine, HistoryGoesBetweenThePreviewAndWebPagesBothWays)
{
    QStandardPaths::setTestModeEnabled(true);
    TestMain::IgnoreWarnings(QStringLiteral("^crbug/1173575, non-JS module files deprecated\\.$"));
    LocalHttpServer server;
    server.page("/web", "<title>Web</title><body>on the web</body>");
    EngineApp e;
    EditorFRM* editor = e.app->forms().Show<EditorFRM>();
    editor->SetText(QStringLiteral("<title>Local</title><a id=go href='%1'>go</a>").arg(server.url("/web")));
    editor->Command2_Click();
    EditorBrowserFRM* preview = e.app->forms().Find<EditorBrowserFRM>();
    ASSERT_NE(preview, nullptr);
    BrowserControl* browser = ui(preview).BrowserWindow;
    ASSERT_EVENTUALLY_EQ(preview->Caption(), QStringLiteral("NB Editor - [Local ]"), kLoadTimeout);
    auto* view = qobject_cast<QWebEngineView*>(browser->widget());
    ASSERT_NE(view, nullptr);

    // A link from the preview, then Back, Forward and Refresh.
    evaluate(view->page(), "document.getElementById('go').click()");
    ASSERT_EVENTUALLY_EQ(preview->Caption(), QStringLiteral("NB Editor - [Web ]"), kLoadTimeout);
    EXPECT_EQ(server.hits("/web"), 1);
    preview->TBToolBar_ButtonClick("Back");
    ASSERT_EVENTUALLY(preview->Caption().startsWith("NB Editor - [Local"), kLoadTimeout);
    preview->TBToolBar_ButtonClick("Forward");
    ASSERT_EVENTUALLY(preview->Caption().startsWith("NB Editor - [Web"), kLoadTimeout);
    // The page's text once it has loaded (the old document may still answer
    // while the new one loads).
    const auto shows = [&](const QString& text) {
        return !browser->Busy()
               && evaluate(view->page(), "document.body ? document.body.innerText : ''").toString() == text;
    };
    ASSERT_EVENTUALLY(shows("on the web"), kLoadTimeout);
    const int before = server.hits("/web");
    preview->TBToolBar_ButtonClick("Refresh");
    ASSERT_EVENTUALLY(server.hits("/web") > before, kLoadTimeout);
    ASSERT_EVENTUALLY(shows("on the web"), kLoadTimeout);

    // A typed address from the preview reaches the web as well.
    editor->Command2_Click();
    ASSERT_EVENTUALLY(preview->Caption().startsWith("NB Editor - [Local"), kLoadTimeout);
    browser->Navigate(server.url("/web"));
    ASSERT_EVENTUALLY(preview->Caption().startsWith("NB Editor - [Web"), kLoadTimeout);

    // The web page cannot read the preview file (the engine says so on its console).
    TestMain::IgnoreWarnings(QStringLiteral("^Not allowed to load local resource: file://"));
    const QString local = QUrl::fromLocalFile(editor->PreviewPath()).toString();
    evaluate(view->page(), QStringLiteral("window.readLocal = 'pending';"
                                          "fetch('%1').then(r => r.text()).then(t => window.readLocal = 'read: ' + t,"
                                          " () => window.readLocal = 'refused');").arg(local));
    ASSERT_EVENTUALLY(evaluate(view->page(), "window.readLocal").toString() != "pending", kLoadTimeout);
    EXPECT_EQ(evaluate(view->page(), "window.readLocal").toString(), "refused");
}
