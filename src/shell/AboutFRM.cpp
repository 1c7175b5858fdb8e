#include "shell/AboutFRM.h"

#include "runtime/App.h"
#include "runtime/ImageControl.h"
#include "runtime/Look.h"
#include "runtime/Twips.h"

#include <QFontMetrics>
#include <QLabel>
#include <algorithm>

namespace {

struct LabelDesign {
    double left, top, width, height;
    const char* text;
    Qt::Alignment align;
};

constexpr Qt::Alignment kLeft = Qt::AlignLeft | Qt::AlignTop;
constexpr Qt::Alignment kCentre = Qt::AlignHCenter | Qt::AlignTop;

// Data(0) to Data(12): place in twips, text, alignment.
constexpr std::array<LabelDesign, 13> kLabels{{
    {0, 0, 6495, 495, "Nimbrel", kCentre},
    {120, 720, 4095, 255, "Programmed by the Nimbrel crew", kLeft},
    {120, 1200, 1095, 255, "Thanks To:", kLeft},
    {240, 1440, 3735, 615, "Our early testers, and the makers of Qt and OCR-A.", kLeft},
    {120, 2280, 1215, 255, "Form Count:", kLeft},
    {240, 2520, 2295, 255, "12 Plus 1 Unveiwable.", kLeft},
    {120, 3000, 855, 255, "Version:", kLeft},
    {240, 3240, 375, 255, "1.0", kLeft},
    {120, 5040, 6255, 255, "Enjoy Nimbrel, and have fun on every page!", kCentre},
    {120, 3720, 3735, 255, "Files Included with Executive File:", kLeft},
    {240, 3960, 4095, 255, "All Skins (buttons, backgrounds, etc.)", kLeft},
    {120, 4440, 735, 255, "Other:", kLeft},
    {240, 4680, 2295, 255, "Maker: Nimbrel crew", kLeft},
}};

constexpr double kTitlePoints = 20.25;
constexpr double kTextPoints = 8.25;

}  // namespace

AboutFRM::AboutFRM(App& app) : Form(app)
{
    // Fixed tool window: a slim title bar with a close box only, not resizable.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    SetCaption(QString());
    Twips::resizeClient(this, 6495, 5295);
    setFixedSize(size());
    // Under the picture, so the white texts stay readable if the picture is missing.
    Look::setColors(this, Look::windowFrame(), Look::highlightText());

    BGI = new ImageControl(app.services().pictures, ImageControl::Mode::Stretch, this);
    Twips::place(BGI, 0, 0, 6495, 5295);

    for (size_t i = 0; i < kLabels.size(); ++i) {
        const LabelDesign& design = kLabels[i];
        auto* label = new QLabel(QString::fromLatin1(design.text), this);
        label->setFont(Look::font(i == 0 ? kTitlePoints : kTextPoints));
        label->setAlignment(design.align);
        label->setWordWrap(i == 3);
        Look::setTextColor(label, Look::highlightText());
        Twips::place(label, design.left, design.top, design.width, design.height);
        Look::condenseToFit(label);
        Data[i] = label;
    }
}

void AboutFRM::Form_Load()
{
    PlayWave(AssetPath(QStringLiteral("/OpenWin.WAV")));
    // A missing or unreadable picture leaves the plain dark background.
    BGI->LoadPicture(AssetPath(QStringLiteral("/Main.BMP")));
}

void AboutFRM::Form_Unload()
{
    PlayWave(AssetPath(QStringLiteral("/CloseWin.WAV")));
}
