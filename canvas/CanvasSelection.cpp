#include "canvas/CanvasSelection.h"

#include "canvas/CanvasModelInternals.h"
#include "canvas/TTArc.h"
#include "canvas/TTCircle.h"
#include "canvas/TTEllipse.h"
#include "canvas/TTLine.h"
#include "canvas/TTPoint.h"
#include "canvas/TTRectangle.h"
#include "canvas/TTText.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <unordered_set>

using canvas_model::ListHas;

namespace {

// The polygon test of the selections: a bounding-box check first, since most shapes of a large
// drawing lie far outside the drawn polygon, then the even-odd rule.
class PolygonTest {
public:
    explicit PolygonTest(const std::vector<TPointF>& polygon) : Polygon(polygon) {
        for (const TPointF& p : polygon) {
            MinX = std::min(MinX, p.X);
            MaxX = std::max(MaxX, p.X);
            MinY = std::min(MinY, p.Y);
            MaxY = std::max(MaxY, p.Y);
        }
    }
    bool operator()(double x, double y) const {
        // Outside the box no edge is crossed an odd number of times.
        if (x < MinX || x > MaxX || y < MinY || y > MaxY)
            return false;
        return CanvasSelection::PointInPolygon(x, y, Polygon);
    }

private:
    const std::vector<TPointF>& Polygon;
    double MinX = std::numeric_limits<double>::infinity();
    double MaxX = -std::numeric_limits<double>::infinity();
    double MinY = std::numeric_limits<double>::infinity();
    double MaxY = -std::numeric_limits<double>::infinity();
};

bool AnyVertexInside(const TTPolyline& polyline, const PolygonTest& inside) {
    return std::any_of(polyline.Points.begin(), polyline.Points.end(),
                       [&inside](const TPointF& p) { return inside(p.X, p.Y); });
}

// Points, lines and polylines are found the same way by both selections: by any vertex inside.
// Other shapes give no answer here; each selection has its own rule for them.
std::optional<bool> VertexShapeInside(const TTShape& shape, const PolygonTest& inside) {
    switch (shape.Class()) {
    case ShapeClass::Point: {
        const auto& point = static_cast<const TTPoint&>(shape);
        return inside(point.X, point.Y);
    }
    case ShapeClass::Line: {
        const auto& line = static_cast<const TTLine&>(shape);
        return inside(line.X1, line.Y1) || inside(line.X2, line.Y2);
    }
    case ShapeClass::Polyline:
        return AnyVertexInside(static_cast<const TTPolyline&>(shape), inside);
    default:
        return std::nullopt;
    }
}

// The whole-drawing selection's rule for the other shapes: a corner, centre or defining point.
bool OutlineShapeInside(const TTShape& shape, const PolygonTest& inside) {
    switch (shape.Class()) {
    case ShapeClass::Rectangle: {
        const auto& r = static_cast<const TTRectangle&>(shape);
        return inside(r.X1, r.Y1) || inside(r.X2, r.Y2) || inside(r.X1, r.Y2) ||
               inside(r.X2, r.Y1) || inside((r.X1 + r.X2) / 2.0, (r.Y1 + r.Y2) / 2.0);
    }
    case ShapeClass::Circle: {
        const auto& circle = static_cast<const TTCircle&>(shape);
        return inside(circle.CenterX, circle.CenterY);
    }
    case ShapeClass::Ellipse: {
        const auto& e = static_cast<const TTEllipse&>(shape);
        return inside((e.X1 + e.X2) / 2.0, (e.Y1 + e.Y2) / 2.0);
    }
    case ShapeClass::Text: {
        const auto& text = static_cast<const TTText&>(shape);
        return inside(text.X, text.Y);
    }
    case ShapeClass::Arc: {
        const auto& arc = static_cast<const TTArc&>(shape);
        return inside(arc.X1, arc.Y1) || inside(arc.X2, arc.Y2) || inside(arc.X3, arc.Y3);
    }
    default:
        return false;
    }
}

} // namespace

void CanvasSelection::Add(TTShape& shape) {
    shape.Selected = true;
    SelectedIds.push_back(shape.Id);
}

void CanvasSelection::Clear(const ShapeStore& shapes) {
    for (const auto& shape : shapes)
        shape->Selected = false;
    SelectedIds.clear();
}

void CanvasSelection::Forget(const std::vector<int32_t>& ids) {
    if (ids.empty() || SelectedIds.empty())
        return;
    // One pass over the selection list against a bitmap of the deleted ids: clearing a layer
    // of a million shapes must not search the list once per shape.
    int32_t highest = 0;
    for (int32_t id : ids)
        highest = std::max(highest, id);
    std::vector<bool> deleted(static_cast<size_t>(highest) + 1, false);
    std::unordered_set<int32_t> others;
    for (int32_t id : ids) {
        if (id > 0)
            deleted[static_cast<size_t>(id)] = true;
        else
            others.insert(id);
    }
    std::erase_if(SelectedIds, [&](int32_t id) {
        if (id > 0)
            return id <= highest && deleted[static_cast<size_t>(id)];
        return others.count(id) > 0;
    });
}

bool CanvasSelection::PointInPolygon(double x, double y, const std::vector<TPointF>& polygon) {
    bool inside = false;
    const size_t n = polygon.size();
    if (n == 0)
        return false;
    size_t j = n - 1;
    for (size_t i = 0; i < n; ++i) {
        const double xi = polygon[i].X;
        const double yi = polygon[i].Y;
        const double xj = polygon[j].X;
        const double yj = polygon[j].Y;
        if ((yi > y) != (yj > y)) {
            const double xc = (xj - xi) * (y - yi) / (yj - yi) + xi;
            if (x < xc)
                inside = !inside;
        }
        j = i;
    }
    return inside;
}

void CanvasSelection::AddInPolygon(const ShapeStore& shapes, const std::vector<TPointF>& polygon,
                                   const std::vector<int32_t>& layers) {
    const PolygonTest inside(polygon);
    for (const auto& shape : shapes) {
        if (!ListHas(layers, shape->LayerId))
            continue;
        const std::optional<bool> vertexInside = VertexShapeInside(*shape, inside);
        const bool found = vertexInside ? *vertexInside
                                        : inside((shape->MinX + shape->MaxX) / 2.0,
                                                 (shape->MinY + shape->MaxY) / 2.0);
        if (found)
            Add(*shape);
    }
}

void CanvasSelection::AddAllInPolygon(const ShapeStore& shapes, const std::vector<TPointF>& polygon,
                                      int skippedLayer) {
    const PolygonTest inside(polygon);
    for (const auto& shape : shapes) {
        if (skippedLayer >= 0 && shape->LayerId == skippedLayer)
            continue;
        const std::optional<bool> vertexInside = VertexShapeInside(*shape, inside);
        const bool found = vertexInside ? *vertexInside : OutlineShapeInside(*shape, inside);
        if (found)
            Add(*shape);
    }
}
