#pragma once

#include <cstdint>

// A vertex of polylines and selection polygons. Stored in double precision: single precision
// rounds a northing near 4,500,000 m to half-metre steps.
struct TPointF {
    double X = 0.0;
    double Y = 0.0;
};

// A client pixel.
struct TPoint {
    int X = 0;
    int Y = 0;
};

// World-to-pixel conversions truncate toward zero. A world point far outside the window (or a
// window zoomed in to a sliver) can give values beyond int; those are clamped so that the
// conversion is always defined, and a non-finite value maps to 0.
int TruncateToPixel(double value);

// True when the value is neither nan nor infinite.
bool IsFiniteNumber(double value);
