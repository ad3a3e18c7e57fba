#include "canvas/RenderPlan.h"

#include "canvas/CanvasModel.h"
#include "canvas/TTCircle.h"
#include "canvas/TTLine.h"
#include "canvas/TTPoint.h"
#include "canvas/TTRectangle.h"
#include "canvas/TTText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

// A window of 0..100 world units on a 100 x 100 client: one unit per pixel, y flipped.
WorldView UnitView(int size = 100) {
    WorldView view;
    view.Left = 0;
    view.Right = size;
    view.Top = size;
    view.Bottom = 0;
    view.Width = size;
    view.Height = size;
    return view;
}

std::vector<int32_t> Ids(const ShapePass& pass) {
    std::vector<int32_t> ids;
    for (const TTShape* shape : pass.Shapes)
        ids.push_back(shape->Id);
    return ids;
}

// ---- Shape pass ---------------------------------------------------------------------------

TEST(RenderPlanTest, PointsWithinThreePixelsOfTheLastDrawnPointAreThinned) {
    CanvasModel model;
    const WorldView view = UnitView();
    // Pixels (10, 10), (12, 11), (14, 14): the second is within 3 of the first; the third is
    // compared with the first (the last drawn), not with the second.
    const int32_t a = model.DrawPoint(10, 90, 0);
    model.DrawPoint(12, 89, 0);
    const int32_t c = model.DrawPoint(14, 86, 0);
    const ShapePass pass = PlanShapePass(model.Shapes, VisibleLayerSet(model.Layers, 1), view);
    EXPECT_EQ(Ids(pass), (std::vector<int32_t>{a, c}));
}

TEST(RenderPlanTest, HiddenAndUnknownLayersAndShapesOutsideTheWindowAreCulled) {
    CanvasModel model;
    const int hidden = model.LayerOpen("hidden");
    model.SetLayerVisible(hidden, false);
    const int32_t shown = model.DrawLine(10, 10, 20, 20, 0);
    model.DrawLine(30, 30, 40, 40, hidden);
    const int32_t strayLayer = model.DrawLine(50, 50, 60, 60, 0);
    model.FindShape(strayLayer)->LayerId = model.NextLayerId + 1;
    const int32_t touching = model.DrawLine(-10, 50, 0, 50, 0); // touches the left edge
    model.DrawLine(-10, 50, -0.5, 50, 0);                       // wholly outside
    const int32_t invisible = model.DrawLine(10, 10, 30, 30, 0);
    model.FindShape(invisible)->Visible = false;

    const ShapePass pass =
        PlanShapePass(model.Shapes, VisibleLayerSet(model.Layers, model.NextLayerId), UnitView());
    EXPECT_EQ(Ids(pass), (std::vector<int32_t>{shown, touching}));
}

TEST(RenderPlanTest, ShapesBelowHalfAPixelAreDroppedButLinesAndRectanglesStay) {
    CanvasModel model;
    // On a 100-pixel client showing 0..100 half a pixel is 0.5 world units.
    model.DrawCircle(50, 50, 0.2, 0);                        // 0.4 wide: dropped
    const int32_t circle = model.DrawCircle(50, 50, 0.3, 0); // 0.6 wide: drawn
    const int32_t line = model.DrawLine(20, 20, 20, 20, 0);
    const int32_t rectangle = model.DrawRectangle(30, 30, 30, 30, 0);
    model.DrawTwoPointEllipse(70, 70, 70.1, 70.1, 0);
    const ShapePass pass =
        PlanShapePass(model.Shapes, VisibleLayerSet(model.Layers, 1), UnitView());
    EXPECT_EQ(Ids(pass), (std::vector<int32_t>{circle, line, rectangle}));
}

TEST(RenderPlanTest, TextsComeLastAndOnlyTheEarliestOfEachSixtyPixelCellIsDrawn) {
    CanvasModel model;
    const WorldView view = UnitView(200);
    const int32_t first = model.TextAdd(0, "a", 10, 190, 0); // pixel (10, 10): cell 0
    model.TextAdd(0, "b", 50, 150, 0);                       // pixel (50, 50): cell 0 again
    const int32_t other = model.TextAdd(0, "c", 70, 190, 0); // pixel (70, 10): cell 1
    const int32_t line = model.DrawLine(0, 0, 10, 10, 0);
    const ShapePass pass = PlanShapePass(model.Shapes, VisibleLayerSet(model.Layers, 1), view);
    EXPECT_EQ(Ids(pass), (std::vector<int32_t>{line, first, other}));
    EXPECT_EQ(pass.TextsFrom, 1u);

    // Anchors off the client fall into the border cells.
    EXPECT_EQ(TextCellIndex(-500, -500, 5, 4), 0);
    EXPECT_EQ(TextCellIndex(10000, 10000, 5, 4), 19);
    EXPECT_EQ(TextCellIndex(59, 60, 5, 4), 5);
}

TEST(RenderPlanTest, TheDrawingCapKeepsTheNewestShapes) {
    CanvasModel model;
    std::vector<int32_t> lines;
    for (int i = 0; i < 10; ++i)
        lines.push_back(model.DrawLine(i, 0, i, 50, 0));
    const int32_t text = model.TextAdd(0, "vessel", 50, 50, 0);
    const int32_t newest = model.DrawLine(0, 0, 99, 99, 0);
    const ShapePass pass =
        PlanShapePass(model.Shapes, VisibleLayerSet(model.Layers, 1), UnitView(), 4);
    // The four newest: the last two lines of the loop, the newest line, and the text (drawn
    // last as every text is).
    EXPECT_EQ(Ids(pass), (std::vector<int32_t>{lines[8], lines[9], newest, text}));

    // A cap smaller than the texts drops the oldest texts as well.
    const ShapePass tight =
        PlanShapePass(model.Shapes, VisibleLayerSet(model.Layers, 1), UnitView(), 1);
    EXPECT_EQ(Ids(tight), (std::vector<int32_t>{newest}));
}

TEST(RenderPlanTest, AShapeWithANanBoundIsCulled) {
    TTLine line;
    line.MinX = std::numeric_limits<double>::quiet_NaN();
    line.MaxX = 10;
    line.MaxY = 10;
    EXPECT_FALSE(BoundsTouchWindow(line, UnitView()));
}

// ---- Shape drawing decisions ----------------------------------------------------------------

TEST(RenderPlanTest, PointMarkersFollowThePenWidth) {
    struct Case {
        int width;
        PointMarker::Kind kind;
        int offset;
    };
    for (const Case& c : {Case{-1, PointMarker::Pixel, 0}, Case{0, PointMarker::Pixel, 0},
                          Case{1, PointMarker::FourPixels, 0}, Case{2, PointMarker::Square, 1},
                          Case{3, PointMarker::Square, 2}, Case{4, PointMarker::Circle, 2},
                          Case{5, PointMarker::Circle, 3}}) {
        const PointMarker marker = PointMarkerFor(c.width);
        EXPECT_EQ(marker.Shape, c.kind) << c.width;
        EXPECT_EQ(marker.Offset, c.offset) << c.width;
    }
}

TEST(RenderPlanTest, TextSizeIsTheHeightClampedToFourToSeventyTwoPoints) {
    EXPECT_EQ(TextPointSize(200), 72);
    EXPECT_EQ(TextPointSize(0), 10);
    EXPECT_EQ(TextPointSize(-3), 10);
    EXPECT_EQ(TextPointSize(2.9), 4);
    EXPECT_EQ(TextPointSize(12.9), 12);
    EXPECT_EQ(TextPointSize(std::numeric_limits<double>::quiet_NaN()), 10);
}

TEST(RenderPlanTest, NearWhiteTextTurnsBlackOnlyOnALightBackground) {
    EXPECT_EQ(TextDrawColour(0xF0F0F0, false, 0xFFFFFF), 0u);
    EXPECT_EQ(TextDrawColour(0xF0F0F0, true, 0xFFFFFF), 0x0000FFu);
    EXPECT_EQ(TextDrawColour(0x808080, false, 0xFFFFFF), 0x808080u);
}

TEST(RenderPlanTest, WhiteLabelsStayWhiteOnADarkBackground) {
    EXPECT_EQ(TextDrawColour(0xFFFFFF, false, 0x000000), 0xFFFFFFu);
    EXPECT_EQ(TextDrawColour(0xF0F0F0, false, 0x800000), 0xF0F0F0u); // navy
}

TEST(RenderPlanTest, TextAnchorsAndTheirReach) {
    EXPECT_EQ(TextAnchorOffset(0, 0, 41, 15).X, 0);
    EXPECT_EQ(TextAnchorOffset(1, 1, 41, 15).X, -20);
    EXPECT_EQ(TextAnchorOffset(1, 1, 41, 15).Y, -7);
    EXPECT_EQ(TextAnchorOffset(2, 2, 41, 15).X, -41);
    EXPECT_EQ(TextAnchorOffset(2, 2, 41, 15).Y, -15);
    EXPECT_EQ(TextAnchorOffset(7, -1, 41, 15).X, 0);

    EXPECT_TRUE(TextAnchorInReach(-500, -100, 400, 300));
    EXPECT_FALSE(TextAnchorInReach(-501, 0, 400, 300));
    EXPECT_FALSE(TextAnchorInReach(-600, 0, 400, 300)); // its right end would not count
    EXPECT_TRUE(TextAnchorInReach(900, 400, 400, 300));
    EXPECT_FALSE(TextAnchorInReach(0, 401, 400, 300));
}

TEST(RenderPlanTest, ASplineOfTwoPixelsIsOneStraightSegment) {
    const std::vector<BezierSegment> segments = SplineSegments({{0, 0}, {30, 60}});
    ASSERT_EQ(segments.size(), 1u);
    // Both controls lie on the segment, a third of the way from each end.
    EXPECT_EQ(segments[0][1].X, 10);
    EXPECT_EQ(segments[0][1].Y, 20);
    EXPECT_EQ(segments[0][2].X, 20);
    EXPECT_EQ(segments[0][2].Y, 40);
    EXPECT_TRUE(SplineSegments({{1, 1}}).empty());
}

TEST(RenderPlanTest, TheSplinePassesThroughEveryVertex) {
    const std::vector<BezierSegment> segments = SplineSegments({{0, 0}, {60, 0}, {60, 60}});
    ASSERT_EQ(segments.size(), 2u);
    EXPECT_EQ(segments[0][3].X, 60);
    EXPECT_EQ(segments[1][0].X, 60);
    // C2 of the first segment = P2 - (P3 - P1) / 6 = (60, 0) - (60, 60) / 6.
    EXPECT_EQ(segments[0][2].X, 50);
    EXPECT_EQ(segments[0][2].Y, -10);
}

TEST(RenderPlanTest, TheThreePointCurveHasItsControlPointTwoThirdsOut) {
    const BezierSegment curve = ThreePointCurve({0, 0}, {50, 100}, {100, 0});
    EXPECT_EQ(curve[1].X, 33);
    EXPECT_EQ(curve[1].Y, 66);
    EXPECT_EQ(curve[2].X, 66);
    EXPECT_EQ(curve[2].Y, 66);
}

TEST(RenderPlanTest, BoxesExcludeTheirRightAndBottomEdge) {
    const PixelBox outline = OutlineBox(10, 20, 5, 8); // corners in any order
    EXPECT_EQ(outline.X, 5);
    EXPECT_EQ(outline.Y, 8);
    EXPECT_EQ(outline.Width, 4);   // the pen strokes columns 5 and 9
    EXPECT_EQ(outline.Height, 11); // rows 8 and 19
    const PixelBox fill = FillBox(5, 8, 10, 20);
    EXPECT_EQ(fill.Width, 5);
    EXPECT_EQ(fill.Height, 12);
}

TEST(RenderPlanTest, WorldToPixelTruncatesTowardZero) {
    const ShapePixelMap map(0, 100, 100, 0, 50, 50);
    EXPECT_EQ(map(1.9, 98.1).X, 0);
    EXPECT_EQ(map(1.9, 98.1).Y, 0);
    EXPECT_EQ(map(-1.9, 101.9).X, 0);
    EXPECT_EQ(map(-1.9, 101.9).Y, 0);
    EXPECT_EQ(map(-2.1, 50).X, -1);
}

TEST(RenderPlanTest, FarOffPixelsAreClampedBeforeTheIntConversion) {
    const ShapePixelMap map(0, 1e-3, 1e-3, 0, 1920, 1080);
    const TPoint far = map(1e12, -1e12);
    EXPECT_EQ(far.X, 1000000000);
    EXPECT_EQ(far.Y, 1000000000);
    EXPECT_EQ(map(-1e12, 1e12).X, -1000000000);
}

// ---- Grid ---------------------------------------------------------------------------------

TEST(RenderPlanTest, GridLinesRunFromTheStepMultipleBelowTheWindow) {
    WorldView view = UnitView(400);
    view.Left = -50;
    view.Right = 350;
    view.Bottom = 10;
    view.Top = 410;
    const GridPlan plan = PlanGrid(view, true, false, 100, 50);
    ASSERT_TRUE(plan.Visible);
    ASSERT_EQ(plan.Columns.size(), 5u); // x0 = -100 (left of the window), 0, 100, 200, 300
    EXPECT_DOUBLE_EQ(plan.Columns.front().Value, -100);
    EXPECT_EQ(plan.Columns[1].Pixel, 50);
    EXPECT_DOUBLE_EQ(plan.Rows.front().Value, 0);
    EXPECT_DOUBLE_EQ(plan.Rows.back().Value, 400);
    EXPECT_EQ(plan.Rows.back().Pixel, 10);
    EXPECT_FALSE(plan.Axes);
}

TEST(RenderPlanTest, AutomaticGridStepIsTheNiceStepOfAQuarterOfTheWidth) {
    const GridPlan plan = PlanGrid(UnitView(1000), true, true, 7, 7);
    EXPECT_DOUBLE_EQ(plan.StepX, 200);
    EXPECT_DOUBLE_EQ(plan.StepY, 200);
    // A fixed step of 0 or below also falls back.
    EXPECT_DOUBLE_EQ(PlanGrid(UnitView(1000), true, false, 0, 100).StepX, 200);
    EXPECT_FALSE(PlanGrid(UnitView(1000), false, true, 100, 100).Visible);
}

TEST(RenderPlanTest, ATinyGridSpacingFallsBackToTheAutomaticStep) {
    WorldView view = UnitView(1000);
    view.Width = 1920;
    view.Height = 1080;
    view.Right = 1e6; // a kilometre-wide map with a 1 mm fixed grid
    view.Top = 1e6 * 1080 / 1920;
    const GridPlan plan = PlanGrid(view, true, false, 0.001, 0.001);
    EXPECT_DOUBLE_EQ(plan.StepX, NiceStep(1e6, 4));
    EXPECT_LE(plan.Columns.size(), 10u);
    EXPECT_LE(plan.Rows.size(), 10u);

    // A window far taller than wide keeps the row count bounded too.
    WorldView tall = UnitView(100);
    tall.Top = 1e9;
    const GridPlan tallPlan = PlanGrid(tall, true, true, 0, 0);
    EXPECT_LE(tallPlan.Rows.size(), 52u);
}

TEST(RenderPlanTest, AxesCrossTheWindowOnlyWhenItContainsTheOrigin) {
    WorldView view = UnitView(100);
    view.Left = -50;
    view.Right = 50;
    view.Bottom = -50;
    view.Top = 50;
    const GridPlan plan = PlanGrid(view, true, true, 0, 0);
    EXPECT_TRUE(plan.Axes);
    EXPECT_EQ(plan.AxisColumn, 50);
    EXPECT_EQ(plan.AxisRow, 50);
    EXPECT_FALSE(PlanGrid(UnitView(100), true, true, 0, 0).Axes);
}

TEST(RenderPlanTest, GridLabelsShowUpToOneOrThreeDecimals) {
    EXPECT_EQ(GridLabelText(200, 100), "200");
    EXPECT_EQ(GridLabelText(-1234.56, 100), "-1234.6");
    EXPECT_EQ(GridLabelText(0.30000000000000004, 0.1), "0.3");
    EXPECT_EQ(GridLabelText(0.0125, 0.0025), "0.013");
    EXPECT_EQ(GridLabelText(-0.0001, 0.1), "0");
    EXPECT_EQ(GridLabelText(4500000.5, 1), "4500000.5");
}

// ---- Scale bar ----------------------------------------------------------------------------

TEST(RenderPlanTest, ScaleBarValuesAndLengths) {
    struct Case {
        double worldPerPixel;
        const char* label;
        int length;
    };
    const int width = 1000;
    for (const Case& c : {Case{2, "200 m", 100}, Case{0.8, "100 m", 125}, Case{20, "2.0 km", 100},
                          Case{7.5, "1.0 km", 133}, Case{0.0016, "20 cm", 125}}) {
        const ScaleBarPlan plan = PlanScaleBar(c.worldPerPixel * width, width);
        ASSERT_TRUE(plan.Visible);
        EXPECT_EQ(plan.Label, c.label) << c.worldPerPixel;
        EXPECT_EQ(plan.Length, c.length) << c.worldPerPixel;
    }
    EXPECT_FALSE(PlanScaleBar(0, width).Visible);
    EXPECT_FALSE(PlanScaleBar(-5, width).Visible);
    EXPECT_FALSE(PlanScaleBar(100, 0).Visible);
    EXPECT_FALSE(PlanScaleBar(std::numeric_limits<double>::infinity(), width).Visible);
}

TEST(RenderPlanTest, TheScaleBarNeverDisagreesWithItsLabel) {
    // At 1 world unit per pixel the rounded value is 200 m, 200 pixels long: the next smaller
    // value, 100 m over 100 pixels, is shown instead of a clamped bar reading 200 m.
    const ScaleBarPlan unit = PlanScaleBar(1000, 1000);
    EXPECT_EQ(unit.Label, "100 m");
    EXPECT_EQ(unit.Length, 100);
    // Over a sweep of scales the bar is always the length of its value and at most 150.
    for (double wpp = 1e-6; wpp < 1e5; wpp *= 1.07) {
        const ScaleBarPlan plan = PlanScaleBar(wpp * 1920, 1920);
        ASSERT_TRUE(plan.Visible);
        EXPECT_LE(plan.Length, 150) << wpp;
        EXPECT_GE(plan.Length, 60) << wpp;
        EXPECT_EQ(plan.Length, static_cast<int>(plan.Value / (wpp * 1920 / 1920))) << wpp;
    }
}

TEST(RenderPlanTest, ScaleBarLabelUnits) {
    EXPECT_EQ(ScaleBarLabel(5000), "5.0 km");
    EXPECT_EQ(ScaleBarLabel(1000), "1.0 km");
    EXPECT_EQ(ScaleBarLabel(500), "500 m");
    EXPECT_EQ(ScaleBarLabel(1), "1 m");
    EXPECT_EQ(ScaleBarLabel(0.5), "50 cm");
    EXPECT_EQ(ScaleBarLabel(0.01), "1 cm");
    EXPECT_EQ(ScaleBarLabel(0.005), "5 mm");
    EXPECT_EQ(ScaleBarLabel(0.0002), "0.2 mm");
}

// ---- Readouts, status box, labels, measure ----------------------------------------------------

TEST(RenderPlanTest, DepthAndSpeedReadoutTexts) {
    struct Case {
        double depth, low;
        const char* big;
        const char* small;
    };
    for (const Case& c :
         {Case{12.345, 0, "12.3", "5m"}, Case{0, 0, "--.-", "m / --.-m"},
          Case{5, 3.21, "5.0", "0m / 3.21m"}, Case{5, 0, "5.0", "0m"}, Case{-1, 0, "--.-", "m"}}) {
        const DepthSpeedTexts texts = BuildDepthSpeedTexts(c.depth, c.low, true, 0, false);
        EXPECT_EQ(texts.Big, c.big) << c.depth << " " << c.low;
        EXPECT_EQ(texts.Small, c.small) << c.depth << " " << c.low;
        EXPECT_TRUE(texts.SpeedBig.empty());
    }
    const DepthSpeedTexts speedOnly = BuildDepthSpeedTexts(12, 0, false, 6.24, true);
    EXPECT_TRUE(speedOnly.Big.empty());
    EXPECT_EQ(speedOnly.SpeedBig, "6.2");
    EXPECT_EQ(speedOnly.SpeedSmall, "kn");
    EXPECT_TRUE(BuildDepthSpeedTexts(1, 1, false, 1, false).Empty());
    // A non-finite depth shows as no depth rather than as "nan".
    const DepthSpeedTexts broken =
        BuildDepthSpeedTexts(std::numeric_limits<double>::quiet_NaN(), 0, true,
                             std::numeric_limits<double>::infinity(), true);
    EXPECT_EQ(broken.Big, "--.-");
    EXPECT_TRUE(broken.SpeedBig.empty());
}

TEST(RenderPlanTest, ReadoutAndStatusBoxCorners) {
    EXPECT_EQ(ReadoutPosition(0, 100, 40, 400, 300).Y, 250);
    EXPECT_EQ(ReadoutPosition(1, 100, 40, 400, 300).X, 290);
    EXPECT_EQ(ReadoutPosition(2, 100, 40, 400, 300).Y, 10);
    EXPECT_EQ(ReadoutPosition(3, 100, 40, 400, 300).X, 10);
    EXPECT_EQ(ReadoutPosition(-1, 100, 40, 400, 300).Y, 250);

    EXPECT_EQ(StatusTextPosition(0, 100, 20, 400, 300).X, 8);
    EXPECT_EQ(StatusTextPosition(1, 100, 20, 400, 300).X, 292);
    EXPECT_EQ(StatusTextPosition(2, 100, 20, 400, 300).Y, 270);
    EXPECT_EQ(StatusTextPosition(3, 100, 20, 400, 300).X, 8);
    EXPECT_EQ(StatusTextPosition(-2, 100, 20, 400, 300).Y, 8);

    const TPoint at{292, 270};
    EXPECT_TRUE(PointInStatusBox(at, 100, 20, 286, 264)); // corner, edges included
    EXPECT_TRUE(PointInStatusBox(at, 100, 20, 398, 296));
    EXPECT_FALSE(PointInStatusBox(at, 100, 20, 399, 296));
    EXPECT_FALSE(PointInStatusBox(at, 100, 20, 10, 10));
}

TEST(RenderPlanTest, FixQualityColours) {
    EXPECT_EQ(FixQualityColours(0).Box, 0x0000FFu);
    EXPECT_EQ(FixQualityColours(0).Text, 0xFFFFFFu);
    EXPECT_EQ(FixQualityColours(1).Box, 0x0000FFu);
    EXPECT_EQ(FixQualityColours(2).Box, 0xFFFF00u);
    EXPECT_EQ(FixQualityColours(4).Box, 0x00FF00u);
    EXPECT_EQ(FixQualityColours(7).Box, 0x00FF00u);
    EXPECT_EQ(FixQualityColours(5).Box, 0x00FFFFu);
    EXPECT_EQ(FixQualityColours(5).Text, 0u);
    EXPECT_EQ(FixQualityColours(-3).Box, 0x00FFFFu);
}

TEST(RenderPlanTest, LabelReachAndText) {
    EXPECT_TRUE(LabelInReach(-50, -20, 400, 300));
    EXPECT_TRUE(LabelInReach(450, 320, 400, 300));
    EXPECT_FALSE(LabelInReach(-51, 0, 400, 300));
    EXPECT_FALSE(LabelInReach(0, 321, 400, 300));
    EXPECT_EQ(DepthLabelText(12.345), "12.3");
    EXPECT_EQ(DepthLabelText(3), "3.0");
}

TEST(RenderPlanTest, DepthLabelSpacingComparesWithEveryStoredLabel) {
    std::vector<DepthLabel> labels{{0, 0, 1}, {10, 0, 1}};
    EXPECT_FALSE(DepthLabelFarEnough(labels, 5, 0, 10));
    EXPECT_FALSE(DepthLabelFarEnough(labels, 3, 8, 10)); // 8.54 from the first
    EXPECT_TRUE(DepthLabelFarEnough(labels, 20, 0, 10)); // exactly the spacing is far enough
    EXPECT_TRUE(DepthLabelFarEnough({}, 0, 0, 10));
}

TEST(RenderPlanTest, MeasureGeometryFromPixels) {
    EXPECT_FALSE(PlanMeasure({10, 10}, {11, 10}).Visible);
    EXPECT_FALSE(PlanMeasure({10, 10}, {11, 11}).Visible); // 2 < 4
    const MeasureGeometry two = PlanMeasure({10, 10}, {12, 10});
    EXPECT_TRUE(two.Visible);
    EXPECT_EQ(two.Radius, 2);
    EXPECT_FALSE(two.Circle);
    const MeasureGeometry far = PlanMeasure({100, 100}, {130, 140});
    EXPECT_EQ(far.Radius, 50);
    EXPECT_TRUE(far.Circle);
    EXPECT_EQ(far.LabelCentreX, 115);
    EXPECT_EQ(far.LabelTop, 90);
    // Integer halves truncate toward zero.
    EXPECT_EQ(PlanMeasure({100, 100}, {97, 95}).LabelCentreX, 99);
}

TEST(RenderPlanTest, AMeasureReachingFarOffScreenNeitherOverflowsNorWraps) {
    // Pixels clamped at a billion on either side: their difference and its square overflow
    // int, not double.
    const MeasureGeometry g = PlanMeasure({-1000000000, -1000000000}, {1000000000, 1000000000});
    EXPECT_TRUE(g.Visible);
    EXPECT_EQ(g.Radius, 1000000000); // clamped, not negative
    EXPECT_TRUE(g.Circle);
    EXPECT_EQ(g.LabelCentreX, 0);
    EXPECT_EQ(g.LabelTop, -30);
}

TEST(RenderPlanTest, MeasureTexts) {
    EXPECT_EQ(MeasureDistanceText(100), "100.00 m");
    EXPECT_EQ(MeasureDistanceText(12.345), "12.35 m");
    EXPECT_EQ(MeasureBearingText(90), "90.0\xC2\xB0");
    EXPECT_EQ(MeasureBearingText(359.96), "360.0\xC2\xB0");
}

} // namespace
