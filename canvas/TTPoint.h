#pragma once

#include "canvas/TTShape.h"

class TTPoint : public TTShape {
public:
    TTPoint() : TTShape(ShapeClass::Point) {}

    bool HitTest(double x, double y, double tolerance) const override;
    // The bounds take PointSize as world units, whatever the pen width.
    void UpdateBounds() override;
    bool IsFinite() const override;
    void Draw(PaintCanvas& canvas, double left, double right, double top, double bottom,
              int clientWidth, int clientHeight) const override;

    double X = 0.0;
    double Y = 0.0;
    // A depth or height carried with the point and kept by the project file; never drawn.
    double Z = 0.0;
    int32_t PointSize = 3;

protected:
    void MapDefiningPoints(const PointMap& map) override { map(X, Y); }
};
