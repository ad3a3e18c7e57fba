#include "canvas/TTPolyline.h"
#include "canvas/PaintCanvas.h"

#include <algorithm>
#include <cmath>

bool TTPolyline::HitTest(double x, double y, double tolerance) const {
    for (size_t i = 0; i + 1 < Points.size(); ++i) {
        const TPointF& a = Points[i];
        const TPointF& b = Points[i + 1];
        if (a.X == b.X && a.Y == b.Y)
            continue;
        if (SegmentWithin(x, y, a.X, a.Y, b.X, b.Y, tolerance))
            return true;
    }
    return false;
}

void TTPolyline::UpdateBounds() {
    if (Points.empty())
        return;
    MinX = MaxX = Points.front().X;
    MinY = MaxY = Points.front().Y;
    for (const TPointF& point : Points) {
        MinX = std::min(MinX, point.X);
        MaxX = std::max(MaxX, point.X);
        MinY = std::min(MinY, point.Y);
        MaxY = std::max(MaxY, point.Y);
    }
}

bool TTPolyline::IsFinite() const {
    return std::all_of(Points.begin(), Points.end(), [](const TPointF& point) {
        return std::isfinite(point.X) && std::isfinite(point.Y);
    });
}

void TTPolyline::AddPoint(double x, double y) {
    Points.push_back({x, y});
    UpdateBounds();
}

double TTPolyline::GetPointX(int index) const {
    return index >= 0 && index < PointCount() ? Points[static_cast<size_t>(index)].X : 0.0;
}

double TTPolyline::GetPointY(int index) const {
    return index >= 0 && index < PointCount() ? Points[static_cast<size_t>(index)].Y : 0.0;
}

void TTPolyline::SetPoint(int index, double x, double y) {
    if (index < 0 || index >= PointCount())
        return;
    Points[static_cast<size_t>(index)] = {x, y};
    UpdateBounds();
}

void TTPolyline::Draw(PaintCanvas& canvas, double left, double right, double top, double bottom,
                      int clientWidth, int clientHeight) const {
    if (!Visible || Points.size() < 2)
        return;
    canvas.SetPen(DrawColour(), PenWidth);
    canvas.SetBrush(BrushFg, BrushStyle);
    const ShapePixelMap map(left, right, top, bottom, clientWidth, clientHeight);
    std::vector<TPoint> pixels;
    pixels.reserve(Points.size());
    for (const TPointF& point : Points)
        pixels.push_back(map(point.X, point.Y));
    if (Type == ShapeType::Spline) {
        for (const BezierSegment& segment : SplineSegments(pixels))
            canvas.PolyBezier(segment);
        return;
    }
    if (Type == ShapeType::ThreePointArc && pixels.size() == 3) {
        canvas.PolyBezier(ThreePointCurve(pixels[0], pixels[1], pixels[2]));
        return;
    }
    if (Closed && pixels.size() > 2)
        canvas.Polygon(pixels);
    else
        canvas.Polyline(pixels);
}
