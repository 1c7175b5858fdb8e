// The browser control on the real engine, against pages served on 127.0.0.1.
#include "engine/BrowserControlTest.h"

namespace {

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

}  // namespace
