#include "monitor/BrowserStatusFRM.h"

#include "runtime/App.h"
#include "runtime/ImageControl.h"
#include "runtime/Look.h"
#include "runtime/MainBrowser.h"
#include "ports/Services.h"
#include "runtime/Twips.h"
#include "effects/WindowEffects.h"

#include <QLabel>
#include <QTimer>

namespace {

// The window follows the main browser as closely as it can, without polling:
// a poll, however slow, keeps an idle program awake, and the window usually
// lives for the whole run (the first page load creates it). So the timer
// fires only when the main browser says something it shows has changed (a
// new address or page name, the view resized), once for a burst of such
// changes, and only while the window is shown; showing the window refreshes
// it at once. The user always sees current values, and a resting program is
// not woken.

QLabel* makeLabel(QWidget* parent, const QString& text, double left, double top, double width, double height,
                  Qt::Alignment alignment, const QColor& color)
{
    auto* label = new QLabel(text, parent);
    Twips::place(label, left, top, width, height);
    label->setAlignment(alignment | Qt::AlignTop);
    label->setWordWrap(true);
    label->setFont(Look::font(8.25));
    Look::setTextColor(label, color);
    return label;
}

}  // namespace

BrowserStatusFRM::BrowserStatusFRM(App& app) : Form(app)
{
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    SetCaption(QStringLiteral("Browser Status") + QString(36, QLatin1Char(' ')) + QStringLiteral("NB"));
    Twips::resizeClient(this, 7230, 1335);
    setFixedSize(size());
    Look::setColors(this, Look::windowFrame(), Look::highlightText());
    CenterOnScreen();

    ImageOne = new ImageControl(app.services().pictures, ImageControl::Mode::Stretch, this);
    Twips::place(ImageOne, 0, 0, 7215, 1335);

    const QColor rowColor(224, 224, 224);
    const QColor valueColor(255, 255, 255);
    const Qt::Alignment right = Qt::AlignRight;
    // The row captions stay on their lines, condensed where the font runs wide.
    Info[0] = makeLabel(this, QStringLiteral("Percentage Loaded:"), 120, 120, 1935, 255, right, rowColor);
    Info[1] = makeLabel(this, QStringLiteral("Location Name:"), 120, 360, 1935, 255, right, rowColor);
    Info[2] = makeLabel(this, QStringLiteral("Location URL:"), 120, 600, 1935, 255, right, rowColor);
    Info[3] = makeLabel(this, QStringLiteral("Height (Pixles):"), 120, 840, 1935, 375, right, rowColor);
    Info[4] = makeLabel(this, QStringLiteral("Width (Pixles):"), 240, 1080, 1935, 375, right, rowColor);
    for (QLabel* caption : Info) {
        caption->setWordWrap(Twips::height(caption) > 255);
        Look::condenseToFit(caption);
    }
    PercentageLoaded = makeLabel(this, QStringLiteral("Percentage Loaded"), 2160, 120, 5055, 255, Qt::AlignLeft, valueColor);
    LocationName = makeLabel(this, QStringLiteral("Location Name"), 2160, 360, 5055, 255, Qt::AlignLeft, valueColor);
    LocationURLL = makeLabel(this, QStringLiteral("Location URL"), 2160, 600, 5055, 255, Qt::AlignLeft, valueColor);
    HeightQ = makeLabel(this, QStringLiteral("Height"), 2160, 840, 5055, 255, Qt::AlignLeft, valueColor);
    WidthQ = makeLabel(this, QStringLiteral("Width"), 2160, 1080, 5055, 255, Qt::AlignLeft, valueColor);

    Timer = new QTimer(this);
    Timer->setSingleShot(true);
    Timer->setInterval(0);
    connect(Timer, &QTimer::timeout, this, &BrowserStatusFRM::Timer_Timer);
    connect(&app.mainBrowser(), &MainBrowser::ProgressLineChanged, this, &BrowserStatusFRM::ShowProgressLine);
    connect(&app.mainBrowser(), &MainBrowser::Changed, this, [this] {
        if (isVisible())
            Timer->start();
    });
}

void BrowserStatusFRM::Form_Load()
{
    PlayWave(AssetPath(QStringLiteral("/OpenWin.WAV")));
    ravel32::StayOnTop(this);
    ImageOne->LoadPicture(AssetPath(QStringLiteral("/Main.BMP")));
}

void BrowserStatusFRM::Form_Unload()
{
    PlayWave(AssetPath(QStringLiteral("/CloseWin.WAV")));
}

void BrowserStatusFRM::showEvent(QShowEvent* event)
{
    Form::showEvent(event);
    Timer_Timer();
}

void BrowserStatusFRM::hideEvent(QHideEvent* event)
{
    Form::hideEvent(event);
    Timer->stop();
}

void BrowserStatusFRM::ShowProgressLine()
{
    PercentageLoaded->setText(app().mainBrowser().ProgressLine());
}

void BrowserStatusFRM::Timer_Timer()
{
    // Without a main browser there is nothing live to show: the lines stay.
    const MainBrowser& main = app().mainBrowser();
    if (!main.Attached())
        return;
    const QSize view = main.ViewSize();
    LocationURLL->setText(main.LocationURL());
    LocationName->setText(main.LocationName());
    HeightQ->setText(QString::number(view.height()));
    WidthQ->setText(QString::number(view.width()));
}
