#include "canvas/TTCircle.h"
#include "canvas/PaintCanvas.h"

#include <cmath>

bool TTCircle::HitTest(double x, double y, double tolerance) const {
    const double distance = std::hypot(x - CenterX, y - CenterY);
    return std::fabs(distance - Radius) <= tolerance;
}

void TTCircle::UpdateBounds() {
    MinX = CenterX - Radius;
    MaxX = CenterX + Radius;
    MinY = CenterY - Radius;
    MaxY = CenterY + Radius;
}

void TTCircle::Scale(double sx, double sy, double cx, double cy) {
    Radius *= (std::fabs(sx) + std::fabs(sy)) / 2.0;
    TTShape::Scale(sx, sy, cx, cy);
}

bool TTCircle::IsFinite() const {
    return std::isfinite(CenterX) && std::isfinite(CenterY) && std::isfinite(Radius);
}

namespace {
int ClampPixel(int64_t value) {
    return TruncateToPixel(static_cast<double>(value));
}
} // namespace

void TTCircle::Draw(PaintCanvas& canvas, double left, double right, double top, double bottom,
                    int clientWidth, int clientHeight) const {
    if (!Visible)
        return;
    const ShapePixelMap map(left, right, top, bottom, clientWidth, clientHeight);
    const TPoint c = map(CenterX, CenterY);
    const int64_t rx = TruncateToPixel(Radius * map.ScaleX);
    const int64_t ry = TruncateToPixel(Radius * map.ScaleY);
    canvas.SetPen(DrawColour(), PenWidth);
    canvas.SetBrush(BrushFg, BrushStyle);
    canvas.Ellipse(ClampPixel(c.X - rx), ClampPixel(c.Y - ry), ClampPixel(c.X + rx),
                   ClampPixel(c.Y + ry));
}
