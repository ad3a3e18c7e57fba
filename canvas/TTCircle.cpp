#include "canvas/TTCircle.h"

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
