#pragma once

#include <QColor>

class IdleFRM;

// The idle screen's line effect and the numbers it shares with the idle
// window's circle burst.
namespace Effex {

// Passes of LineEffect (a counter running from 0 to 300 inclusive), four lines each.
inline constexpr int kLinePasses = 301;
inline constexpr int kLinesPerPass = 4;
// The logical grid the lines are drawn on: 0 to 100 both ways.
inline constexpr double kGrid = 100.0;
// Line colours are indexes 0 to 14 into the palette; 15 (bright white) is never drawn.
inline constexpr int kLineColours = 15;

// The sixteen-colour palette, index 0 to 15.
QColor PaletteColour(int index);

// A fraction times a scale, rounded to the nearest whole number, halves away
// from zero: the circle centre.
int RoundHalfAway(double value);
// Rounded to the nearest whole number, halves to even: the circle colours.
int RoundHalfEven(double value);

// Clears the window to black and draws 301 passes of four lines in a random
// palette colour on the 0 to 100 grid, letting pending events run once before
// each pass. Does nothing while the window is minimised. Returns false when
// the window was closed or the program ended during a pass (the window must
// not be touched then).
bool LineEffect(IdleFRM& window);

}  // namespace Effex
