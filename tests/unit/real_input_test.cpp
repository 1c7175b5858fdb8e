// Every window driven the way the window system drives it: keys typed into the
// active window reach its focus widget, clicks and hovers arrive at window
// coordinates and reach whatever lies on top there. A hook installed where no
// real key or click arrives first fails here even when calling the handler
// directly would pass.
#include "authoring/EditorFRM.h"
#include "authoring/HTMLVeiwerFRM.h"
#include "browser/MainFRM.h"
#include "monitor/IdleFRM.h"
#include "personal/FavoritePlacesFRM.h"
#include "personal/LinksFRM.h"
#include "personal/NotePadFRM.h"
#include "runtime/ImageControl.h"
#include "shell/IntroFRM.h"
#include "support/Eventually.h"
#include "support/Files.h"
#include "support/TestApp.h"
#include "support/UserInput.h"
#include "support/WindowAccess.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// True when a real click in the middle of `control` reaches it (or a part of it).
bool ReachedByARealClick(QWidget* control)
{
    QWidget* hit = UserInput::WidgetAt(control);
    return hit == control || control->isAncestorOf(hit);
}

QStringList Without(const QStringList& entries, const QString& prefix)
{
    QStringList kept;
    for (const QString& e : entries)
        if (!e.startsWith(prefix))
            kept << e;
    return kept;
}

}  // namespace

TEST(RealInput, EveryControlAUserCanUseLiesOnTopWhereItIsShown)
{
    TestApp t;
    auto* main = t.app->forms().Show<MainFRM>();
    for (QWidget* c : std::initializer_list<QWidget*>{ui(main).Back, ui(main).ForwardF, ui(main).Go, ui(main).RefreshR, ui(main).StopS,
                                                      ui(main).Mnu, ui(main).CheckData, ui(main).BP, ui(main).URLC,
                                                      ui(main).BrowserWindow->widget()}) {
        SCOPED_TRACE(c->metaObject()->className());
        EXPECT_TRUE(ReachedByARealClick(c));
    }
    auto* fav = t.app->forms().Show<FavoritePlacesFRM>();
    for (QWidget* c : std::initializer_list<QWidget*>{ui(fav).Add, ui(fav).Del, ui(fav).URL, ui(fav).ListBox})
        EXPECT_TRUE(ReachedByARealClick(c));
    auto* links = t.app->forms().Show<LinksFRM>();
    for (QLineEdit* slot : {ui(links).One, ui(links).Seven, ui(links).Fifteen})
        EXPECT_TRUE(ReachedByARealClick(slot));
    EXPECT_TRUE(ReachedByARealClick(ui(links).Data));
    auto* pad = t.app->forms().Show<NotePadFRM>();
    EXPECT_TRUE(ReachedByARealClick(ui(pad).Data));
    auto* editor = t.app->forms().Show<EditorFRM>();
    for (QWidget* c : std::initializer_list<QWidget*>{ui(editor).RichText, ui(editor).Command1, ui(editor).Command2,
                                                      ui(editor).Command3, ui(editor).Command4, ui(editor).Command5})
        EXPECT_TRUE(ReachedByARealClick(c));
    auto* viewer = t.app->forms().Show<HTMLVeiwerFRM>();
    for (QWidget* c : std::initializer_list<QWidget*>{ui(viewer).URL, ui(viewer).VS, ui(viewer).OpenInEd, ui(viewer).HTML})
        EXPECT_TRUE(ReachedByARealClick(c));
}

TEST(RealInput, MainWindowButtonsAnswerClicksAndTheSwitchCaptionOnlyClicks)
{
    TestApp t;
    auto* main = t.app->forms().Show<MainFRM>();
    ASSERT_TRUE(UserInput::Activate(main));
    struct Case {
        ImageControl* button;
        QStringList steps;
    };
    const QList<Case> cases{
        {ui(main).Back, {"picture /BackDOWN.BMP", "sound /Click.WAV", "browser 0 GoBack", "picture /BackUP.BMP"}},
        {ui(main).ForwardF,
         {"picture /ForwardDOWN.BMP", "sound /Click.WAV", "browser 0 GoForward", "picture /ForwardUP.BMP"}},
        {ui(main).RefreshR,
         {"picture /RefreshDOWN.BMP", "browser 0 Refresh", "picture /RefreshUP.BMP", "sound /Click.WAV"}},
        {ui(main).StopS, {"picture /StopDOWN.BMP", "sound /Click.WAV", "browser 0 Stop", "picture /StopUP.BMP"}},
    };
    for (const Case& c : cases) {
        t.log.Clear();
        UserInput::Click(c.button);
        EXPECT_EQ(t.log.entries(), c.steps);
    }

    // A press that ends outside the button leaves the pressed face and runs nothing.
    t.log.Clear();
    UserInput::Press(ui(main).Go);
    UserInput::Release(ui(main).URLC);
    EXPECT_EQ(t.log.entries(), QStringList({"picture /GoDOWN.BMP"}));

    // The words beside the switch click but switch nothing; the box itself switches.
    const bool checked = ui(main).BP->isChecked();
    t.log.Clear();
    UserInput::Click(ui(main).CheckData);
    EXPECT_EQ(t.log.entries(), QStringList({"sound /Click.WAV"}));
    EXPECT_EQ(ui(main).BP->isChecked(), checked);
    UserInput::Click(ui(main).BP);
    EXPECT_EQ(ui(main).BP->isChecked(), !checked);
}

TEST(RealInput, MenuButtonPopsTheToolsMenuUpAndWaitsForIt)
{
    TestApp t;
    auto* main = t.app->forms().Show<MainFRM>();
    ASSERT_TRUE(UserInput::Activate(main));
    bool menuWasUp = false;
    // While the menu is up its own window takes the keys; Escape closes it.
    QTimer::singleShot(300, main, [&] {
        QWidget* popup = QApplication::activePopupWidget();
        menuWasUp = qobject_cast<QMenu*>(popup) != nullptr;
        if (popup)
            UserInput::Key(popup, Qt::Key_Escape);
    });
    t.log.Clear();
    UserInput::Click(ui(main).Mnu);
    EXPECT_TRUE(menuWasUp);
    EXPECT_EQ(t.log.entries(), QStringList({"picture /MenuDOWN.BMP", "sound /Click.WAV", "picture /MenuUP.BMP"}));
}

TEST(RealInput, SplashEntersOnAClickOnThePictureTheWordsOrTheMargin)
{
    for (const QPoint at : {QPoint(2, 2), QPoint(200, 60), QPoint(400, 140)}) {
        TestApp t;
        auto* intro = t.app->forms().Show<IntroFRM>();
        t.log.Clear();
        UserInput::Click(intro, at);
        ASSERT_FALSE(t.log.entries().isEmpty());
        EXPECT_EQ(t.log.entries().first(), "sound /CloseWin.WAV");
        EXPECT_FALSE(intro->isVisible());
        ASSERT_NE(t.app->forms().Find<MainFRM>(), nullptr);
        EXPECT_TRUE(t.app->forms().Find<MainFRM>()->isVisible());
    }
}

TEST(RealInput, FavouritesAddByEnterAndButtonDeleteAndOpenByDoubleClick)
{
    TestApp t;
    auto* main = t.app->forms().Show<MainFRM>();
    auto* fav = t.app->forms().Show<FavoritePlacesFRM>();
    ASSERT_TRUE(UserInput::Activate(fav));
    UserInput::Click(ui(fav).URL);
    ASSERT_EQ(QApplication::focusWidget(), ui(fav).URL);
    ui(fav).URL->end(false);
    UserInput::Type(fav, "example.org");
    UserInput::Key(fav, Qt::Key_Return);
    UserInput::Type(fav, "b");
    UserInput::Click(ui(fav).Add);
    EXPECT_EQ(fileBytes(t.File("/FavPlaces.TXT")), QByteArray("www.example.org\r\nwww.b\r\n"));

    // Select the first entry with a click, delete it with the button.
    ASSERT_EQ(ui(fav).ListBox->count(), 2);
    QWidget* view = ui(fav).ListBox->viewport();
    const QPoint first = ui(fav).ListBox->visualItemRect(ui(fav).ListBox->item(0)).center();
    UserInput::Click(view, first);
    UserInput::Click(ui(fav).Del);
    EXPECT_EQ(fileBytes(t.File("/FavPlaces.TXT")), QByteArray("www.b\r\n"));

    // A double-click on the remaining entry opens it in the main browser.
    t.log.Clear();
    UserInput::DoubleClick(view, ui(fav).ListBox->visualItemRect(ui(fav).ListBox->item(0)).center());
    EXPECT_TRUE(t.log.entries().contains("browser 0 Navigate www.b")) << t.log.entries().join(" | ").toStdString();
    (void)main;
}

TEST(RealInput, LinksDescribeOnHoverAndOpenTheSlotsTextOnDoubleClick)
{
    TestApp t;
    t.app->forms().Show<MainFRM>();
    auto* links = t.app->forms().Show<LinksFRM>();
    ASSERT_TRUE(UserInput::Activate(links));
    UserInput::Hover(ui(links).Seven);
    EXPECT_EQ(ui(links).Data->text(), LinksFRM::Description(7));
    UserInput::Hover(ui(links).Data);
    EXPECT_EQ(ui(links).Data->text(), "Description.");
    UserInput::Hover(ui(links).BGImage, QPoint(links->width() - 3, 3));
    EXPECT_EQ(ui(links).Data->text(), "");

    // An edited slot opens what the user typed into it.
    UserInput::Click(ui(links).Three);
    ui(links).Three->selectAll();
    UserInput::Type(links, "127.0.0.1/mine");
    t.log.Clear();
    UserInput::DoubleClick(ui(links).Three);
    EXPECT_TRUE(t.log.entries().contains("browser 0 Navigate 127.0.0.1/mine"))
        << t.log.entries().join(" | ").toStdString();
}

TEST(RealInput, NotepadWritesWhatIsTyped)
{
    TestApp t;
    auto* pad = t.app->forms().Show<NotePadFRM>();
    ASSERT_TRUE(UserInput::Activate(pad));
    UserInput::Click(ui(pad).Data);
    ASSERT_EQ(QApplication::focusWidget(), ui(pad).Data);
    UserInput::Type(pad, QString::fromUtf8("caf\xc3\xa9 \xe4\xb8\xad"));
    const QByteArray written = fileBytes(t.File("/Notes.TXT"));
    EXPECT_TRUE(written.startsWith(QByteArray("caf\xc3\xa9 \xe4\xb8\xad"))) << written.toStdString();
}

TEST(RealInput, SourceViewerFetchesOnEnterAndOnItsButton)
{
    TestApp t;
    auto* viewer = t.app->forms().Show<HTMLVeiwerFRM>();
    ASSERT_TRUE(UserInput::Activate(viewer));
    t.transfer.results.push_back(TransferResult{true, "<p>one</p>", {}});
    t.transfer.results.push_back(TransferResult{true, "<p>two</p>", {}});
    UserInput::Click(ui(viewer).URL);
    ASSERT_EQ(QApplication::focusWidget(), ui(viewer).URL);
    UserInput::Type(viewer, "127.0.0.1/a");
    t.log.Clear();
    UserInput::Key(viewer, Qt::Key_Return);
    EXPECT_EQ(Without(t.log.entries(), "picture"), QStringList({"sound /Click.WAV", "transfer www.127.0.0.1/a"}));
    EXPECT_EQ(ui(viewer).HTML->toPlainText(), "<p>one</p>");
    t.log.Clear();
    UserInput::Click(ui(viewer).VS);
    EXPECT_EQ(Without(t.log.entries(), "picture"), QStringList({"sound /Click.WAV", "transfer www.127.0.0.1/a"}));
    EXPECT_EQ(ui(viewer).HTML->toPlainText(), "<p>two</p>");
}

TEST(RealInput, EditorButtonsAnswerClicks)
{
    TestApp t;
    auto* editor = t.app->forms().Show<EditorFRM>();
    ASSERT_TRUE(UserInput::Activate(editor));
    t.dialogs.answers.push_back(t.File("/page.html"));
    UserInput::Click(ui(editor).Command3);  // Save
    EXPECT_TRUE(t.log.entries().contains("dialog save"));
    EXPECT_EQ(fileBytes(t.File("/page.html")), ui(editor).RichText->toPlainText().replace("\n", "\r\n").toUtf8() + "\r\n");
    UserInput::Click(ui(editor).Command1);  // Back
    EXPECT_FALSE(editor->isVisible());
}

TEST(RealInput, IdleScreenGivesTheMainWindowBackOnAClick)
{
    TestApp t;
    auto* main = t.app->forms().Show<MainFRM>();
    main->hide();
    auto* idle = t.app->forms().Show<IdleFRM>();
    ASSERT_TRUE(idle->isVisible());
    UserInput::Click(idle, QPoint(40, 40));
    EXPECT_TRUE(main->isVisible());
    EXPECT_TRUE(t.log.entries().contains("sound /Click.WAV"));
}
