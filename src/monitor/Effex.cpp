#include "monitor/Effex.h"

#include "monitor/EffectSurface.h"
#include "monitor/IdleFRM.h"
#include "ports/RandomSource.h"

#include <array>
#include <cmath>

namespace Effex {

namespace {

constexpr std::array<QRgb, 16> kPalette{
    qRgb(0, 0, 0),       qRgb(0, 0, 128),     qRgb(0, 128, 0),     qRgb(0, 128, 128),
    qRgb(128, 0, 0),     qRgb(128, 0, 128),   qRgb(128, 128, 0),   qRgb(192, 192, 192),
    qRgb(128, 128, 128), qRgb(0, 0, 255),     qRgb(0, 255, 0),     qRgb(0, 255, 255),
    qRgb(255, 0, 0),     qRgb(255, 0, 255),   qRgb(255, 255, 0),   qRgb(255, 255, 255),
};

// The whole part of a fraction times n: 0 to n - 1.
int WholePart(double fraction, int n)
{
    return static_cast<int>(std::floor(fraction * n));
}

void DrawPass(EffectSurface& surface, RandomSource& random)
{
    const int p1 = WholePart(random.Rnd(), 101);
    const int p2 = WholePart(random.Rnd(), 101);
    const int p3 = WholePart(random.Rnd(), 101);
    const int p4 = WholePart(random.Rnd(), 101);
    const QColor colour = PaletteColour(WholePart(random.Rnd(), kLineColours));
    surface.Line(p1, p3, p2, p4, colour);
    surface.Line(p1, p4, p2, p3, colour);
    surface.Line(p2, p3, p1, p4, colour);
    surface.Line(p3, p4, p1, p2, colour);
}

}  // namespace

QColor PaletteColour(int index)
{
    return QColor::fromRgb(kPalette.at(static_cast<size_t>(index)));
}

int RoundHalfAway(double value)
{
    return static_cast<int>(std::round(value));
}

int RoundHalfEven(double value)
{
    // nearbyint follows the current rounding mode, which is round-to-nearest-even
    // unless someone changed it; the program never does.
    return static_cast<int>(std::nearbyint(value));
}

bool LineEffect(IdleFRM& window)
{
    if (window.State() == Form::WindowState::Minimized)
        return true;
    EffectSurface& surface = window.Surface();
    RandomSource& random = window.Random();
    surface.SetBackColor(PaletteColour(0));
    surface.SetScaleHeight(kGrid);
    surface.SetScaleWidth(kGrid);
    for (int pass = 0; pass < kLinePasses; ++pass) {
        if (!window.DoEvents())
            return false;
        DrawPass(surface, random);
    }
    return true;
}

}  // namespace Effex
