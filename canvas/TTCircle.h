#pragma once

#include "canvas/TTShape.h"

class TTCircle : public TTShape {
public:
    TTCircle() : TTShape(ShapeClass::Circle) {}

    // Only the ring is hit, not the inside.
    bool HitTest(double x, double y, double tolerance) const override;
    void UpdateBounds() override;
    // The radius is multiplied by (|sx| + |sy|) / 2, so a reflection keeps it.
    void Scale(double sx, double sy, double cx, double cy) override;
    bool IsFinite() const override;
    void Draw(PaintCanvas& canvas, double left, double right, double top, double bottom,
              int clientWidth, int clientHeight) const override;

    double CenterX = 0.0;
    double CenterY = 0.0;
    double Radius = 0.0;

protected:
    void MapDefiningPoints(const PointMap& map) override { map(CenterX, CenterY); }
};
