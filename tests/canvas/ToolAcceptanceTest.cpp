#include "SyntheticInput.h"
#include "ToolEventRecorder.h"

#include "canvas/TTavrinCanvas.h"

#include <gtest/gtest.h>

// The operator's sessions with the mouse and keys, end to end: Qt events into the control,
// through the tools, into the drawing and the events. The tool steps themselves are pinned in
// the controller's tests; these show that the control delivers them.

namespace {

// The control shows world 0..400 x 0..300 on its 400 x 300 client: pixel (px, py) is world
// (px, 300 - py).
class ToolAcceptanceTest : public ::testing::Test {
protected:
    ToolAcceptanceTest() { canvas.WorldSet(0, 300, 400, 0); }

    TTavrinCanvas canvas;
    ToolEventRecorder events{canvas};
    SyntheticInput input{canvas};
};

TEST_F(ToolAcceptanceTest, PolylineDrawnWithClicksEndsOnTheRightClick) {
    canvas.ToolMode = ShapeType::Polyline;
    input.Click(Qt::LeftButton, 10, 290);
    input.Move(50, 250);
    EXPECT_EQ(canvas.CursorX, 50.0);
    input.Click(Qt::LeftButton, 100, 200);
    input.Click(Qt::LeftButton, 200, 250);
    input.Click(Qt::RightButton, 300, 100);

    ASSERT_EQ(canvas.ShapeCount, 1);
    const int32_t id = canvas.Shapes[0]->Id;
    EXPECT_EQ(canvas.ShapePointCount(id), 3);
    EXPECT_EQ(events.Count("DrawBegin"), 1);
    EXPECT_EQ(events.Count("DrawEnd"), 1);
    EXPECT_EQ(events.Last("DrawEnd").X, 300.0);
    EXPECT_EQ(events.Last("DrawEnd").Y, 200.0);
    EXPECT_EQ(canvas.ToolMode, 0);
    EXPECT_EQ(canvas.cursor().shape(), Qt::ArrowCursor);

    // The next click is swallowed even with the tool chosen again.
    canvas.ToolMode = ShapeType::Polyline;
    input.Click(Qt::LeftButton, 60, 60);
    EXPECT_FALSE(canvas.DrawingActive);
    EXPECT_EQ(events.Count("DrawBegin"), 1);

    // One click and a right click commit nothing, but spend an id.
    const int32_t next = canvas.NextShapeId;
    input.Click(Qt::LeftButton, 60, 60);
    EXPECT_EQ(canvas.cursor().shape(), Qt::CrossCursor);
    input.Click(Qt::RightButton, 60, 60);
    EXPECT_EQ(canvas.ShapeCount, 1);
    EXPECT_EQ(canvas.NextShapeId, next + 1);
}

TEST_F(ToolAcceptanceTest, TwoClickToolsStayArmedAndTheArcCommitsOnItsThirdClick) {
    canvas.ToolMode = ShapeType::Rectangle;
    input.Click(Qt::LeftButton, 10, 10);
    input.Click(Qt::LeftButton, 50, 50);
    input.Click(Qt::LeftButton, 60, 60);
    input.Click(Qt::LeftButton, 90, 90);
    EXPECT_EQ(canvas.ShapeCount, 2);
    EXPECT_EQ(canvas.ToolMode, ShapeType::Rectangle);
    input.Click(Qt::RightButton, 0, 0);
    EXPECT_EQ(events.Last("DrawEnd").A, ShapeType::Rectangle);

    canvas.ToolMode = ShapeType::Line;
    input.Click(Qt::LeftButton, 0, 0); // swallowed
    for (const int px : {10, 110, 210, 310})
        input.Click(Qt::LeftButton, px, px % 200);
    input.Click(Qt::RightButton, 0, 0);
    EXPECT_EQ(canvas.ShapeCount, 5);

    canvas.ToolMode = ShapeType::EllipseTool;
    input.Click(Qt::LeftButton, 0, 0); // swallowed
    input.Click(Qt::LeftButton, 100, 100);
    input.Click(Qt::LeftButton, 100, 50); // straight above: no ellipse
    EXPECT_EQ(canvas.ShapeCount, 5);
    EXPECT_FALSE(canvas.DrawingActive);

    canvas.ToolMode = ShapeType::ThreePointArc;
    const int drawEnds = events.Count("DrawEnd");
    input.Click(Qt::LeftButton, 10, 200);
    input.Click(Qt::LeftButton, 50, 100);
    input.Click(Qt::LeftButton, 90, 200);
    ASSERT_EQ(canvas.ShapeCount, 6);
    EXPECT_EQ(canvas.Shapes[5]->Type, ShapeType::ThreePointArc);
    EXPECT_EQ(canvas.ShapePointCount(canvas.Shapes[5]->Id), 3);
    EXPECT_EQ(events.Count("DrawEnd"), drawEnds);
}

TEST_F(ToolAcceptanceTest, PanAndDragZoomStartOnlyPastTheirThresholds) {
    input.Press(Qt::MiddleButton, 100, 100);
    input.Move(102, 102);
    EXPECT_EQ(canvas.PlanWorldLeft, 0.0);
    input.Move(103, 100);
    EXPECT_DOUBLE_EQ(canvas.PlanWorldLeft, -3.0);
    input.Release(Qt::MiddleButton, 103, 100);
    EXPECT_EQ(canvas.cursor().shape(), Qt::ArrowCursor);

    canvas.WorldSet(0, 300, 400, 0);
    canvas.ToolMode = -4;
    input.Press(Qt::LeftButton, 200, 150);
    input.Move(200, 147);
    EXPECT_EQ(canvas.GetWorldWidth(), 400.0);
    input.Move(200, 140);
    EXPECT_DOUBLE_EQ(canvas.GetWorldWidth(), 360.0);
    EXPECT_DOUBLE_EQ((canvas.PlanWorldLeft + canvas.PlanWorldRight) / 2, 200.0);
    input.Release(Qt::LeftButton, 200, 140);
    EXPECT_FALSE(canvas.DragZoomActive);
}

TEST_F(ToolAcceptanceTest, OneWheelNotchZoomsTenPercentAboutTheCursor) {
    input.Wheel(100, 100, QPoint(0, 120));
    EXPECT_DOUBLE_EQ(canvas.GetWorldWidth(), 360.0);
    double x = 0.0;
    double y = 0.0;
    canvas.ScreenToWorld(100, 100, x, y);
    EXPECT_NEAR(x, 100.0, 1e-9);
    EXPECT_NEAR(y, 200.0, 1e-9);
    input.Wheel(100, 100, QPoint(0, -120));
    EXPECT_DOUBLE_EQ(canvas.GetWorldWidth(), 396.0);
}

TEST_F(ToolAcceptanceTest, CtrlClickOnEmptyMapKeepsTheSelection) {
    const int32_t line = canvas.DrawLine(50, 200, 150, 200, 0);
    input.Click(Qt::LeftButton, 100, 100);
    EXPECT_TRUE(canvas.GetShapeIsSelected(line));
    EXPECT_EQ(events.Last("ShapeNumberSelected").B, line);
    input.Click(Qt::LeftButton, 300, 20, Qt::ControlModifier);
    EXPECT_TRUE(canvas.GetShapeIsSelected(line));
    input.Click(Qt::LeftButton, 300, 20);
    EXPECT_FALSE(canvas.GetShapeIsSelected(line));
}

TEST_F(ToolAcceptanceTest, EscapeDiscardsAPolygonWithoutAnEvent) {
    canvas.ToolMode = ShapeType::Polygon;
    input.Click(Qt::LeftButton, 10, 10);
    input.Click(Qt::LeftButton, 100, 10);
    input.Click(Qt::LeftButton, 100, 100);
    const size_t before = events.Events.size();
    input.Key(Qt::Key_Escape);
    EXPECT_EQ(events.Events.size(), before);
    EXPECT_EQ(canvas.ShapeCount, 0);
    EXPECT_EQ(canvas.ToolMode, ShapeType::Polygon);
    EXPECT_EQ(canvas.cursor().shape(), Qt::ArrowCursor);
}

TEST_F(ToolAcceptanceTest, RightDragMeasuresTheFourCardinalBearings) {
    input.Press(Qt::RightButton, 200, 150);
    EXPECT_TRUE(canvas.Measuring);
    const struct {
        int px, py;
        double bearing;
    } cases[] = {{200, 50, 0.0}, {300, 150, 90.0}, {200, 250, 180.0}, {100, 150, 270.0}};
    for (const auto& c : cases) {
        input.Move(c.px, c.py);
        EXPECT_DOUBLE_EQ(canvas.MeasureDistance, 100.0);
        EXPECT_DOUBLE_EQ(canvas.MeasureBearing, c.bearing);
    }
    input.Release(Qt::RightButton, 100, 150);
    EXPECT_FALSE(canvas.Measuring);
}

} // namespace
