#pragma once

#include "canvas/TTShape.h"

class TTText : public TTShape {
public:
    TTText() : TTShape(ShapeClass::Text) {}

    // The tolerance stands in for the character size: height, rotation and anchors play no
    // part, since a text is as large on screen at every scale.
    bool HitTest(double x, double y, double tolerance) const override;
    void UpdateBounds() override;
    // The anchor stays where it is; only the rotation grows.
    void Rotate(double angle, double cx, double cy) override;
    bool IsFinite() const override;
    void Draw(PaintCanvas& canvas, double left, double right, double top, double bottom,
              int clientWidth, int clientHeight) const override;

    // Anchor point.
    double X = 0.0;
    double Y = 0.0;
    // The text that is painted (the shape's own Text field is free text).
    QString DisplayText;
    // Font-table entry the text was made from; -1 from the drawing-exchange reader.
    int32_t FontIndex = 0;
    double Rotation = 0.0; // degrees
    // 0 anchor at the left edge, 1 at the centre, 2 at the right edge.
    int32_t Align = 0;
    // 0 anchor at the top, 1 in the middle, 2 at the bottom.
    int32_t Justify = 0;
    double Height = 10.0;
    QString FontName = QStringLiteral("Arial");
    bool Bold = false;
    bool Italic = false;

protected:
    void MapDefiningPoints(const PointMap& map) override { map(X, Y); }
};
