#pragma once

#include <array>
#include <cstdint>
#include <vector>

class CanvasModel;

// The five numbers of the vessel symbol: concentric circles around the vessel position and an
// arrow along the heading. Lengths in metres.
struct VesselShape {
    int CircleCount = 0;
    double CircleStep = 0;
    double FirstRadius = 0;
    double SideLength = 0;
    double BowLength = 0;

    bool operator==(const VesselShape&) const = default;
};

// The map redraws the symbol on every tick: more circles than this would stall it.
constexpr int MaxVesselCircles = 100;

struct WorldSegment {
    double X1 = 0;
    double Y1 = 0;
    double X2 = 0;
    double Y2 = 0;
};

// The symbol in world metres (x easting, y northing).
struct VesselSymbolGeometry {
    // Vessel position P, bow point F, starboard point R and port point Q.
    double PX = 0, PY = 0;
    double FX = 0, FY = 0;
    double RX = 0, RY = 0;
    double QX = 0, QY = 0;
    // In drawing order: P to F, P to R, P to Q, F to R, F to Q.
    std::array<WorldSegment, 5> Lines{};
    // Radii of the circles centred on P, innermost first; none for a count below 1, at most
    // MaxVesselCircles.
    std::vector<double> CircleRadii;
};

// The symbol of a vessel at (easting, northing) heading `gridHeadingDeg` degrees clockwise from
// grid north.
VesselSymbolGeometry VesselSymbolAt(const VesselShape& shape, double easting, double northing,
                                    double gridHeadingDeg);

// Replaces the symbol on the vessel layer: deletes the layer's shapes, then, unless the
// position is (0, 0) (no position yet) or a number is not finite, sets the layer's pen and
// draws the five lines and the circles. When the layer does not exist (-1: no vessel layer)
// nothing happens at all: clearing -1 would delete every shape of the map.
void DrawVesselSymbol(CanvasModel& canvas, int layerId, const VesselShape& shape, double easting,
                      double northing, double gridHeadingDeg, uint32_t penColor, int penWidth);
