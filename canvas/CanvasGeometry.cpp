#include "canvas/CanvasGeometry.h"

#include <cmath>

namespace {
// Far beyond any screen, yet with room left for the painter to add offsets without overflow.
constexpr double PixelLimit = 1.0e9;
} // namespace

int TruncateToPixel(double value) {
    if (!std::isfinite(value))
        return 0;
    if (value > PixelLimit)
        return static_cast<int>(PixelLimit);
    if (value < -PixelLimit)
        return -static_cast<int>(PixelLimit);
    return static_cast<int>(value); // truncation toward zero
}

bool IsFiniteNumber(double value) {
    return std::isfinite(value);
}
