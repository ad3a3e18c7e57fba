#pragma once

#include "canvas/TTShape.h"

// A three-point arc made by the drawing operation and the drawing-file reader. The vertex
// operations of the canvas do not apply to it (unlike the polyline of type 10 that the mouse
// tool draws).
class TTArc : public TTShape {
public:
    TTArc() : TTShape(ShapeClass::Arc) {}

    // The bounding box grown by the tolerance is a hit.
    bool HitTest(double x, double y, double tolerance) const override;
    void UpdateBounds() override;
    bool IsFinite() const override;
    void Draw(PaintCanvas& canvas, double left, double right, double top, double bottom,
              int clientWidth, int clientHeight) const override;

    // Three points in drawing order.
    double X1 = 0.0;
    double Y1 = 0.0;
    double X2 = 0.0;
    double Y2 = 0.0;
    double X3 = 0.0;
    double Y3 = 0.0;

protected:
    void MapDefiningPoints(const PointMap& map) override {
        map(X1, Y1);
        map(X2, Y2);
        map(X3, Y3);
    }
};
