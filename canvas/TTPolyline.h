#pragma once

#include "canvas/CanvasGeometry.h"
#include "canvas/TTShape.h"

#include <vector>

// Open polylines (type 5), polygons (6), splines (8) and three-point arcs drawn with the
// mouse (10).
class TTPolyline : public TTShape {
public:
    TTPolyline() : TTShape(ShapeClass::Polyline) {}

    // Tests the straight segments between consecutive vertices; the closing edge of a polygon
    // is not tested and a curve is tested against its vertices' segments.
    bool HitTest(double x, double y, double tolerance) const override;
    // With no vertices the previous bounds stay.
    void UpdateBounds() override;
    bool IsFinite() const override;
    void Draw(PaintCanvas& canvas, double left, double right, double top, double bottom,
              int clientWidth, int clientHeight) const override;

    void AddPoint(double x, double y);
    // 0 for an index out of range.
    double GetPointX(int index) const;
    double GetPointY(int index) const;
    // Does nothing for an index out of range.
    void SetPoint(int index, double x, double y);
    int PointCount() const { return static_cast<int>(Points.size()); }

    std::vector<TPointF> Points;
    bool Closed = false;

protected:
    void MapDefiningPoints(const PointMap& map) override {
        for (TPointF& point : Points)
            map(point.X, point.Y);
    }
};
