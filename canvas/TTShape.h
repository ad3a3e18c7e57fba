#pragma once

#include <QString>

#include <algorithm>
#include <cstdint>
#include <functional>

class PaintCanvas;

// Type codes of shapes. The same numbers are the tool modes that draw them and the type codes
// of the drawing files.
namespace ShapeType {
constexpr int32_t Rectangle = 1;
constexpr int32_t Line = 3;
constexpr int32_t EllipseTool = 4;
constexpr int32_t Polyline = 5;
constexpr int32_t Polygon = 6;
constexpr int32_t Spline = 8;
constexpr int32_t ThreePointArc = 10;
constexpr int32_t Text = 11;
constexpr int32_t Point = 17;
constexpr int32_t Circle = 19;
constexpr int32_t Ellipse = 20;
} // namespace ShapeType

// The concrete class of a shape. Selection and vertex editing decide by class, not by type
// code (a three-point arc drawn with the mouse is a polyline of type 10), and asking a field
// is much cheaper than a dynamic_cast over a million shapes.
enum class ShapeClass : uint8_t { Point, Line, Circle, Rectangle, Ellipse, Text, Polyline, Arc };

// Brush styles as the layer and shape records store them.
namespace BrushStyle {
constexpr uint8_t Solid = 0;
constexpr uint8_t Clear = 1;
} // namespace BrushStyle

// A shape of the map in world coordinates (metres, x east, y north).
class TTShape {
public:
    virtual ~TTShape();
    TTShape(const TTShape&) = delete;
    TTShape& operator=(const TTShape&) = delete;

    ShapeClass Class() const { return ShapeClass_; }

    // Is the world point within `tolerance` world units of the shape?
    virtual bool HitTest(double x, double y, double tolerance) const = 0;
    virtual void UpdateBounds() = 0;
    virtual void Translate(double dx, double dy);
    // Scales about (cx, cy); a factor of -1 reflects.
    virtual void Scale(double sx, double sy, double cx, double cy);
    // Counter-clockwise on the map for a positive angle in degrees.
    virtual void Rotate(double angle, double cx, double cy);

    // False when any coordinate or size of the geometry is nan or infinite.
    virtual bool IsFinite() const = 0;

    // Paints the shape for the world window (left, right, top, bottom) shown in a client of
    // the given size. Sets the pen, brush and font it needs and leaves them set. A hidden
    // shape draws nothing; a selected one draws in red.
    virtual void Draw(PaintCanvas& canvas, double left, double right, double top, double bottom,
                      int clientWidth, int clientHeight) const = 0;
    // Red when selected, else the pen colour.
    uint32_t DrawColour() const { return Selected ? 0x0000FFu : PenFg; }

    int32_t Id = 0;
    int32_t LayerId = 0;
    int32_t Type = 0;
    uint32_t PenFg = 0;
    int32_t PenWidth = 1;
    int32_t PenStyle = 0;
    uint32_t BrushFg = 0xFFFFFF;
    uint32_t BrushBg = 0xFFFFFF;
    uint8_t BrushStyle = BrushStyle::Clear;
    int32_t BrushMode = 0;
    bool Selected = false;
    bool Visible = true;
    int32_t ZOrder = 0;
    QString Notes;
    QString Text;
    double MinX = 0.0;
    double MinY = 0.0;
    double MaxX = 0.0;
    double MaxY = 0.0;

protected:
    explicit TTShape(ShapeClass shapeClass) : ShapeClass_(shapeClass) {}

    using PointMap = std::function<void(double& x, double& y)>;
    // Applies `map` to every point that defines the shape's geometry.
    virtual void MapDefiningPoints(const PointMap& map) = 0;

    // Bounds of the box spanned by two opposite corners given in any order.
    void BoundsOfCorners(double x1, double y1, double x2, double y2) {
        MinX = std::min(x1, x2);
        MaxX = std::max(x1, x2);
        MinY = std::min(y1, y2);
        MaxY = std::max(y1, y2);
    }

private:
    ShapeClass ShapeClass_;
};

// Distance test of the point (x, y) against the segment (x1, y1)-(x2, y2).
bool SegmentWithin(double x, double y, double x1, double y1, double x2, double y2,
                   double tolerance);

// Is the point inside the shape's bounding box grown by the tolerance on every side?
bool BoundsWithin(const TTShape& shape, double x, double y, double tolerance);
