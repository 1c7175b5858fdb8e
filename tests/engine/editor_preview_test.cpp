// The editor's preview on the real engine: the written page is what the
// preview browser shows.
#include "authoring/EditorBrowserFRM.h"
#include "authoring/EditorFRM.h"
#include "platform/BrowserControl.h"
#include "platform/engine/WebEngineBrowserFactory.h"
#include "support/Eventually.h"
#include "support/TestApp.h"
#include "support/TestMain.h"

#include <QComboBox>
#include <QStandardPaths>
#include <QTest>
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
    EngineApp()
    {
        const Services services{t.sound, t.pictures, factory, t.transfer, t.dialogs, t.process, t.random};
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
    EXPECT_TRUE(preview->BrowserWindow()->LocationURL().endsWith("/Preview.html"))
        << preview->BrowserWindow()->LocationURL().toStdString();
    EXPECT_EQ(preview->CBOAddress->itemText(0), preview->BrowserWindow()->LocationURL());

    // A changed page previewed again is what the browser shows.
    editor->SetText("<html><head><title>Second</title></head><body><h1 id=h>Changed</h1></body></html>");
    editor->Command2_Click();
    ASSERT_EVENTUALLY_EQ(preview->Caption(), QStringLiteral("NB Editor - [Second ]"), kLoadTimeout);
    auto* view = qobject_cast<QWebEngineView*>(preview->BrowserWindow()->widget());
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(evaluate(view->page(), "document.getElementById('h').textContent").toString(), "Changed");
    EXPECT_EQ(preview->CBOAddress->count(), 1);  // the same address, recorded once
}
