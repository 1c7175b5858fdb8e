#include "browser/MainFRM.h"
#include "monitor/BrowserStatusFRM.h"
#include "runtime/ImageControl.h"
#include "shell/IntroFRM.h"
#include "shell/MenuFRM.h"
#include "support/Eventually.h"
#include "support/TestApp.h"
#include "support/WindowAccess.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Keys go where the window system sends them: to the focus widget of the
// active window.
void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    QTest::keyClick(focus, key, modifiers);
}

class MainKeysTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        main = t.app->forms().Get<MainFRM>();
        browser = t.BrowserOf(main);
        ASSERT_NE(browser, nullptr);
        main->show();
        main->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(main));
        // A page with one earlier and one later page, so Back and Forward act.
        browser->Navigate("http://127.0.0.1/one");
        browser->Navigate("http://127.0.0.1/two");
        t.log.Clear();
    }
    // What one mouse click on the button writes to the log.
    QStringList ClickLog(ImageControl* button)
    {
        t.log.Clear();
        QTest::mouseClick(button, Qt::LeftButton);
        const QStringList entries = t.log.entries();
        t.log.Clear();
        return entries;
    }
    QStringList KeyLog(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        t.log.Clear();
        Key(key, modifiers);
        const QStringList entries = t.log.entries();
        t.log.Clear();
        return entries;
    }
    QString face(ImageControl* image) const { return image->PictureFile().mid(t.dir().size()); }
    // Walks the Tab chain once round from the current focus.
    QList<QWidget*> TabChain()
    {
        QList<QWidget*> seen;
        for (int i = 0; i < 30; ++i) {
            Key(Qt::Key_Tab);
            QWidget* focus = QApplication::focusWidget();
            if (seen.contains(focus))
                break;
            seen.append(focus);
        }
        return seen;
    }

    TestApp t;
    MainFRM* main = nullptr;
    ScriptedBrowser* browser = nullptr;
};

}  // namespace

TEST_F(MainKeysTest, BrowserKeysRunWhatAClickOnTheirButtonRuns)
{
    const QStringList back{"picture /BackDOWN.BMP", "sound /Click.WAV", "browser 0 GoBack", "picture /BackUP.BMP"};
    EXPECT_EQ(ClickLog(ui(main).Back), back);
    EXPECT_EQ(KeyLog(Qt::Key_Right, Qt::AltModifier), ClickLog(ui(main).ForwardF));
    EXPECT_EQ(browser->LocationURL(), "http://127.0.0.1/two");
    EXPECT_EQ(KeyLog(Qt::Key_Left, Qt::AltModifier), back);
    EXPECT_EQ(browser->LocationURL(), "http://127.0.0.1/one");
    EXPECT_EQ(KeyLog(Qt::Key_Right, Qt::AltModifier),
              (QStringList{"picture /ForwardDOWN.BMP", "sound /Click.WAV", "browser 0 GoForward", "picture /ForwardUP.BMP"}));
    EXPECT_EQ(browser->LocationURL(), "http://127.0.0.1/two");

    const QStringList refresh = ClickLog(ui(main).RefreshR);
    EXPECT_EQ(refresh, (QStringList{"picture /RefreshDOWN.BMP", "browser 0 Refresh", "picture /RefreshUP.BMP", "sound /Click.WAV"}));
    EXPECT_EQ(KeyLog(Qt::Key_F5), refresh);
    EXPECT_EQ(KeyLog(Qt::Key_R, Qt::ControlModifier), refresh);
    // Escape stops a page that is loading and is the page's own otherwise.
    EXPECT_TRUE(KeyLog(Qt::Key_Escape).isEmpty());
    emit browser->DownloadBegin();
    EXPECT_EQ(KeyLog(Qt::Key_Escape), ClickLog(ui(main).StopS));
    EXPECT_EQ(face(ui(main).StopS), "/StopUP.BMP");
    emit browser->DocumentComplete(browser->LocationURL());
    EXPECT_TRUE(KeyLog(Qt::Key_Escape).isEmpty());

    // The same keys work while the address box has the focus.
    ui(main).URLC->lineEdit()->setFocus();
    EXPECT_EQ(KeyLog(Qt::Key_F5), refresh);
    EXPECT_EQ(KeyLog(Qt::Key_Left, Qt::AltModifier), back);
}

TEST_F(MainKeysTest, TabReachesEverySkinnedButtonAndSpaceOrEnterClicksIt)
{
    const QList<QWidget*> chain = TabChain();
    for (ImageControl* button : {ui(main).Mnu, ui(main).Back, ui(main).ForwardF, ui(main).RefreshR, ui(main).StopS, ui(main).Go})
        EXPECT_TRUE(chain.contains(button)) << button->accessibleName().toStdString();
    EXPECT_TRUE(chain.contains(ui(main).URLC));
    EXPECT_TRUE(chain.contains(ui(main).BP));
    EXPECT_FALSE(chain.contains(ui(main).Idle));  // out of sight while the window is not maximised
    // Left to right as they stand.
    EXPECT_LT(chain.indexOf(ui(main).Mnu), chain.indexOf(ui(main).Back));
    EXPECT_LT(chain.indexOf(ui(main).Back), chain.indexOf(ui(main).Go));

    const QStringList back = ClickLog(ui(main).Back);
    ui(main).Back->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(KeyLog(Qt::Key_Space), back);
    EXPECT_EQ(KeyLog(Qt::Key_Return), back);
    EXPECT_EQ(KeyLog(Qt::Key_Enter, Qt::KeypadModifier), back);
    // Other keys do nothing on a button.
    EXPECT_EQ(KeyLog(Qt::Key_A), QStringList());

    ui(main).URLC->setEditText("http://127.0.0.1/typed");
    ui(main).Go->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(KeyLog(Qt::Key_Space),
              (QStringList{"picture /GoDOWN.BMP", "browser 0 Navigate http://127.0.0.1/typed", "picture /GoUP.BMP", "sound /Click.WAV"}));
}

TEST_F(MainKeysTest, GoIdleTakesTheFocusOnlyWhileItCanBeSeen)
{
    EXPECT_EQ(ui(main).Idle->focusPolicy(), Qt::NoFocus);
    main->SetState(Form::WindowState::Maximized);
    ASSERT_EVENTUALLY_EQ(main->State(), Form::WindowState::Maximized, 5000);
    ASSERT_EVENTUALLY(ui(main).Idle->focusPolicy() != Qt::NoFocus, 5000);
    EXPECT_TRUE(TabChain().contains(ui(main).Idle));

    // Restored while it has the focus: the focus leaves the hidden button, and
    // Space cannot send the window away.
    ui(main).Idle->setFocus(Qt::TabFocusReason);
    main->SetState(Form::WindowState::Normal);
    ASSERT_EVENTUALLY_EQ(ui(main).Idle->focusPolicy(), Qt::NoFocus, 5000);
    EXPECT_NE(QApplication::focusWidget(), ui(main).Idle);
    t.log.Clear();
    Key(Qt::Key_Space);
    EXPECT_TRUE(main->isVisible());
    EXPECT_FALSE(t.log.entries().contains("sound /Click.WAV"));
}

TEST_F(MainKeysTest, AddressKeysSelectTheWholeAddress)
{
    QLineEdit* edit = ui(main).URLC->lineEdit();
    ui(main).URLC->setEditText("http://127.0.0.1/page");
    // The box's line edit passes its focus on to the box.
    for (auto [key, modifiers] : {std::pair{Qt::Key_L, Qt::ControlModifier}, std::pair{Qt::Key_D, Qt::AltModifier},
                                  std::pair{Qt::Key_F6, Qt::NoModifier}}) {
        browser->widget()->setFocus();
        edit->deselect();
        Key(key, modifiers);
        EXPECT_EQ(QApplication::focusWidget(), ui(main).URLC) << key;
        EXPECT_EQ(edit->selectedText(), "http://127.0.0.1/page") << key;
    }
    // Typing then replaces the address.
    QTest::keyClicks(QApplication::focusWidget(), "http://127.0.0.1/new");
    EXPECT_EQ(ui(main).URLC->currentText(), "http://127.0.0.1/new");
}

TEST_F(MainKeysTest, ZoomStepsThroughLevelsAndStopsAtTheEnds)
{
    auto zoom = [&] { return browser->widget()->property("zoomFactor").toDouble(); };
    Key(Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(zoom(), 1.1);
    Key(Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(zoom(), 1.25);
    Key(Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(zoom(), 1.1);
    Key(Qt::Key_0, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(zoom(), 1.0);
    for (int i = 0; i < 20; ++i)
        Key(Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(zoom(), 0.25);
    for (int i = 0; i < 20; ++i)
        Key(Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(zoom(), 5.0);
    EXPECT_EQ(t.log.entries(), QStringList());  // zoom is silent
}

TEST_F(MainKeysTest, CtrlQEndsTheProgramAsTheMenusExitDoes)
{
    t.app->forms().Get<BrowserStatusFRM>()->show();
    t.log.Clear();
    Key(Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(t.process.ends, 1);
    EXPECT_TRUE(t.app->ended());
    EXPECT_EQ(t.log.entries(), QStringList{"end"});
}

TEST_F(MainKeysTest, F10MenuKeyAndSpaceOnTheMenuButtonDropTheMenuFromTheButton)
{
    const QPoint belowButton = ui(main).Mnu->mapToGlobal(QPoint(0, ui(main).Mnu->height()));
    for (auto [key, onButton] : {std::pair{Qt::Key_F10, false}, std::pair{Qt::Key_Menu, false}, std::pair{Qt::Key_Space, true}}) {
        // A closed pop-up menu leaves no window active on this platform.
        main->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(main));
        if (onButton)
            ui(main).Mnu->setFocus(Qt::TabFocusReason);
        QPoint openedAt;
        QString faceWhileOpen;
        QTimer::singleShot(0, main, [&] {
            MenuFRM* menu = t.app->forms().Find<MenuFRM>();
            ASSERT_NE(menu, nullptr);
            ASSERT_TRUE(ui(menu).FileMNU->isVisible());
            openedAt = ui(menu).FileMNU->pos();
            faceWhileOpen = face(ui(main).Mnu);
            ui(menu).FileMNU->close();
        });
        t.log.Clear();
        Key(key);
        EXPECT_EQ(openedAt, belowButton) << key;
        EXPECT_EQ(faceWhileOpen, "/MenuDOWN.BMP") << key;
        EXPECT_EQ(face(ui(main).Mnu), "/MenuUP.BMP") << key;
        EXPECT_EQ(t.log.entries().first(), "picture /MenuDOWN.BMP") << key;
    }
}

TEST_F(MainKeysTest, ScreenReadersFindNamedButtonsSwitchAndAddressBox)
{
    QMap<QString, QAccessible::Role> found;
    QList<QAccessibleInterface*> pending{QAccessible::queryAccessibleInterface(main)};
    while (!pending.isEmpty()) {
        QAccessibleInterface* node = pending.takeFirst();
        if (!node)
            continue;
        const QString name = node->text(QAccessible::Name);
        if (!name.isEmpty())
            found.insert(name, node->role());
        for (int i = 0; i < node->childCount(); ++i)
            pending.append(node->child(i));
    }
    for (const char* name : {"Back", "Forward", "Refresh", "Stop", "Go", "Menu"}) {
        ASSERT_TRUE(found.contains(name)) << name;
        EXPECT_EQ(found.value(name), QAccessible::Button) << name;
    }
    EXPECT_EQ(found.value("Block Pop-Ups"), QAccessible::CheckBox);
    EXPECT_TRUE(found.contains("Address"));
    EXPECT_EQ(ui(main).Back->toolTip(), "Back");
    EXPECT_EQ(ui(main).Mnu->toolTip(), "Menu");

    // A screen reader's "press" runs the button's click.
    QAccessibleInterface* stop = QAccessible::queryAccessibleInterface(ui(main).StopS);
    ASSERT_NE(stop->actionInterface(), nullptr);
    t.log.Clear();
    stop->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(t.log.entries(), (QStringList{"picture /StopDOWN.BMP", "sound /Click.WAV", "browser 0 Stop", "picture /StopUP.BMP"}));
}

TEST(SplashKeys, EnterOrSpaceEntersAndTheWordsAreNamedWithoutBlanks)
{
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Space}) {
        TestApp t;
        auto* intro = t.app->forms().Show<IntroFRM>();
        intro->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(intro));
        EXPECT_EQ(ui(intro).ClickAnywhereToEnter->accessibleName(), "Click Anywhere To Enter.");
        t.log.Clear();
        Key(Qt::Key_A);  // other keys do nothing
        EXPECT_TRUE(t.log.entries().isEmpty());
        Key(key);
        EXPECT_EQ(t.log.entries().value(0), "sound /CloseWin.WAV");
        EXPECT_FALSE(intro->isVisible());
        MainFRM* main = t.app->forms().Find<MainFRM>();
        ASSERT_NE(main, nullptr);
        EXPECT_TRUE(main->isVisible());
    }
}
