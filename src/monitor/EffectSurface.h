#pragma once

#include <QColor>
#include <QSize>

// What the idle animation draws on: the client area of a window, with a
// background colour, a pixel or logical coordinate scale, circle outlines and
// lines drawn with a solid pen one pixel wide. The idle window paints on its
// own canvas; tests record the calls instead.
class EffectSurface {
public:
    virtual ~EffectSurface() = default;

    // The client area in pixels.
    virtual QSize ClientPixels() const = 0;

    // Sets the background colour, which clears the whole client area.
    virtual void SetBackColor(const QColor& colour) = 0;

    // Coordinates in pixels, origin top left, x right, y down.
    virtual void UsePixelScale() = 0;
    // Coordinates on a grid in which the client area spans `height` units
    // downwards and `width` units to the right, with the same origin.
    virtual void SetScaleHeight(double height) = 0;
    virtual void SetScaleWidth(double width) = 0;

    // Drawing in the current coordinates. A circle of radius 0 is one point.
    virtual void Circle(double x, double y, double radius, const QColor& colour) = 0;
    virtual void Line(double x1, double y1, double x2, double y2, const QColor& colour) = 0;

    // Shows on screen what has been drawn so far, without waiting for events.
    virtual void Present() = 0;
};
