#include "browser/MainFRM.h"

#include "browser/MainKeys.h"

#include "monitor/BrowserStatusFRM.h"
#include "monitor/IdleFRM.h"
#include "runtime/App.h"
#include "ports/BrowserControl.h"
#include "runtime/FreeMemory.h"
#include "runtime/ImageControl.h"
#include "runtime/KeyPress.h"
#include "runtime/Look.h"
#include "runtime/MainBrowser.h"
#include "ports/Services.h"
#include "runtime/Twips.h"
#include "shell/MenuFRM.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

namespace {

// The layout timer asked for 1 ms, which meant "as often as the platform's
// timer allows" (about 16 ms where it was designed). The layout it applies
// changes only when the window's size or state does, and every such change
// raises Form_Resize. So the timer runs from each resize for 60 ticks of
// 16 ms (a second): the address box and browser follow a drag without
// visible lag, each tick re-applying the whole layout; then it rests until
// the next resize, and a browser left alone never wakes for it.
constexpr int kResizeMeFollowMs = 16;
constexpr int kResizeMeFollowTicks = 60;

QString progressTitle(const QString& name, int progress, int progressMax)
{
    return QStringLiteral("Nimbrel - [ ") + name + QStringLiteral(" ] - [ Reading ") + QString::number(progress)
        + QStringLiteral("  of  ") + QString::number(progressMax) + QStringLiteral(" ]");
}

}  // namespace

QString MainFRM::DefaultAddress()
{
    return QStringLiteral("https://www.wikipedia.org/");
}

MainFRM::MainFRM(App& app) : Form(app)
{
    setWindowFlags(Qt::Window);
    SetCaption(QStringLiteral("Nimbrel - [Loading...]"));
    setFont(Look::font(8.25));
    Look::setColors(this, Look::windowFrame(), Look::highlightText());
    Twips::resizeClient(this, 9210, 6780);
    CenterOnScreen();

    PictureLoader& pictures = app.services().pictures;
    // Created back to front, so each later control is drawn over the earlier ones.
    MainFBackGroundImage = new ImageControl(pictures, ImageControl::Mode::Stretch, this);
    Twips::place(MainFBackGroundImage, 0, 1080, 405, 375);

    auto makeButton = [&](double left) {
        auto* image = new ImageControl(pictures, ImageControl::Mode::BitmapSize, this);
        Twips::place(image, left, 60, 1105, 255);
        image->setCursor(Qt::PointingHandCursor);
        return image;
    };
    Go = makeButton(6120);
    Back = makeButton(1320);
    ForwardF = makeButton(2520);
    RefreshR = makeButton(3720);
    StopS = makeButton(4920);
    Mnu = makeButton(120);

    CheckData = new QLabel(QStringLiteral("Block Pop-Ups"), this);
    Twips::place(CheckData, 7560, 140, 1575, 255);
    CheckData->setAlignment(Qt::AlignCenter);
    Look::setTextColor(CheckData, Look::highlightText());

    m_browser = app.services().browsers.Create(this);
    app.mainBrowser().Attach(m_browser);
    Twips::place(m_browser->widget(), 120, 960, 5775, 3735);

    URLC = new QComboBox(this);
    URLC->setEditable(true);
    URLC->setInsertPolicy(QComboBox::NoInsert);
    URLC->setEditText(DefaultAddress());
    Twips::place(URLC, 120, 525, 5775, 300);
    Look::setColors(URLC, Look::darkRed(), Look::windowBackground());
    Look::setColors(URLC->lineEdit(), Look::darkRed(), Look::windowBackground());

    // Pop-ups that pages open on their own are blocked from the start, as
    // users expect of a browser; the switch's caption blinks when one is stopped.
    BP = new QCheckBox(this);
    BP->setChecked(true);
    Twips::place(BP, 7320, 150, 200, 200);
    Look::setColors(BP, QColor(255, 0, 0), Look::windowBackground());

    Idle = new QPushButton(QStringLiteral("Go Idle"), this);
    Twips::place(Idle, 9240, 120, 2655, 255);

    // Keyboard order: the browser first, so it holds the focus when the window opens.
    setTabOrder(m_browser->widget(), URLC);
    setTabOrder(URLC, BP);
    setTabOrder(BP, Idle);
    m_browser->widget()->setFocus();

    ResizeMe = new QTimer(this);
    ResizeMe->setInterval(kResizeMeFollowMs);
    connect(ResizeMe, &QTimer::timeout, this, &MainFRM::ResizeMe_Timer);
    FollowResizing();

    connect(Back, &ImageControl::MouseDown, this, &MainFRM::Back_MouseDown);
    connect(ForwardF, &ImageControl::MouseDown, this, &MainFRM::ForwardF_MouseDown);
    connect(Go, &ImageControl::MouseDown, this, &MainFRM::Go_MouseDown);
    connect(RefreshR, &ImageControl::MouseDown, this, &MainFRM::RefreshR_MouseDown);
    connect(StopS, &ImageControl::MouseDown, this, &MainFRM::StopS_MouseDown);
    connect(Mnu, &ImageControl::MouseDown, this, &MainFRM::Mnu_MouseDown);
    connect(Back, &ImageControl::Click, this, &MainFRM::Back_Click);
    connect(ForwardF, &ImageControl::Click, this, &MainFRM::ForwardF_Click);
    connect(Go, &ImageControl::Click, this, &MainFRM::Go_Click);
    connect(RefreshR, &ImageControl::Click, this, &MainFRM::RefreshR_Click);
    connect(StopS, &ImageControl::Click, this, &MainFRM::StopS_Click);
    connect(Mnu, &ImageControl::Click, this, &MainFRM::Mnu_Click);
    connect(Idle, &QPushButton::clicked, this, &MainFRM::Idle_Click);
    KeyPressHook::Install(URLC, this, [this](int code) { URLC_KeyPress(code); });
    CheckData->installEventFilter(this);

    connect(m_browser, &BrowserControl::StatusTextChange, this, &MainFRM::BrowserWindow_StatusTextChange);
    connect(m_browser, &BrowserControl::ProgressChange, this, &MainFRM::BrowserWindow_ProgressChange);
    connect(m_browser, &BrowserControl::DownloadBegin, this, &MainFRM::BrowserWindow_DownloadBegin);
    connect(m_browser, &BrowserControl::DownloadComplete, this, &MainFRM::BrowserWindow_DownloadComplete);
    connect(m_browser, &BrowserControl::NavigateComplete2, this, &MainFRM::BrowserWindow_NavigateComplete2);
    connect(m_browser, &BrowserControl::DocumentComplete, this, &MainFRM::BrowserWindow_DocumentComplete);
    connect(m_browser, &BrowserControl::NewWindow2, this, &MainFRM::BrowserWindow_NewWindow2);

    new MainKeys(*this, app);
}

MainFRM::~MainFRM() = default;

bool MainFRM::eventFilter(QObject* watched, QEvent* event)
{
    // The caption label is clickable; it reports a completed click only.
    if (watched == CheckData && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (CheckData->rect().contains(mouse->position().toPoint()))
            CheckData_Click();
        return true;
    }
    return Form::eventFilter(watched, event);
}

void MainFRM::Form_Load()
{
    PlayWave(AssetPath(QStringLiteral("/OpenWin.WAV")));
    Twips::setTop(MainFBackGroundImage, 0);
    Twips::setLeft(MainFBackGroundImage, 0);
    MainFBackGroundImage->LoadPicture(AssetPath(QStringLiteral("/Main.BMP")));
    Go->LoadPicture(AssetPath(QStringLiteral("/GoUP.BMP")));
    Back->LoadPicture(AssetPath(QStringLiteral("/BackUP.BMP")));
    ForwardF->LoadPicture(AssetPath(QStringLiteral("/ForwardUP.BMP")));
    RefreshR->LoadPicture(AssetPath(QStringLiteral("/RefreshUP.BMP")));
    StopS->LoadPicture(AssetPath(QStringLiteral("/StopUP.BMP")));
    Mnu->LoadPicture(AssetPath(QStringLiteral("/MenuUP.BMP")));
    // A refused address still leaves the caption set.
    m_browser->Navigate(URLC->currentText());
    SetCaption(QStringLiteral("Nimbrel - [Going to: ") + URLC->currentText() + QStringLiteral("]"));
}

void MainFRM::Form_Resize()
{
    FollowResizing();
    Twips::setLeft(Idle, 99999);
    if (State() == WindowState::Maximized)
        Twips::setLeft(Idle, 9240);
    Twips::setWidth(MainFBackGroundImage, Twips::outerWidth(this));
    Twips::setHeight(MainFBackGroundImage, Twips::outerHeight(this));
}

void MainFRM::FollowResizing()
{
    m_followTicks = kResizeMeFollowTicks;
    if (!ResizeMe->isActive())
        ResizeMe->start();
}

void MainFRM::ResizeMe_Timer()
{
    if (--m_followTicks <= 0)
        ResizeMe->stop();

    // A negative size is not applied: the control keeps the size it had.
    if (State() == WindowState::Minimized)
        return;
    Twips::setWidth(URLC, Twips::outerWidth(this) - 350);
    Twips::setWidth(m_browser->widget(), Twips::outerWidth(this) - 350);
    Twips::setHeight(m_browser->widget(), Twips::outerHeight(this) - 1500);
}

void MainFRM::Back_MouseDown() { Back->LoadPicture(AssetPath(QStringLiteral("/BackDOWN.BMP"))); }
void MainFRM::ForwardF_MouseDown() { ForwardF->LoadPicture(AssetPath(QStringLiteral("/ForwardDOWN.BMP"))); }
void MainFRM::Go_MouseDown() { Go->LoadPicture(AssetPath(QStringLiteral("/GoDOWN.BMP"))); }
void MainFRM::RefreshR_MouseDown() { RefreshR->LoadPicture(AssetPath(QStringLiteral("/RefreshDOWN.BMP"))); }
void MainFRM::StopS_MouseDown() { StopS->LoadPicture(AssetPath(QStringLiteral("/StopDOWN.BMP"))); }
void MainFRM::Mnu_MouseDown() { Mnu->LoadPicture(AssetPath(QStringLiteral("/MenuDOWN.BMP"))); }

void MainFRM::Back_Click()
{
    PlayWave(AssetPath(QStringLiteral("/Click.WAV")));
    m_browser->GoBack();
    Back->LoadPicture(AssetPath(QStringLiteral("/BackUP.BMP")));
}

void MainFRM::ForwardF_Click()
{
    PlayWave(AssetPath(QStringLiteral("/Click.WAV")));
    m_browser->GoForward();
    ForwardF->LoadPicture(AssetPath(QStringLiteral("/ForwardUP.BMP")));
}

void MainFRM::Go_Click()
{
    // The address box is read twice: the navigation may already have changed it.
    m_browser->Navigate(URLC->currentText());
    SetCaption(QStringLiteral("Nimbrel - [Going to: ") + URLC->currentText() + QStringLiteral("]"));
    Go->LoadPicture(AssetPath(QStringLiteral("/GoUP.BMP")));
    PlayWave(AssetPath(QStringLiteral("/Click.WAV")));
}

void MainFRM::RefreshR_Click()
{
    m_browser->Refresh();
    RefreshR->LoadPicture(AssetPath(QStringLiteral("/RefreshUP.BMP")));
    PlayWave(AssetPath(QStringLiteral("/Click.WAV")));
}

void MainFRM::StopS_Click()
{
    PlayWave(AssetPath(QStringLiteral("/Click.WAV")));
    m_browser->Stop();
    StopS->LoadPicture(AssetPath(QStringLiteral("/StopUP.BMP")));
}

void MainFRM::URLC_KeyPress(int keyAscii)
{
    if (keyAscii == 13)
        Go_Click();
}

void MainFRM::CheckData_Click()
{
    PlayWave(AssetPath(QStringLiteral("/Click.WAV")));
}

void MainFRM::Idle_Click()
{
    PlayWave(AssetPath(QStringLiteral("/Click.WAV")));
    hide();
    ShowIdleScreen();
}

void MainFRM::Mnu_Click()
{
    PlayWave(AssetPath(QStringLiteral("/Click.WAV")));
    QPointer<MainFRM> self(this);
    MenuFRM* menu = app().forms().Get<MenuFRM>();
    // Waits here while the menu is up; the chosen entry runs before exec returns.
    menu->PopUp(MenuPopupPoint());
    if (!self || app().ended())
        return;
    Mnu->LoadPicture(AssetPath(QStringLiteral("/MenuUP.BMP")));
}

QPoint MainFRM::MenuPopupPoint() const
{
    // Opened from the keyboard, the menu drops down from the button.
    if (Mnu->keyboardPress())
        return Mnu->mapToGlobal(QPoint(0, Mnu->height()));
    return QCursor::pos();
}

void MainFRM::ShowLocationInAddressBox()
{
    // Every step of a load shows the address; the box is rewritten only when
    // it changes, so a load's many steps neither redraw it nor reset the
    // cursor and selection of a user who is about to type.
    const QString location = m_browser->LocationURL();
    if (URLC->currentText() != location)
        URLC->setEditText(location);
}

void MainFRM::BrowserWindow_StatusTextChange(const QString&)
{
    SetCaption(QStringLiteral("Nimbrel - [Idle]"));
    ShowLocationInAddressBox();
}

void MainFRM::BrowserWindow_ProgressChange(int progress, int progressMax)
{
    SetCaption(progressTitle(m_browser->LocationName(), progress, progressMax));
    ShowLocationInAddressBox();
    // The status window shows the line; writing it creates that window,
    // hidden, when it does not exist.
    app().forms().Get<BrowserStatusFRM>();
    app().mainBrowser().SetProgressLine(QStringLiteral("Reading ") + QString::number(progress) + QStringLiteral("  of  ")
                                        + QString::number(progressMax));
}

void MainFRM::BrowserWindow_DownloadBegin()
{
    SetCaption(QStringLiteral("Nimbrel - [Begining Download]"));
    ShowLocationInAddressBox();
}

void MainFRM::BrowserWindow_DownloadComplete()
{
    SetCaption(QStringLiteral("Nimbrel - [Download Complete]"));
    ShowLocationInAddressBox();
}

void MainFRM::BrowserWindow_NavigateComplete2(const QString&)
{
    SetCaption(QStringLiteral("Nimbrel - [Done Loading]"));
    ShowLocationInAddressBox();
}

void MainFRM::BrowserWindow_DocumentComplete(const QString&)
{
    SetCaption(QStringLiteral("Nimbrel - [Done Loading Document]"));
    ShowLocationInAddressBox();
    // A second after the last document of a page is complete, while the user
    // reads, what loading it freed goes back to the system.
    if (!m_giveBack) {
        m_giveBack = new QTimer(this);
        m_giveBack->setSingleShot(true);
        m_giveBack->setInterval(1000);
        connect(m_giveBack, &QTimer::timeout, this, &GiveBackFreeMemory);
    }
    m_giveBack->start();
}

void MainFRM::BrowserWindow_NewWindow2(NewWindowRequest& request)
{
    AllowPopup = !BP->isChecked();
    // A checked switch refuses the windows a page opens on its own; windows
    // the user asked for with a click still open.
    if (!AllowPopup && !request.userInitiated) {
        request.cancel = true;
        FlashBlockedPopup();
    }
}

void MainFRM::FlashBlockedPopup()
{
    // Tell the user a pop-up was stopped: the switch's caption blinks a few
    // times, then shows its own colour again. Its text never changes.
    m_blockedFlashes = 6;
    if (!m_blink) {
        m_blink = new QTimer(this);
        m_blink->setInterval(150);
        connect(m_blink, &QTimer::timeout, this, &MainFRM::BlinkCheckData);
    }
    BlinkCheckData();
    m_blink->start();
}

void MainFRM::BlinkCheckData()
{
    const bool lit = m_blockedFlashes % 2 == 0 && m_blockedFlashes > 0;
    Look::setTextColor(CheckData, lit ? QColor(255, 220, 0) : Look::highlightText());
    if (--m_blockedFlashes < 0)
        m_blink->stop();
}

void MainFRM::Closing()
{
    PlayWave(AssetPath(QStringLiteral("/CloseWin.WAV")));
    if (State() == WindowState::Maximized)
        SetState(WindowState::Normal);
    app().EndProgram();
}

void MainFRM::Form_Unload()
{
    Closing();
}

void MainFRM::ShowIdleScreen()
{
    app().forms().Show<IdleFRM>();
}
