#include "browser/MainFRM.h"
#include "personal/FavoritePlacesFRM.h"
#include "personal/RuleLines.h"
#include "runtime/ImageControl.h"
#include "runtime/Look.h"
#include "runtime/Twips.h"
#include "support/TestApp.h"

#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include "support/Files.h"
#include "support/WindowAccess.h"

#include <gtest/gtest.h>

namespace {

QStringList entries(const QListWidget* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

QByteArray manyEntries(int count)
{
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes += "www.place" + QByteArray::number(i) + ".org\r\n";
    return bytes;
}

class FavoritePlaces : public ::testing::Test {
protected:
    FavoritePlacesFRM* Open()
    {
        auto* form = t.app->forms().Show<FavoritePlacesFRM>();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form));
        return form;
    }
    QString face(ImageControl* image) const { return image->PictureFile().mid(t.dir().size()); }
    QString fav() const { return t.File("/FavPlaces.TXT"); }
    void TypeAndPressEnter(FavoritePlacesFRM* form, const QString& text)
    {
        ui(form).URL->selectAll();
        QTest::keyClicks(ui(form).URL, text);
        QTest::keyClick(ui(form).URL, Qt::Key_Return);
    }
    // A double-click as the user makes it: a click, then the second press.
    void DoubleClickAt(FavoritePlacesFRM* form, QPoint at)
    {
        QTest::mouseClick(ui(form).ListBox->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(ui(form).ListBox->viewport(), Qt::LeftButton, {}, at);
    }
    void DoubleClickEntry(FavoritePlacesFRM* form, int row)
    {
        DoubleClickAt(form, ui(form).ListBox->visualItemRect(ui(form).ListBox->item(row)).center());
    }

    TestApp t;
};

}  // namespace

TEST_F(FavoritePlaces, LoadsSkinAndLayoutAndCreatesNoFile)
{
    auto* form = t.app->forms().Get<FavoritePlacesFRM>();
    EXPECT_EQ(t.log.entries(), QStringList({"sound /OpenWin.WAV", "picture /Main.BMP", "picture /DelUP.BMP",
                                            "picture /AddUP.BMP"}));
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->Caption(), "Favorite Places              NB");
    EXPECT_EQ(form->Caption().count(' '), 15);
    EXPECT_EQ(form->windowType(), Qt::Tool);
    EXPECT_FALSE(form->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    EXPECT_EQ(form->size(), QSize(Twips::toPixels(4575), Twips::toPixels(2895)));
    EXPECT_EQ(ui(form).URL->geometry(), QRect(144, 11, 153, 19));
    EXPECT_EQ(ui(form).ListBox->geometry(), QRect(8, 40, 289, 148));
    EXPECT_EQ(ui(form).Add->geometry(), QRect(8, 8, 57, 25));
    EXPECT_EQ(ui(form).Del->geometry(), QRect(80, 8, 57, 25));
    EXPECT_EQ(ui(form).Line->lines(), QList<QLineF>({QLineF(1080, 480, 1080, 120)}));
    EXPECT_EQ(ui(form).URL->text(), "www.");
    EXPECT_EQ(ui(form).URL->palette().color(QPalette::Base), Look::darkRed());
    EXPECT_EQ(ui(form).ListBox->palette().color(QPalette::Base), Look::darkRed());
    EXPECT_EQ(ui(form).ListBox->count(), 0);
    EXPECT_FALSE(QFile::exists(fav()));

    form->Unload();
    EXPECT_EQ(t.log.entries().last(), "sound /CloseWin.WAV");
    EXPECT_FALSE(QFile::exists(fav()));
}

TEST_F(FavoritePlaces, AddByClickAndEnterWritesEveryEntryAndResetsTheBox)
{
    auto* form = Open();
    t.log.Clear();
    ui(form).URL->setText("www.example.org");
    QTest::mouseClick(ui(form).Add, Qt::LeftButton);
    EXPECT_EQ(t.log.entries(), QStringList({"picture /AddDOWN.BMP", "sound /Click.WAV", "picture /AddUP.BMP"}));
    EXPECT_EQ(fileBytes(fav()), QByteArray("www.example.org\r\n"));
    EXPECT_EQ(ui(form).URL->text(), "www.");
    EXPECT_TRUE(ui(form).ListBox->selectedItems().isEmpty());

    // Enter adds the untouched "www." like any text, and a duplicate again.
    t.log.Clear();
    QTest::keyClick(ui(form).URL, Qt::Key_Return);
    EXPECT_EQ(t.log.entries(), QStringList({"sound /Click.WAV", "picture /AddUP.BMP"}));
    TypeAndPressEnter(form, "www.example.org");
    EXPECT_EQ(entries(ui(form).ListBox), QStringList({"www.example.org", "www.", "www.example.org"}));
    EXPECT_EQ(fileBytes(fav()), QByteArray("www.example.org\r\nwww.\r\nwww.example.org\r\n"));
    EXPECT_EQ(ui(form).URL->text(), "www.");

    // A press released outside leaves the pressed face until the next click.
    QTest::mousePress(ui(form).Add, Qt::LeftButton);
    QTest::mouseRelease(ui(form).Add, Qt::LeftButton, {}, QPoint(-20, -20));
    EXPECT_EQ(face(ui(form).Add), "/AddDOWN.BMP");
    EXPECT_EQ(ui(form).ListBox->count(), 3);
    QTest::mouseClick(ui(form).Add, Qt::LeftButton);
    EXPECT_EQ(face(ui(form).Add), "/AddUP.BMP");
    EXPECT_EQ(ui(form).ListBox->count(), 4);

    // The list comes back from the file the next time the window opens.
    form->Unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    auto* again = t.app->forms().Get<FavoritePlacesFRM>();
    EXPECT_NE(again, nullptr);
    EXPECT_EQ(entries(ui(again).ListBox), QStringList({"www.example.org", "www.", "www.example.org", "www."}));
}

TEST_F(FavoritePlaces, DelOnEmptyListOrWithoutSelectionRemovesNothing)
{
    auto* form = Open();
    t.log.Clear();
    QTest::mouseClick(ui(form).Del, Qt::LeftButton);
    EXPECT_EQ(t.log.entries(), QStringList({"picture /DelDOWN.BMP", "sound /Click.WAV", "picture /DelUP.BMP"}));
    EXPECT_FALSE(QFile::exists(fav()));

    TypeAndPressEnter(form, "a");
    TypeAndPressEnter(form, "b");
    // Changed behind the window's back: a Del without selection rewrites it
    // from the list, unchanged in content.
    putFile(fav(), "stale\r\n");
    QTest::mouseClick(ui(form).Del, Qt::LeftButton);
    EXPECT_EQ(entries(ui(form).ListBox), QStringList({"a", "b"}));
    EXPECT_EQ(fileBytes(fav()), QByteArray("a\r\nb\r\n"));
}

TEST_F(FavoritePlaces, DelRemovesTheSelectedEntryDownToAnEmptyFile)
{
    putFile(fav(), "first\r\nsecond\r\n");
    auto* form = Open();
    ui(form).ListBox->setCurrentRow(0);
    QTest::mouseClick(ui(form).Del, Qt::LeftButton);
    EXPECT_EQ(entries(ui(form).ListBox), QStringList({"second"}));
    EXPECT_EQ(fileBytes(fav()), QByteArray("second\r\n"));
    EXPECT_TRUE(ui(form).ListBox->selectedItems().isEmpty());

    // A second Del has no selection: nothing more goes.
    QTest::mouseClick(ui(form).Del, Qt::LeftButton);
    EXPECT_EQ(entries(ui(form).ListBox), QStringList({"second"}));

    ui(form).ListBox->setCurrentRow(0);
    QTest::mouseClick(ui(form).Del, Qt::LeftButton);
    EXPECT_EQ(ui(form).ListBox->count(), 0);
    EXPECT_TRUE(QFile::exists(fav()));
    EXPECT_EQ(fileBytes(fav()), QByteArray());
}

TEST_F(FavoritePlaces, DoubleClickOpensTheSelectedEntryInTheMainBrowser)
{
    auto* main = t.app->forms().Get<MainFRM>();
    putFile(fav(), "www.first.org\r\nHTTP://second.org/path?q=1\r\n");
    auto* form = Open();
    t.log.Clear();
    DoubleClickEntry(form, 1);
    EXPECT_EQ(t.log.entries(), QStringList({"browser 0 Navigate HTTP://second.org/path?q=1"}));
    EXPECT_FALSE(main->isVisible());
    EXPECT_TRUE(form->isVisible());

    // With nothing selected a double-click does nothing.
    ui(form).ListBox->clearSelection();
    t.log.Clear();
    DoubleClickAt(form, QPoint(10, ui(form).ListBox->viewport()->height() - 5));
    EXPECT_EQ(t.log.entries(), QStringList());
}

TEST_F(FavoritePlaces, ClosingTheWindowDuringTheReadStopsItAndWritesNothing)
{
    const QByteArray bytes = manyEntries(2000);
    putFile(fav(), bytes);
    int closedAt = -1;
    QTimer::singleShot(0, [this, &closedAt] {
        auto* reading = t.app->forms().Find<FavoritePlacesFRM>();
        ASSERT_NE(reading, nullptr);
        ASSERT_TRUE(reading->isReadingList());
        closedAt = ui(reading).ListBox->count();
        ui(reading).URL->setText("www.typed-during-read.org");
        reading->Add_Click();
        reading->Unload();
    });
    // Opened from the menu: a window closed while it loaded is not shown.
    auto* closed = t.app->forms().Show<FavoritePlacesFRM>();
    EXPECT_FALSE(closed->isVisible());
    EXPECT_GE(closedAt, 0);
    EXPECT_LT(closedAt, 2000);
    EXPECT_EQ(t.app->forms().Find<FavoritePlacesFRM>(), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(fileBytes(fav()), bytes);
}

TEST_F(FavoritePlaces, EndingTheProgramDuringTheReadWritesNothing)
{
    const QByteArray bytes = manyEntries(2000);
    putFile(fav(), bytes);
    QTimer::singleShot(0, [this] {
        t.app->forms().Find<FavoritePlacesFRM>()->Add_Click();
        t.app->EndProgram();
    });
    auto* form = t.app->forms().Show<FavoritePlacesFRM>();
    EXPECT_TRUE(t.app->ended());
    EXPECT_FALSE(form->isVisible());
    EXPECT_LT(ui(form).ListBox->count(), 2000);
    EXPECT_EQ(fileBytes(fav()), bytes);
}

TEST_F(FavoritePlaces, AddAndDelDuringTheReadWaitForTheWholeList)
{
    putFile(fav(), manyEntries(500));
    // Once part of the list is in, the user adds one and deletes the first.
    QTimer during;
    during.setInterval(0);
    QObject::connect(&during, &QTimer::timeout, &during, [this, &during] {
        auto* reading = t.app->forms().Find<FavoritePlacesFRM>();
        if (ui(reading).ListBox->count() < 10)
            return;
        during.stop();
        ASSERT_TRUE(reading->isReadingList());
        ui(reading).URL->setText("www.added-while-reading.org");
        reading->Add_Click();
        EXPECT_EQ(ui(reading).URL->text(), "www.");
        ui(reading).ListBox->setCurrentRow(0);
        reading->Del_Click();
        // Nothing was written from half a list.
        EXPECT_EQ(fileBytes(fav()), manyEntries(500));
    });
    during.start();
    auto* form = t.app->forms().Get<FavoritePlacesFRM>();
    EXPECT_FALSE(form->isReadingList());
    ASSERT_EQ(ui(form).ListBox->count(), 500);
    EXPECT_EQ(ui(form).ListBox->item(0)->text(), "www.place1.org");
    EXPECT_EQ(ui(form).ListBox->item(499)->text(), "www.added-while-reading.org");
    EXPECT_EQ(fileBytes(fav()), manyEntries(500).mid(QByteArray("www.place0.org\r\n").size())
                                    + "www.added-while-reading.org\r\n");
}
