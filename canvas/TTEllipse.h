#pragma once

#include "canvas/TTShape.h"

class TTEllipse : public TTShape {
public:
    TTEllipse() : TTShape(ShapeClass::Ellipse) {}

    // A band along the outline; an ellipse without width or height is never hit.
    bool HitTest(double x, double y, double tolerance) const override;
    void UpdateBounds() override;
    // An ellipse stays axis-aligned: rotating only recomputes its bounds.
    void Rotate(double angle, double cx, double cy) override;
    bool IsFinite() const override;
    void Draw(PaintCanvas& canvas, double left, double right, double top, double bottom,
              int clientWidth, int clientHeight) const override;

    // Two opposite corners of the ellipse's axis-aligned bounding box.
    double X1 = 0.0;
    double Y1 = 0.0;
    double X2 = 0.0;
    double Y2 = 0.0;

protected:
    void MapDefiningPoints(const PointMap& map) override {
        map(X1, Y1);
        map(X2, Y2);
    }
};
