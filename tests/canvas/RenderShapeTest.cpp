#include "RenderTestImages.h"

#include "canvas/TTArc.h"
#include "canvas/TTCircle.h"
#include "canvas/TTEllipse.h"
#include "canvas/TTLine.h"
#include "canvas/TTPoint.h"
#include "canvas/TTPolyline.h"
#include "canvas/TTRectangle.h"
#include "canvas/TTText.h"

#include <gtest/gtest.h>

#include <array>

using namespace RenderTestImages;

namespace {

constexpr uint32_t White = 0xFFFFFF;
constexpr uint32_t Black = 0;
constexpr uint32_t Red = 0x0000FF;
constexpr uint32_t Blue = 0xFF0000;
constexpr uint32_t Green = 0x00FF00;

// Every image here shows the world 0..100 on a 100 x 100 client: pixel = world, y flipped.
QImage Draw(const TTShape& shape, uint32_t background = White) {
    return DrawShape(shape, 0, 100, 100, 0, 100, 100, background);
}

std::unique_ptr<TTPoint> PointAt(double x, double y, int penWidth) {
    auto point = std::make_unique<TTPoint>();
    point->X = x;
    point->Y = y;
    point->PenWidth = penWidth;
    point->PenFg = Blue;
    point->UpdateBounds();
    return point;
}

TEST(RenderShapeTest, PointMarkersByPenWidth) {
    // Pen width 0: the single pixel.
    QImage image = Draw(*PointAt(50, 50, 0));
    EXPECT_EQ(Count(image, Blue), 1);
    EXPECT_TRUE(Is(image, 50, 50, Blue));
    // 1: four pixels right and below.
    image = Draw(*PointAt(50, 50, 1));
    EXPECT_EQ(BoundsOf(image, Blue), QRect(50, 50, 2, 2));
    EXPECT_EQ(Count(image, Blue), 4);
    // 2 and 3: filled squares of 3 and 5 pixels centred on the point.
    EXPECT_EQ(BoundsOf(Draw(*PointAt(50, 50, 2)), Blue), QRect(49, 49, 3, 3));
    image = Draw(*PointAt(50, 50, 3));
    EXPECT_EQ(BoundsOf(image, Blue), QRect(48, 48, 5, 5));
    EXPECT_EQ(Count(image, Blue), 25);
    // 5: a filled circle of radius 3: its box 47..52 (exclusive right and bottom edges).
    image = Draw(*PointAt(50, 50, 5));
    EXPECT_EQ(BoundsOf(image, Blue), QRect(47, 47, 6, 6));
    EXPECT_TRUE(Is(image, 49, 49, Blue));
    EXPECT_FALSE(Is(image, 47, 47, Blue)); // round, not square
    // The point size plays no part.
    auto big = PointAt(50, 50, 3);
    big->PointSize = 40;
    EXPECT_EQ(BoundsOf(Draw(*big), Blue), QRect(48, 48, 5, 5));
}

TEST(RenderShapeTest, ThickPointMarkersDrawWithAOnePixelOutline) {
    // Whatever pen the shape before left on the surface, a wide marker is the same circle.
    TTLine wide;
    wide.X1 = 0;
    wide.Y1 = 0;
    wide.X2 = 1;
    wide.Y2 = 0;
    wide.PenWidth = 12;
    wide.PenFg = Green;
    QImage image = Blank(100, 100);
    {
        QPainter painter(&image);
        PaintCanvas canvas(painter, White);
        wide.Draw(canvas, 0, 100, 100, 0, 100, 100);
        PointAt(50, 50, 5)->Draw(canvas, 0, 100, 100, 0, 100, 100);
    }
    EXPECT_EQ(BoundsOf(image, Blue), QRect(47, 47, 6, 6));
}

TEST(RenderShapeTest, WorldToPixelsTruncatesTowardZero) {
    // On a 50 x 50 client showing 0..100, (1.9, 98.1) and (-1.9, 101.9) both land on (0, 0).
    for (const auto& [x, y] : {std::pair{1.9, 98.1}, std::pair{-1.9, 101.9}}) {
        const QImage image = DrawShape(*PointAt(x, y, 0), 0, 100, 100, 0, 50, 50);
        EXPECT_TRUE(Is(image, 0, 0, Blue)) << x;
        EXPECT_EQ(Count(image, Blue), 1);
    }
}

TEST(RenderShapeTest, SelectedShapesDrawInRed) {
    auto point = PointAt(50, 50, 3);
    point->Selected = true;
    EXPECT_EQ(Count(Draw(*point), Red), 25);
    auto hidden = PointAt(50, 50, 3);
    hidden->Visible = false;
    EXPECT_EQ(CountNot(Draw(*hidden), White), 0);
}

std::unique_ptr<TTRectangle> RectangleOf(double x1, double y1, double x2, double y2) {
    auto rectangle = std::make_unique<TTRectangle>();
    rectangle->X1 = x1;
    rectangle->Y1 = y1;
    rectangle->X2 = x2;
    rectangle->Y2 = y2;
    rectangle->PenFg = Blue;
    rectangle->UpdateBounds();
    return rectangle;
}

TEST(RenderShapeTest, RectangleFillAndOutline) {
    // Pen width 0 with a solid brush: the fill alone, columns 20..59 and rows 20..59.
    auto filled = RectangleOf(60, 40, 20, 80); // corners in any order
    filled->PenWidth = 0;
    filled->BrushStyle = BrushStyle::Solid;
    filled->BrushFg = Green;
    QImage image = Draw(*filled);
    EXPECT_EQ(BoundsOf(image, Green), QRect(20, 20, 40, 40));
    EXPECT_EQ(Count(image, Green), 1600);
    EXPECT_EQ(Count(image, Blue), 0);

    // Selected: the same fill inside a red outline on the box's outer pixels.
    filled->Selected = true;
    image = Draw(*filled);
    EXPECT_EQ(BoundsOf(image, Red), QRect(20, 20, 40, 40));
    EXPECT_TRUE(Is(image, 40, 40, Green));
    EXPECT_TRUE(Is(image, 59, 40, Red));
    EXPECT_TRUE(Is(image, 40, 59, Red));
    EXPECT_TRUE(Is(image, 60, 40, White));

    // A clear brush: the outline only, its right and bottom edges excluded.
    auto outline = RectangleOf(20, 80, 60, 40);
    image = Draw(*outline);
    EXPECT_EQ(BoundsOf(image, Blue), QRect(20, 20, 40, 40));
    EXPECT_TRUE(Is(image, 40, 40, White));
    EXPECT_EQ(Count(image, Blue), 4 * 39);
}

TEST(RenderShapeTest, RoundedRectanglesCutTheirCorners) {
    auto rounded = RectangleOf(20, 80, 60, 40);
    rounded->Rounded = true;
    rounded->CornerRadius = 10;
    const QImage image = Draw(*rounded);
    EXPECT_EQ(BoundsOf(image, Blue), QRect(20, 20, 40, 40));
    EXPECT_FALSE(Is(image, 20, 20, Blue));
    EXPECT_TRUE(Is(image, 40, 20, Blue));
}

TEST(RenderShapeTest, LinesLeaveOutTheirLastPixel) {
    TTLine line;
    line.X1 = 10;
    line.Y1 = 50;
    line.X2 = 90;
    line.Y2 = 50;
    line.PenFg = Blue;
    const QImage image = Draw(line);
    EXPECT_EQ(BoundsOf(image, Blue), QRect(10, 50, 80, 1));
    line.PenWidth = 5;
    EXPECT_EQ(BoundsOf(Draw(line), Blue).height(), 5);
}

TEST(RenderShapeTest, CircleAndEllipse) {
    TTCircle circle;
    circle.CenterX = 50;
    circle.CenterY = 50;
    circle.Radius = 10;
    circle.PenFg = Blue;
    circle.BrushStyle = BrushStyle::Solid;
    circle.BrushFg = Green;
    QImage image = Draw(circle);
    EXPECT_EQ(BoundsOf(image, Blue), QRect(40, 40, 20, 20));
    EXPECT_TRUE(Is(image, 50, 50, Green));

    TTEllipse ellipse;
    ellipse.X1 = 80;
    ellipse.Y1 = 60;
    ellipse.X2 = 20;
    ellipse.Y2 = 40;
    ellipse.PenFg = Blue;
    image = Draw(ellipse);
    // The rasterised curve of a flat ellipse may stray a pixel sideways at its ends.
    const QRect ink = BoundsOf(image, Blue);
    EXPECT_NEAR(ink.left(), 20, 1);
    EXPECT_NEAR(ink.right(), 79, 1);
    EXPECT_EQ(ink.top(), 40);
    EXPECT_EQ(ink.bottom(), 59);
    EXPECT_TRUE(Is(image, 50, 50, White));
}

std::unique_ptr<TTText> TextAt(double x, double y, const QString& text) {
    auto shape = std::make_unique<TTText>();
    shape->X = x;
    shape->Y = y;
    shape->DisplayText = text;
    shape->FontName = "DejaVu Sans";
    shape->PenFg = Blue;
    shape->Type = ShapeType::Text;
    shape->UpdateBounds();
    return shape;
}

TEST(RenderShapeTest, TextsAnchorByAlignAndJustify) {
    // Top-left anchored: the ink lies right of and below the anchor.
    QImage image = DrawShape(*TextAt(100, 100, "HHHH"), 0, 200, 200, 0, 200, 200);
    QRect ink = TextBoundsOf(image, Blue, White);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_GE(ink.left(), 100);
    EXPECT_GE(ink.top(), 100);
    EXPECT_LT(ink.left(), 104);

    // Centre and middle: the ink straddles the anchor.
    auto centred = TextAt(100, 100, "HHHH");
    centred->Align = 1;
    centred->Justify = 1;
    ink = TextBoundsOf(DrawShape(*centred, 0, 200, 200, 0, 200, 200), Blue, White);
    EXPECT_LT(ink.left(), 100);
    EXPECT_GT(ink.right(), 100);
    EXPECT_LT(ink.top(), 100);
    EXPECT_GT(ink.bottom(), 100);

    // Right and bottom: the ink lies left of and above the anchor.
    auto opposite = TextAt(100, 100, "HHHH");
    opposite->Align = 2;
    opposite->Justify = 2;
    ink = TextBoundsOf(DrawShape(*opposite, 0, 200, 200, 0, 200, 200), Blue, White);
    EXPECT_LE(ink.right(), 100);
    EXPECT_LE(ink.bottom(), 100);
}

TEST(RenderShapeTest, TextSizeIsClampedAndDoesNotFollowTheZoom) {
    auto huge = TextAt(10, 390, "H");
    huge->Height = 200;
    auto largest = TextAt(10, 390, "H");
    largest->Height = 72;
    const int hugeInk =
        TextBoundsOf(DrawShape(*huge, 0, 400, 400, 0, 400, 400), Blue, White).height();
    EXPECT_EQ(hugeInk,
              TextBoundsOf(DrawShape(*largest, 0, 400, 400, 0, 400, 400), Blue, White).height());
    EXPECT_GT(hugeInk, 40);

    auto zero = TextAt(10, 390, "H");
    zero->Height = 0;
    auto ten = TextAt(10, 390, "H");
    ten->Height = 10;
    EXPECT_EQ(DrawShape(*zero, 0, 400, 400, 0, 400, 400),
              DrawShape(*ten, 0, 400, 400, 0, 400, 400));
    // Zooming in tenfold leaves the glyph's size alone.
    EXPECT_EQ(TextBoundsOf(DrawShape(*ten, 0, 40, 400, 360, 400, 400), Blue, White).size(),
              TextBoundsOf(DrawShape(*ten, 0, 400, 400, 0, 400, 400), Blue, White).size());
}

TEST(RenderShapeTest, TextFarLeftOfTheClientIsNotDrawnEvenIfItWouldReachIn) {
    // The anchor is 600 pixels left of the client; a long text would reach into view.
    auto far = TextAt(-600, 50, QString(200, 'W'));
    EXPECT_EQ(CountNot(Draw(*far), White), 0);
    auto near = TextAt(-400, 50, QString(200, 'W'));
    const QImage reaching = Draw(*near);
    EXPECT_GT(CountTextIn(reaching, reaching.rect(), Blue, White), 0);
}

TEST(RenderShapeTest, NearWhiteTextDrawsBlackOnALightMapAndStaysOnADarkOne) {
    auto pale = TextAt(10, 90, "HHH");
    pale->PenFg = 0xF0F0F0;
    QImage image = Draw(*pale);
    EXPECT_GT(CountTextIn(image, image.rect(), Black, White), 0);
    EXPECT_EQ(Count(image, 0xF0F0F0), 0);
    image = Draw(*pale, 0x400000);
    EXPECT_GT(CountTextIn(image, image.rect(), 0xF0F0F0, 0x400000), 0);
    pale->Selected = true;
    image = Draw(*pale);
    EXPECT_GT(CountTextIn(image, image.rect(), Red, White), 0);
}

TEST(RenderShapeTest, RotatedTextTurnsAboutItsAnchor) {
    auto upright = TextAt(100, 100, "HHHHHH");
    auto turned = TextAt(100, 100, "HHHHHH");
    turned->Rotation = 90;
    const QRect flat = TextBoundsOf(DrawShape(*upright, 0, 200, 200, 0, 200, 200), Blue, White);
    const QRect up = TextBoundsOf(DrawShape(*turned, 0, 200, 200, 0, 200, 200), Blue, White);
    EXPECT_GT(flat.width(), flat.height());
    EXPECT_GT(up.height(), up.width()); // counter-clockwise: it reads upwards
    EXPECT_LE(up.bottom(), 101);
}

std::unique_ptr<TTPolyline> PolylineOf(int32_t type, std::vector<TPointF> points,
                                       bool closed = false) {
    auto polyline = std::make_unique<TTPolyline>();
    polyline->Type = type;
    polyline->Points = std::move(points);
    polyline->Closed = closed;
    polyline->PenFg = Blue;
    polyline->UpdateBounds();
    return polyline;
}

TEST(RenderShapeTest, TheCurveThroughThreePointsPassesHalfwayToItsMiddlePoint) {
    // Pixels (0, 0), (50, 100) and (100, 0) on a 100 x 100 client: the quadratic curve's
    // middle lies 50 pixels from the line through its ends, not 100.
    const auto arc = PolylineOf(ShapeType::ThreePointArc, {{0, 100}, {50, 0}, {100, 100}});
    const QImage image = DrawShape(*arc, 0, 100, 100, -1, 100, 101);
    const QRect ink = BoundsOf(image, Blue);
    EXPECT_NEAR(ink.bottom(), 50, 1);
    EXPECT_EQ(ink.left(), 0);
    EXPECT_TRUE(Is(image, 50, 50, Blue) || Is(image, 50, 49, Blue) || Is(image, 50, 51, Blue));
}

TEST(RenderShapeTest, ASplineOfTwoVerticesIsAStraightLine) {
    const auto spline = PolylineOf(ShapeType::Spline, {{10, 50}, {90, 50}});
    EXPECT_EQ(BoundsOf(Draw(*spline), Blue).height(), 1);
}

TEST(RenderShapeTest, PolygonsFillWhenTheirBrushIsSolidAndTwoVerticesDrawALine) {
    auto polygon = PolylineOf(ShapeType::Polygon, {{10, 90}, {90, 90}, {50, 10}}, true);
    polygon->BrushStyle = BrushStyle::Solid;
    polygon->BrushFg = Green;
    QImage image = Draw(*polygon);
    EXPECT_TRUE(Is(image, 50, 50, Green));
    EXPECT_TRUE(Is(image, 50, 10, Blue)); // outline along the top edge

    auto two = PolylineOf(ShapeType::Polygon, {{10, 50}, {90, 50}}, true);
    two->BrushStyle = BrushStyle::Solid;
    two->BrushFg = Green;
    image = Draw(*two);
    EXPECT_EQ(Count(image, Green), 0);
    EXPECT_EQ(BoundsOf(image, Blue), QRect(10, 50, 80, 1));

    auto open = PolylineOf(ShapeType::Polyline, {{10, 90}, {90, 90}, {50, 10}});
    image = Draw(*open);
    EXPECT_TRUE(Is(image, 50, 10, Blue));
    EXPECT_TRUE(Is(image, 50, 50, White));
    EXPECT_EQ(CountNot(Draw(*PolylineOf(ShapeType::Polyline, {{10, 10}})), White), 0);
}

TEST(RenderShapeTest, AnArcIsTwoStraightSegments) {
    TTArc arc;
    arc.X1 = 0;
    arc.Y1 = 100;
    arc.X2 = 50;
    arc.Y2 = 0;
    arc.X3 = 100;
    arc.Y3 = 100;
    arc.PenFg = Blue;
    const QImage image = DrawShape(arc, 0, 100, 100, -1, 100, 101);
    EXPECT_EQ(BoundsOf(image, Blue).bottom(), 100); // it reaches the middle point
    EXPECT_TRUE(Is(image, 25, 50, Blue));
}

TEST(RenderShapeTest, AShapeFarOffTheClientDrawsWithoutHanging) {
    // Zoomed in to a millimetre: a line and a circle a kilometre long reach pixels far beyond
    // int; they are clamped and the visible part still shows.
    TTLine line;
    line.X1 = -1000;
    line.Y1 = 0.0005;
    line.X2 = 1000;
    line.Y2 = 0.0005;
    line.PenFg = Blue;
    const QImage image = DrawShape(line, 0, 0.001, 0.001, 0, 100, 100);
    EXPECT_EQ(BoundsOf(image, Blue), QRect(0, 50, 100, 1));

    TTCircle circle;
    circle.CenterX = 0;
    circle.CenterY = 0;
    circle.Radius = 1000;
    circle.PenFg = Blue;
    const QImage ring = DrawShape(circle, 0, 0.001, 0.001, 0, 100, 100);
    EXPECT_EQ(CountNot(ring, White), Count(ring, Blue));
}

} // namespace

namespace {

// Points, squares and lines in alternating colours, overlapping one another.
std::vector<std::unique_ptr<TTShape>> CrowdedScene() {
    std::vector<std::unique_ptr<TTShape>> shapes;
    const uint32_t colours[] = {Blue, Green, Red, Blue};
    for (int i = 0; i < 40; ++i) {
        auto point = PointAt(10 + (i * 7) % 80, 10 + (i * 13) % 80, i % 4);
        point->PenFg = colours[i % 4];
        shapes.push_back(std::move(point));
        auto line = std::make_unique<TTLine>();
        line->X1 = (i * 11) % 100;
        line->Y1 = (i * 17) % 100;
        line->X2 = i % 3 == 0 ? line->X1 : (i * 29) % 100; // some vertical, most slanting
        line->Y2 = i % 7 == 0 ? line->Y1 : (i * 31) % 100;
        line->PenFg = colours[(i + 1) % 4];
        line->PenWidth = i % 5 == 0 ? 3 : 1;
        shapes.push_back(std::move(line));
    }
    return shapes;
}

QImage PaintScene(const std::vector<std::unique_ptr<TTShape>>& shapes, bool clipped,
                  bool oneByOne) {
    QImage image = Blank(100, 100);
    QPainter painter(&image);
    if (clipped)
        painter.setClipRect(image.rect()); // a clip takes the painter's own path, collecting
    PaintCanvas canvas(painter, White);
    for (const auto& shape : shapes) {
        shape->Draw(canvas, 0, 100, 100, 0, 100, 100);
        if (oneByOne)
            canvas.Flush();
    }
    canvas.Flush();
    painter.end();
    return image;
}

TEST(RenderShapeTest, CollectedDrawingPaintsTheSamePixelsAsDrawingOneByOne) {
    const auto scene = CrowdedScene();
    const QImage oneByOne = PaintScene(scene, true, true);
    EXPECT_EQ(PaintScene(scene, true, false), oneByOne);
    // Written straight into the image: the same pixels again.
    EXPECT_EQ(PaintScene(scene, false, false), oneByOne);
}

TEST(RenderShapeTest, OnePixelLinesLeaveOutTheirEndWhicheverWayTheyRun) {
    for (const auto& [x1, y1, x2, y2] : {std::array{10, 50, 90, 50}, std::array{90, 50, 10, 50},
                                         std::array{50, 10, 50, 90}, std::array{50, 90, 50, 10}}) {
        TTLine line;
        line.X1 = x1;
        line.Y1 = 100 - y1;
        line.X2 = x2;
        line.Y2 = 100 - y2;
        line.PenFg = Blue;
        const QImage image = Draw(line);
        EXPECT_TRUE(Is(image, x1, y1, Blue)) << x1 << "," << y1;
        EXPECT_FALSE(Is(image, x2, y2, Blue)) << x2 << "," << y2;
        EXPECT_EQ(Count(image, Blue), 80);
    }
}

// A surveyed track as the recorder leaves it: many segments of a pixel or two on a wide zoom,
// a few dozen on a close one, some of none, each a shape of its own, in a few pen widths, some
// running off the edges.
std::vector<std::unique_ptr<TTShape>> ShortWideSegments() {
    std::vector<std::unique_ptr<TTShape>> shapes;
    double x = -3;
    double y = 50;
    for (int i = 0; i < 600; ++i) {
        auto line = std::make_unique<TTLine>();
        line->X1 = x;
        line->Y1 = y;
        // Steps of -9..9 pixels, and every fifth of -69..69 (the longest are stroked), of both
        // signs, often sub-pixel.
        const int reach = i % 5 == 4 ? 69 : 9;
        x += ((i * 37) % (2 * reach + 1) - reach) * (i % 3 == 0 ? 0.3 : 1.0) + 0.4;
        y += ((i * 53) % (2 * reach + 1) - reach) * (i % 4 == 0 ? 0.2 : 1.0);
        x = x < -5 ? x + 110 : (x > 105 ? x - 110 : x);
        y = y < -5 ? y + 110 : (y > 105 ? y - 110 : y);
        line->X2 = i % 11 == 0 ? line->X1 : x;
        line->Y2 = i % 11 == 0 ? line->Y1 : y;
        line->PenFg = i % 50 < 25 ? Blue : Red;
        line->PenWidth = 2 + i % 5;
        shapes.push_back(std::move(line));
    }
    return shapes;
}

TEST(RenderShapeTest, ShortWideLinesWrittenStraightPaintTheSamePixelsAsThePaintersStroke) {
    const auto track = ShortWideSegments();
    // Clipped, every line is stroked by the painter; plain, the short ones come from stamps.
    const QImage stroked = PaintScene(track, true, false);
    EXPECT_EQ(PaintScene(track, false, false), stroked);
    EXPECT_EQ(PaintScene(track, false, true), stroked);
    EXPECT_GT(Count(stroked, Blue), 500);
    EXPECT_GT(Count(stroked, Red), 500);
}

TEST(RenderShapeTest, AChainOfSubPixelSegmentsPaintsAContinuousLineOfThePensWidth) {
    // 0.4 of a pixel per segment from x = 10 to 90 along row 50, with a three-pixel pen.
    std::vector<std::unique_ptr<TTShape>> chain;
    for (int i = 0; i < 200; ++i) {
        auto line = std::make_unique<TTLine>();
        line->X1 = 10.2 + i * 0.4;
        line->X2 = 10.2 + (i + 1) * 0.4;
        line->Y1 = line->Y2 = 100 - 50.5;
        line->PenFg = Blue;
        line->PenWidth = 3;
        chain.push_back(std::move(line));
    }
    const QImage image = PaintScene(chain, false, false);
    EXPECT_EQ(image, PaintScene(chain, true, false));
    // The round caps at the two ends are allowed to be narrower.
    for (int x = 11; x <= 89; ++x) {
        for (int y = 49; y <= 51; ++y)
            EXPECT_TRUE(Is(image, x, y, Blue)) << x << "," << y;
        EXPECT_FALSE(Is(image, x, 47, Blue)) << x;
        EXPECT_FALSE(Is(image, x, 53, Blue)) << x;
    }
    const QRect bounds = BoundsOf(image, Blue);
    EXPECT_GE(bounds.left(), 8);
    EXPECT_LE(bounds.right(), 92);
    EXPECT_GE(bounds.top(), 48);
    EXPECT_LE(bounds.bottom(), 52);
}

} // namespace
