#include "survey/RunlineGeometry.h"

#include <cmath>

namespace {

// Segments shorter than this carry no direction.
constexpr double ShortestSegment = 0.001;
// A segment whose length is a whole multiple of the spacing gets its end line even when the
// decimal spacing does not divide it exactly in binary (0.3 / 0.1 is 2.9999999999999996).
constexpr double WholeMultipleSlack = 1e-9;

struct Vector {
    double x = 0;
    double y = 0;
};

double lengthOf(double dx, double dy) {
    return std::sqrt(dx * dx + dy * dy);
}

// Left normal of the segment from point i to point i + 1; zero when it is too short.
Vector leftNormal(const std::vector<RunlinePoint>& route, size_t i) {
    const double dx = route[i + 1].first - route[i].first;
    const double dy = route[i + 1].second - route[i].second;
    const double length = lengthOf(dx, dy);
    if (!(length > ShortestSegment))
        return {};
    return {-dy / length, dx / length};
}

// Cross lines of one segment: one at every whole spacing from its start, the last one no
// further than its end.
double crossLinesOf(double segmentLength, double spacing) {
    return std::floor(segmentLength / spacing + WholeMultipleSlack) + 1;
}

double parallelLinesPerSide(double spacing, double length) {
    return std::trunc(length / spacing);
}

// Unit normal at each route point: the first and last segments' own, at inner points the unit
// bisector of the two segments' normals (a reversing route leaves it zero, so the parallel
// lines pass through that point).
std::vector<Vector> pointNormals(const std::vector<RunlinePoint>& route) {
    const size_t count = route.size();
    std::vector<Vector> normals(count);
    normals[0] = leftNormal(route, 0);
    normals[count - 1] = leftNormal(route, count - 2);
    for (size_t i = 1; i + 1 < count; ++i) {
        const Vector a = leftNormal(route, i - 1);
        const Vector b = leftNormal(route, i);
        Vector n{(a.x + b.x) / 2, (a.y + b.y) / 2};
        const double length = lengthOf(n.x, n.y);
        if (length > ShortestSegment)
            n = {n.x / length, n.y / length};
        normals[i] = n;
    }
    return normals;
}

} // namespace

bool RunlineCount::WithinBounds() const {
    // Written so that a count that is not a number is out of bounds too.
    return Lines <= MaxRunlineCount && Vertices <= MaxRunlineVertices;
}

RunlineCount CountRunlines(const std::vector<RunlinePoint>& route, double spacing, double length,
                           RunlineType type) {
    RunlineCount count;
    if (route.size() < 2)
        return count;
    if (type == RunlineType::Perpendicular) {
        for (size_t i = 0; i + 1 < route.size(); ++i) {
            const double segment = lengthOf(route[i + 1].first - route[i].first,
                                            route[i + 1].second - route[i].second);
            if (segment < ShortestSegment)
                continue;
            count.Lines += crossLinesOf(segment, spacing);
        }
        count.Vertices = count.Lines * 2;
    } else {
        const double perSide = parallelLinesPerSide(spacing, length);
        count.Lines = perSide >= 1 ? perSide * 2 : 0;
        count.Vertices = count.Lines * double(route.size());
    }
    return count;
}

void ForEachRunline(const std::vector<RunlinePoint>& route, double spacing, double length,
                    RunlineType type, const std::function<void(const RunlinePolyline&)>& draw) {
    if (route.size() < 2)
        return;
    RunlinePolyline line;
    if (type == RunlineType::Perpendicular) {
        line.resize(2);
        for (size_t i = 0; i + 1 < route.size(); ++i) {
            const auto [x0, y0] = route[i];
            const double dx = route[i + 1].first - x0;
            const double dy = route[i + 1].second - y0;
            const double segment = lengthOf(dx, dy);
            if (segment < ShortestSegment)
                continue;
            const Vector n{-dy / segment, dx / segment};
            // Counted, not accumulated: repeated additions of a decimal spacing drift.
            const double lines = crossLinesOf(segment, spacing);
            for (double k = 0; k < lines; ++k) {
                const double t = std::min(k * spacing, segment);
                const double px = x0 + dx * t / segment;
                const double py = y0 + dy * t / segment;
                line[0] = {px + n.x * length, py + n.y * length};
                line[1] = {px - n.x * length, py - n.y * length};
                draw(line);
            }
        }
        return;
    }

    const double perSide = parallelLinesPerSide(spacing, length);
    if (!(perSide >= 1))
        return;
    const std::vector<Vector> normals = pointNormals(route);
    line.resize(route.size());
    for (double k = 1; k <= perSide; ++k) {
        const double offset = k * spacing;
        for (const double side : {1.0, -1.0}) {
            for (size_t i = 0; i < route.size(); ++i)
                line[i] = {route[i].first + side * normals[i].x * offset,
                           route[i].second + side * normals[i].y * offset};
            draw(line);
        }
    }
}

std::vector<RunlinePolyline> GenerateRunlineGeometry(const std::vector<RunlinePoint>& route,
                                                     double spacing, double length,
                                                     RunlineType type) {
    std::vector<RunlinePolyline> lines;
    ForEachRunline(route, spacing, length, type,
                   [&lines](const RunlinePolyline& line) { lines.push_back(line); });
    return lines;
}
