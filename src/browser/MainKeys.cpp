#include "browser/MainKeys.h"

#include "browser/MainFRM.h"
#include "runtime/App.h"
#include "ports/BrowserControl.h"
#include "runtime/FormRegistry.h"
#include "runtime/ImageControl.h"
#include "shell/MenuFRM.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QVariant>
#include <algorithm>
#include <array>

namespace {

// The zoom levels a step moves between, as browsers offer them.
constexpr std::array<double, 15> kZoomLevels{0.25, 0.33, 0.5, 0.67, 0.75, 0.8, 0.9, 1.0,
                                             1.1,  1.25, 1.5, 1.75, 2.0,  3.0,  5.0};

// The engine's view keeps its zoom in its "zoomFactor" property; a view
// without it just holds the value.
const char* const kZoomProperty = "zoomFactor";

}  // namespace

MainKeys::MainKeys(MainFRM& window, App& app) : QObject(&window), m_window(window), m_app(app)
{
    NameControls();

    AddShortcut(QKeySequence(Qt::ALT | Qt::Key_Left), &MainKeys::PressBack);
    AddShortcut(QKeySequence(Qt::ALT | Qt::Key_Right), &MainKeys::PressForward);
    AddShortcut(QKeySequence(Qt::Key_F5), &MainKeys::PressRefresh);
    AddShortcut(QKeySequence(Qt::CTRL | Qt::Key_R), &MainKeys::PressRefresh);
    // Escape stops a page while it loads; at any other time it belongs to
    // the page (closing its dialogs, leaving its full-screen video).
    QShortcut* stop = AddShortcut(QKeySequence(Qt::Key_Escape), &MainKeys::PressStop);
    stop->setEnabled(false);
    BrowserControl* browser = m_window.m_browser;
    connect(browser, &BrowserControl::DownloadBegin, stop, [stop] { stop->setEnabled(true); });
    connect(browser, &BrowserControl::DocumentComplete, stop, [stop] { stop->setEnabled(false); });
    AddShortcut(QKeySequence(Qt::CTRL | Qt::Key_L), &MainKeys::SelectAddress);
    AddShortcut(QKeySequence(Qt::ALT | Qt::Key_D), &MainKeys::SelectAddress);
    AddShortcut(QKeySequence(Qt::Key_F6), &MainKeys::SelectAddress);
    // Ctrl with "+" or "=" (the same key without Shift on most layouts).
    AddShortcut(QKeySequence(Qt::CTRL | Qt::Key_Plus), &MainKeys::ZoomIn);
    AddShortcut(QKeySequence(Qt::CTRL | Qt::Key_Equal), &MainKeys::ZoomIn);
    AddShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Plus), &MainKeys::ZoomIn);
    AddShortcut(QKeySequence(Qt::CTRL | Qt::Key_Minus), &MainKeys::ZoomOut);
    AddShortcut(QKeySequence(Qt::CTRL | Qt::Key_0), &MainKeys::ZoomReset);
    AddShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), &MainKeys::Exit);
    AddShortcut(QKeySequence(Qt::Key_F10), &MainKeys::PopUpMenu);
    AddShortcut(QKeySequence(Qt::Key_Menu), &MainKeys::PopUpMenu);

    m_window.Idle->installEventFilter(this);
    m_view = m_window.m_browser->widget();
    m_view->installEventFilter(this);
    KeepIdleFocusInSight();
}

void MainKeys::NameControls()
{
    m_window.Back->MakeKeyboardButton(QStringLiteral("Back"));
    m_window.ForwardF->MakeKeyboardButton(QStringLiteral("Forward"));
    m_window.RefreshR->MakeKeyboardButton(QStringLiteral("Refresh"));
    m_window.StopS->MakeKeyboardButton(QStringLiteral("Stop"));
    m_window.Go->MakeKeyboardButton(QStringLiteral("Go"));
    m_window.Mnu->MakeKeyboardButton(QStringLiteral("Menu"));
    m_window.BP->setAccessibleName(QStringLiteral("Block Pop-Ups"));
    m_window.BP->setToolTip(QStringLiteral("Block Pop-Ups"));
    m_window.URLC->setAccessibleName(QStringLiteral("Address"));
    m_window.URLC->lineEdit()->setAccessibleName(QStringLiteral("Address"));

    ApplyTabOrder();
}

void MainKeys::ApplyTabOrder()
{
    // The page, the address box, the switch and "Go Idle", then the buttons
    // from left to right as they stand. The engine's view adds its own input
    // widget when it first shows a page, which upsets the chain, so the order
    // is laid again then.
    QWidget* previous = m_window.m_browser->widget();
    for (QWidget* next : {static_cast<QWidget*>(m_window.URLC), static_cast<QWidget*>(m_window.BP),
                          static_cast<QWidget*>(m_window.Idle), static_cast<QWidget*>(m_window.Mnu),
                          static_cast<QWidget*>(m_window.Back), static_cast<QWidget*>(m_window.ForwardF),
                          static_cast<QWidget*>(m_window.RefreshR), static_cast<QWidget*>(m_window.StopS),
                          static_cast<QWidget*>(m_window.Go)}) {
        QWidget::setTabOrder(previous, next);
        previous = next;
    }
}

QShortcut* MainKeys::AddShortcut(const QKeySequence& keys, void (MainKeys::*action)())
{
    auto* shortcut = new QShortcut(keys, &m_window);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this, action);
    return shortcut;
}

void MainKeys::PressBack() { m_window.Back->Press(); }
void MainKeys::PressForward() { m_window.ForwardF->Press(); }
void MainKeys::PressRefresh() { m_window.RefreshR->Press(); }
void MainKeys::PressStop() { m_window.StopS->Press(); }
void MainKeys::PopUpMenu() { m_window.Mnu->Press(); }

void MainKeys::Exit()
{
    m_app.forms().Get<MenuFRM>()->EMNU_Click();
}

void MainKeys::SelectAddress()
{
    m_window.URLC->setFocus(Qt::ShortcutFocusReason);
    m_window.URLC->lineEdit()->selectAll();
}

double MainKeys::Zoom() const
{
    const QVariant zoom = m_window.m_browser->widget()->property(kZoomProperty);
    return zoom.isValid() ? zoom.toDouble() : 1.0;
}

void MainKeys::SetZoom(double factor)
{
    m_window.m_browser->widget()->setProperty(kZoomProperty, factor);
}

void MainKeys::ZoomIn()
{
    const double now = Zoom();
    const auto next = std::find_if(kZoomLevels.begin(), kZoomLevels.end(), [now](double z) { return z > now + 0.001; });
    SetZoom(next != kZoomLevels.end() ? *next : kZoomLevels.back());
}

void MainKeys::ZoomOut()
{
    const double now = Zoom();
    const auto next = std::find_if(kZoomLevels.rbegin(), kZoomLevels.rend(), [now](double z) { return z < now - 0.001; });
    SetZoom(next != kZoomLevels.rend() ? *next : kZoomLevels.front());
}

void MainKeys::ZoomReset() { SetZoom(1.0); }

bool MainKeys::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window.Idle && (event->type() == QEvent::Move || event->type() == QEvent::Resize))
        KeepIdleFocusInSight();
    // Only the watched pointers are compared here: while the window is torn
    // down its controls go before this object does.
    if (watched == m_view && event->type() == QEvent::ChildAdded)
        QTimer::singleShot(0, this, &MainKeys::ApplyTabOrder);
    return QObject::eventFilter(watched, event);
}

void MainKeys::KeepIdleFocusInSight()
{
    // The layout parks "Go Idle" far to the right while the window is not
    // maximised; Tab must not land on a button nobody can see, and Space on
    // it would hide the window.
    QPushButton* idle = m_window.Idle;
    const bool inSight = m_window.rect().intersects(idle->geometry());
    if (!inSight && idle->hasFocus())
        m_window.m_browser->widget()->setFocus(Qt::OtherFocusReason);
    idle->setFocusPolicy(inSight ? Qt::StrongFocus : Qt::NoFocus);
}
