#include "canvas/TTPoint.h"
#include "canvas/PaintCanvas.h"

#include <cmath>

bool TTPoint::HitTest(double x, double y, double tolerance) const {
    const double dx = x - X;
    const double dy = y - Y;
    return dx * dx + dy * dy <= tolerance * tolerance;
}

void TTPoint::UpdateBounds() {
    MinX = X - PointSize;
    MaxX = X + PointSize;
    MinY = Y - PointSize;
    MaxY = Y + PointSize;
}

bool TTPoint::IsFinite() const {
    return std::isfinite(X) && std::isfinite(Y) && std::isfinite(Z);
}

void TTPoint::Draw(PaintCanvas& canvas, double left, double right, double top, double bottom,
                   int clientWidth, int clientHeight) const {
    if (!Visible)
        return;
    const TPoint p = ShapePixelMap(left, right, top, bottom, clientWidth, clientHeight)(X, Y);
    const uint32_t colour = DrawColour();
    const PointMarker marker = PointMarkerFor(PenWidth);
    switch (marker.Shape) {
    case PointMarker::Pixel:
        canvas.SetPixel(p.X, p.Y, colour);
        break;
    case PointMarker::FourPixels:
        canvas.SetPixel(p.X, p.Y, colour);
        canvas.SetPixel(p.X + 1, p.Y, colour);
        canvas.SetPixel(p.X, p.Y + 1, colour);
        canvas.SetPixel(p.X + 1, p.Y + 1, colour);
        break;
    case PointMarker::Square:
        canvas.SetBrush(colour, BrushStyle::Solid);
        canvas.FillRect(p.X - marker.Offset, p.Y - marker.Offset, p.X + marker.Offset + 1,
                        p.Y + marker.Offset + 1);
        break;
    case PointMarker::Circle:
        // A one-pixel outline: the marker's size must not depend on the shape drawn before.
        canvas.SetPen(colour, 1);
        canvas.SetBrush(colour, BrushStyle::Solid);
        canvas.Ellipse(p.X - marker.Offset, p.Y - marker.Offset, p.X + marker.Offset,
                       p.Y + marker.Offset);
        break;
    }
}
