#include "personal/RuleLines.h"

#include "runtime/Twips.h"

#include <QPainter>

RuleLines::RuleLines(const QColor& color, QWidget* parent) : QWidget(parent), m_color(color)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
}

void RuleLines::AddLine(double x1, double y1, double x2, double y2)
{
    m_lines.append(QLineF(x1, y1, x2, y2));
    update();
}

void RuleLines::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(QPen(m_color, 1));
    for (const QLineF& line : m_lines) {
        // A rule one pixel wide lies on the pixel its twips round to, so that
        // a border at the client area's right or bottom edge stays visible.
        const auto px = [this](double twips, int extent) {
            return qMin(Twips::toPixels(twips), extent - 1);
        };
        painter.drawLine(px(line.x1(), width()), px(line.y1(), height()),
                         px(line.x2(), width()), px(line.y2(), height()));
    }
}
