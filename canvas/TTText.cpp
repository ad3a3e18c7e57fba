#include "canvas/TTText.h"

#include <cmath>

bool TTText::HitTest(double x, double y, double tolerance) const {
    const double characters = static_cast<double>(DisplayText.size());
    return X <= x && x <= X + characters * tolerance * 0.8 + 2.0 * tolerance &&
           Y - 3.0 * tolerance <= y && y <= Y + tolerance;
}

void TTText::UpdateBounds() {
    const double characters = static_cast<double>(DisplayText.size());
    MinX = X - Height;
    MaxX = X + characters * (0.6 * Height) + Height;
    MinY = Y - Height;
    MaxY = Y + Height;
}

void TTText::Rotate(double angle, double, double) {
    Rotation += angle;
    UpdateBounds();
}

bool TTText::IsFinite() const {
    return std::isfinite(X) && std::isfinite(Y) && std::isfinite(Rotation) && std::isfinite(Height);
}
