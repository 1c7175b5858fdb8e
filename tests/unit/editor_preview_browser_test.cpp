#include "authoring/EditorBrowserFRM.h"
#include "runtime/Twips.h"
#include "support/Eventually.h"
#include "support/TestApp.h"
#include "support/UserInput.h"
#include "support/WindowAccess.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <gtest/gtest.h>

namespace {

const QStringList kKeys = {"Back", "Forward", "Stop", "Refresh", "Home", "Search"};

struct Preview {
    TestApp t;
    EditorBrowserFRM* form = t.app->forms().Get<EditorBrowserFRM>();
    ScriptedBrowser* browser = t.BrowserOf(form);
};

}  // namespace

TEST(EditorPreviewBrowser, LoadShowsTheWindowWithToolbarAddressStripAndNoCaption)
{
    Preview p;
    ASSERT_NE(p.browser, nullptr);
    EXPECT_TRUE(p.form->isVisible());
    EXPECT_TRUE(p.form->Caption().isEmpty());
    EXPECT_FALSE(ui(p.form).TimTimer->isActive());
    EXPECT_EQ(p.t.log.entries(), QStringList({"sound /OpenWin.WAV"}));
    EXPECT_EQ(p.form->size(), QSize(Twips::toPixels(5325), Twips::toPixels(4980)));
    EXPECT_LT(p.form->minimumWidth(), p.form->maximumWidth());  // sizable

    // The address box moves to left 50, top = 50 + 255 + 15 at load.
    EXPECT_EQ(ui(p.form).CBOAddress->pos(), QPoint(Twips::toPixels(50), Twips::toPixels(320)));
    EXPECT_EQ(ui(p.form).CBOAddress->count(), 0);
    EXPECT_TRUE(ui(p.form).CBOAddress->currentText().isEmpty());
    EXPECT_EQ(ui(p.form).lblAddress->text(), "&Address:");
    EXPECT_EQ(ui(p.form).lblAddress->buddy(), ui(p.form).CBOAddress);
    EXPECT_EQ(p.browser->widget()->pos(), QPoint(Twips::toPixels(120), Twips::toPixels(1200)));

    const QList<QAction*> buttons = ui(p.form).TBToolBar->actions();
    ASSERT_EQ(buttons.size(), kKeys.size());
    for (int i = 0; i < buttons.size(); ++i) {
        SCOPED_TRACE(kKeys.at(i).toStdString());
        EXPECT_EQ(buttons.at(i)->data().toString(), kKeys.at(i));
        EXPECT_EQ(buttons.at(i)->toolTip(), kKeys.at(i));
        EXPECT_EQ(buttons.at(i)->icon().pixmap(24, 24).size(), QSize(24, 24));
    }
}

TEST(EditorPreviewBrowser, ResizeFollowsTheFormulas)
{
    Preview p;
    const EditorBrowserFRM::Layout l = p.form->LayOut(3000, 2500);
    EXPECT_DOUBLE_EQ(l.addressWidth, 2840);
    EXPECT_DOUBLE_EQ(l.browserWidth, 2840);
    EXPECT_DOUBLE_EQ(l.browserHeight, 1125);  // 2500 - (540 + 675) - 160
    EXPECT_EQ(ui(p.form).CBOAddress->width(), Twips::toPixels(2840));
    EXPECT_EQ(p.browser->widget()->size(), QSize(Twips::toPixels(2840), Twips::toPixels(1125)));
    EXPECT_EQ(ui(p.form).picAddress->geometry(),
              QRect(0, Twips::toPixels(540), Twips::toPixels(3000), Twips::toPixels(675)));
    EXPECT_EQ(ui(p.form).TBToolBar->width(), Twips::toPixels(3000));

    // A real resize of the window lays it out the same way (600 x 450 pixels).
    p.form->resize(600, 450);
    const QSize expected(Twips::toPixels(9000 - 160), Twips::toPixels(6750 - 1215 - 160));
    ASSERT_EVENTUALLY_EQ(p.browser->widget()->size(), expected, 5000);
    EXPECT_DOUBLE_EQ(p.form->LastLayout().browserHeight, 6750 - 1215 - 160);

    // Too small for the rules: the sizes stay as they were.
    const QSize before = p.browser->widget()->size();
    p.form->LayOut(100, 1000);
    EXPECT_EQ(p.browser->widget()->size(), before);
}

TEST(EditorPreviewBrowser, CaptionsFollowDownloadCompleteTimerAndStop)
{
    Preview p;
    p.browser->locationName = "Web Page";
    emit p.browser->DownloadComplete();
    EXPECT_EQ(p.form->Caption(), "NB Editor - [Web Page ]");

    p.form->TBToolBar_ButtonClick("Refresh");
    EXPECT_TRUE(ui(p.form).TimTimer->isActive());
    p.browser->busy = true;
    p.form->TimTimer_Timer();
    EXPECT_EQ(p.form->Caption(), "NB Editor - [ Loading... ]");
    EXPECT_TRUE(ui(p.form).TimTimer->isActive());

    p.browser->busy = false;
    p.browser->locationName = "Other";
    p.form->TimTimer_Timer();
    EXPECT_EQ(p.form->Caption(), "NB Editor - [Other]");
    EXPECT_FALSE(ui(p.form).TimTimer->isActive());

    // The running timer does the same on its own.
    p.browser->busy = true;
    p.form->TBToolBar_ButtonClick("Home");
    ASSERT_EVENTUALLY_EQ(p.form->Caption(), QStringLiteral("NB Editor - [ Loading... ]"), 5000);
    p.browser->busy = false;
    ASSERT_EVENTUALLY_EQ(p.form->Caption(), QStringLiteral("NB Editor - [Other]"), 5000);
    ASSERT_EVENTUALLY(!ui(p.form).TimTimer->isActive(), 5000);

    p.browser->busy = true;
    p.form->TBToolBar_ButtonClick("Stop");
    EXPECT_FALSE(ui(p.form).TimTimer->isActive());
    EXPECT_EQ(p.form->Caption(), "NB Editor - [Other ]");
}

TEST(EditorPreviewBrowser, ToolbarKeysPlayTheClickStartTheTimerAndCallTheControl)
{
    Preview p;
    const QStringList calls = {"GoBack", "GoForward", "Stop", "Refresh", "GoHome", "GoSearch"};
    for (int i = 0; i < kKeys.size(); ++i) {
        SCOPED_TRACE(kKeys.at(i).toStdString());
        p.t.log.Clear();
        ui(p.form).TimTimer->stop();
        ui(p.form).TBToolBar->actions().at(i)->trigger();
        EXPECT_EQ(p.t.log.entries(), QStringList({"sound /Click.WAV", "browser 0 " + calls.at(i)}));
        EXPECT_EQ(ui(p.form).TimTimer->isActive(), kKeys.at(i) != "Stop");
    }
    // Back was refused (no history) and still clicked and started the timer.
    // Keys match exactly, case included; an unknown key only clicks and starts the timer.
    for (const QString& key : {QString("back"), QString("Go"), QString()}) {
        p.t.log.Clear();
        ui(p.form).TimTimer->stop();
        p.form->TBToolBar_ButtonClick(key);
        EXPECT_EQ(p.t.log.entries(), QStringList({"sound /Click.WAV"}));
        EXPECT_TRUE(ui(p.form).TimTimer->isActive());
    }
}

TEST(EditorPreviewBrowser, EnterInTheAddressBoxNavigatesToTheTextAsTyped)
{
    Preview p;
    ASSERT_TRUE(UserInput::Activate(p.form));
    UserInput::Click(ui(p.form).CBOAddress);
    ASSERT_EQ(QApplication::focusWidget(), ui(p.form).CBOAddress);
    p.t.log.Clear();
    UserInput::Type(p.form, " example.org/a b ");
    EXPECT_TRUE(p.t.log.entries().isEmpty());  // typing alone does nothing
    UserInput::Key(p.form, Qt::Key_Return);
    EXPECT_EQ(p.t.log.entries(), QStringList({"sound /Click.WAV", "browser 0 Navigate  example.org/a b "}));
    EXPECT_TRUE(ui(p.form).TimTimer->isActive());
    EXPECT_EQ(ui(p.form).CBOAddress->count(), 0);  // Enter adds nothing to the list
}

TEST(EditorPreviewBrowser, PickingAnEntryOfTheListNavigatesAndNothingElseDoes)
{
    Preview p;
    QComboBox* box = ui(p.form).CBOAddress;
    box->addItem("http://a/");
    box->addItem("http://b/");
    box->setCurrentIndex(0);
    ASSERT_TRUE(UserInput::Activate(p.form));
    UserInput::Click(box);
    ASSERT_EQ(QApplication::focusWidget(), box);

    // Text that matches another entry, confirmed with Enter or left with Tab,
    // is no pick: Enter navigates once, leaving the box nothing.
    box->setEditText("http://b/");
    p.t.log.Clear();
    UserInput::Key(p.form, Qt::Key_Return);
    EXPECT_EQ(p.t.log.entries(), QStringList({"sound /Click.WAV", "browser 0 Navigate http://b/"}));
    box->setEditText("http://a/");
    box->setCurrentIndex(1);
    box->setEditText("http://a/");
    p.t.log.Clear();
    UserInput::Key(p.form, Qt::Key_Tab);
    EXPECT_TRUE(p.t.log.entries().isEmpty());

    // An entry picked from the open list by keyboard runs the address box click.
    UserInput::Click(box);
    p.t.log.Clear();
    box->showPopup();
    ASSERT_EVENTUALLY(box->view()->isVisible(), 2000);
    UserInput::Key(box->view(), Qt::Key_Down);
    UserInput::Key(box->view(), Qt::Key_Return);
    EXPECT_EQ(p.t.log.entries(), QStringList({"sound /Click.WAV", "browser 0 Navigate " + box->currentText()}));
}

TEST(EditorPreviewBrowser, VisitedAddressesGoToTheTopOfTheListOnce)
{
    Preview p;
    p.browser->RaisePageLoad("http://a/", "A");
    p.browser->RaisePageLoad("http://b/", "B");
    p.browser->RaisePageLoad("http://a/", "A");
    QComboBox* box = ui(p.form).CBOAddress;
    ASSERT_EQ(box->count(), 2);
    EXPECT_EQ(box->itemText(0), "http://a/");
    EXPECT_EQ(box->itemText(1), "http://b/");
    EXPECT_EQ(box->currentText(), "http://a/");
    EXPECT_EQ(p.form->Caption(), "NB Editor - [A ]");
    // Recording plays nothing and navigates nowhere.
    EXPECT_EQ(p.t.log.Filtered("sound "), QStringList({"sound /OpenWin.WAV"}));
    EXPECT_EQ(p.t.log.Filtered("browser "), QStringList());

    // Picking an entry goes there.
    p.t.log.Clear();
    box->setCurrentIndex(1);
    emit box->activated(1);
    EXPECT_EQ(p.t.log.entries(), QStringList({"sound /Click.WAV", "browser 0 Navigate http://b/"}));
}

TEST(EditorPreviewBrowser, StartingAddressIsPutInTheBoxAndVisitedAtLoad)
{
    TestApp t;
    EditorBrowserFRM form(*t.app);
    form.StartingAddress = "http://start/";
    form.Form_Load();
    ScriptedBrowser* browser = t.BrowserOf(&form);
    ASSERT_NE(browser, nullptr);
    EXPECT_EQ(ui(&form).CBOAddress->currentText(), "http://start/");
    EXPECT_EQ(ui(&form).CBOAddress->count(), 1);
    EXPECT_TRUE(ui(&form).TimTimer->isActive());
    EXPECT_EQ(t.log.entries(), QStringList({"sound /OpenWin.WAV", "browser 0 Navigate http://start/"}));
}

TEST(EditorPreviewBrowser, UnloadPlaysTheClosingSound)
{
    Preview p;
    p.form->Unload();
    EXPECT_EQ(p.t.sound.played, QStringList({"/OpenWin.WAV", "/CloseWin.WAV"}));
    EXPECT_EQ(p.t.app->forms().Find<EditorBrowserFRM>(), nullptr);
}
