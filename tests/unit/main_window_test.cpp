#include "browser/MainFRM.h"
#include "monitor/BrowserStatusFRM.h"
#include "runtime/ImageControl.h"
#include "runtime/Twips.h"
#include "shell/MenuFRM.h"
#include "support/Eventually.h"
#include "support/TestApp.h"
#include "support/UserInput.h"
#include "support/WindowAccess.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        main = t.app->forms().Get<MainFRM>();
        browser = t.BrowserOf(main);
        ASSERT_NE(browser, nullptr);
    }
    QString face(ImageControl* image) const { return image->PictureFile().mid(t.dir().size()); }

    TestApp t;
    MainFRM* main = nullptr;
    ScriptedBrowser* browser = nullptr;
};

}  // namespace

TEST_F(MainWindow, LoadsInOrderSoundBackgroundFacesNavigationCaption)
{
    const QStringList expected{
        "sound /OpenWin.WAV",
        "picture /Main.BMP",
        "picture /GoUP.BMP",
        "picture /BackUP.BMP",
        "picture /ForwardUP.BMP",
        "picture /RefreshUP.BMP",
        "picture /StopUP.BMP",
        "picture /MenuUP.BMP",
        "browser 0 Navigate " + MainFRM::DefaultAddress(),
    };
    EXPECT_EQ(t.log.entries(), expected);
    EXPECT_EQ(main->Caption(), "Nimbrel - [Going to: " + MainFRM::DefaultAddress() + "]");
    EXPECT_EQ(ui(main).MainFBackGroundImage->pos(), QPoint(0, 0));
    EXPECT_FALSE(main->isVisible());  // loading does not show the window
    EXPECT_TRUE(ui(main).BP->isChecked());
    EXPECT_FALSE(ui(main).AllowPopup);
}

TEST_F(MainWindow, ARefusedAddressStillSetsTheCaptionFaceAndSound)
{
    browser->refuseAll = true;
    ui(main).URLC->setEditText("not an address");
    t.log.Clear();
    main->Go_Click();
    EXPECT_EQ(main->Caption(), "Nimbrel - [Going to: not an address]");
    EXPECT_EQ(t.log.entries(), (QStringList{"browser 0 Navigate not an address", "picture /GoUP.BMP", "sound /Click.WAV"}));
}

TEST_F(MainWindow, ResizeKeepsIdleOutOfSightUnlessMaximised)
{
    main->show();
    main->Form_Resize();
    EXPECT_EQ(ui(main).Idle->x(), Twips::toPixels(99999));
    main->SetState(Form::WindowState::Maximized);
    ASSERT_EVENTUALLY_EQ(main->State(), Form::WindowState::Maximized, 5000);
    EXPECT_EQ(ui(main).Idle->x(), Twips::toPixels(9240));
    main->SetState(Form::WindowState::Normal);
    ASSERT_EVENTUALLY_EQ(ui(main).Idle->x(), Twips::toPixels(99999), 5000);
    // The background follows the outer size on the resize event itself.
    EXPECT_EQ(ui(main).MainFBackGroundImage->size(), main->frameGeometry().size());
}

TEST_F(MainWindow, TimerTickSizesAddressBoxAndBrowser)
{
    main->show();
    main->resize(800, 500);
    const QSize before = browser->widget()->size();
    // The address box and browser follow only on the tick.
    ui(main).ResizeMe->stop();
    EXPECT_EQ(browser->widget()->size(), before);
    main->ResizeMe_Timer();
    const double W = Twips::outerWidth(main), H = Twips::outerHeight(main);
    EXPECT_EQ(ui(main).URLC->width(), Twips::toPixels(W - 350));
    EXPECT_EQ(browser->widget()->width(), Twips::toPixels(W - 350));
    EXPECT_EQ(browser->widget()->height(), Twips::toPixels(H - 1500));
    EXPECT_EQ(browser->widget()->pos(), QPoint(Twips::toPixels(120), Twips::toPixels(960)));
}

TEST_F(MainWindow, NegativeHeightIsNotAppliedAndMinimisedDoesNothing)
{
    main->show();
    ui(main).ResizeMe->stop();
    main->resize(700, 400);
    main->ResizeMe_Timer();
    const int height = browser->widget()->height();
    main->resize(700, 60);  // 900 twips: 900 - 1500 is negative
    main->ResizeMe_Timer();
    EXPECT_EQ(browser->widget()->height(), height);
    EXPECT_EQ(browser->widget()->width(), Twips::toPixels(Twips::outerWidth(main) - 350));

    const QSize box = ui(main).URLC->size();
    main->SetState(Form::WindowState::Minimized);
    main->resize(900, 600);
    main->ResizeMe_Timer();
    EXPECT_EQ(ui(main).URLC->size(), box);
}

TEST_F(MainWindow, PressShowsPressedFaceUntilTheNextClick)
{
    main->show();
    struct Case { ImageControl* image; const char* down; const char* up; };
    const Case cases[] = {
        {ui(main).Back, "/BackDOWN.BMP", "/BackUP.BMP"},
        {ui(main).ForwardF, "/ForwardDOWN.BMP", "/ForwardUP.BMP"},
        {ui(main).Go, "/GoDOWN.BMP", "/GoUP.BMP"},
        {ui(main).RefreshR, "/RefreshDOWN.BMP", "/RefreshUP.BMP"},
        {ui(main).StopS, "/StopDOWN.BMP", "/StopUP.BMP"},
    };
    for (const Case& c : cases) {
        // Pressed, then released outside: no click, the pressed face stays.
        QTest::mousePress(c.image, Qt::RightButton, {}, QPoint(3, 3));
        EXPECT_EQ(face(c.image), c.down);
        QTest::mouseRelease(c.image, Qt::RightButton, {}, QPoint(-40, -40));
        EXPECT_EQ(face(c.image), c.down);
        QTest::mouseClick(c.image, Qt::LeftButton, {}, QPoint(3, 3));
        EXPECT_EQ(face(c.image), c.up);
    }
}

TEST_F(MainWindow, CommandsRunTheirStepsInOrder)
{
    browser->Navigate("http://a.test/");
    browser->Navigate("http://b.test/");
    t.log.Clear();
    main->Back_Click();
    main->ForwardF_Click();
    main->StopS_Click();
    main->RefreshR_Click();
    EXPECT_EQ(t.log.entries(), (QStringList{
                                   "sound /Click.WAV", "browser 0 GoBack", "picture /BackUP.BMP",
                                   "sound /Click.WAV", "browser 0 GoForward", "picture /ForwardUP.BMP",
                                   "sound /Click.WAV", "browser 0 Stop", "picture /StopUP.BMP",
                                   "browser 0 Refresh", "picture /RefreshUP.BMP", "sound /Click.WAV",
                               }));
}

TEST_F(MainWindow, BackAtTheStartOfHistoryStillSoundsAndRestoresTheFace)
{
    TestApp fresh;
    MainFRM* m = fresh.app->forms().Get<MainFRM>();
    ScriptedBrowser* b = fresh.BrowserOf(m);
    const QString before = b->locationURL;
    m->Back_MouseDown();
    fresh.log.Clear();
    m->Back_Click();
    EXPECT_EQ(b->locationURL, before);
    EXPECT_EQ(fresh.log.entries(), (QStringList{"sound /Click.WAV", "browser 0 GoBack", "picture /BackUP.BMP"}));
    EXPECT_TRUE(ui(m).Back->PictureFile().endsWith("/BackUP.BMP"));
}

TEST_F(MainWindow, GoAndEnterGiveTheSameSequence)
{
    ASSERT_TRUE(UserInput::Activate(main));
    ui(main).URLC->setEditText("www.example.org");
    t.log.Clear();
    UserInput::Click(ui(main).Go);
    const QStringList clicked = t.log.entries();
    EXPECT_EQ(clicked, (QStringList{"picture /GoDOWN.BMP", "browser 0 Navigate www.example.org", "picture /GoUP.BMP",
                                    "sound /Click.WAV"}));
    EXPECT_EQ(main->Caption(), "Nimbrel - [Going to: www.example.org]");

    // A click into the address box gives it the keyboard; Enter typed there
    // (delivered to the window, as the window system does) runs Go.
    UserInput::Click(ui(main).URLC);
    ASSERT_EQ(QApplication::focusWidget(), ui(main).URLC);
    ui(main).URLC->setEditText("www.example.org");
    t.log.Clear();
    QSignalSpy returned(ui(main).URLC->lineEdit(), &QLineEdit::returnPressed);
    UserInput::Key(main, Qt::Key_Return);
    EXPECT_EQ(t.log.entries(), clicked.mid(1));
    EXPECT_EQ(returned.count(), 1);  // the box still received the key
    EXPECT_EQ(ui(main).URLC->count(), 0);  // and added nothing to its list

    // Keypad Enter is Enter too; other keys only edit the box.
    t.log.Clear();
    UserInput::Key(main, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(t.log.entries(), clicked.mid(1));
    t.log.Clear();
    UserInput::Type(main, "a");
    EXPECT_TRUE(t.log.entries().isEmpty());
    EXPECT_EQ(ui(main).URLC->currentText(), "www.example.orga");
}

TEST_F(MainWindow, GoWithAnEmptyBoxNavigatesToTheEmptyText)
{
    ui(main).URLC->setEditText(QString());
    t.log.Clear();
    main->Go_Click();
    EXPECT_EQ(t.log.entries().first(), "browser 0 Navigate ");
    EXPECT_EQ(main->Caption(), "Nimbrel - [Going to: ]");
}

TEST_F(MainWindow, EventsWriteTheirTitlesAndTheAddress)
{
    browser->locationURL = "http://page.test/x";
    browser->locationName = "Page X";
    ui(main).URLC->setEditText("half-typed");
    struct Case { std::function<void()> raise; QString title; };
    const std::vector<Case> cases{
        {[&] { emit browser->StatusTextChange("over a link"); }, "Nimbrel - [Idle]"},
        {[&] { emit browser->DownloadBegin(); }, "Nimbrel - [Begining Download]"},
        {[&] { emit browser->DownloadComplete(); }, "Nimbrel - [Download Complete]"},
        {[&] { emit browser->NavigateComplete2("ignored"); }, "Nimbrel - [Done Loading]"},
        {[&] { emit browser->DocumentComplete("ignored"); }, "Nimbrel - [Done Loading Document]"},
        {[&] { emit browser->ProgressChange(512, 2048); }, "Nimbrel - [ Page X ] - [ Reading 512  of  2048 ]"},
        {[&] { emit browser->ProgressChange(-1, 100); }, "Nimbrel - [ Page X ] - [ Reading -1  of  100 ]"},
    };
    for (const Case& c : cases) {
        ui(main).URLC->setEditText("half-typed");
        c.raise();
        EXPECT_EQ(main->Caption(), c.title);
        EXPECT_EQ(ui(main).URLC->currentText(), "http://page.test/x");
    }
    browser->locationName.clear();
    emit browser->ProgressChange(-5, -7);
    EXPECT_EQ(main->Caption(), "Nimbrel - [  ] - [ Reading -5  of  -7 ]");
}

// Records every title the window itself is given.
class TitleLog : public QObject {
public:
    explicit TitleLog(QWidget* window) : m_window(window) { window->installEventFilter(this); }
    QStringList titles;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_window && event->type() == QEvent::WindowTitleChange)
            titles << m_window->windowTitle();
        return false;
    }

private:
    QWidget* m_window;
};

TEST_F(MainWindow, ALoadsBurstOfCaptionsShowsOnlyItsLastWhenIdle)
{
    main->show();
    QCoreApplication::processEvents();
    TitleLog log(main);
    browser->locationName = "Page X";
    // The start of a load raises its first steps back to back...
    emit browser->DownloadBegin();
    emit browser->ProgressChange(0, 100);
    EXPECT_EQ(main->Caption(), "Nimbrel - [ Page X ] - [ Reading 0  of  100 ]");  // always the latest
    EXPECT_TRUE(log.titles.isEmpty());
    QCoreApplication::processEvents();
    EXPECT_EQ(log.titles, QStringList{"Nimbrel - [ Page X ] - [ Reading 0  of  100 ]"});
    // ...and its end the rest.
    emit browser->ProgressChange(100, 100);
    QCoreApplication::processEvents();
    emit browser->NavigateComplete2("ignored");
    emit browser->DownloadComplete();
    EXPECT_EQ(main->Caption(), "Nimbrel - [Download Complete]");
    emit browser->DocumentComplete("ignored");
    EXPECT_EQ(main->Caption(), "Nimbrel - [Done Loading Document]");
    QCoreApplication::processEvents();
    EXPECT_EQ(log.titles, (QStringList{"Nimbrel - [ Page X ] - [ Reading 0  of  100 ]",
                                       "Nimbrel - [ Page X ] - [ Reading 100  of  100 ]",
                                       "Nimbrel - [Done Loading Document]"}));
    EXPECT_EQ(main->windowTitle(), main->Caption());

    // A burst that ends on the title on show sends nothing.
    emit browser->DownloadBegin();
    emit browser->DocumentComplete("ignored");
    QCoreApplication::processEvents();
    EXPECT_EQ(log.titles.size(), 3);

    // A hidden window takes its caption at once, and shows with it.
    main->hide();
    emit browser->DownloadBegin();
    EXPECT_EQ(main->windowTitle(), "Nimbrel - [Begining Download]");
    main->show();
    QCoreApplication::processEvents();
    EXPECT_EQ(main->Caption(), "Nimbrel - [Begining Download]");

    // A window unloaded with a caption still waiting to be shown is simply gone.
    emit browser->DocumentComplete("ignored");
    emit browser->DownloadComplete();
    main->Unload();
    QCoreApplication::processEvents();
}

TEST_F(MainWindow, LoadStepsLeaveAnAddressBoxThatAlreadyShowsTheLocation)
{
    // A user selecting in the box while the page loads keeps the selection;
    // only a new address replaces what the box shows.
    browser->locationURL = "http://page.test/x";
    ui(main).URLC->setEditText("http://page.test/x");
    ui(main).URLC->lineEdit()->setSelection(7, 4);
    emit browser->ProgressChange(50, 100);
    emit browser->StatusTextChange(QString());
    EXPECT_EQ(ui(main).URLC->lineEdit()->selectedText(), "page");
    browser->locationURL = "http://page.test/y";
    emit browser->ProgressChange(60, 100);
    EXPECT_EQ(ui(main).URLC->currentText(), "http://page.test/y");
    EXPECT_FALSE(ui(main).URLC->lineEdit()->hasSelectedText());
}

TEST_F(MainWindow, ProgressCreatesTheStatusWindowHiddenWithItsSound)
{
    EXPECT_EQ(t.app->forms().Find<BrowserStatusFRM>(), nullptr);
    t.sound.played.clear();
    emit browser->ProgressChange(-1, 100);
    auto* status = t.app->forms().Find<BrowserStatusFRM>();
    ASSERT_NE(status, nullptr);
    EXPECT_FALSE(status->isVisible());
    EXPECT_EQ(ui(status).PercentageLoaded->text(), "Reading -1  of  100");
    emit browser->ProgressChange(10, 100);
    EXPECT_EQ(t.sound.played.count("/OpenWin.WAV"), 1);
    EXPECT_EQ(ui(status).PercentageLoaded->text(), "Reading 10  of  100");

    // Closed by the user: the next progress creates it again, hidden, with the sound again.
    status->show();
    status->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(t.app->forms().Find<BrowserStatusFRM>(), nullptr);
    emit browser->ProgressChange(20, 100);
    status = t.app->forms().Find<BrowserStatusFRM>();
    ASSERT_NE(status, nullptr);
    EXPECT_FALSE(status->isVisible());
    EXPECT_EQ(t.sound.played.count("/OpenWin.WAV"), 2);
    EXPECT_EQ(t.sound.played.count("/CloseWin.WAV"), 1);
}

TEST_F(MainWindow, PopUpSwitchRefusesOnlyWindowsThePageOpensOnItsOwn)
{
    ui(main).BP->setChecked(false);
    NewWindowRequest byScript{false, "http://pop.test/", false};
    emit browser->NewWindow2(byScript);
    EXPECT_TRUE(ui(main).AllowPopup);
    EXPECT_FALSE(byScript.cancel);

    ui(main).BP->setChecked(true);
    NewWindowRequest again{false, "http://pop.test/", false};
    emit browser->NewWindow2(again);
    EXPECT_FALSE(ui(main).AllowPopup);
    EXPECT_TRUE(again.cancel);
    EXPECT_EQ(ui(main).CheckData->text(), "Block Pop-Ups");

    NewWindowRequest byClick{true, "http://link.test/", false};
    emit browser->NewWindow2(byClick);
    EXPECT_FALSE(byClick.cancel);
}

TEST_F(MainWindow, CaptionLabelOnlySoundsAndLeavesTheSwitch)
{
    main->show();
    t.log.Clear();
    QTest::mouseClick(ui(main).CheckData, Qt::LeftButton);
    EXPECT_EQ(t.log.entries(), QStringList{"sound /Click.WAV"});
    EXPECT_TRUE(ui(main).BP->isChecked());
    QTest::mouseClick(ui(main).BP, Qt::LeftButton);
    EXPECT_FALSE(ui(main).BP->isChecked());
    EXPECT_EQ(t.log.entries(), QStringList{"sound /Click.WAV"});
}

TEST_F(MainWindow, MenuButtonKeepsPressedFaceUntilTheMenuCloses)
{
    main->show();
    main->Mnu_MouseDown();
    QString faceWhileOpen;
    QTimer::singleShot(0, main, [&] {
        MenuFRM* menu = t.app->forms().Find<MenuFRM>();
        ASSERT_NE(menu, nullptr);
        faceWhileOpen = face(ui(main).Mnu);
        ui(menu).FileMNU->close();
    });
    main->Mnu_Click();
    EXPECT_EQ(faceWhileOpen, "/MenuDOWN.BMP");
    EXPECT_EQ(face(ui(main).Mnu), "/MenuUP.BMP");
    EXPECT_FALSE(t.app->forms().Find<MenuFRM>()->isVisible());
}

TEST_F(MainWindow, ExitFromTheMenuEndsInsideTheWaitAndSkipsTheLastStep)
{
    main->show();
    t.app->forms().Get<BrowserStatusFRM>()->show();
    main->Mnu_MouseDown();
    QTimer::singleShot(0, main, [&] {
        MenuFRM* menu = t.app->forms().Find<MenuFRM>();
        ui(menu).EMNU->trigger();
        ui(menu).FileMNU->close();
    });
    t.log.Clear();
    main->Mnu_Click();
    EXPECT_EQ(t.process.ends, 1);
    EXPECT_TRUE(t.app->ended());
    EXPECT_EQ(face(ui(main).Mnu), "/MenuDOWN.BMP");
    EXPECT_EQ(t.log.entries(), (QStringList{"sound /Click.WAV", "end"}));
    EXPECT_FALSE(main->isVisible());
}

TEST_F(MainWindow, ClosingWhileMaximisedRestoresThenEndsWithoutOtherUnloads)
{
    main->show();
    t.app->forms().Get<BrowserStatusFRM>()->show();
    main->SetState(Form::WindowState::Maximized);
    ASSERT_EVENTUALLY_EQ(main->State(), Form::WindowState::Maximized, 5000);
    t.log.Clear();
    main->close();
    EXPECT_EQ(t.log.entries(), (QStringList{"sound /CloseWin.WAV", "end"}));
    EXPECT_EQ(main->State(), Form::WindowState::Normal);
    EXPECT_TRUE(t.app->ended());
    // Nothing runs any more once the program has ended.
    t.app->forms().Find<BrowserStatusFRM>()->close();
    EXPECT_EQ(t.log.entries(), (QStringList{"sound /CloseWin.WAV", "end"}));
}
