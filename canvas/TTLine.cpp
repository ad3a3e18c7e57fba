#include "canvas/TTLine.h"
#include "canvas/PaintCanvas.h"

#include <algorithm>
#include <cmath>

bool TTLine::HitTest(double x, double y, double tolerance) const {
    return SegmentWithin(x, y, X1, Y1, X2, Y2, tolerance);
}

void TTLine::UpdateBounds() {
    BoundsOfCorners(X1, Y1, X2, Y2);
}

bool TTLine::IsFinite() const {
    return std::isfinite(X1) && std::isfinite(Y1) && std::isfinite(X2) && std::isfinite(Y2);
}

void TTLine::Draw(PaintCanvas& canvas, double left, double right, double top, double bottom,
                  int clientWidth, int clientHeight) const {
    if (!Visible)
        return;
    const ShapePixelMap map(left, right, top, bottom, clientWidth, clientHeight);
    const TPoint a = map(X1, Y1);
    const TPoint b = map(X2, Y2);
    canvas.SetPen(DrawColour(), PenWidth);
    canvas.Line(a.X, a.Y, b.X, b.Y);
}
