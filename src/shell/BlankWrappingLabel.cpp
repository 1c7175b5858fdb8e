#include "shell/BlankWrappingLabel.h"

#include <QPainter>
#include <QTextLayout>

#include <utility>

BlankWrappingLabel::BlankWrappingLabel(QString text, QWidget* parent) : QWidget(parent), m_text(std::move(text)) {}

void BlankWrappingLabel::paintEvent(QPaintEvent*)
{
    QString shown = m_text;
    shown.replace(QLatin1Char(' '), QChar(0x00A0));  // no break opportunities: wrap anywhere
    QTextLayout layout(shown, font());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    const QRect area = contentsRect();
    qreal y = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(area.width());
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    layout.endLayout();
    const qreal overflow = y - area.height();
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    layout.draw(&painter, QPointF(area.left(), area.top() - (overflow > 0 ? overflow : 0)));
}
