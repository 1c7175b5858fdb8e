#pragma once

#include "monitor/EffectSurface.h"

#include <QImage>
#include <QPainter>
#include <QTimer>
#include <QWidget>
#include <memory>

// The idle window's drawing surface: a child widget covering the window's
// client area that draws into a retained image and shows it when painted.
// Mouse events pass through to the window beneath.
class EffectCanvas final : public QWidget, public EffectSurface {
    Q_OBJECT
public:
    explicit EffectCanvas(QWidget* window);
    ~EffectCanvas() override;

    QSize ClientPixels() const override;
    void SetBackColor(const QColor& colour) override;
    void UsePixelScale() override;
    void SetScaleHeight(double height) override;
    void SetScaleWidth(double width) override;
    void Circle(double x, double y, double radius, const QColor& colour) override;
    void Line(double x1, double y1, double x2, double y2, const QColor& colour) override;
    void Present() override;

    // What has been drawn (tests and screenshots).
    const QImage& image() const { return m_image; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QPainter& Painter(const QColor& colour);
    void EndPainting();
    void FitImage();
    void ScheduleFrame(const QRect& drawn);
    void ShowDirty();
    void PlotCircle(int cx, int cy, int r, QRgb rgb);
    void PlotLine(QPoint a, QPoint b, QRgb rgb);
    QPointF ToPixels(double x, double y) const;

    QImage m_image;
    // Kept open between draws: a tick draws some two thousand shapes, and
    // opening a painter for each would cost more than the drawing itself.
    std::unique_ptr<QPainter> m_painter;
    // Drawing is shown at most once a display frame: painting the whole
    // screen after each of a tick's 301 passes would cost far more than the
    // drawing and show nothing the eye could follow.
    QTimer m_frame;
    // What has been drawn and not yet shown.
    QRect m_dirty;
    QColor m_backColor{0, 0, 0};
    // 0 means pixel coordinates.
    double m_scaleWidth = 0.0;
    double m_scaleHeight = 0.0;
};
