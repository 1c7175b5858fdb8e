#include "personal/NotePadFRM.h"
#include "runtime/Look.h"
#include "runtime/Twips.h"
#include "support/WindowAccess.h"
#include "support/TestApp.h"

#include <QFile>
#include <QFileInfo>
#include <QTimeZone>
#include <functional>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include "support/Files.h"

#include <gtest/gtest.h>

namespace {

// Types text as the keyboard does, characters beyond ASCII included.
void typeText(QWidget* widget, const QString& text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

class NotePad : public ::testing::Test {
protected:
    NotePadFRM* Open()
    {
        auto* form = t.app->forms().Show<NotePadFRM>();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form));
        return form;
    }
    void Close(NotePadFRM* form)
    {
        form->Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QString notes() const { return t.File("/Notes.TXT"); }
    // Whether the notes file was rewritten during `action`, seen by its
    // modification time, set far back first.
    bool rewrittenDuring(const std::function<void()>& action)
    {
        const QDateTime longAgo = QDateTime::fromSecsSinceEpoch(1000, QTimeZone::utc());
        QFile file(notes());
        if (!file.open(QIODevice::ReadWrite) || !file.setFileTime(longAgo, QFileDevice::FileModificationTime))
            return false;
        file.close();
        action();
        return QFileInfo(notes()).lastModified().toUTC() != longAgo;
    }

    TestApp t;
};

}  // namespace

TEST_F(NotePad, OpensEmptyWithItsLookAndWritesNothingWithoutAFile)
{
    auto* form = t.app->forms().Get<NotePadFRM>();
    EXPECT_EQ(t.log.entries(), QStringList({"sound /OpenWin.WAV"}));
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->Caption(), "Notepad                        NB");
    EXPECT_EQ(form->Caption().count(' '), 24);
    EXPECT_EQ(form->windowType(), Qt::Window);
    EXPECT_FALSE(form->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    EXPECT_EQ(form->size(), QSize(Twips::toPixels(5175), Twips::toPixels(3855)));
    EXPECT_EQ(ui(form).Data->geometry(), form->rect());
    EXPECT_EQ(ui(form).Data->palette().color(QPalette::Base), Look::darkRed());
    EXPECT_EQ(ui(form).Data->palette().color(QPalette::Text), Look::titleBarText());
    EXPECT_EQ(ui(form).Data->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_EQ(ui(form).Data->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(ui(form).Data->toPlainText(), "");
    EXPECT_FALSE(QFile::exists(notes()));
    form->Unload();
    EXPECT_EQ(t.log.entries().last(), "sound /CloseWin.WAV");
    EXPECT_FALSE(QFile::exists(notes()));
}

TEST_F(NotePad, EveryKeystrokeIsWrittenAndComesBackNextTime)
{
    auto* form = Open();
    QTest::keyClicks(ui(form).Data, "abc");
    EXPECT_EQ(fileBytes(notes()), QByteArray("abc\r\n"));
    QTest::keyClick(ui(form).Data, Qt::Key_Return);
    QTest::keyClicks(ui(form).Data, "second line");
    EXPECT_EQ(fileBytes(notes()), QByteArray("abc\r\nsecond line\r\n"));
    Close(form);

    form = Open();
    EXPECT_EQ(ui(form).Data->toPlainText(), "abc\nsecond line");
    // Deleting everything leaves only the terminator, and an empty pad.
    ui(form).Data->selectAll();
    QTest::keyClick(ui(form).Data, Qt::Key_Delete);
    EXPECT_EQ(fileBytes(notes()), QByteArray("\r\n"));
    Close(form);
    form = Open();
    EXPECT_EQ(ui(form).Data->toPlainText(), "");
}

TEST_F(NotePad, OpeningAndClosingWithoutTypingLeavesTheFileAsItWas)
{
    auto* form = Open();
    QTest::keyClicks(ui(form).Data, "line one");
    QTest::keyClick(ui(form).Data, Qt::Key_Return);
    QTest::keyClick(ui(form).Data, Qt::Key_Return);
    Close(form);
    const QByteArray written = fileBytes(notes());
    ASSERT_EQ(written, QByteArray("line one\r\n\r\n\r\n"));

    // The load rewrites the file, with the same text.
    for (int round = 0; round < 3; ++round) {
        EXPECT_TRUE(rewrittenDuring([this] { Close(Open()); }));
        ASSERT_EQ(fileBytes(notes()), written);
    }
}

TEST_F(NotePad, SingleByteNotesStaySingleByteUntilACharacterNeedsMore)
{
    putFile(notes(), "Cr\xE8me br\xFBl\xE9" "e \x80" "5\r\n");
    auto* form = Open();
    EXPECT_EQ(ui(form).Data->toPlainText(), QString("Cr\u00E8me br\u00FBl\u00E9e \u20AC5"));
    EXPECT_EQ(fileBytes(notes()), QByteArray("Cr\xE8me br\xFBl\xE9" "e \x80" "5\r\n"));

    ui(form).Data->moveCursor(QTextCursor::End);
    typeText(ui(form).Data, QString(" \u00BD"));
    EXPECT_EQ(fileBytes(notes()), QByteArray("Cr\xE8me br\xFBl\xE9" "e \x80" "5 \xBD\r\n"));
    typeText(ui(form).Data, QString(" \u2192 \u5BFF\u53F8"));
    EXPECT_EQ(fileBytes(notes()), QByteArray("Cr\xC3\xA8me br\xC3\xBBl\xC3\xA9" "e \xE2\x82\xAC" "5 \xC2\xBD"
                                             " \xE2\x86\x92 \xE5\xAF\xBF\xE5\x8F\xB8\r\n"));
    Close(form);
    form = Open();
    EXPECT_EQ(ui(form).Data->toPlainText(), QString("Cr\u00E8me br\u00FBl\u00E9e \u20AC5 \u00BD \u2192 \u5BFF\u53F8"));
}
