#include "authoring/EditorBrowserFRM.h"

#include "authoring/EditorToolbarIcons.h"
#include "runtime/App.h"
#include "ports/BrowserControl.h"
#include "runtime/KeyPress.h"
#include "runtime/Look.h"
#include "runtime/Twips.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QTimer>
#include <QToolBar>

namespace {

const QString kCaptionPrefix = QStringLiteral("NB Editor - [");
const QStringList kToolBarKeys = {
    QStringLiteral("Back"), QStringLiteral("Forward"), QStringLiteral("Stop"),
    QStringLiteral("Refresh"), QStringLiteral("Home"), QStringLiteral("Search"),
};

// The timer is designed to tick every 5 ms. The original platform's timers
// ticked at its ~15.6 ms resolution at best, so 16 ms keeps the rhythm the
// window was written for; the timer only runs while a page loads, so an idle
// window never wakes up for it.
constexpr int kTimerIntervalMs = 16;

}  // namespace

EditorBrowserFRM::EditorBrowserFRM(App& app) : Form(app)
{
    Twips::resizeClient(this, 5325, 4980);
    // The program's dark look; the address box is red like the main window's.
    Look::setColors(this, Look::windowFrame(), Look::highlightText());

    TBToolBar = new QToolBar(this);
    TBToolBar->setObjectName(QStringLiteral("TBToolBar"));
    Twips::place(TBToolBar, 0, 0, 5325, 540);
    BuildToolBar();

    picAddress = new QWidget(this);
    picAddress->setObjectName(QStringLiteral("picAddress"));
    Twips::place(picAddress, 0, 540, 5325, 675);

    lblAddress = new QLabel(QStringLiteral("&Address:"), picAddress);
    lblAddress->setObjectName(QStringLiteral("lblAddress"));
    lblAddress->setFont(Look::font(9.75));
    Twips::place(lblAddress, 45, 50, 3075, 255);

    CBOAddress = new QComboBox(picAddress);
    CBOAddress->setObjectName(QStringLiteral("CBOAddress"));
    // Leaving the box (Enter, Tab, a click elsewhere) with a text that matches
    // an entry of its list makes the box report a pick of that entry. That is
    // no pick by the user: a flag raised just before the box's own handler
    // runs (connections run in the order made) lets the pick be ignored.
    auto* edit = new QLineEdit(CBOAddress);
    connect(edit, &QLineEdit::editingFinished, this, &EditorBrowserFRM::OnAddressEditingFinished);
    CBOAddress->setLineEdit(edit);
    // Enter is handled by the key-press rule alone: the box must neither add
    // the typed text to its list nor report a pick of a matching entry.
    CBOAddress->setInsertPolicy(QComboBox::NoInsert);
    CBOAddress->setDuplicatesEnabled(true);
    CBOAddress->setCompleter(nullptr);
    Twips::place(CBOAddress, 120, 260, 5115, 315);
    Look::setColors(CBOAddress, Look::darkRed(), Look::windowBackground());
    lblAddress->setBuddy(CBOAddress);

    m_browser = app.services().browsers.Create(this);
    Twips::place(m_browser->widget(), 120, 1200, 5160, 3735);

    TimTimer = new QTimer(this);
    TimTimer->setInterval(kTimerIntervalMs);

    setTabOrder(m_browser->widget(), CBOAddress);
    setTabOrder(CBOAddress, TBToolBar);

    connect(TimTimer, &QTimer::timeout, this, &EditorBrowserFRM::TimTimer_Timer);
    connect(CBOAddress, &QComboBox::activated, this, &EditorBrowserFRM::OnAddressPicked);
    KeyPressHook::Install(CBOAddress, this, [this](int code) { CBOAddress_KeyPress(code); });
    connect(m_browser, &BrowserControl::DownloadComplete, this, &EditorBrowserFRM::BrowserWindow_DownloadComplete);
    connect(m_browser, &BrowserControl::NavigateComplete2, this, &EditorBrowserFRM::BrowserWindow_NavigateComplete2);
    AddNavigationKeys();
}

EditorBrowserFRM::~EditorBrowserFRM() = default;

void EditorBrowserFRM::BuildToolBar()
{
    TBToolBar->setIconSize(QSize(EditorToolbarIcons::kSize, EditorToolbarIcons::kSize));
    TBToolBar->setMovable(false);
    TBToolBar->setFloatable(false);
    for (const QString& key : kToolBarKeys) {
        QAction* button = TBToolBar->addAction(QIcon(EditorToolbarIcons::Picture(key)), key);
        button->setObjectName(key);
        button->setData(key);
        button->setToolTip(key);
    }
    connect(TBToolBar, &QToolBar::actionTriggered, this, &EditorBrowserFRM::OnToolBarAction);
}

void EditorBrowserFRM::AddNavigationKeys()
{
    // The browser keys the main window has, each running its toolbar button.
    const std::pair<QKeySequence, QString> keys[] = {
        {QKeySequence(Qt::ALT | Qt::Key_Left), QStringLiteral("Back")},
        {QKeySequence(Qt::ALT | Qt::Key_Right), QStringLiteral("Forward")},
        {QKeySequence(Qt::Key_F5), QStringLiteral("Refresh")},
        {QKeySequence(Qt::CTRL | Qt::Key_R), QStringLiteral("Refresh")},
        {QKeySequence(Qt::Key_Escape), QStringLiteral("Stop")},
    };
    for (const auto& [sequence, key] : keys) {
        auto* shortcut = new QShortcut(sequence, this);
        connect(shortcut, &QShortcut::activated, this, [this, key = key] { TBToolBar_ButtonClick(key); });
    }
    for (const QKeySequence& sequence : {QKeySequence(Qt::CTRL | Qt::Key_L), QKeySequence(Qt::ALT | Qt::Key_D),
                                         QKeySequence(Qt::Key_F6)}) {
        auto* shortcut = new QShortcut(sequence, this);
        connect(shortcut, &QShortcut::activated, this, &EditorBrowserFRM::SelectAddress);
    }
    CBOAddress->setAccessibleName(QStringLiteral("Address"));
}

void EditorBrowserFRM::SelectAddress()
{
    CBOAddress->setFocus(Qt::ShortcutFocusReason);
    CBOAddress->lineEdit()->selectAll();
}

void EditorBrowserFRM::Form_Load()
{
    show();
    PlayWave(AssetPath(QStringLiteral("/OpenWin.WAV")));
    TBToolBar->update();
    Form_Resize();
    Twips::setLeft(CBOAddress, 50);
    Twips::setTop(CBOAddress, Twips::top(lblAddress) + Twips::height(lblAddress) + 15);
    if (StartingAddress.isEmpty())
        return;
    CBOAddress->setEditText(StartingAddress);
    CBOAddress->addItem(StartingAddress);
    TimTimer->start();
    m_browser->Navigate(StartingAddress);
}

void EditorBrowserFRM::Form_Resize()
{
    LayOut(Twips::clientWidth(this), Twips::clientHeight(this));
}

EditorBrowserFRM::Layout EditorBrowserFRM::LayOut(double clientWidth, double clientHeight)
{
    // The toolbar and the address strip are attached to the top edge.
    Twips::setWidth(TBToolBar, clientWidth);
    Twips::setWidth(picAddress, clientWidth);

    m_layout.addressWidth = clientWidth - 160;
    m_layout.browserWidth = clientWidth - 160;
    m_layout.browserHeight = clientHeight - (Twips::top(picAddress) + Twips::height(picAddress)) - 160;
    // A window too small for the rules keeps the sizes it had (no rule covers it).
    Twips::setWidth(CBOAddress, m_layout.addressWidth);
    Twips::setWidth(m_browser->widget(), m_layout.browserWidth);
    Twips::setHeight(m_browser->widget(), m_layout.browserHeight);
    return m_layout;
}

void EditorBrowserFRM::Form_Unload()
{
    PlayWave(AssetPath(QStringLiteral("/CloseWin.WAV")));
}

void EditorBrowserFRM::WriteDoneCaption(bool spaceBeforeBracket)
{
    SetCaption(kCaptionPrefix + m_browser->LocationName()
               + (spaceBeforeBracket ? QStringLiteral(" ]") : QStringLiteral("]")));
}

void EditorBrowserFRM::BrowserWindow_DownloadComplete()
{
    WriteDoneCaption(true);
}

void EditorBrowserFRM::BrowserWindow_NavigateComplete2(const QString&)
{
    RecordVisitedAddress();
}

void EditorBrowserFRM::RecordVisitedAddress()
{
    WriteDoneCaption(true);
    const QString address = m_browser->LocationURL();
    if (address.isEmpty())
        return;
    m_updatingList = true;
    const int found = CBOAddress->findText(address, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (found >= 0)
        CBOAddress->removeItem(found);
    CBOAddress->insertItem(0, address);
    CBOAddress->setCurrentIndex(0);
    m_updatingList = false;
}

void EditorBrowserFRM::TimTimer_Timer()
{
    if (m_browser->Busy()) {
        SetCaption(kCaptionPrefix + QStringLiteral(" Loading... ]"));
        return;
    }
    TimTimer->stop();
    WriteDoneCaption(false);
}

void EditorBrowserFRM::OnAddressEditingFinished()
{
    m_leavingBox = true;
    QTimer::singleShot(0, this, [this] { m_leavingBox = false; });
}

void EditorBrowserFRM::OnAddressPicked(int)
{
    if (m_leavingBox)
        return;
    CBOAddress_Click();
}

void EditorBrowserFRM::CBOAddress_Click()
{
    PlayWave(AssetPath(QStringLiteral("/Click.WAV")));
    if (m_updatingList)
        return;
    TimTimer->start();
    m_browser->Navigate(CBOAddress->currentText());
}

void EditorBrowserFRM::CBOAddress_KeyPress(int keyAscii)
{
    if (keyAscii == 13)
        CBOAddress_Click();
}

void EditorBrowserFRM::OnToolBarAction(QAction* action)
{
    TBToolBar_ButtonClick(action->data().toString());
}

void EditorBrowserFRM::TBToolBar_ButtonClick(const QString& key)
{
    PlayWave(AssetPath(QStringLiteral("/Click.WAV")));
    TimTimer->start();
    // Refused operations (Back at the start of the history, ...) are ignored.
    if (key == QLatin1String("Back")) {
        m_browser->GoBack();
    } else if (key == QLatin1String("Forward")) {
        m_browser->GoForward();
    } else if (key == QLatin1String("Refresh")) {
        m_browser->Refresh();
    } else if (key == QLatin1String("Home")) {
        m_browser->GoHome();
    } else if (key == QLatin1String("Search")) {
        m_browser->GoSearch();
    } else if (key == QLatin1String("Stop")) {
        TimTimer->stop();
        m_browser->Stop();
        WriteDoneCaption(true);
    }
}

void EditorBrowserFRM::Navigate(const QString& address)
{
    m_browser->Navigate(address);
}
