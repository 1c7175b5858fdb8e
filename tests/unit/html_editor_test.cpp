#include "authoring/EditorBrowserFRM.h"
#include "authoring/EditorFRM.h"
#include "runtime/ImageControl.h"
#include "runtime/Twips.h"
#include "support/TestApp.h"
#include "support/WindowAccess.h"

#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

QByteArray readBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

const QByteArray kStarterBytes =
    "<HTML>\r\n\r\n<HEAD>\r\n<TITLE>Web Page</TITLE>\r\n</HEAD>\r\n\r\n<BODY>\r\n\r\n</BODY>\r\n\r\n</HTML>";

}  // namespace

TEST(HtmlEditor, LoadsWithTheStarterPageItsControlsAndNoSound)
{
    TestApp t;
    EditorFRM* editor = t.app->forms().Get<EditorFRM>();
    const QString text = editor->Text();
    EXPECT_EQ(text.size(), 82);
    EXPECT_EQ(text.split(QStringLiteral("\r\n")).size(), 11);
    EXPECT_EQ(text.count(QStringLiteral("\r\n")), 10);
    EXPECT_FALSE(text.endsWith(QStringLiteral("\r\n")));
    EXPECT_EQ(text.toLatin1(), kStarterBytes);

    EXPECT_EQ(editor->Caption(), QStringLiteral("Nimbrel HTML Editor") + QString(32, ' ') + "NB");
    EXPECT_FALSE(editor->isVisible());
    EXPECT_TRUE(t.sound.played.isEmpty());
    EXPECT_EQ(ui(editor).ImagePic->PictureFile(), t.File("/Main.BMP"));
    EXPECT_EQ(editor->size(), QSize(Twips::toPixels(8115), Twips::toPixels(5250)));
    EXPECT_EQ(editor->minimumSize(), editor->maximumSize());
    EXPECT_FALSE(editor->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(ui(editor).Command1->text(), "Back");
    EXPECT_TRUE(ui(editor).Command1->font().bold());
    EXPECT_EQ(ui(editor).Command2->text(), "Preview");
    EXPECT_EQ(ui(editor).Command3->text(), "Save");
    EXPECT_EQ(ui(editor).Command4->text(), "Open");
    EXPECT_EQ(ui(editor).Command5->text(), "Minimize");
    EXPECT_EQ(ui(editor).Command4->geometry(),
              QRect(Twips::toPixels(120), Twips::toPixels(4920), Twips::toPixels(1095), Twips::toPixels(255)));
}

TEST(HtmlEditor, SaveWritesTheTextAndOneCrLfAndReplacesAnExistingFile)
{
    TestApp t;
    EditorFRM* editor = t.app->forms().Get<EditorFRM>();
    const QString path = t.File("/page.html");
    writeBytes(path, QByteArray(500, 'x'));
    t.log.Clear();
    t.dialogs.answers.push_back(path);
    editor->Command3_Click();

    const QByteArray saved = readBytes(path);
    EXPECT_EQ(saved.size(), 84);
    EXPECT_EQ(saved, kStarterBytes + "\r\n");
    EXPECT_EQ(t.log.entries(), QStringList({"sound /Click.WAV", "dialog save"}));
    EXPECT_EQ(t.dialogs.filters, QStringList({"HTML Files (*.html);;HTM Files (*.htm)"}));
    EXPECT_TRUE(t.messages.TextsOver(editor).isEmpty());
}

TEST(HtmlEditor, CancelledDialogsReadAndWriteNothing)
{
    TestApp t;
    EditorFRM* editor = t.app->forms().Get<EditorFRM>();
    editor->SetText(QStringLiteral("mine"));
    const QStringList before = QDir(t.dir()).entryList(QDir::Files);
    editor->Command3_Click();  // no answer: cancelled
    editor->Command4_Click();
    t.dialogs.answers.push_back(QString());  // an empty file name
    editor->Command4_Click();
    EXPECT_EQ(editor->Text(), "mine");
    EXPECT_EQ(QDir(t.dir()).entryList(QDir::Files), before);
    EXPECT_EQ(t.log.Filtered("sound "), QStringList(3, "sound /Click.WAV"));
    EXPECT_EQ(t.dialogs.filters.size(), 3);
    EXPECT_TRUE(t.messages.TextsOver(editor).isEmpty());
}

TEST(HtmlEditor, OpenJoinsTheLinesWithCrLfAndLeavesTheTextForAFileWithNoLines)
{
    TestApp t;
    EditorFRM* editor = t.app->forms().Get<EditorFRM>();

    const QString empty = t.File("/empty.htm");
    writeBytes(empty, {});
    t.dialogs.answers.push_back(empty);
    editor->Command4_Click();
    EXPECT_EQ(editor->Text().toLatin1(), kStarterBytes);

    // Unix, Windows and old Mac line ends all become CR LF; a final line end adds no line.
    const QString mixed = t.File("/mixed.html");
    writeBytes(mixed, "<p>one</p>\n<p>two</p>\r\n\r\n<p>three</p>\r<p>four</p>\n");
    t.dialogs.answers.push_back(mixed);
    editor->Command4_Click();
    EXPECT_EQ(editor->Text(), "<p>one</p>\r\n<p>two</p>\r\n\r\n<p>three</p>\r\n<p>four</p>");

    // A file holding one empty line has a line: the text becomes empty.
    const QString blank = t.File("/blank.html");
    writeBytes(blank, "\r\n");
    t.dialogs.answers.push_back(blank);
    editor->Command4_Click();
    EXPECT_EQ(editor->Text(), "");
    EXPECT_EQ(t.log.Filtered("sound "), QStringList(3, "sound /Click.WAV"));
}

TEST(HtmlEditor, OpenThenSaveGivesBackTheSameBytesInEitherEncoding)
{
    TestApp t;
    EditorFRM* editor = t.app->forms().Get<EditorFRM>();
    struct Case {
        const char* name;
        QByteArray bytes;
        QString text;
        EditorFRM::FileEncoding encoding;
    };
    const Case cases[] = {
        // UTF-8 with a byte-order mark and a no-break space, which a text box
        // would otherwise hand back as a plain space.
        {"/utf8.html", "\xEF\xBB\xBF<p>caf\xC3\xA9\xC2\xA0\xE2\x82\xAC</p>\r\n",
         QChar(0xFEFF) + QString::fromUtf8("<p>caf\xC3\xA9\xC2\xA0\xE2\x82\xAC</p>"), EditorFRM::FileEncoding::Utf8},
        // Not UTF-8: the old single-byte code page, euro sign at 0x80.
        {"/ansi.html", "<p>caf\xE9 \x80 \x93quoted\x94</p>\r\n",
         QString::fromUtf8("<p>caf\xC3\xA9 \xE2\x82\xAC \xE2\x80\x9Cquoted\xE2\x80\x9D</p>"),
         EditorFRM::FileEncoding::Windows1252},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeBytes(t.File(c.name), c.bytes);
        t.dialogs.answers.push_back(t.File(c.name));
        editor->Command4_Click();
        EXPECT_EQ(editor->Text(), c.text);
        EXPECT_EQ(editor->Encoding(), c.encoding);
        t.dialogs.answers.push_back(t.File("/copy.html"));
        editor->Command3_Click();
        EXPECT_EQ(readBytes(t.File("/copy.html")), c.bytes);
    }

    // A character the code page cannot hold is saved as UTF-8 rather than lost.
    ui(editor).RichText->appendPlainText(QString::fromUtf8("\xE6\xBC\xA2"));
    t.dialogs.answers.push_back(t.File("/copy.html"));
    editor->Command3_Click();
    EXPECT_EQ(readBytes(t.File("/copy.html")),
              QByteArray("<p>caf\xC3\xA9 \xE2\x82\xAC \xE2\x80\x9Cquoted\xE2\x80\x9D</p>\r\n\xE6\xBC\xA2\r\n"));

    // A UTF-8 sequence cut off at the very end is not UTF-8: its byte is kept.
    writeBytes(t.File("/cut.html"), "caf\xC3");
    t.dialogs.answers.push_back(t.File("/cut.html"));
    editor->Command4_Click();
    EXPECT_EQ(editor->Text(), QString::fromUtf8("caf\xC3\x83"));
    EXPECT_EQ(editor->Encoding(), EditorFRM::FileEncoding::Windows1252);
}

TEST(HtmlEditor, FailedReadsAndWritesTellTheUserAndKeepTheText)
{
    TestApp t;
    EditorFRM* editor = t.app->forms().Get<EditorFRM>();
    editor->SetText(QStringLiteral("keep me"));

    t.dialogs.answers.push_back(t.File("/no-such.html"));
    editor->Command4_Click();
    EXPECT_EQ(editor->Text(), "keep me");
    ASSERT_EQ(t.messages.TextsOver(editor).size(), 1);
    EXPECT_TRUE(t.messages.TextsOver(editor).at(0).contains("no-such.html"));

    t.dialogs.answers.push_back(t.File("/missing-dir/page.html"));
    editor->Command3_Click();
    EXPECT_EQ(t.messages.TextsOver(editor).size(), 2);
    EXPECT_FALSE(QFile::exists(t.File("/missing-dir/page.html")));

    // A preview that cannot write shows no preview window.
    ASSERT_TRUE(QDir(t.dir()).mkdir("Preview.html"));
    editor->Command2_Click();
    EXPECT_EQ(t.messages.TextsOver(editor).size(), 3);
    EXPECT_EQ(t.app->forms().Find<EditorBrowserFRM>(), nullptr);
    EXPECT_EQ(editor->Text(), "keep me");
}

TEST(HtmlEditor, PreviewWritesThePreviewFileAndReusesThePreviewWindow)
{
    TestApp t;
    EditorFRM* editor = t.app->forms().Get<EditorFRM>();
    editor->SetText(QString());
    t.log.Clear();
    editor->Command2_Click();

    const QString path = t.dir() + "/Preview.html";
    EXPECT_EQ(editor->PreviewPath(), path);
    EXPECT_EQ(readBytes(path), "\r\n");
    QPointer<EditorBrowserFRM> preview = t.app->forms().Find<EditorBrowserFRM>();
    ASSERT_TRUE(preview);
    EXPECT_TRUE(preview->isVisible());
    EXPECT_FALSE(ui(preview).TimTimer->isActive());
    EXPECT_TRUE(preview->StartingAddress.isEmpty());
    EXPECT_EQ(t.log.entries(), QStringList({"sound /Click.WAV", "sound /OpenWin.WAV",
                                            "browser 0 Navigate " + path}));

    t.log.Clear();
    editor->SetText(QStringLiteral("<b>second</b>"));
    editor->Command2_Click();
    EXPECT_EQ(readBytes(path), "<b>second</b>\r\n");
    EXPECT_EQ(t.app->forms().Find<EditorBrowserFRM>(), preview.data());
    EXPECT_EQ(t.log.entries(), QStringList({"sound /Click.WAV", "browser 0 Navigate " + path}));

    // A preview window that was closed is made afresh by the next preview.
    preview->Unload();
    t.log.Clear();
    editor->Command2_Click();
    EXPECT_EQ(t.log.entries(), QStringList({"sound /Click.WAV", "sound /OpenWin.WAV",
                                            "browser 1 Navigate " + path}));
}

TEST(HtmlEditor, BackHidesAndTheTextSurvivesUntilUnload)
{
    TestApp t;
    EditorFRM* editor = t.app->forms().Show<EditorFRM>();
    editor->SetText(QStringLiteral("work in progress"));
    editor->Command1_Click();
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(t.sound.played, QStringList({"/CloseWin.WAV"}));

    EXPECT_EQ(t.app->forms().Show<EditorFRM>(), editor);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->Text(), "work in progress");

    editor->Command5_Click();
    EXPECT_EQ(editor->State(), Form::WindowState::Minimized);
    EXPECT_EQ(editor->Text(), "work in progress");

    editor->Unload();
    EXPECT_EQ(t.sound.played.last(), "/CloseWin.WAV");
    EXPECT_EQ(t.app->forms().Get<EditorFRM>()->Text().toLatin1(), kStarterBytes);
}
