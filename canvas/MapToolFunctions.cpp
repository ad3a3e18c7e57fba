#include "canvas/MapToolFunctions.h"

#include "platform/NumberText.h"

#include <cmath>
#include <numbers>

double DistanceBetween(double x1, double y1, double x2, double y2) {
    return std::sqrt((x2 - x1) * (x2 - x1) + (y2 - y1) * (y2 - y1));
}

double GridAzimuth(double x1, double y1, double x2, double y2) {
    const double dE = x2 - x1;
    double dN = y2 - y1;
    // Straight east or west: a tiny northing keeps the quotient finite and on the right side.
    if (dN == 0)
        dN = 1e-16;
    double azimuth = std::atan(dE / dN);
    if (dN < 0)
        azimuth += std::numbers::pi;
    else if (dE / dN < 0)
        azimuth += 2 * std::numbers::pi;
    return azimuth;
}

std::string ClickedPositionText(double x, double y) {
    return "Clicked: E" + FormatFixed(x, 2) + ", N" + FormatFixed(y, 2);
}

std::string TracksSelectedText(int count) {
    return std::to_string(count) + " track(s) selected. Press Delete to remove.";
}

std::string ShapesSelectedText(int count) {
    return std::to_string(count) + " shape(s) selected. Press Delete to remove.";
}
