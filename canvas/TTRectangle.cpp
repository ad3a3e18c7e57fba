#include "canvas/TTRectangle.h"

#include <algorithm>
#include <cmath>

bool TTRectangle::HitTest(double x, double y, double tolerance) const {
    return BoundsWithin(*this, x, y, tolerance);
}

void TTRectangle::UpdateBounds() {
    MinX = std::min(X1, X2);
    MaxX = std::max(X1, X2);
    MinY = std::min(Y1, Y2);
    MaxY = std::max(Y1, Y2);
}

void TTRectangle::Rotate(double, double, double) {
    UpdateBounds();
}

bool TTRectangle::IsFinite() const {
    return std::isfinite(X1) && std::isfinite(Y1) && std::isfinite(X2) && std::isfinite(Y2) &&
           std::isfinite(ExtraValue) && std::isfinite(CornerRadius);
}
