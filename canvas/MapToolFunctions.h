#pragma once

#include <string>

// The numbers and texts of the map tools, without any window.

// Straight-line distance between two world points, metres.
double DistanceBetween(double x1, double y1, double x2, double y2);

// Grid azimuth from the first point to the second, radians in [0, 2 pi), clockwise from grid
// north. A point straight north or the same point gives 0.
double GridAzimuth(double x1, double y1, double x2, double y2);

// "Clicked: E<easting>, N<northing>", both with two decimals.
std::string ClickedPositionText(double x, double y);

// The status texts of a finished polygon selection.
std::string TracksSelectedText(int count);
std::string ShapesSelectedText(int count);
