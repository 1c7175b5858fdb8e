#include "runtime/Look.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPalette>
#include <QWidget>

namespace Look {

void installFontSubstitution()
{
    // Tried in order when the font is matched; listing the installed families
    // here instead would cost the splash window its first milliseconds.
    QFont::insertSubstitutions(kFontFamily, {QStringLiteral("OCRA"), QStringLiteral("OCR A"),
                                             QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Monospace")});
}

QFont font(double points, bool bold)
{
    QFont f(kFontFamily);
    f.setPointSizeF(points);
    f.setBold(bold);
    f.setStyleHint(QFont::TypeWriter);
    return f;
}

QColor darkRed() { return QColor(192, 0, 0); }
QColor highlightText() { return QColor(255, 255, 255); }
QColor windowBackground() { return QColor(255, 255, 255); }
QColor windowFrame() { return QColor(0, 0, 0); }
QColor titleBarText() { return QColor(255, 255, 255); }
QColor windowText() { return QColor(192, 192, 192); }
QColor panel() { return QColor(24, 24, 24); }

void setColors(QWidget* widget, const QColor& background, const QColor& text)
{
    QPalette p = widget->palette();
    for (QPalette::ColorRole role : {QPalette::Window, QPalette::Base, QPalette::Button})
        p.setColor(role, background);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(role, text);
    widget->setPalette(p);
    widget->setAutoFillBackground(true);
}

void condenseToFit(QLabel* label)
{
    if (label->wordWrap())
        return;
    QFont condensed = label->font();
    const auto needed = [&] {
        return QFontMetrics(condensed).boundingRect(label->rect(), int(label->alignment()), label->text()).width();
    };
    for (int stretch = 99; needed() > label->width() && stretch >= 50; --stretch)
        condensed.setStretch(stretch);
    label->setFont(condensed);
}

void setTextColor(QWidget* widget, const QColor& text)
{
    QPalette p = widget->palette();
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Text, text);
    widget->setPalette(p);
}

}  // namespace Look
