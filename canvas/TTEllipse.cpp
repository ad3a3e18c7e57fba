#include "canvas/TTEllipse.h"
#include "canvas/PaintCanvas.h"

#include <algorithm>
#include <cmath>

bool TTEllipse::HitTest(double x, double y, double tolerance) const {
    const double cx = (X1 + X2) / 2.0;
    const double cy = (Y1 + Y2) / 2.0;
    const double a = std::fabs(X2 - X1) / 2.0;
    const double b = std::fabs(Y2 - Y1) / 2.0;
    if (a == 0.0 || b == 0.0)
        return false;
    const double p = (x - cx) / a;
    const double q = (y - cy) / b;
    return std::fabs(p * p + q * q - 1.0) <= tolerance / std::min(a, b);
}

void TTEllipse::UpdateBounds() {
    BoundsOfCorners(X1, Y1, X2, Y2);
}

void TTEllipse::Rotate(double, double, double) {
    UpdateBounds();
}

bool TTEllipse::IsFinite() const {
    return std::isfinite(X1) && std::isfinite(Y1) && std::isfinite(X2) && std::isfinite(Y2);
}

void TTEllipse::Draw(PaintCanvas& canvas, double left, double right, double top, double bottom,
                     int clientWidth, int clientHeight) const {
    if (!Visible)
        return;
    const ShapePixelMap map(left, right, top, bottom, clientWidth, clientHeight);
    const TPoint a = map(X1, Y1);
    const TPoint b = map(X2, Y2);
    canvas.SetPen(DrawColour(), PenWidth);
    canvas.SetBrush(BrushFg, BrushStyle);
    canvas.Ellipse(a.X, a.Y, b.X, b.Y);
}
