#pragma once

#include "canvas/TTShape.h"

class TTRectangle : public TTShape {
public:
    TTRectangle() : TTShape(ShapeClass::Rectangle) {}

    // The whole box grown by the tolerance is a hit, filled or not.
    bool HitTest(double x, double y, double tolerance) const override;
    void UpdateBounds() override;
    // A rectangle stays axis-aligned: rotating only recomputes its bounds.
    void Rotate(double angle, double cx, double cy) override;
    bool IsFinite() const override;
    void Draw(PaintCanvas& canvas, double left, double right, double top, double bottom,
              int clientWidth, int clientHeight) const override;

    // Two opposite corners in any order.
    double X1 = 0.0;
    double Y1 = 0.0;
    double X2 = 0.0;
    double Y2 = 0.0;
    // Carried through the project file; never drawn or tested.
    double ExtraValue = 0.0;
    bool Rounded = false;
    double CornerRadius = 10.0;

protected:
    void MapDefiningPoints(const PointMap& map) override {
        map(X1, Y1);
        map(X2, Y2);
    }
};
