#pragma once

#include <functional>
#include <utility>
#include <vector>

// The geometry of planned survey lines, without any window: a route drawn on the map, the
// spacing between lines and their length give either cross lines perpendicular to the route
// or lines parallel to it on both sides. Points are (easting, northing) in world metres.

using RunlinePoint = std::pair<double, double>;
using RunlinePolyline = std::vector<RunlinePoint>;

enum class RunlineType { Perpendicular, Parallel };

// A generation is refused beyond these, so a tiny spacing or a huge length cannot fill the map
// (and the memory) with lines.
constexpr double MaxRunlineCount = 10000;
constexpr double MaxRunlineVertices = 10000000;

struct RunlineCount {
    // Counted in doubles: the figures of an absurd spacing do not fit an integer.
    double Lines = 0;
    double Vertices = 0;
    bool WithinBounds() const;
};

// What ForEachRunline would produce, counted without producing it. Spacing and length must be
// positive.
RunlineCount CountRunlines(const std::vector<RunlinePoint>& route, double spacing, double length,
                           RunlineType type);

// Hands each line to `draw` in drawing order: perpendicular lines segment by segment along the
// route, each from its left end (left of the direction of travel) to its right end; parallel
// lines pair by pair outwards, the left line before the right one. The polyline handed over is
// reused between calls. A route of fewer than two points gives nothing. Spacing and length must
// be positive; callers check CountRunlines first.
void ForEachRunline(const std::vector<RunlinePoint>& route, double spacing, double length,
                    RunlineType type, const std::function<void(const RunlinePolyline&)>& draw);

// The same lines collected.
std::vector<RunlinePolyline> GenerateRunlineGeometry(const std::vector<RunlinePoint>& route,
                                                     double spacing, double length,
                                                     RunlineType type);
