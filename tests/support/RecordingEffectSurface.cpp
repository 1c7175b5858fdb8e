#include "support/RecordingEffectSurface.h"

QList<RecordingEffectSurface::Call> RecordingEffectSurface::Of(Call::Kind kind) const
{
    QList<Call> found;
    for (const Call& c : calls)
        if (c.kind == kind)
            found.append(c);
    return found;
}

void RecordingEffectSurface::Add(Call::Kind kind, double x1, double y1, double x2, double y2, const QColor& colour)
{
    calls.append({kind, x1, y1, x2, y2, colour});
    if (onCall)
        onCall(calls.last());
}
