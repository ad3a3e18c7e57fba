#include "canvas/TTShape.h"

#include <cmath>
#include <numbers>

TTShape::~TTShape() = default;

void TTShape::Translate(double dx, double dy) {
    MapDefiningPoints([dx, dy](double& x, double& y) {
        x += dx;
        y += dy;
    });
    UpdateBounds();
}

void TTShape::Scale(double sx, double sy, double cx, double cy) {
    MapDefiningPoints([=](double& x, double& y) {
        x = cx + (x - cx) * sx;
        y = cy + (y - cy) * sy;
    });
    UpdateBounds();
}

void TTShape::Rotate(double angle, double cx, double cy) {
    const double theta = angle * std::numbers::pi / 180.0;
    const double c = std::cos(theta);
    const double s = std::sin(theta);
    MapDefiningPoints([=](double& x, double& y) {
        const double rx = x - cx;
        const double ry = y - cy;
        x = cx + c * rx - s * ry;
        y = cy + s * rx + c * ry;
    });
    UpdateBounds();
}

bool SegmentWithin(double x, double y, double x1, double y1, double x2, double y2,
                   double tolerance) {
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    const double lengthSquared = dx * dx + dy * dy;
    double nearX = x1;
    double nearY = y1;
    if (lengthSquared != 0.0) {
        double u = ((x - x1) * dx + (y - y1) * dy) / lengthSquared;
        u = u < 0.0 ? 0.0 : (u > 1.0 ? 1.0 : u);
        nearX = x1 + u * dx;
        nearY = y1 + u * dy;
    }
    const double ex = x - nearX;
    const double ey = y - nearY;
    return std::sqrt(ex * ex + ey * ey) <= tolerance;
}

bool BoundsWithin(const TTShape& shape, double x, double y, double tolerance) {
    return shape.MinX - tolerance <= x && x <= shape.MaxX + tolerance &&
           shape.MinY - tolerance <= y && y <= shape.MaxY + tolerance;
}
