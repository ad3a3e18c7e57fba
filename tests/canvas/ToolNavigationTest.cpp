#include "RecordingCanvas.h"
#include "ToolEventRecorder.h"

#include "canvas/CanvasToolController.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using Tools = CanvasToolController;

// A 400 x 300 client showing world 0..400 x 0..300: pixel (px, py) is world (px, 300 - py).
class ToolNavigationTest : public ::testing::Test {
protected:
    ToolNavigationTest() {
        canvas.WorldSet(0, 300, 400, 0);
        canvas.Painted();
    }

    RecordingCanvas canvas;
    ToolEventRecorder events{canvas};
    Tools tools{canvas};
};

TEST_F(ToolNavigationTest, SelectModePicksShapesAndModifiersKeepTheSelection) {
    for (const int mode : {0, -1}) {
        SCOPED_TRACE(mode);
        RecordingCanvas canvas;
        canvas.WorldSet(0, 300, 400, 0);
        ToolEventRecorder events(canvas);
        Tools tools(canvas);
        canvas.ToolMode = mode;
        const int32_t upper = canvas.DrawLine(50, 200, 150, 200, 0); // under pixel (100, 100)
        const int32_t lower = canvas.DrawLine(50, 100, 150, 100, 0); // under pixel (100, 200)

        tools.MouseDown(Tools::LeftButton, 0, 100, 100);
        EXPECT_EQ(canvas.SelectedIds, (std::vector<int32_t>{upper}));
        EXPECT_TRUE(canvas.GetShapeIsSelected(upper));
        EXPECT_EQ(events.Last("ShapeNumberSelected").A, ShapeType::Line);
        EXPECT_EQ(events.Last("ShapeNumberSelected").B, upper);
        // The press is reported before it is acted on.
        EXPECT_EQ(events.Sequence(),
                  (std::vector<std::string>{"WorldMouseDown", "ShapeNumberSelected"}));

        // A plain press on another shape replaces the selection; Shift or Ctrl adds to it,
        // and a shape picked twice stands twice in the list.
        tools.MouseDown(Tools::LeftButton, 0, 100, 200);
        EXPECT_EQ(canvas.SelectedIds, (std::vector<int32_t>{lower}));
        tools.MouseDown(Tools::LeftButton, Tools::ShiftHeld, 100, 100);
        tools.MouseDown(Tools::LeftButton, Tools::CtrlHeld, 100, 100);
        EXPECT_EQ(canvas.SelectedIds, (std::vector<int32_t>{lower, upper, upper}));

        // Ctrl or Shift on empty map keeps the selection; Alt alone, or nothing, clears it.
        canvas.Painted();
        tools.MouseDown(Tools::LeftButton, Tools::CtrlHeld, 300, 20);
        tools.MouseDown(Tools::LeftButton, Tools::ShiftHeld | Tools::AltHeld, 300, 20);
        EXPECT_EQ(canvas.SelectedShapeCount(), 2);
        EXPECT_EQ(canvas.SelectedIds.size(), 3u);
        EXPECT_TRUE(canvas.NeedsRedraw);
        EXPECT_GT(canvas.Invalidations, 0);
        tools.MouseDown(Tools::LeftButton, Tools::AltHeld, 300, 20);
        EXPECT_EQ(canvas.SelectedShapeCount(), 0);
        EXPECT_TRUE(canvas.SelectedIds.empty());
        EXPECT_EQ(events.Count("ShapeNumberSelected"), 4);
        EXPECT_EQ(canvas.ToolMode, mode);
    }
}

TEST_F(ToolNavigationTest, SelectionIsOffWhileADrawingToolIsUnderWayOrArmed) {
    const int32_t line = canvas.DrawLine(50, 200, 150, 200, 0);
    canvas.ToolMode = ShapeType::Rectangle;
    tools.MouseDown(Tools::LeftButton, 0, 10, 10);
    tools.MouseDown(Tools::LeftButton, 0, 20, 20); // armed now
    canvas.ToolMode = 0;
    tools.MouseDown(Tools::LeftButton, 0, 100, 100);
    EXPECT_FALSE(canvas.GetShapeIsSelected(line));
    EXPECT_EQ(events.Count("ShapeNumberSelected"), 0);
}

TEST_F(ToolNavigationTest, MiddleDragPansFromThreePixelsSoTheMapFollowsTheMouse) {
    tools.MouseDown(Tools::MiddleButton, 0, 100, 100);
    EXPECT_TRUE(canvas.PanActive);
    EXPECT_EQ(canvas.LastCursor, CanvasModel::SizeAllCursor);
    EXPECT_EQ(events.Last("WorldMouseDown").A, Tools::MiddleButton);
    EXPECT_EQ(canvas.LastPressX, 100.0);
    EXPECT_EQ(canvas.LastPressY, 200.0);

    tools.MouseMove(0, 102, 98);
    EXPECT_EQ(canvas.PlanWorldLeft, 0.0);
    EXPECT_EQ(canvas.PlanWorldTop, 300.0);
    EXPECT_FALSE(canvas.NeedsRedraw);

    tools.MouseMove(0, 103, 100);
    EXPECT_DOUBLE_EQ(canvas.PlanWorldLeft, -3.0);
    EXPECT_DOUBLE_EQ(canvas.PlanWorldRight, 397.0);
    EXPECT_DOUBLE_EQ(canvas.PlanWorldTop, 300.0);
    EXPECT_TRUE(canvas.NeedsRedraw);
    double x = 0.0;
    double y = 0.0;
    canvas.ScreenToWorld(103, 100, x, y);
    EXPECT_DOUBLE_EQ(x, 100.0);
    EXPECT_DOUBLE_EQ(y, 200.0);

    // The reference moved with the pan: the next steps are measured from (103, 100).
    tools.MouseMove(0, 103, 96);
    EXPECT_DOUBLE_EQ(canvas.PlanWorldTop, 296.0);
    canvas.ScreenToWorld(103, 96, x, y);
    EXPECT_DOUBLE_EQ(y, 200.0);

    tools.MouseUp(Tools::MiddleButton, 0, 103, 96);
    EXPECT_FALSE(canvas.PanActive);
    EXPECT_EQ(canvas.LastCursor, CanvasModel::DefaultCursor);

    // A left release ends a pan too.
    tools.MouseDown(Tools::MiddleButton, 0, 10, 10);
    tools.MouseUp(Tools::LeftButton, 0, 10, 10);
    EXPECT_FALSE(canvas.PanActive);
}

TEST_F(ToolNavigationTest, DragZoomStepsFromFourPixelsAboutTheWindowCentre) {
    canvas.ToolMode = -4;
    tools.MouseDown(Tools::LeftButton, 0, 200, 150);
    EXPECT_TRUE(canvas.DragZoomActive);

    tools.MouseMove(0, 200, 147); // 3 pixels up: nothing
    EXPECT_EQ(canvas.PlanWorldLeft, 0.0);
    EXPECT_FALSE(canvas.NeedsRedraw);

    tools.MouseMove(0, 200, 140); // 10 pixels up from the press: in by 10 %
    EXPECT_DOUBLE_EQ(canvas.PlanWorldLeft, 20.0);
    EXPECT_DOUBLE_EQ(canvas.PlanWorldRight, 380.0);
    EXPECT_DOUBLE_EQ(canvas.PlanWorldBottom, 15.0);
    EXPECT_DOUBLE_EQ(canvas.PlanWorldTop, 285.0);

    tools.MouseMove(0, 200, 150); // 10 pixels down from there: out by 10 %
    EXPECT_DOUBLE_EQ(canvas.GetWorldWidth(), 360.0 * 1.1);
    EXPECT_DOUBLE_EQ((canvas.PlanWorldLeft + canvas.PlanWorldRight) / 2, 200.0);

    tools.MouseUp(Tools::LeftButton, 0, 200, 150);
    EXPECT_FALSE(canvas.DragZoomActive);
    EXPECT_EQ(canvas.ToolMode, -4);
    const double width = canvas.GetWorldWidth();
    tools.MouseMove(0, 200, 100);
    EXPECT_EQ(canvas.GetWorldWidth(), width);
}

TEST_F(ToolNavigationTest, OneWheelNotchZoomsTenPercentAboutThePointUnderTheCursor) {
    tools.Wheel(1, 100, 100); // world (100, 200)
    EXPECT_DOUBLE_EQ(canvas.GetWorldWidth(), 360.0);
    EXPECT_DOUBLE_EQ(canvas.GetWorldHeight(), 270.0);
    double x = 0.0;
    double y = 0.0;
    canvas.ScreenToWorld(100, 100, x, y);
    EXPECT_NEAR(x, 100.0, 1e-9);
    EXPECT_NEAR(y, 200.0, 1e-9);
    EXPECT_TRUE(canvas.NeedsRedraw);

    tools.Wheel(-1, 100, 100);
    EXPECT_DOUBLE_EQ(canvas.GetWorldWidth(), 360.0 * 1.1);
    canvas.ScreenToWorld(100, 100, x, y);
    EXPECT_NEAR(x, 100.0, 1e-9);
    EXPECT_NEAR(y, 200.0, 1e-9);

    // Several notches step once each, up to a bound however far the wheel was spun.
    canvas.WorldSet(0, 300, 400, 0);
    tools.Wheel(2, 200, 150);
    EXPECT_NEAR(canvas.GetWorldWidth(), 400.0 * 0.9 * 0.9, 1e-9);
    canvas.WorldSet(0, 300, 400, 0);
    tools.Wheel(-1000, 200, 150);
    EXPECT_NEAR(canvas.GetWorldWidth(), 400.0 * std::pow(1.1, Tools::MaximumWheelSteps), 1e-6);
}

TEST_F(ToolNavigationTest, RightPressMeasuresDistanceAndBearingUntilReleased) {
    canvas.MeasureBearing = 42.0;
    tools.MouseDown(Tools::LeftButton, 0, 10, 10);
    tools.MouseDown(Tools::RightButton, Tools::AltHeld, 200, 150);
    EXPECT_TRUE(canvas.Measuring);
    EXPECT_EQ(canvas.MeasureStartX, 200.0);
    EXPECT_EQ(canvas.MeasureStartY, 150.0);
    EXPECT_EQ(canvas.MeasureEndX, 200.0);
    EXPECT_EQ(canvas.MeasureDistance, 0.0);
    EXPECT_EQ(canvas.MeasureBearing, 42.0); // kept until the first move
    EXPECT_EQ(events.Last("WorldMouseDown").A, Tools::RightButton);
    EXPECT_EQ(events.Last("WorldMouseDown").B, Tools::AltHeld);
    // The right press is not a press point for the move event.
    EXPECT_EQ(canvas.LastPressX, 10.0);
    EXPECT_EQ(canvas.LastPressY, 290.0);

    struct Case {
        const char* name;
        int px, py;
        double bearing;
    };
    const Case cases[] = {
        {"east", 300, 150, 90.0},
        {"south", 200, 250, 180.0},
        {"west", 100, 150, 270.0},
        {"north", 200, 50, 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        canvas.Painted();
        tools.MouseMove(0, c.px, c.py);
        EXPECT_DOUBLE_EQ(canvas.MeasureDistance, 100.0);
        EXPECT_DOUBLE_EQ(canvas.MeasureBearing, c.bearing);
        EXPECT_EQ(canvas.MeasureEndX, c.px);
        EXPECT_EQ(canvas.MeasureEndY, 300 - c.py);
        EXPECT_GT(canvas.Invalidations, 0);
        EXPECT_FALSE(canvas.NeedsRedraw);
    }
    // Back on the start point: no distance, and bearing 0.
    tools.MouseMove(0, 200, 150);
    EXPECT_EQ(canvas.MeasureDistance, 0.0);
    EXPECT_EQ(canvas.MeasureBearing, 0.0);

    tools.MouseUp(Tools::RightButton, 0, 200, 150);
    EXPECT_FALSE(canvas.Measuring);
    tools.MouseMove(0, 300, 150);
    EXPECT_EQ(canvas.MeasureEndX, 200.0);
}

TEST_F(ToolNavigationTest, MeasureFollowsOnlyWhenNoPanZoomOrPreviewIsActive) {
    tools.MouseDown(Tools::RightButton, 0, 200, 150);
    tools.MouseDown(Tools::MiddleButton, 0, 200, 150);
    tools.MouseMove(0, 300, 150);
    EXPECT_EQ(canvas.MeasureDistance, 0.0);
    tools.MouseUp(Tools::MiddleButton, 0, 300, 150);
    canvas.ToolMode = ShapeType::Line;
    tools.MouseDown(Tools::LeftButton, 0, 10, 10);
    tools.MouseMove(0, 50, 60);
    EXPECT_EQ(canvas.MeasureDistance, 0.0);
    double x = 0.0;
    double y = 0.0;
    canvas.ScreenToWorld(50, 60, x, y);
    EXPECT_EQ(canvas.CursorX, x);
    EXPECT_EQ(canvas.CursorY, y);
    EXPECT_TRUE(canvas.Measuring);
}

TEST_F(ToolNavigationTest, MoveEventCarriesMagnitudeAndAngleFromTheLastPress) {
    tools.MouseDown(Tools::LeftButton, 0, 100, 100);              // world (100, 200)
    tools.MouseMove(Tools::ShiftHeld | Tools::CtrlHeld, 130, 60); // world (130, 240)
    const RecordedEvent& move = events.Last("WorldMouseMove");
    EXPECT_EQ(move.A, 3);
    EXPECT_EQ(move.X, 130.0);
    EXPECT_EQ(move.Y, 240.0);
    EXPECT_DOUBLE_EQ(move.Magnitude, 50.0);
    EXPECT_NEAR(move.Angle, std::atan2(40.0, 30.0) * 180.0 / std::acos(-1.0), 1e-12);
    EXPECT_EQ(canvas.LastMouseX, 130);
    EXPECT_EQ(canvas.LastMouseY, 60);

    tools.MouseMove(0, 100, 100);
    EXPECT_EQ(events.Last("WorldMouseMove").Magnitude, 0.0);
    EXPECT_EQ(events.Last("WorldMouseMove").Angle, 0.0);
    tools.MouseMove(0, 50, 100); // due west
    EXPECT_DOUBLE_EQ(events.Last("WorldMouseMove").Angle, 180.0);
}

TEST(ToolBearingTest, BearingsRunClockwiseFromNorthBelowThreeHundredSixty) {
    struct Case {
        double dx, dy, bearing;
    };
    const Case cases[] = {
        {0, 100, 0},    {100, 100, 45},   {100, 0, 90}, {0, -100, 180},
        {-100, 0, 270}, {-100, 100, 315}, {0, 0, 0},    {-1e-300, 100, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dx << ", " << c.dy);
        const double bearing = CanvasToolController::Bearing(0, 0, c.dx, c.dy);
        EXPECT_NEAR(bearing, c.bearing, 1e-9);
        EXPECT_GE(bearing, 0.0);
        EXPECT_LT(bearing, 360.0);
        EXPECT_FALSE(std::signbit(bearing));
    }
}

} // namespace
