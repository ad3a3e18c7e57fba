#include "canvas/TTArc.h"
#include "canvas/TTCircle.h"
#include "canvas/TTEllipse.h"
#include "canvas/TTLine.h"
#include "canvas/TTPoint.h"
#include "canvas/TTPolyline.h"
#include "canvas/TTRectangle.h"
#include "canvas/TTText.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

struct Bounds {
    double minX, minY, maxX, maxY;
};

void ExpectBounds(const TTShape& shape, const Bounds& expected, const char* what) {
    EXPECT_NEAR(shape.MinX, expected.minX, 1e-9) << what;
    EXPECT_NEAR(shape.MinY, expected.minY, 1e-9) << what;
    EXPECT_NEAR(shape.MaxX, expected.maxX, 1e-9) << what;
    EXPECT_NEAR(shape.MaxY, expected.maxY, 1e-9) << what;
}

std::unique_ptr<TTPoint> Point(double x, double y) {
    auto point = std::make_unique<TTPoint>();
    point->X = x;
    point->Y = y;
    point->UpdateBounds();
    return point;
}

std::unique_ptr<TTLine> Line(double x1, double y1, double x2, double y2) {
    auto line = std::make_unique<TTLine>();
    line->X1 = x1;
    line->Y1 = y1;
    line->X2 = x2;
    line->Y2 = y2;
    line->UpdateBounds();
    return line;
}

std::unique_ptr<TTCircle> Circle(double x, double y, double r) {
    auto circle = std::make_unique<TTCircle>();
    circle->CenterX = x;
    circle->CenterY = y;
    circle->Radius = r;
    circle->UpdateBounds();
    return circle;
}

std::unique_ptr<TTRectangle> Rectangle(double x1, double y1, double x2, double y2) {
    auto rectangle = std::make_unique<TTRectangle>();
    rectangle->X1 = x1;
    rectangle->Y1 = y1;
    rectangle->X2 = x2;
    rectangle->Y2 = y2;
    rectangle->UpdateBounds();
    return rectangle;
}

std::unique_ptr<TTEllipse> Ellipse(double x1, double y1, double x2, double y2) {
    auto ellipse = std::make_unique<TTEllipse>();
    ellipse->X1 = x1;
    ellipse->Y1 = y1;
    ellipse->X2 = x2;
    ellipse->Y2 = y2;
    ellipse->UpdateBounds();
    return ellipse;
}

std::unique_ptr<TTText> Text(const QString& text, double x, double y, double height) {
    auto shape = std::make_unique<TTText>();
    shape->DisplayText = text;
    shape->X = x;
    shape->Y = y;
    shape->Height = height;
    shape->UpdateBounds();
    return shape;
}

std::unique_ptr<TTPolyline> Polyline(std::initializer_list<TPointF> points, bool closed = false) {
    auto polyline = std::make_unique<TTPolyline>();
    polyline->Closed = closed;
    for (const TPointF& p : points)
        polyline->AddPoint(p.X, p.Y);
    return polyline;
}

std::unique_ptr<TTArc> Arc(double x1, double y1, double x2, double y2, double x3, double y3) {
    auto arc = std::make_unique<TTArc>();
    arc->X1 = x1;
    arc->Y1 = y1;
    arc->X2 = x2;
    arc->Y2 = y2;
    arc->X3 = x3;
    arc->Y3 = y3;
    arc->UpdateBounds();
    return arc;
}

TEST(ShapeFamilyTest, NewShapesStartWithTheRecordDefaults) {
    const TTLine line;
    EXPECT_EQ(line.Id, 0);
    EXPECT_EQ(line.PenFg, 0u);
    EXPECT_EQ(line.PenWidth, 1);
    EXPECT_EQ(line.BrushFg, 0xFFFFFFu);
    EXPECT_EQ(line.BrushBg, 0xFFFFFFu);
    EXPECT_EQ(line.BrushStyle, BrushStyle::Clear);
    EXPECT_FALSE(line.Selected);
    EXPECT_TRUE(line.Visible);
    EXPECT_TRUE(line.Notes.isEmpty());
    EXPECT_EQ(line.Class(), ShapeClass::Line);
    const TTRectangle rectangle;
    EXPECT_FALSE(rectangle.Rounded);
    EXPECT_DOUBLE_EQ(rectangle.CornerRadius, 10.0);
    const TTText text;
    EXPECT_EQ(text.FontName, QStringLiteral("Arial"));
    EXPECT_DOUBLE_EQ(text.Height, 10.0);
    EXPECT_EQ(TTPoint().PointSize, 3);
}

TEST(ShapeFamilyTest, HitTestTable) {
    struct Case {
        const char* what;
        const TTShape& shape;
        double x, y, tolerance;
        bool hit;
    };
    const auto point = Point(100, 200);
    const auto line = Line(0, 0, 10, 0);
    const auto zeroLine = Line(5, 5, 5, 5);
    const auto circle = Circle(0, 0, 10);
    const auto rectangle = Rectangle(10, 10, 0, 0);
    const auto ellipse = Ellipse(-10, -5, 10, 5);
    const auto flatEllipse = Ellipse(0, 0, 10, 0);
    const auto text = Text("ABCDE", 0, 0, 50);
    const auto square = Polyline({{0, 0}, {10, 0}, {10, 10}, {0, 10}}, true);
    const auto stuck = Polyline({{3, 3}, {3, 3}});
    const auto single = Polyline({{3, 3}});
    const auto arc = Arc(0, 0, 5, 8, 10, 0);
    const Case cases[] = {
        {"point within", *point, 102, 201, 3, true},
        {"point on the circle of tolerance", *point, 103, 200, 3, true},
        {"point outside", *point, 103, 201, 3, false},
        {"line middle", *line, 5, 0.9, 1, true},
        {"line beyond the end", *line, 11.5, 0, 1, false},
        {"line near the end", *line, 10.6, 0.6, 1, true},
        {"zero-length line near its end", *zeroLine, 5.5, 5.5, 1, true},
        {"zero-length line outside", *zeroLine, 6, 6, 1, false},
        {"circle ring", *circle, 10, 0.5, 1, true},
        {"circle centre", *circle, 0, 0, 1, false},
        {"circle inside the ring", *circle, 5, 0, 1, false},
        {"rectangle inside", *rectangle, 5, 5, 0.1, true},
        {"rectangle grown box", *rectangle, 10.9, -0.9, 1, true},
        {"rectangle outside", *rectangle, 11.1, 5, 1, false},
        {"ellipse outline", *ellipse, 10, 0, 0.5, true},
        {"ellipse centre", *ellipse, 0, 0, 0.5, false},
        {"ellipse without height", *flatEllipse, 5, 0, 100, false},
        {"text right end", *text, 12, 1, 2, true},
        {"text inner", *text, 11, 1, 2, true},
        {"text past the end", *text, 13, 1, 2, false},
        {"text above", *text, 5, 3, 2, false},
        {"text bottom", *text, 0, -6, 2, true},
        {"text left of the anchor", *text, -0.1, 0, 2, false},
        {"polygon edge", *square, 5, 0.5, 1, true},
        {"polygon closing edge", *square, 0, 5, 1, false},
        {"polygon inside", *square, 5, 5, 1, false},
        {"polyline of coincident vertices", *stuck, 3, 3, 1, false},
        {"polyline of one vertex", *single, 3, 3, 1, false},
        {"arc box", *arc, 5, 4, 0.1, true},
        {"arc outside", *arc, 12, 4, 1, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.shape.HitTest(c.x, c.y, c.tolerance), c.hit) << c.what;
}

TEST(ShapeFamilyTest, BoundsTable) {
    auto point = Point(100, 200);
    point->PenWidth = 9; // the pen plays no part
    point->UpdateBounds();
    ExpectBounds(*point, {97, 197, 103, 203}, "point");
    ExpectBounds(*Line(10, 5, 0, 8), {0, 5, 10, 8}, "line");
    ExpectBounds(*Circle(1, 2, 3), {-2, -1, 4, 5}, "circle");
    ExpectBounds(*Rectangle(4, 9, 1, 2), {1, 2, 4, 9}, "rectangle");
    ExpectBounds(*Ellipse(4, 9, 1, 2), {1, 2, 4, 9}, "ellipse");
    ExpectBounds(*Text("ABCDE", 0, 0, 10), {-10, -10, 40, 10}, "text");
    ExpectBounds(*Polyline({{1, 5}, {-2, 3}, {4, 4}}), {-2, 3, 4, 5}, "polyline");
    ExpectBounds(*Arc(0, 0, 5, 8, 10, -1), {0, -1, 10, 8}, "arc");

    // A polyline without vertices keeps its previous bounds.
    auto polyline = Polyline({{1, 1}, {2, 2}});
    polyline->Points.clear();
    polyline->UpdateBounds();
    ExpectBounds(*polyline, {1, 1, 2, 2}, "emptied polyline");
}

TEST(ShapeFamilyTest, TranslateMovesEveryDefiningPointAndTheBounds) {
    auto rectangle = Rectangle(0, 0, 10, 5);
    rectangle->Translate(3, -2);
    ExpectBounds(*rectangle, {3, -2, 13, 3}, "rectangle");
    auto polyline = Polyline({{0, 0}, {1, 1}});
    polyline->Translate(500000, 4500000);
    EXPECT_DOUBLE_EQ(polyline->GetPointX(1), 500001.0);
    EXPECT_DOUBLE_EQ(polyline->GetPointY(1), 4500001.0);
    auto text = Text("A", 1, 1, 10);
    text->Translate(1, 1);
    EXPECT_DOUBLE_EQ(text->X, 2.0);
    EXPECT_DOUBLE_EQ(text->Y, 2.0);
}

TEST(ShapeFamilyTest, ScaleMovesPointsAboutTheCentreAndKeepsSizesInPixels) {
    auto line = Line(1, 1, 3, 2);
    line->Scale(2, 3, 1, 1);
    EXPECT_DOUBLE_EQ(line->X2, 5.0);
    EXPECT_DOUBLE_EQ(line->Y2, 4.0);
    ExpectBounds(*line, {1, 1, 5, 4}, "line");

    auto circle = Circle(0, 0, 10);
    circle->Scale(2, 4, 0, 0);
    EXPECT_DOUBLE_EQ(circle->Radius, 30.0);

    auto point = Point(7, 0);
    point->Scale(-1, 1, 5, 0);
    EXPECT_DOUBLE_EQ(point->X, 3.0);
    EXPECT_EQ(point->PointSize, 3);

    auto text = Text("AB", 2, 2, 12);
    text->Scale(10, 10, 0, 0);
    EXPECT_DOUBLE_EQ(text->X, 20.0);
    EXPECT_DOUBLE_EQ(text->Height, 12.0);

    auto arc = Arc(0, 0, 1, 1, 2, 0);
    arc->Scale(1, -1, 0, 0);
    EXPECT_DOUBLE_EQ(arc->Y2, -1.0);
    ExpectBounds(*arc, {0, -1, 2, 0}, "arc");
}

TEST(ShapeFamilyTest, ReflectingACircleKeepsItsRadius) {
    struct Case {
        double sx, sy, radius;
    };
    const Case cases[] = {{-1, 1, 10}, {1, -1, 10}, {-1, -1, 10}, {-2, 4, 30}, {0.5, -0.5, 5}};
    for (const Case& c : cases) {
        auto circle = Circle(3, 4, 10);
        circle->Scale(c.sx, c.sy, 0, 0);
        EXPECT_DOUBLE_EQ(circle->Radius, c.radius) << c.sx << "," << c.sy;
        EXPECT_DOUBLE_EQ(circle->CenterX, 3 * c.sx);
        ExpectBounds(
            *circle,
            {3 * c.sx - c.radius, 4 * c.sy - c.radius, 3 * c.sx + c.radius, 4 * c.sy + c.radius},
            "reflected circle");
    }
}

TEST(ShapeFamilyTest, RotateTurnsPointsCounterClockwiseButNotBoxesOrTextAnchors) {
    auto line = Line(1, 0, 2, 0);
    line->Rotate(90, 0, 0);
    EXPECT_NEAR(line->X1, 0.0, 1e-12);
    EXPECT_NEAR(line->Y1, 1.0, 1e-12);
    EXPECT_NEAR(line->Y2, 2.0, 1e-12);
    ExpectBounds(*line, {0, 1, 0, 2}, "line");

    auto polyline = Polyline({{10, 10}, {20, 10}});
    polyline->Rotate(180, 10, 10);
    EXPECT_NEAR(polyline->GetPointX(1), 0.0, 1e-9);
    EXPECT_NEAR(polyline->GetPointY(1), 10.0, 1e-9);

    auto rectangle = Rectangle(0, 0, 10, 5);
    rectangle->Rotate(90, 0, 0);
    EXPECT_DOUBLE_EQ(rectangle->X2, 10.0);
    EXPECT_DOUBLE_EQ(rectangle->Y2, 5.0);
    auto ellipse = Ellipse(0, 0, 10, 5);
    ellipse->Rotate(45, 3, 3);
    EXPECT_DOUBLE_EQ(ellipse->X2, 10.0);

    auto text = Text("A", 4, 5, 10);
    text->Rotate(90, 0, 0);
    text->Rotate(15, 0, 0);
    EXPECT_DOUBLE_EQ(text->X, 4.0);
    EXPECT_DOUBLE_EQ(text->Y, 5.0);
    EXPECT_DOUBLE_EQ(text->Rotation, 105.0);

    auto circle = Circle(10, 0, 2);
    circle->Rotate(-90, 0, 0);
    EXPECT_NEAR(circle->CenterY, -10.0, 1e-12);
    EXPECT_DOUBLE_EQ(circle->Radius, 2.0);
}

TEST(ShapeFamilyTest, PolylineVerticesKeepDoublePrecision) {
    // Northing and easting in the ranges where single precision steps by 0.5 m and 1/32 m.
    auto polyline = Polyline({{500000.67, 4500000.67}, {500000.123456, 4500000.987654}});
    EXPECT_DOUBLE_EQ(polyline->GetPointY(0), 4500000.67);
    EXPECT_DOUBLE_EQ(polyline->GetPointX(0), 500000.67);
    EXPECT_DOUBLE_EQ(polyline->GetPointX(1), 500000.123456);
    EXPECT_DOUBLE_EQ(polyline->MaxY, 4500000.987654);
    polyline->SetPoint(1, 1.000000001, 2.000000002);
    EXPECT_DOUBLE_EQ(polyline->GetPointX(1), 1.000000001);
}

TEST(ShapeFamilyTest, PolylineVertexAccessOutOfRange) {
    auto polyline = Polyline({{1, 2}, {3, 4}});
    for (int index : {-1, 2, 100}) {
        EXPECT_EQ(polyline->GetPointX(index), 0.0) << index;
        EXPECT_EQ(polyline->GetPointY(index), 0.0) << index;
    }
    polyline->SetPoint(2, 9, 9);
    polyline->SetPoint(-1, 9, 9);
    EXPECT_EQ(polyline->PointCount(), 2);
    ExpectBounds(*polyline, {1, 2, 3, 4}, "unchanged");
    polyline->SetPoint(0, -5, 9);
    ExpectBounds(*polyline, {-5, 4, 3, 9}, "vertex replaced");
}

TEST(ShapeFamilyTest, NonFiniteGeometryIsDetected) {
    EXPECT_TRUE(Line(0, 0, 1, 1)->IsFinite());
    EXPECT_FALSE(Line(0, 0, 1, std::numeric_limits<double>::infinity())->IsFinite());
    EXPECT_FALSE(Circle(0, 0, std::numeric_limits<double>::quiet_NaN())->IsFinite());
    EXPECT_FALSE(Polyline({{0, 0}, {std::numeric_limits<double>::quiet_NaN(), 1}})->IsFinite());
    EXPECT_TRUE(Polyline({{0, 0}, {1, 1}})->IsFinite());
}

} // namespace
