#include "authoring/EditorToolbarIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <cmath>

namespace EditorToolbarIcons {

namespace {

const QColor kOutline(40, 40, 40);
const QColor kArrow(46, 160, 67);
const QColor kStop(200, 30, 30);
const QColor kRefresh(40, 110, 210);
const QColor kHome(210, 140, 40);
const QColor kGlass(170, 210, 240);

// An arrow pointing right across the picture; mirrored for Back.
void drawArrow(QPainter& p, bool left)
{
    QPolygonF arrow({{3, 9}, {12, 9}, {12, 3.5}, {21, 12}, {12, 20.5}, {12, 15}, {3, 15}});
    if (left) {
        for (QPointF& pt : arrow)
            pt.setX(kSize - pt.x());
    }
    p.setPen(QPen(kOutline, 1.2));
    p.setBrush(kArrow);
    p.drawPolygon(arrow);
}

void drawStop(QPainter& p)
{
    QPolygonF octagon;
    for (int i = 0; i < 8; ++i) {
        const double a = (22.5 + 45.0 * i) * M_PI / 180.0;
        octagon << QPointF(12 + 10 * std::cos(a), 12 + 10 * std::sin(a));
    }
    p.setPen(QPen(kOutline, 1.2));
    p.setBrush(kStop);
    p.drawPolygon(octagon);
    p.setPen(QPen(Qt::white, 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(8.5, 8.5), QPointF(15.5, 15.5));
    p.drawLine(QPointF(15.5, 8.5), QPointF(8.5, 15.5));
}

void drawRefresh(QPainter& p)
{
    const QRectF ring(4.5, 4.5, 15, 15);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kOutline, 4.6, Qt::SolidLine, Qt::FlatCap));
    p.drawArc(ring, 60 * 16, 270 * 16);
    p.setPen(QPen(kRefresh, 2.6, Qt::SolidLine, Qt::FlatCap));
    p.drawArc(ring, 60 * 16, 270 * 16);
    // Arrow head at the open end of the ring, pointing along it.
    const QPolygonF head({{13.5, 1.5}, {20.5, 5.5}, {13.5, 9.5}});
    p.setPen(QPen(kOutline, 1.0));
    p.setBrush(kRefresh);
    p.drawPolygon(head);
}

void drawHome(QPainter& p)
{
    p.setPen(QPen(kOutline, 1.2));
    p.setBrush(kHome);
    p.drawPolygon(QPolygonF({{12, 2.5}, {22, 11.5}, {2, 11.5}}));
    p.setBrush(QColor(245, 235, 215));
    p.drawRect(QRectF(5, 11.5, 14, 10));
    p.setBrush(QColor(120, 70, 30));
    p.drawRect(QRectF(10, 15, 4, 6.5));
}

void drawSearch(QPainter& p)
{
    p.setPen(QPen(kOutline, 5.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(15, 15), QPointF(21, 21));
    p.setPen(QPen(kOutline, 1.6));
    p.setBrush(kGlass);
    p.drawEllipse(QRectF(3, 3, 13, 13));
    p.setPen(QPen(Qt::white, 1.4, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(5.5, 5.5, 8, 8), 100 * 16, 70 * 16);
}

}  // namespace

QPixmap Picture(const QString& key)
{
    QPixmap picture(kSize, kSize);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    if (key == QLatin1String("Back"))
        drawArrow(p, true);
    else if (key == QLatin1String("Forward"))
        drawArrow(p, false);
    else if (key == QLatin1String("Stop"))
        drawStop(p);
    else if (key == QLatin1String("Refresh"))
        drawRefresh(p);
    else if (key == QLatin1String("Home"))
        drawHome(p);
    else if (key == QLatin1String("Search"))
        drawSearch(p);
    return picture;
}

}  // namespace EditorToolbarIcons
