#pragma once

#include "canvas/TTShape.h"

class TTLine : public TTShape {
public:
    TTLine() : TTShape(ShapeClass::Line) {}

    bool HitTest(double x, double y, double tolerance) const override;
    void UpdateBounds() override;
    bool IsFinite() const override;
    void Draw(PaintCanvas& canvas, double left, double right, double top, double bottom,
              int clientWidth, int clientHeight) const override;

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
