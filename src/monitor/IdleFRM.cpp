#include "monitor/IdleFRM.h"

#include "browser/MainFRM.h"
#include "monitor/EffectCanvas.h"
#include "monitor/Effex.h"
#include "runtime/App.h"
#include "runtime/Look.h"
#include "ports/RandomSource.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <algorithm>

namespace {

// The timer's design interval was 1 ms, which on the original platform meant
// "as often as the timer can fire": a new tick as soon as the last one had
// drawn its burst and its 1204 lines, a handful of ticks a second on the
// machines of its day. A tick every 60 ms (about 16 a second) keeps the
// screen busy with bursts and lines to the eye, while the program uses about
// a quarter of one core on a 1920x1080 screen rather than all of it. A tick
// that is still inside its passes when the timer fires skips that tick.
constexpr int kEffectPeriodMs = 60;

}  // namespace

IdleFRM::IdleFRM(App& app) : Form(app)
{
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    Look::setColors(this, Effex::PaletteColour(0), Look::highlightText());

    m_canvas = new EffectCanvas(this);
    m_canvas->setGeometry(rect());
    m_surface = m_canvas;

    EffectTimer = new QTimer(this);
    EffectTimer->setInterval(kEffectPeriodMs);
    connect(EffectTimer, &QTimer::timeout, this, &IdleFRM::EffectTimer_Timer);
}

IdleFRM::~IdleFRM() = default;

void IdleFRM::Form_Load()
{
    PlayWave(AssetPath(QStringLiteral("/OpenWin.WAV")));
    // The whole screen, once it is shown. The geometry is set as well for
    // window systems that ignore the full-screen request.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(screen->geometry());
    setWindowState(Qt::WindowFullScreen);
}

void IdleFRM::Form_Unload()
{
    PlayWave(AssetPath(QStringLiteral("/CloseWin.WAV")));
    // Closed by the window system (Alt+F4) rather than clicked away: the main
    // window would otherwise stay hidden with no way back to it.
    if (MainFRM* main = app().forms().Find<MainFRM>(); main && main->isHidden())
        FormRegistry::ShowForm(main);
}

void IdleFRM::Form_Resize()
{
    m_canvas->setGeometry(rect());
}

RandomSource& IdleFRM::Random() const
{
    return app().services().random;
}

bool IdleFRM::DoEvents()
{
    QPointer<IdleFRM> self(this);
    QCoreApplication::processEvents();
    if (!self)
        return false;
    return !app().ended() && !isUnloaded();
}

void IdleFRM::EffectTimer_Timer()
{
    if (m_ticking || app().ended())
        return;
    QPointer<IdleFRM> self(this);
    m_ticking = true;
    Random().Randomize();
    DrawCircles();
    Effex::LineEffect(*this);
    // The window may have been closed while the passes let events run.
    if (self)
        m_ticking = false;
}

void IdleFRM::DrawCircles()
{
    EffectSurface& surface = Surface();
    RandomSource& random = Random();
    surface.UsePixelScale();
    const QSize client = surface.ClientPixels();
    const int x = Effex::RoundHalfAway(random.Rnd() * client.width());
    const int y = Effex::RoundHalfAway(random.Rnd() * client.height());
    const int largest = std::min(x, y);
    for (int r = 0; r <= largest; ++r) {
        const double a = random.Rnd();
        const double b = random.Rnd();
        const double c = random.Rnd();
        const QColor colour(Effex::RoundHalfEven(a * 255), Effex::RoundHalfEven(b * 255),
                            Effex::RoundHalfEven(c * 255));
        surface.Circle(x, y, r, colour);
    }
    // Drawing went straight onto the screen on the original platform: show
    // the burst now, before the line effect clears it.
    surface.Present();
}

void IdleFRM::Form_Click()
{
    PlayWave(AssetPath(QStringLiteral("/Click.WAV")));
    hide();
    app().forms().ShowLoaded<MainFRM>();
}

void IdleFRM::showEvent(QShowEvent* event)
{
    Form::showEvent(event);
    EffectTimer->start();
}

void IdleFRM::hideEvent(QHideEvent* event)
{
    Form::hideEvent(event);
    // Nothing drawn into a hidden window can be seen: the animation rests
    // until the window is shown again, so the program idles without CPU.
    EffectTimer->stop();
}

void IdleFRM::mousePressEvent(QMouseEvent* event)
{
    m_pressed = true;
    event->accept();
}

void IdleFRM::mouseReleaseEvent(QMouseEvent* event)
{
    const bool wasPressed = m_pressed;
    m_pressed = false;
    event->accept();
    if (wasPressed && rect().contains(event->position().toPoint()) && !app().ended())
        Form_Click();
}
