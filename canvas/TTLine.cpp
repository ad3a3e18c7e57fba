#include "canvas/TTLine.h"

#include <algorithm>
#include <cmath>

bool TTLine::HitTest(double x, double y, double tolerance) const {
    return SegmentWithin(x, y, X1, Y1, X2, Y2, tolerance);
}

void TTLine::UpdateBounds() {
    MinX = std::min(X1, X2);
    MaxX = std::max(X1, X2);
    MinY = std::min(Y1, Y2);
    MaxY = std::max(Y1, Y2);
}

bool TTLine::IsFinite() const {
    return std::isfinite(X1) && std::isfinite(Y1) && std::isfinite(X2) && std::isfinite(Y2);
}
