#include "canvas/TTArc.h"
#include "canvas/PaintCanvas.h"

#include <algorithm>
#include <cmath>

bool TTArc::HitTest(double x, double y, double tolerance) const {
    return BoundsWithin(*this, x, y, tolerance);
}

void TTArc::UpdateBounds() {
    MinX = std::min({X1, X2, X3});
    MaxX = std::max({X1, X2, X3});
    MinY = std::min({Y1, Y2, Y3});
    MaxY = std::max({Y1, Y2, Y3});
}

bool TTArc::IsFinite() const {
    return std::isfinite(X1) && std::isfinite(Y1) && std::isfinite(X2) && std::isfinite(Y2) &&
           std::isfinite(X3) && std::isfinite(Y3);
}

void TTArc::Draw(PaintCanvas& canvas, double left, double right, double top, double bottom,
                 int clientWidth, int clientHeight) const {
    if (!Visible)
        return;
    const ShapePixelMap map(left, right, top, bottom, clientWidth, clientHeight);
    canvas.SetPen(DrawColour(), PenWidth);
    canvas.Polyline({map(X1, Y1), map(X2, Y2), map(X3, Y3)});
}
