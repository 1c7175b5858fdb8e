// The browser control on the real engine, against pages served on 127.0.0.1.
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

namespace {

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

TEST_F(BrowserControlTest, PageLoadRaisesEventsInOrderEndingOnDocumentComplete)
{
    server.page("/one", "<html><head><title>First Page</title></head><body>one</body></html>");
    EXPECT_TRUE(control->LocationURL().isEmpty());
    EXPECT_FALSE(control->Busy());

    ASSERT_TRUE(Load(server.url("/one")));
    QTest::qWait(300);  // nothing may follow DocumentComplete

    const QStringList kinds = recorder->kinds();
    ASSERT_FALSE(kinds.isEmpty());
    EXPECT_EQ(kinds.first(), "begin") << recorder->events.join(" | ").toStdString();
    EXPECT_EQ(kinds.last(), "document") << recorder->events.join(" | ").toStdString();
    EXPECT_EQ(kinds.count("begin"), 1);
    EXPECT_EQ(kinds.count("navigate"), 1);
    EXPECT_EQ(kinds.count("downloadcomplete"), 1);
    EXPECT_EQ(kinds.count("document"), 1);
    const qsizetype progress = kinds.indexOf("progress");
    const qsizetype navigate = kinds.indexOf("navigate");
    const qsizetype downloaded = kinds.indexOf("downloadcomplete");
    EXPECT_LT(0, progress);
    EXPECT_LT(progress, navigate);
    EXPECT_LT(navigate, downloaded);
    // The last progress report is the end-of-load -1, just before DownloadComplete.
    EXPECT_EQ(recorder->events.at(downloaded - 1), "progress -1/100");
    EXPECT_EQ(recorder->events.last(), "document " + server.url("/one"));

    // Busy while the load runs, not once it has completed.
    EXPECT_TRUE(recorder->busy.first());
    EXPECT_TRUE(recorder->busy.at(navigate));
    EXPECT_FALSE(recorder->busy.at(downloaded));
    EXPECT_FALSE(control->Busy());

    EXPECT_EQ(control->LocationName(), "First Page");
    EXPECT_EQ(control->LocationURL(), server.url("/one"));
}

TEST_F(BrowserControlTest, BusyFromTheMomentALoadIsAskedFor)
{
    server.page("/one", "<html><head><title>First Page</title></head><body>one</body></html>");
    server.page("/two", "<html><head><title>Second Page</title></head><body>two</body></html>");
    // A caller that polls right after asking (before any event has run) sees it busy.
    ASSERT_TRUE(control->Navigate(server.url("/one")));
    EXPECT_TRUE(control->Busy());
    ASSERT_EVENTUALLY(recorder->kinds().contains("document"), 20000);
    EXPECT_FALSE(control->Busy());
    recorder->events.clear();
    ASSERT_TRUE(control->Navigate(server.url("/two")));
    ASSERT_EVENTUALLY(recorder->kinds().contains("document"), 20000);
    recorder->events.clear();
    ASSERT_TRUE(control->GoBack());
    EXPECT_TRUE(control->Busy());
    ASSERT_EVENTUALLY(recorder->kinds().contains("document"), 20000);
    EXPECT_FALSE(control->Busy());
}

TEST_F(BrowserControlTest, FailedLoadsStillEndOnDocumentComplete)
{
    LocalHttpServer::Response reset;
    reset.behaviour = LocalHttpServer::Behaviour::Reset;
    server.route("/reset", reset);

    for (const QString& path : {QStringLiteral("/reset"), QStringLiteral("/missing")}) {
        recorder->clear();
        ASSERT_TRUE(Load(server.url(path))) << path.toStdString();
        const QStringList kinds = recorder->kinds();
        EXPECT_EQ(kinds.first(), "begin") << recorder->events.join(" | ").toStdString();
        EXPECT_EQ(kinds.last(), "document") << recorder->events.join(" | ").toStdString();
        EXPECT_EQ(kinds.count("navigate"), 1);
        EXPECT_FALSE(control->Busy());
        EXPECT_EQ(server.hits(path), 1);
    }
    // A page without a title is named by its address.
    EXPECT_EQ(control->LocationURL(), server.url("/missing"));
    EXPECT_FALSE(control->LocationName().isEmpty());
}

// Every DownloadBegin is closed by a DocumentComplete before the next one.
bool Balanced(const QStringList& kinds)
{
    bool open = false;
    for (const QString& kind : kinds) {
        if (kind == "begin") {
            if (open)
                return false;
            open = true;
        } else if (kind == "document") {
            if (!open)
                return false;
            open = false;
        }
    }
    return !open;
}

TEST_F(BrowserControlTest, StoppedAndReplacedLoadsCloseTheirSequence)
{
    LocalHttpServer::Response hang;
    hang.behaviour = LocalHttpServer::Behaviour::Hang;
    server.route("/hang", hang);
    server.page("/one", "<title>First Page</title>one");

    QSignalSpy begun(control, &BrowserControl::DownloadBegin);
    ASSERT_TRUE(control->Navigate(server.url("/hang")));
    ASSERT_TRUE(begun.wait(kLoadTimeout));
    ASSERT_EVENTUALLY_EQ(server.hits("/hang"), 1, kLoadTimeout);
    EXPECT_TRUE(control->Busy());
    ASSERT_TRUE(LoadWith([&] { return control->Stop(); }));
    EXPECT_FALSE(control->Busy());
    EXPECT_TRUE(Balanced(recorder->kinds())) << recorder->events.join(" | ").toStdString();

    // A new address while a load hangs replaces that load.
    recorder->clear();
    ASSERT_TRUE(control->Navigate(server.url("/hang")));
    ASSERT_EVENTUALLY_EQ(server.hits("/hang"), 2, kLoadTimeout);
    ASSERT_TRUE(control->Navigate(server.url("/one")));
    ASSERT_EVENTUALLY_EQ(recorder->events.value(recorder->events.size() - 1), "document " + server.url("/one"),
                              kLoadTimeout);
    QTest::qWait(300);
    EXPECT_TRUE(Balanced(recorder->kinds())) << recorder->events.join(" | ").toStdString();
    EXPECT_EQ(recorder->events.last(), "document " + server.url("/one"));
    EXPECT_EQ(control->LocationName(), "First Page");
    EXPECT_FALSE(control->Busy());
}

TEST(BrowserFactoryTest, EngineStartsWithTheFirstControlInAPersistentProfile)
{
    QStandardPaths::setTestModeEnabled(true);
    RecordingMessages messages;
    WebEngineBrowserFactory factory(messages);
    EXPECT_EQ(factory.profile(), nullptr);
    {
        QWidget host;
        factory.Create(&host);
        QWebEngineProfile* profile = factory.profile();
        ASSERT_NE(profile, nullptr);
        EXPECT_EQ(profile->storageName(), "nimbrel");
        EXPECT_FALSE(profile->isOffTheRecord());
        const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        EXPECT_TRUE(profile->persistentStoragePath().startsWith(data)) << profile->persistentStoragePath().toStdString();
        const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
        EXPECT_TRUE(profile->cachePath().startsWith(cache)) << profile->cachePath().toStdString();
        EXPECT_EQ(profile->persistentStoragePath().count("nimbrel", Qt::CaseInsensitive),
                  data.count("nimbrel", Qt::CaseInsensitive));  // the engine's folder adds no second name
        // A second control shares the profile.
        factory.Create(&host);
        EXPECT_EQ(factory.profile(), profile);
    }
    // The factory goes after the windows; Qt warns if a page outlived its profile.
}

TEST_F(BrowserControlTest, RefusedOperationsAreReportedAndChangeNothing)
{
    EXPECT_FALSE(control->GoBack());
    EXPECT_FALSE(control->GoForward());
    EXPECT_FALSE(control->Refresh());
    EXPECT_FALSE(control->Navigate(QString()));
    EXPECT_FALSE(control->Navigate(QStringLiteral("   ")));
    EXPECT_FALSE(control->Navigate(QStringLiteral("http://exa mple.org/")));
    EXPECT_FALSE(control->Navigate(QStringLiteral("http://")));
    QTest::qWait(200);
    EXPECT_TRUE(recorder->events.isEmpty()) << recorder->events.join(" | ").toStdString();
    EXPECT_TRUE(control->LocationURL().isEmpty());
    EXPECT_FALSE(control->Busy());
}

TEST_F(BrowserControlTest, BackAndForwardMoveThroughTheControlsOwnHistory)
{
    server.page("/one", "<title>First Page</title>one");
    server.page("/two", "<title>Second Page</title>two");
    ASSERT_TRUE(Load(server.url("/one")));
    EXPECT_FALSE(control->GoBack());
    ASSERT_TRUE(Load(server.url("/two")));
    EXPECT_FALSE(control->GoForward());

    recorder->clear();
    ASSERT_TRUE(LoadWith([&] { return control->GoBack(); }));
    EXPECT_EQ(control->LocationURL(), server.url("/one"));
    EXPECT_EQ(control->LocationName(), "First Page");
    EXPECT_EQ(recorder->kinds().first(), "begin");
    EXPECT_FALSE(control->GoBack());

    ASSERT_TRUE(LoadWith([&] { return control->GoForward(); }));
    EXPECT_EQ(control->LocationURL(), server.url("/two"));
    EXPECT_EQ(control->LocationName(), "Second Page");
    EXPECT_FALSE(control->GoForward());

    const int fetched = server.hits("/two");
    ASSERT_TRUE(LoadWith([&] { return control->Refresh(); }));
    EXPECT_EQ(server.hits("/two"), fetched + 1);
    EXPECT_EQ(control->LocationURL(), server.url("/two"));
}

TEST_F(BrowserControlTest, AddressesAreReadAsTheUserTypedThem)
{
    EXPECT_EQ(WebEngineBrowser::AddressToUrl("www.example.org"), QUrl("http://www.example.org"));
    EXPECT_EQ(WebEngineBrowser::AddressToUrl("https://example.org/a?b=c"), QUrl("https://example.org/a?b=c"));
    EXPECT_EQ(WebEngineBrowser::AddressToUrl("about:blank"), QUrl("about:blank"));
    EXPECT_FALSE(WebEngineBrowser::AddressToUrl("").isValid());
    EXPECT_FALSE(WebEngineBrowser::AddressToUrl(" \t").isValid());
#ifndef Q_OS_WIN
    EXPECT_EQ(WebEngineBrowser::AddressToUrl("C:\\"), QUrl("file:///"));
    EXPECT_EQ(WebEngineBrowser::AddressToUrl("c:/usr/share"), QUrl("file:///usr/share"));
    EXPECT_EQ(WebEngineBrowser::AddressToUrl("D:\\usr\\My Files\\a.htm"), QUrl::fromLocalFile("/usr/My Files/a.htm"));
    EXPECT_EQ(WebEngineBrowser::AddressToUrl("/tmp/Preview.html"), QUrl::fromLocalFile("/tmp/Preview.html"));
#endif
}

TEST_F(BrowserControlTest, DrivePathShowsTheRootFolder)
{
    ASSERT_TRUE(Load(QStringLiteral("C:\\")));
    EXPECT_EQ(control->LocationURL(), QUrl::fromLocalFile(QDir::rootPath()).toString());
    const QString text = Evaluate(page(), QStringLiteral("document.body ? document.body.innerText : ''")).toString();
    EXPECT_EQ(control->LocationName(), "Index of /");
    // The listing names what the root holds.
    for (const QString& entry : QDir::root().entryList(QDir::Dirs | QDir::NoDotAndDotDot).mid(0, 3))
        EXPECT_TRUE(text.contains(entry)) << entry.toStdString();
    QDir().mkpath(QStringLiteral("/tmp/shots"));
    host->grab().save(QStringLiteral("/tmp/shots/engine-drive-root.png"));
}

TEST_F(BrowserControlTest, LocalFileOpensByItsPath)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Preview.html"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<title>Local Preview</title><p>hello");
    file.close();
    ASSERT_TRUE(Load(path));
    EXPECT_EQ(control->LocationName(), "Local Preview");
    EXPECT_EQ(control->LocationURL(), QUrl::fromLocalFile(path).toString());
}

// A page from a local file shows what lies beside it but reads nothing: not
// the files beside it, not another site's page, whichever way it asks.
TEST_F(BrowserControlTest, LocalPageShowsItsPictureButReadsNoOtherFileOrSite)
{
    server.page("/private", "SITE-PRIVATE");
    QTemporaryDir dir;
    QFile secret(dir.filePath(QStringLiteral("secret.txt")));
    ASSERT_TRUE(secret.open(QIODevice::WriteOnly));
    secret.write("FILE-SECRET");
    secret.close();
    QImage picture(16, 16, QImage::Format_RGB32);
    picture.fill(Qt::magenta);
    ASSERT_TRUE(picture.save(dir.filePath(QStringLiteral("pic.bmp")), "BMP"));
    QFile page(dir.filePath(QStringLiteral("page.html")));
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.write(QStringLiteral(
        "<title>Local</title><img id=pic src='pic.bmp'><script>"
        "window.read = []; window.pending = 0;"
        "function got(how, text) { window.read.push(how + ': ' + text); window.pending--; }"
        "for (const target of ['secret.txt', '%1', '%2']) {"
        "  window.pending += 3;"
        "  fetch(target).then(r => r.text()).then(t => got('fetch', t), () => got('fetch', 'refused'));"
        "  const xhr = new XMLHttpRequest();"
        "  xhr.onload = () => got('xhr', xhr.responseText); xhr.onerror = () => got('xhr', 'refused');"
        "  xhr.open('GET', target); xhr.send();"
        "  const frame = document.createElement('iframe');"
        "  let settled = false;"
        "  const frameGot = text => { if (!settled) { settled = true; got('frame', text); } };"
        "  frame.onload = () => { try { frameGot(frame.contentDocument.body.innerText); }"
        "                         catch (e) { frameGot('refused'); } };"
        "  setTimeout(() => frameGot('never loaded'), 3000);"
        "  frame.src = target; document.body.appendChild(frame);"
        "}</script>").arg(QUrl::fromLocalFile(secret.fileName()).toString(), server.url("/private")).toUtf8());
    page.close();

    TestMain::IgnoreWarnings(QStringLiteral("Access to (XMLHttpRequest|fetch) at .* has been blocked by CORS policy"));
    TestMain::IgnoreWarnings(QStringLiteral("^(Fetch API cannot load|Not allowed to load local resource)"));
    TestMain::IgnoreWarnings(QStringLiteral("^Blocked a frame with origin"));
    TestMain::IgnoreWarnings(QStringLiteral("Failed to load resource|net::ERR_FAILED"));
    ASSERT_TRUE(Load(page.fileName()));
    ASSERT_EVENTUALLY(Evaluate(this->page(), QStringLiteral("window.pending")).toInt() == 0, kLoadTimeout);
    const QStringList read = Evaluate(this->page(), QStringLiteral("window.read")).toStringList();
    EXPECT_EQ(read.size(), 9);
    for (const QString& result : read) {
        EXPECT_FALSE(result.contains(QLatin1String("FILE-SECRET"))) << result.toStdString();
        EXPECT_FALSE(result.contains(QLatin1String("SITE-PRIVATE"))) << result.toStdString();
    }
    ASSERT_EVENTUALLY(Evaluate(this->page(), QStringLiteral("document.getElementById('pic').complete")).toBool(), kLoadTimeout);
    EXPECT_EQ(Evaluate(this->page(), QStringLiteral("document.getElementById('pic').naturalWidth")).toInt(), 16);
}

// Pop-ups: a NewWindow2 handler that refuses what no click asked for, as the
// main window does with its switch checked, or lets every window through.
TEST_F(BrowserControlTest, StatusTextIsRaisedWhenItChangesNotWithEveryPage)
{
    server.page("/one", "<title>One</title><body>one</body>");
    server.page("/two", "<title>Two</title><body style='margin:0'>"
                        "<a id='l' href='/one' style='display:block;width:300px;height:120px'>one</a></body>");
    QWidget* input = control->widget()->focusProxy();
    ASSERT_NE(input, nullptr);
    // The pointer off every link, over the view.
    QTest::mouseMove(input, QPoint(400, 500));
    QSignalSpy status(control, &BrowserControl::StatusTextChange);
    ASSERT_TRUE(Load(server.url("/one")));
    ASSERT_TRUE(Load(server.url("/two")));
    ASSERT_TRUE(Load(server.url("/one")));
    ASSERT_TRUE(Load(server.url("/two")));
    QTest::qWait(300);
    // The engine clears the hovered link with each page; with none under the
    // pointer the status text stayed empty all along.
    EXPECT_EQ(status.size(), 0) << (status.isEmpty() ? "" : status.first().at(0).toString().toStdString());

    // Onto the link and off it: two changes, each raised once.
    QPoint at;
    ASSERT_NO_FATAL_FAILURE(at = CentreOf(QStringLiteral("l")));
    QTest::mouseMove(input, at);
    ASSERT_EVENTUALLY(status.size() == 1, kLoadTimeout);
    EXPECT_EQ(status.at(0).at(0).toString(), server.url("/one"));
    QTest::mouseMove(input, at + QPoint(10, 0));
    QTest::mouseMove(input, QPoint(400, 500));
    ASSERT_EVENTUALLY(status.size() == 2, kLoadTimeout);
    QTest::qWait(300);
    EXPECT_EQ(status.size(), 2);
    EXPECT_EQ(status.at(1).at(0).toString(), QString());

    // A page shown while the pointer rests on a link clears the text: a change.
    QTest::mouseMove(input, at);
    ASSERT_EVENTUALLY(status.size() == 3, kLoadTimeout);
    ASSERT_TRUE(Load(server.url("/one")));
    ASSERT_EVENTUALLY(status.size() == 4, kLoadTimeout);
    EXPECT_EQ(status.at(3).at(0).toString(), QString());
}

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
