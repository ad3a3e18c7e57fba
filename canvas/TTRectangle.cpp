#include "canvas/TTRectangle.h"
#include "canvas/PaintCanvas.h"

#include <algorithm>
#include <cmath>

bool TTRectangle::HitTest(double x, double y, double tolerance) const {
    return BoundsWithin(*this, x, y, tolerance);
}

void TTRectangle::UpdateBounds() {
    BoundsOfCorners(X1, Y1, X2, Y2);
}

void TTRectangle::Rotate(double, double, double) {
    UpdateBounds();
}

bool TTRectangle::IsFinite() const {
    return std::isfinite(X1) && std::isfinite(Y1) && std::isfinite(X2) && std::isfinite(Y2) &&
           std::isfinite(ExtraValue) && std::isfinite(CornerRadius);
}

void TTRectangle::Draw(PaintCanvas& canvas, double left, double right, double top, double bottom,
                       int clientWidth, int clientHeight) const {
    if (!Visible)
        return;
    const ShapePixelMap map(left, right, top, bottom, clientWidth, clientHeight);
    const TPoint a = map(X1, Y1);
    const TPoint b = map(X2, Y2);
    const int l = std::min(a.X, b.X);
    const int r = std::max(a.X, b.X);
    const int t = std::min(a.Y, b.Y);
    const int bottomEdge = std::max(a.Y, b.Y);
    if (PenWidth != 0 || BrushStyle != BrushStyle::Solid || Selected || Rounded) {
        canvas.SetPen(DrawColour(), PenWidth);
        canvas.SetBrush(BrushFg, BrushStyle);
        if (Rounded) {
            const int corner = TruncateToPixel(CornerRadius * std::min(map.ScaleX, map.ScaleY));
            canvas.RoundRect(l, t, r, bottomEdge, corner, corner);
        } else {
            canvas.Rectangle(l, t, r, bottomEdge);
        }
        return;
    }
    canvas.SetBrush(BrushFg, BrushStyle::Solid);
    canvas.FillRect(l, t, r, bottomEdge);
}
