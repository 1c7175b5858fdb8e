// What pages ask of their browser, answered by the real engine's control:
// sign-in, permissions and notifications, the whole screen, printing and the
// clipboard. The dialogs are answered as a user would, through their fields
// and buttons, by a timer, since a sign-in waits for its answer in a local
// event loop of its own.
#include "web/requests/FullScreenWindow.h"
#include "web/engine/PageDialog.h"
#include "web/requests/SignInRequests.h"
#include "web/engine/WebEngineBrowserFactory.h"
#include "support/Doubles.h"
#include "support/EngineTest.h"
#include "support/Eventually.h"
#include "support/LocalHttpServer.h"
#include "support/TestMain.h"
#include "support/UserInput.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

constexpr int kTimeout = 20000;

template <class Window>
Window* VisibleWindow(const QString& title = QString())
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<Window*>(widget))
            if (window->isVisible() && (title.isEmpty() || window->windowTitle() == title))
                return window;
    return nullptr;
}

QString TextOf(const PageDialog& dialog)
{
    QStringList texts;
    for (const QLabel* label : dialog.findChildren<QLabel*>())
        texts.append(label->text());
    return texts.join(QLatin1Char('\n'));
}

QLineEdit* Field(const PageDialog& dialog, const QString& name)
{
    for (QLineEdit* field : dialog.findChildren<QLineEdit*>())
        if (field->accessibleName() == name)
            return field;
    return nullptr;
}

// Answers the dialogs of one title as they come up, one scripted answer each,
// and keeps what each of them said.
class Answerer : public QObject {
public:
    using Answer = std::function<void(PageDialog&)>;
    explicit Answerer(QString title) : m_title(std::move(title))
    {
        connect(&m_timer, &QTimer::timeout, this, &Answerer::Tick);
        m_timer.start(50);
    }
    void Then(const Answer& answer) { m_answers.push_back(answer); }
    bool done() const { return m_answers.empty(); }
    QStringList texts;

private:
    void Tick()
    {
        PageDialog* dialog = VisibleWindow<PageDialog>(m_title);
        if (!dialog || m_answers.empty())
            return;
        texts.append(TextOf(*dialog));
        const Answer answer = m_answers.front();
        m_answers.pop_front();
        answer(*dialog);
    }

    QString m_title;
    QTimer m_timer;
    std::deque<Answer> m_answers;
};

Answerer::Answer SignIn(const QString& user, const QString& password)
{
    return [user, password](PageDialog& dialog) {
        QLineEdit* name = Field(dialog, QStringLiteral("User name:"));
        QLineEdit* secret = Field(dialog, QStringLiteral("Password:"));
        ASSERT_TRUE(name && secret);
        EXPECT_EQ(secret->echoMode(), QLineEdit::Password);
        name->setText(user);
        secret->setText(password);
        dialog.accept();
    };
}
void Accept(PageDialog& dialog) { dialog.accept(); }
void Decline(PageDialog& dialog) { dialog.reject(); }

class PageRequestsTest : public EngineTest {
protected:
    // The profile lies in the home folder; this program gets one of its own.
    static void SetUpTestSuite() { UseOwnHome(); }
    static void TearDownTestSuite() { LeaveOwnHome(); }


    QWebEngineView* view() const { return qobject_cast<QWebEngineView*>(control->widget()); }
    // The control's page, wherever it is shown. (Asking a view that has lent
    // its page out would give a blank page of its own.)
    QWebEnginePage* page() const { return control->widget()->findChild<QWebEnginePage*>(); }
    QString title() const { return control->LocationName(); }

    bool Load(const QString& path)
    {
        QSignalSpy done(control, &BrowserControl::DocumentComplete);
        if (!control->Navigate(server.url(path)))
            return false;
        return NIMBREL_WAIT_FOR(!done.isEmpty(), kTimeout);
    }
    // A click in the middle of whatever view shows the page now, repeated
    // until `happened` holds: a page just shown may not take a click while
    // the engine is still setting up its view.
    template <class Predicate>
    bool ClickPageUntil(Predicate happened)
    {
        for (int attempt = 0; attempt < 5; ++attempt) {
            QWebEngineView* showing = QWebEngineView::forPage(page());
            QWidget* input = showing->focusProxy() ? showing->focusProxy() : showing;
            QTest::mouseClick(input, Qt::LeftButton, {}, input->rect().center());
            if (NIMBREL_WAIT_FOR(happened(), 2000))
                return true;
        }
        return false;
    }

    LocalHttpServer server;
};

TEST_F(PageRequestsTest, SignInRetriesWithWhatTheUserTypedAndGivesUpAfterThreeWrongTries)
{
    server.page("/private", "<title>Secret</title><body>inside</body>");
    server.protect("/private", "Staff room", "ann", "s3cret");
    const QString dialogTitle = QStringLiteral("Sign in - 127.0.0.1");

    // A wrong password first, then the right one: the page comes.
    Answerer answers(dialogTitle);
    answers.Then(SignIn("ann", "wrong"));
    answers.Then(SignIn("ann", "s3cret"));
    ASSERT_TRUE(Load("/private"));
    EXPECT_EQ(title(), QStringLiteral("Secret"));
    ASSERT_EQ(answers.texts.size(), 2);
    EXPECT_TRUE(answers.texts[0].contains("The site 127.0.0.1 asks you to sign in.")) << answers.texts[0].toStdString();
    EXPECT_TRUE(answers.texts[0].contains("\"Staff room\""));
    EXPECT_FALSE(answers.texts[0].contains("not accepted"));
    EXPECT_TRUE(answers.texts[1].contains("not accepted"));
    const QList<QByteArray> sent = server.authorizations("/private");
    ASSERT_FALSE(sent.isEmpty());
    EXPECT_EQ(sent.last(), "Basic " + QByteArray("ann:s3cret").toBase64());
    EXPECT_TRUE(sent.contains("Basic " + QByteArray("ann:wrong").toBase64()));

    // (The engine now signs in to that realm by itself; the rest asks for others.)
    // Cancel shows the server's own page at once.
    server.page("/office", "<title>Office</title>");
    server.protect("/office", "Office", "bob", "0ffice");
    Answerer cancel(dialogTitle);
    cancel.Then(Decline);
    ASSERT_TRUE(Load("/office"));
    EXPECT_EQ(title(), QStringLiteral("Denied"));
    EXPECT_EQ(cancel.texts.size(), 1);

    // Wrong every time: asked three times, then the server's page.
    server.page("/vault", "<title>Vault</title>");
    server.protect("/vault", "Vault", "cy", "v4ult");
    Answerer wrong(dialogTitle);
    for (int i = 0; i < SignInRequests::kAttempts + 1; ++i)
        wrong.Then(SignIn("ann", "nope"));
    ASSERT_TRUE(Load("/vault"));
    EXPECT_EQ(title(), QStringLiteral("Denied"));
    EXPECT_EQ(wrong.texts.size(), SignInRequests::kAttempts);
    EXPECT_EQ(server.authorizations("/vault").size(), 1 + SignInRequests::kAttempts);
    EXPECT_EQ(VisibleWindow<PageDialog>(), nullptr);

    // Each load has its own tries.
    Answerer later(dialogTitle);
    later.Then(SignIn("cy", "v4ult"));
    ASSERT_TRUE(Load("/vault"));
    EXPECT_EQ(title(), QStringLiteral("Vault"));
}

TEST_F(PageRequestsTest, PermissionAnswersReachThePageAndAreRememberedPerSite)
{
    server.page("/ask", "<title>asking</title><script>"
                        "Notification.requestPermission().then(r => {"
                        "  document.title = 'answer:' + r;"
                        "  if (r == 'granted') new Notification('Hello there', {body: 'Sent by the page'});"
                        "});</script>");
    const QString dialogTitle = QStringLiteral("Permission - 127.0.0.1");
    Answerer allow(dialogTitle);
    allow.Then(Accept);
    ASSERT_TRUE(Load("/ask"));
    EXPECT_EVENTUALLY(title() == QStringLiteral("answer:granted"), kTimeout);
    ASSERT_EQ(allow.texts.size(), 1);
    EXPECT_TRUE(allow.texts[0].contains("The site 127.0.0.1 wants to show notifications.")) << allow.texts[0].toStdString();

    // The notification a site may show appears in a window of the program's.
    QWidget* notice = nullptr;
    ASSERT_EVENTUALLY((notice = VisibleWindow<QWidget>(QStringLiteral("Notification - 127.0.0.1"))), kTimeout);
    QStringList words;
    for (const QLabel* label : notice->findChildren<QLabel*>())
        words.append(label->text());
    EXPECT_TRUE(words.contains(QStringLiteral("127.0.0.1: Hello there"))) << words.join('|').toStdString();
    EXPECT_TRUE(words.contains(QStringLiteral("Sent by the page")));
    notice->close();

    // Asked again, the site gets the same answer without a question.
    {
        Answerer none(dialogTitle);
        none.Then(Decline);
        ASSERT_TRUE(Load("/ask?again"));
        EXPECT_EVENTUALLY(title() == QStringLiteral("answer:granted"), kTimeout);
        QTest::qWait(300);
        EXPECT_TRUE(none.texts.isEmpty());
    }

    // Another site (another port) is asked on its own, and a refusal holds too.
    LocalHttpServer other;
    other.page("/ask", "<title>asking</title><script>"
                       "Notification.requestPermission().then(r => document.title = 'answer:' + r);</script>");
    Answerer block(dialogTitle);
    block.Then(Decline);
    ASSERT_TRUE(control->Navigate(other.url("/ask")));
    EXPECT_EVENTUALLY(title() == QStringLiteral("answer:denied"), kTimeout);
    EXPECT_EQ(block.texts.size(), 1);
}

TEST_F(PageRequestsTest, FullScreenShowsOnlyThePageAndGivesItBack)
{
    server.page("/fs", "<title>fs:none</title><body style='margin:0'>"
                       "<button style='width:100%;height:100vh' onclick='document.documentElement.requestFullscreen()'>"
                       "whole screen</button><script>document.onfullscreenchange = () =>"
                       " document.title = document.fullscreenElement ? 'fs:on' : 'fs:off';</script>");
    ASSERT_TRUE(Load("/fs"));
    const QRect before = host->geometry();

    for (const bool byEscape : {true, false}) {
        FullScreenWindow* whole = nullptr;
        ASSERT_TRUE(ClickPageUntil([&] { return (whole = VisibleWindow<FullScreenWindow>()) != nullptr; }));
        EXPECT_EVENTUALLY(title() == QStringLiteral("fs:on"), kTimeout);
        EXPECT_TRUE(whole->isFullScreen());
        EXPECT_EQ(QWebEngineView::forPage(page()), whole->view());
        // The window's caption follows the page's title as it changes.
        EXPECT_EVENTUALLY(whole->windowTitle() == QStringLiteral("fs:on - 127.0.0.1"), kTimeout);
        EXPECT_EQ(host->geometry(), before);

        const QPointer<FullScreenWindow> gone(whole);
        if (byEscape) {
            ASSERT_TRUE(QTest::qWaitForWindowActive(whole));
            QTest::keyClick(whole, Qt::Key_Escape);
        } else {
            page()->runJavaScript(QStringLiteral("document.exitFullscreen()"));
        }
        EXPECT_EVENTUALLY(!gone, kTimeout);
        EXPECT_EVENTUALLY(title() == QStringLiteral("fs:off"), kTimeout);
        EXPECT_EQ(QWebEngineView::forPage(page()), view());
        EXPECT_EQ(host->geometry(), before);
        EXPECT_FALSE(host->isFullScreen());
    }
}

TEST_F(PageRequestsTest, PrintDialogCancelsOrWritesAPdf)
{
    server.page("/print", "<title>Printable</title><body style='margin:0'>"
                          "<button style='width:100%;height:100vh' onclick='window.print()'>print</button>");
    ASSERT_TRUE(Load("/print"));
    const QString dialogTitle = QStringLiteral("Print - 127.0.0.1");

    // The page's own print button; Cancel leaves nothing behind.
    QPrintDialog* dialog = nullptr;
    ASSERT_TRUE(ClickPageUntil([&] { return (dialog = VisibleWindow<QPrintDialog>(dialogTitle)) != nullptr; }));
    EXPECT_FALSE(dialog->isModal());
    dialog->reject();
    EXPECT_EVENTUALLY(!VisibleWindow<QPrintDialog>(), kTimeout);

    // Ctrl+P in the window; a PDF file is written where the dialog says.
    ASSERT_TRUE(UserInput::Activate(host.get()));
    QTest::keyClick(host.get(), Qt::Key_P, Qt::ControlModifier);
    ASSERT_EVENTUALLY((dialog = VisibleWindow<QPrintDialog>(dialogTitle)), kTimeout);
    QTemporaryDir out;
    const QString pdf = QDir(out.path()).filePath(QStringLiteral("page.pdf"));
    // Where there is no printer the dialog prints to a file, named in its field.
    auto* fileName = dialog->findChild<QLineEdit*>(QStringLiteral("filename"));
    ASSERT_NE(fileName, nullptr);
    fileName->setText(pdf);
    dialog->accept();
    const auto whole = [&pdf] {
        QFile file(pdf);
        if (!file.open(QIODevice::ReadOnly))
            return false;
        const QByteArray bytes = file.readAll();
        return bytes.startsWith("%PDF-") && bytes.trimmed().endsWith("%%EOF");
    };
    EXPECT_EVENTUALLY(whole(), kTimeout);
    EXPECT_EQ(VisibleWindow<PageDialog>(), nullptr);  // no complaint of a failure
}

TEST_F(PageRequestsTest, CopyButtonPutsTextOnTheClipboard)
{
    server.page("/copy", "<title>copy</title><body style='margin:0'>"
                         "<button style='width:100%;height:100vh' onclick=\"navigator.clipboard.writeText('Copied by the page')"
                         ".then(() => document.title = 'copied', e => document.title = 'refused: ' + e)\">copy</button>");
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    ASSERT_TRUE(Load("/copy"));
    ASSERT_TRUE(ClickPageUntil([&] { return title() != QStringLiteral("copy"); }));
    EXPECT_EQ(title(), QStringLiteral("copied"));
    EXPECT_EVENTUALLY(QGuiApplication::clipboard()->text() == QStringLiteral("Copied by the page"), kTimeout);
}

}  // namespace
