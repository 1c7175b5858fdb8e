#include "shell/IntroFRM.h"

#include "browser/MainFRM.h"
#include "runtime/App.h"
#include "runtime/ImageControl.h"
#include "runtime/Look.h"
#include "ports/Services.h"
#include "runtime/Twips.h"
#include "shell/BlankWrappingLabel.h"
#include "effects/WindowSlideTarget.h"
#include "effects/WindowEffects.h"

#include <QFrame>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>

IntroFRM::IntroFRM(App& app) : Form(app)
{
    // Not managed by the window manager: a manager keeps the windows it
    // manages partly on screen, and the slides must take this one past every edge.
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint);
    SetCaption(QString());
    Twips::resizeClient(this, 6975, 2415);
    Look::setColors(this, Look::windowFrame(), Look::highlightText());
    setFont(Look::font(8.25));

    // Back to front: the outline, the picture, then the label that takes every click.
    IntroFormBorder = new QFrame(this);
    IntroFormBorder->setFrameShape(QFrame::Box);
    IntroFormBorder->setLineWidth(1);
    IntroFormBorder->setPalette(QPalette(Look::darkRed()));
    QPalette borderPalette = IntroFormBorder->palette();
    borderPalette.setColor(QPalette::WindowText, Look::darkRed());
    IntroFormBorder->setPalette(borderPalette);
    Twips::place(IntroFormBorder, 0, 0, 6975, 2415);

    IntroImage = new ImageControl(app.services().pictures, ImageControl::Mode::Stretch, this);
    Twips::place(IntroImage, 120, 120, 6735, 2175);

    // 826 blanks wrap over the first lines, so the words land low on the picture.
    ClickAnywhereToEnter = new BlankWrappingLabel(QString(826, QLatin1Char(' ')) + QStringLiteral("Click Anywhere To Enter."), this);
    Twips::place(ClickAnywhereToEnter, 0, 0, 6975, 2415);
    // The words stay over the picture, clear of its bottom margin.
    ClickAnywhereToEnter->setContentsMargins(Twips::toPixels(120), 0, 0, Twips::toPixels(240));
    ClickAnywhereToEnter->setFont(Look::font(8.25));
    Look::setTextColor(ClickAnywhereToEnter, Look::highlightText());
    ClickAnywhereToEnter->installEventFilter(this);
    // Enter or Space enter as a click does; screen readers hear the words without the blanks.
    ClickAnywhereToEnter->setFocusPolicy(Qt::StrongFocus);
    // Naming a widget wakes the accessibility bridge (a bus connection, over a
    // millisecond), so the words are named once the window is on the screen.
    QMetaObject::invokeMethod(
        ClickAnywhereToEnter,
        [label = ClickAnywhereToEnter] { label->setAccessibleName(QStringLiteral("Click Anywhere To Enter.")); },
        Qt::QueuedConnection);
    setFocusProxy(ClickAnywhereToEnter);
    CenterOnScreen();
}

void IntroFRM::Form_Load()
{
    PlayWave(AssetPath(QStringLiteral("/Intro.WAV")));
    IntroImage->LoadPicture(AssetPath(QStringLiteral("/Intro.BMP")));
    Twips::setWidth(IntroImage, 6735);
    Twips::setHeight(IntroImage, 2175);
    ravel32::StayOnTop(this);
}

bool IntroFRM::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ClickAnywhereToEnter && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (ClickAnywhereToEnter->rect().contains(mouse->position().toPoint()))
            ClickAnywhereToEnter_Click();
        return true;
    }
    if (watched == ClickAnywhereToEnter && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool enters = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Space;
        if (enters && !key->isAutoRepeat()) {
            ClickAnywhereToEnter_Click();
            return true;
        }
    }
    return Form::eventFilter(watched, event);
}

void IntroFRM::ClickAnywhereToEnter_Click()
{
    // The slides let events run, so a second click could arrive mid-slide;
    // the window is already on its way out and that click is ignored.
    if (m_entering)
        return;
    m_entering = true;
    PlayWave(AssetPath(QStringLiteral("/CloseWin.WAV")));
    QPointer<IntroFRM> self(this);
    WindowSlideTarget target(app(), this);
    for (auto slide : {ravel32::SlideUp, ravel32::SlideRight, ravel32::SlideDown, ravel32::SlideLeft, ravel32::SlideRight}) {
        slide(target);
        if (!self || app().ended())
            return;
    }
    hide();
    app().forms().Show<MainFRM>();
}
