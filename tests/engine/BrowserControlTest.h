#pragma once

// The fixture of the browser control tests: a control on the real engine in a
// window of its own, a local web server, and a recorder of the control's events.
#include "web/engine/PopupBrowserWindow.h"
#include "web/engine/WebEngineBrowser.h"
#include "web/engine/WebEngineBrowserFactory.h"
#include "support/Doubles.h"
#include "support/EngineTest.h"
#include "support/Eventually.h"
#include "support/LocalHttpServer.h"
#include "support/TestMain.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPointer>
#include <QTemporaryDir>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <gtest/gtest.h>
#include <memory>

constexpr int kLoadTimeout = 20000;

// Writes down every event of a control, with Busy as it stood at the time.
class EventRecorder : public QObject {
public:
    explicit EventRecorder(BrowserControl* control) : m_control(control)
    {
        connect(control, &BrowserControl::DownloadBegin, this, &EventRecorder::OnBegin);
        connect(control, &BrowserControl::ProgressChange, this, &EventRecorder::OnProgress);
        connect(control, &BrowserControl::NavigateComplete2, this, &EventRecorder::OnNavigate);
        connect(control, &BrowserControl::DownloadComplete, this, &EventRecorder::OnDownloadComplete);
        connect(control, &BrowserControl::DocumentComplete, this, &EventRecorder::OnDocument);
    }
    QStringList events;
    QList<bool> busy;
    // Names of the events alone ("progress" for every ProgressChange).
    QStringList kinds() const
    {
        QStringList out;
        for (const QString& e : events)
            out.append(e.section(QLatin1Char(' '), 0, 0));
        return out;
    }
    void clear()
    {
        events.clear();
        busy.clear();
    }

private:
    void Add(const QString& event)
    {
        events.append(event);
        busy.append(m_control->Busy());
    }
    void OnBegin() { Add(QStringLiteral("begin")); }
    void OnProgress(int p, int m) { Add(QStringLiteral("progress %1/%2").arg(p).arg(m)); }
    void OnNavigate(const QString& url) { Add(QStringLiteral("navigate ") + url); }
    void OnDownloadComplete() { Add(QStringLiteral("downloadcomplete")); }
    void OnDocument(const QString& url) { Add(QStringLiteral("document ") + url); }
    BrowserControl* m_control;
};

class BrowserControlTest : public EngineTest {
protected:
    BrowserControlTest() : EngineTest(QSize(800, 600)) {}

    static void SetUpTestSuite()
    {
        QStandardPaths::setTestModeEnabled(true);
        // The engine's own error and folder-listing pages log this to the console.
        TestMain::IgnoreWarnings(QStringLiteral("^crbug/1173575, non-JS module files deprecated\\.$"));
    }

    void SetUp() override
    {
        EngineTest::SetUp();
        recorder = std::make_unique<EventRecorder>(control);
    }
    void TearDown() override
    {
        recorder.reset();
        EngineTest::TearDown();
    }

    // Runs `call` and waits for the load it starts to end on DocumentComplete.
    template <typename Call>
    bool LoadWith(Call call)
    {
        QSignalSpy done(control, &BrowserControl::DocumentComplete);
        if (!call())
            return false;
        return done.wait(kLoadTimeout);
    }
    bool Load(const QString& address)
    {
        return LoadWith([&] { return control->Navigate(address); });
    }

    QWebEnginePage* page() const { return static_cast<QWebEngineView*>(control->widget())->page(); }

    // The centre of the element with id `id` in the page on show, in the
    // view's coordinates, once the page has been drawn: a page takes input only
    // then (a pointer event between the load's end and the first frame is
    // dropped), so this waits for two frames, the one holding the element on
    // the screen.
    QPoint CentreOf(const QString& id)
    {
        Evaluate(page(), QStringLiteral("window.framesDrawn = 0;"
                                        "requestAnimationFrame(() => requestAnimationFrame(() => window.framesDrawn = 2));"));
        [&] { ASSERT_EVENTUALLY(Evaluate(page(), QStringLiteral("window.framesDrawn")).toInt() == 2, kLoadTimeout); }();
        const QVariantList box = Evaluate(page(), QStringLiteral(
            "(function(){var r=document.getElementById('%1').getBoundingClientRect();"
            "return [r.left + r.width/2, r.top + r.height/2];})()").arg(id)).toList();
        [&] { ASSERT_EQ(box.size(), 2); }();
        return box.size() == 2 ? QPoint(box.at(0).toInt(), box.at(1).toInt()) : QPoint();
    }

    // The result of a script in the page, waited for.
    QVariant Evaluate(QWebEnginePage* target, const QString& script)
    {
        QVariant result;
        bool done = false;
        target->runJavaScript(script, [&](const QVariant& value) {
            result = value;
            done = true;
        });
        [&] { ASSERT_EVENTUALLY(done, kLoadTimeout); }();
        return result;
    }

    LocalHttpServer server;
    std::unique_ptr<EventRecorder> recorder;
};
