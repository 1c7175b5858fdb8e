#include "shell/BlankWrappingLabel.h"

#include <QPainter>
#include <QTextLayout>

void BlankWrappingLabel::paintEvent(QPaintEvent*)
{
    QString shown = text();
    shown.replace(QLatin1Char(' '), QChar(0x00A0));  // no break opportunities: wrap anywhere
    QTextLayout layout(shown, font());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    qreal y = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width());
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    layout.endLayout();
    const qreal overflow = y - height();
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    layout.draw(&painter, QPointF(0, overflow > 0 ? -overflow : 0));
}
