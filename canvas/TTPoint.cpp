#include "canvas/TTPoint.h"

#include <cmath>

bool TTPoint::HitTest(double x, double y, double tolerance) const {
    const double dx = x - X;
    const double dy = y - Y;
    return dx * dx + dy * dy <= tolerance * tolerance;
}

void TTPoint::UpdateBounds() {
    MinX = X - PointSize;
    MaxX = X + PointSize;
    MinY = Y - PointSize;
    MaxY = Y + PointSize;
}

bool TTPoint::IsFinite() const {
    return std::isfinite(X) && std::isfinite(Y) && std::isfinite(Z);
}
