#pragma once

#include "monitor/EffectSurface.h"

#include <QList>
#include <functional>

// An effect surface that draws nothing and records every call, in order.
class RecordingEffectSurface final : public EffectSurface {
public:
    struct Call {
        enum Kind { BackColor, PixelScale, ScaleHeight, ScaleWidth, Circle, Line, Present } kind;
        double x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // Circle: x1, y1 centre, x2 radius; scales: x1
        QColor colour;
    };

    QSize ClientPixels() const override { return size; }
    void SetBackColor(const QColor& colour) override { Add(Call::BackColor, 0, 0, 0, 0, colour); }
    void UsePixelScale() override { Add(Call::PixelScale); }
    void SetScaleHeight(double h) override { Add(Call::ScaleHeight, h); }
    void SetScaleWidth(double w) override { Add(Call::ScaleWidth, w); }
    void Circle(double x, double y, double r, const QColor& colour) override { Add(Call::Circle, x, y, r, 0, colour); }
    void Line(double x1, double y1, double x2, double y2, const QColor& colour) override
    {
        Add(Call::Line, x1, y1, x2, y2, colour);
    }
    void Present() override { Add(Call::Present); }

    QList<Call> Of(Call::Kind kind) const;
    void Clear() { calls.clear(); }

    QSize size{640, 480};
    QList<Call> calls;
    // Runs after each recorded call (tests look at the program mid-tick).
    std::function<void(const Call&)> onCall;

private:
    void Add(Call::Kind kind, double x1 = 0, double y1 = 0, double x2 = 0, double y2 = 0,
             const QColor& colour = {});
};
