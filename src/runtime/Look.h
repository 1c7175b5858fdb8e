#pragma once

#include <QColor>
#include <QFont>

class QLabel;
class QWidget;

// The look of every window in one place: the lettering and the system colours
// the windows name (here fixed to the dark scheme the skin is drawn for).
namespace Look {

inline const QString kFontFamily = QStringLiteral("OCR A Extended");

// Maps "OCR A Extended" to Debian's OCR-A font, or to a monospace font.
void installFontSubstitution();
QFont font(double points, bool bold = false);

QColor darkRed();          // RGB 192, 0, 0: address boxes, lists, notepad
QColor highlightText();    // labels over the skin
QColor windowBackground(); // text of the red boxes
QColor windowFrame();      // splash background, link slots
QColor titleBarText();     // notepad and link text
QColor windowText();       // the default line colour: rules between controls
QColor panel();            // RGB 24, 24, 24: the program's own windows and notices over pages

// Background and text colour of a control; the background is painted.
void setColors(QWidget* widget, const QColor& background, const QColor& text);
// The windows' rectangles were drawn for a narrower OCR-A face than the one
// found here; a one-line label whose text would be clipped is condensed just
// enough to fit, keeping its family, size and place.
void condenseToFit(QLabel* label);

// Text colour only; the background stays transparent.
void setTextColor(QWidget* widget, const QColor& text);

}  // namespace Look
