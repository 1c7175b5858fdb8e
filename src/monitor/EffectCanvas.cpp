#include "monitor/EffectCanvas.h"

#include <QPaintEvent>
#include <cstdlib>
#include <utility>

namespace {
constexpr int kFrameMs = 16;
}

EffectCanvas::EffectCanvas(QWidget* window) : QWidget(window)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    m_frame.setSingleShot(true);
    m_frame.setInterval(kFrameMs);
    connect(&m_frame, &QTimer::timeout, this, &EffectCanvas::ShowDirty);
}

void EffectCanvas::ScheduleFrame(const QRect& drawn)
{
    m_dirty |= drawn;
    if (!m_frame.isActive())
        m_frame.start();
}

void EffectCanvas::ShowDirty()
{
    // Only what changed since the last frame goes to the screen: a burst
    // covers part of it, and copying the whole screen for it would cost
    // more than drawing it.
    const QRect dirty = m_dirty & rect();
    m_dirty = QRect();
    if (!dirty.isEmpty())
        update(dirty);
}

EffectCanvas::~EffectCanvas()
{
    EndPainting();
}

QSize EffectCanvas::ClientPixels() const
{
    return size();
}

void EffectCanvas::SetBackColor(const QColor& colour)
{
    m_backColor = colour;
    FitImage();
    EndPainting();
    m_image.fill(colour);
    ScheduleFrame(rect());
}

void EffectCanvas::UsePixelScale()
{
    m_scaleWidth = 0.0;
    m_scaleHeight = 0.0;
}

void EffectCanvas::SetScaleHeight(double height)
{
    m_scaleHeight = height;
}

void EffectCanvas::SetScaleWidth(double width)
{
    m_scaleWidth = width;
}

QPointF EffectCanvas::ToPixels(double x, double y) const
{
    // The grid's far edge lands on the last pixel row or column, so a line
    // drawn at 100 is seen at the right or bottom edge rather than clipped.
    const double px = m_scaleWidth > 0.0 ? x * (width() - 1) / m_scaleWidth : x;
    const double py = m_scaleHeight > 0.0 ? y * (height() - 1) / m_scaleHeight : y;
    return {px, py};
}

QPainter& EffectCanvas::Painter(const QColor& colour)
{
    FitImage();
    if (!m_painter) {
        m_painter = std::make_unique<QPainter>(&m_image);
        m_painter->setRenderHint(QPainter::Antialiasing, false);
        m_painter->setBrush(Qt::NoBrush);
    }
    // A cosmetic pen is one pixel wide whatever the scale, and takes the
    // raster engine's fast path for outlines.
    QPen pen(colour, 1.0, Qt::SolidLine);
    pen.setCosmetic(true);
    m_painter->setPen(pen);
    return *m_painter;
}

void EffectCanvas::EndPainting()
{
    if (m_painter) {
        m_painter->end();
        m_painter.reset();
    }
}

void EffectCanvas::Circle(double x, double y, double radius, const QColor& colour)
{
    if (size().isEmpty())
        return;
    const QPointF centre = ToPixels(x, y);
    if (m_scaleWidth > 0.0 || m_scaleHeight > 0.0) {
        const double rx = m_scaleWidth > 0.0 ? radius * (width() - 1) / m_scaleWidth : radius;
        const double ry = m_scaleHeight > 0.0 ? radius * (height() - 1) / m_scaleHeight : radius;
        Painter(colour).drawEllipse(centre, rx, ry);
        ScheduleFrame(QRectF(centre.x() - rx, centre.y() - ry, 2 * rx, 2 * ry).toAlignedRect().adjusted(-1, -1, 1, 1));
    } else {
        const int cx = qRound(centre.x());
        const int cy = qRound(centre.y());
        const int r = qRound(radius);
        PlotCircle(cx, cy, r, colour.rgb());
        ScheduleFrame(QRect(cx - r, cy - r, 2 * r + 1, 2 * r + 1));
    }
}

void EffectCanvas::PlotCircle(int cx, int cy, int r, QRgb rgb)
{
    // A burst is up to a thousand concentric circles; plotting the outline
    // straight into the image (the midpoint circle) is several times faster
    // than the painter's general ellipse path, and gives the same one-pixel ring.
    FitImage();
    EndPainting();
    uchar* bits = m_image.bits();
    const qsizetype stride = m_image.bytesPerLine();
    const int w = m_image.width();
    const int h = m_image.height();
    const auto plot = [&](int px, int py) {
        if (px >= 0 && py >= 0 && px < w && py < h)
            reinterpret_cast<QRgb*>(bits + py * stride)[px] = rgb;
    };
    int x = r;
    int y = 0;
    int err = 1 - r;
    while (x >= y) {
        plot(cx + x, cy + y);
        plot(cx - x, cy + y);
        plot(cx + x, cy - y);
        plot(cx - x, cy - y);
        plot(cx + y, cy + x);
        plot(cx - y, cy + x);
        plot(cx + y, cy - x);
        plot(cx - y, cy - x);
        ++y;
        if (err < 0) {
            err += 2 * y + 1;
        } else {
            --x;
            err += 2 * (y - x) + 1;
        }
    }
}

void EffectCanvas::Line(double x1, double y1, double x2, double y2, const QColor& colour)
{
    if (size().isEmpty())
        return;
    const QPoint a = ToPixels(x1, y1).toPoint();
    const QPoint b = ToPixels(x2, y2).toPoint();
    PlotLine(a, b, colour.rgb());
    ScheduleFrame(QRect(a, b).normalized());
}

void EffectCanvas::PlotLine(QPoint a, QPoint b, QRgb rgb)
{
    // A tick draws 1204 lines across the screen; plotting them straight into
    // the image (Bresenham's line, one pixel wide, both ends included) is
    // many times faster than the painter's general path, for the same pixels.
    FitImage();
    EndPainting();
    // Always from the same end, so a line and its reverse light the same pixels.
    if (b.x() < a.x() || (b.x() == a.x() && b.y() < a.y()))
        std::swap(a, b);
    uchar* bits = m_image.bits();
    const qsizetype stride = m_image.bytesPerLine();
    const int w = m_image.width();
    const int h = m_image.height();
    int x = a.x();
    int y = a.y();
    const int dx = std::abs(b.x() - x);
    const int dy = -std::abs(b.y() - y);
    const int sx = x < b.x() ? 1 : -1;
    const int sy = y < b.y() ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        if (x >= 0 && y >= 0 && x < w && y < h)
            reinterpret_cast<QRgb*>(bits + y * stride)[x] = rgb;
        if (x == b.x() && y == b.y())
            break;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void EffectCanvas::Present()
{
    m_frame.stop();
    const QRect dirty = m_dirty & rect();
    m_dirty = QRect();
    if (isVisible() && !dirty.isEmpty())
        repaint(dirty);
}

void EffectCanvas::paintEvent(QPaintEvent* event)
{
    // The image cannot be read while a painter still writes to it.
    FitImage();
    EndPainting();
    QPainter painter(this);
    painter.drawImage(event->rect(), m_image, event->rect());
}

void EffectCanvas::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    FitImage();
}

void EffectCanvas::FitImage()
{
    // A hidden widget gets its resize event only when shown, so every
    // drawing call checks the size as well.
    if (m_image.size() == size())
        return;
    EndPainting();
    QImage resized(size(), QImage::Format_RGB32);
    resized.fill(m_backColor);
    if (!m_image.isNull()) {
        QPainter copy(&resized);
        copy.drawImage(0, 0, m_image);
    }
    m_image = resized;
    update();
}
