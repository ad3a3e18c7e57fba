#include "RecordingCanvas.h"
#include "ToolEventRecorder.h"

#include "canvas/CanvasToolController.h"
#include "canvas/TTCircle.h"
#include "canvas/TTLine.h"
#include "canvas/TTPoint.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using Tools = CanvasToolController;

// A 400 x 300 client showing world 0..400 x 0..300: pixel (px, py) is world (px, 300 - py).
class ToolDrawingTest : public ::testing::Test {
protected:
    ToolDrawingTest() { canvas.WorldSet(0, 300, 400, 0); }

    void Left(int px, int py, int16_t shift = 0) {
        tools.MouseDown(Tools::LeftButton, shift, px, py);
        tools.MouseUp(Tools::LeftButton, shift, px, py);
    }
    void Right(int px, int py) {
        tools.MouseDown(Tools::RightButton, 0, px, py);
        tools.MouseUp(Tools::RightButton, 0, px, py);
    }
    std::vector<int32_t> Ids() const {
        std::vector<int32_t> ids;
        for (const auto& shape : canvas.Shapes)
            ids.push_back(shape->Id);
        return ids;
    }

    RecordingCanvas canvas;
    ToolEventRecorder events{canvas};
    Tools tools{canvas};
};

TEST_F(ToolDrawingTest, PolylineToolCommitsOnTheRightPressAndSwallowsTheNextLeftPress) {
    for (const bool keep : {false, true}) {
        SCOPED_TRACE(keep ? "KeepToolMode" : "tool mode reset");
        RecordingCanvas canvas;
        canvas.WorldSet(0, 300, 400, 0);
        ToolEventRecorder events(canvas);
        Tools tools(canvas);
        canvas.ToolMode = ShapeType::Polyline;
        canvas.KeepToolMode = keep;
        const int32_t expectedId = canvas.NextShapeId;

        tools.MouseDown(Tools::LeftButton, 0, 10, 290);
        EXPECT_TRUE(canvas.DrawingActive);
        EXPECT_TRUE(canvas.RubberBandActive);
        EXPECT_EQ(canvas.LastCursor, CanvasModel::CrossCursor);
        tools.MouseDown(Tools::LeftButton, 0, 10, 290); // the same point again: ignored
        tools.MouseDown(Tools::LeftButton, 0, 100, 200);
        tools.MouseDown(Tools::LeftButton, 0, 200, 250);
        ASSERT_NE(canvas.PendingPolyline, nullptr);
        EXPECT_EQ(canvas.PendingPolyline->PointCount(), 3);
        EXPECT_EQ(canvas.ShapeCount, 0);

        tools.MouseDown(Tools::RightButton, 0, 300, 100);
        ASSERT_EQ(canvas.ShapeCount, 1);
        const TTShape* shape = canvas.Shapes[0];
        EXPECT_EQ(shape->Id, expectedId);
        EXPECT_EQ(shape->Type, ShapeType::Polyline);
        EXPECT_EQ(canvas.ShapePointCount(expectedId), 3);
        EXPECT_EQ(canvas.ShapePointGetX(expectedId, 2), 200.0);
        EXPECT_EQ(canvas.ShapePointGetY(expectedId, 2), 50.0);
        EXPECT_EQ(canvas.PendingPolyline, nullptr);
        EXPECT_FALSE(canvas.DrawingActive);
        EXPECT_FALSE(canvas.RubberBandActive);
        EXPECT_TRUE(canvas.SkipNextLeftPress);
        EXPECT_EQ(canvas.LastCursor, CanvasModel::DefaultCursor);
        EXPECT_EQ(canvas.ToolMode, keep ? ShapeType::Polyline : 0);
        EXPECT_EQ(canvas.GetLastPolylinePoints(),
                  (std::vector<std::pair<double, double>>{{10, 10}, {100, 100}, {200, 50}}));

        // Four presses raised a mouse-down each; the ending right press raised none.
        EXPECT_EQ(events.Sequence(),
                  (std::vector<std::string>{"WorldMouseDown", "DrawBegin", "WorldMouseDown",
                                            "WorldMouseDown", "WorldMouseDown", "DrawEnd"}));
        EXPECT_EQ(events.Last("DrawBegin").A, ShapeType::Polyline);
        EXPECT_EQ(events.Last("DrawBegin").X, 10.0);
        EXPECT_EQ(events.Last("DrawBegin").Y, 10.0);
        EXPECT_EQ(events.Last("WorldMouseDown").A, Tools::LeftButton);
        EXPECT_EQ(events.Last("WorldMouseDown").C, ShapeType::Polyline);
        EXPECT_EQ(events.Last("DrawEnd").A, ShapeType::Polyline);
        EXPECT_EQ(events.Last("DrawEnd").X, 300.0);
        EXPECT_EQ(events.Last("DrawEnd").Y, 200.0);

        // The next left press is swallowed: it is reported, but starts and selects nothing.
        canvas.ToolMode = ShapeType::Polyline;
        tools.MouseDown(Tools::LeftButton, 0, 50, 50);
        EXPECT_FALSE(canvas.SkipNextLeftPress);
        EXPECT_FALSE(canvas.DrawingActive);
        EXPECT_EQ(canvas.PendingPolyline, nullptr);
        EXPECT_EQ(events.Count("DrawBegin"), 1);
        EXPECT_EQ(events.Count("WorldMouseDown"), 5);
        EXPECT_EQ(canvas.LastPressX, 50.0);
        // The press after it starts the next drawing.
        tools.MouseDown(Tools::LeftButton, 0, 50, 50);
        EXPECT_TRUE(canvas.DrawingActive);
        EXPECT_EQ(events.Count("DrawBegin"), 2);
    }
}

TEST_F(ToolDrawingTest, OnePressThenARightPressCommitsNothingButSpendsAnId) {
    canvas.ToolMode = ShapeType::Spline;
    Left(100, 100);
    Right(100, 100);
    EXPECT_EQ(canvas.ShapeCount, 0);
    EXPECT_EQ(canvas.NextShapeId, 2);
    EXPECT_EQ(canvas.PendingPolyline, nullptr);
    EXPECT_TRUE(canvas.GetLastPolylinePoints().empty());
    EXPECT_EQ(events.Count("DrawEnd"), 1);
    EXPECT_EQ(events.Last("DrawEnd").A, ShapeType::Spline);
    EXPECT_EQ(canvas.ToolMode, 0);
}

TEST_F(ToolDrawingTest, PolygonKeepsTheLayerOfItsFirstPressWhileTwoClickShapesTakeTheCurrentOne) {
    const int route = canvas.LayerOpen("Route");
    canvas.SetLayerPenFg(route, 0x00FF00);
    canvas.SetLayerPenWidth(route, 3);
    canvas.SetLayerBrushFg(route, 0x0000FF);
    canvas.SetLayerBrushStyle(route, BrushStyle::Solid);
    const int user = canvas.LayerOpen("User");
    canvas.CurrentLayer = route;
    // The host moves drawing to its user layer when a drawing begins.
    canvas.OnDrawBegin = [&](int16_t, double, double) { canvas.CurrentLayer = user; };

    canvas.ToolMode = ShapeType::Polygon;
    Left(10, 10);
    Left(100, 10);
    Left(100, 100);
    Right(0, 0);
    ASSERT_EQ(canvas.ShapeCount, 1);
    const auto* polygon = static_cast<const TTPolyline*>(canvas.Shapes[0]);
    EXPECT_EQ(polygon->Type, ShapeType::Polygon);
    EXPECT_TRUE(polygon->Closed);
    EXPECT_EQ(polygon->LayerId, route);
    EXPECT_EQ(polygon->PenFg, 0x00FF00u);
    EXPECT_EQ(polygon->PenWidth, 3);
    EXPECT_EQ(polygon->BrushFg, 0x0000FFu);
    EXPECT_EQ(polygon->BrushStyle, BrushStyle::Solid);

    canvas.CurrentLayer = route;
    canvas.ToolMode = ShapeType::Rectangle;
    Left(0, 0); // swallowed after the right press
    Left(10, 10);
    Left(50, 50);
    ASSERT_EQ(canvas.ShapeCount, 2);
    EXPECT_EQ(canvas.Shapes[1]->LayerId, user);
}

TEST_F(ToolDrawingTest, RectangleToolStaysArmedAndARightPressEndsIt) {
    canvas.ToolMode = ShapeType::Rectangle;
    Left(10, 10);
    canvas.Painted();
    Left(60, 40);
    ASSERT_EQ(canvas.ShapeCount, 1);
    EXPECT_EQ(canvas.Shapes[0]->Type, ShapeType::Rectangle);
    EXPECT_EQ(canvas.Shapes[0]->MinX, 10.0);
    EXPECT_EQ(canvas.Shapes[0]->MaxY, 290.0);
    EXPECT_TRUE(canvas.NeedsRedraw);
    EXPECT_GT(canvas.Invalidations, 0);
    EXPECT_EQ(canvas.ToolMode, ShapeType::Rectangle);
    // Armed: no point placed, the preview off, the next press starts a new rectangle.
    EXPECT_FALSE(canvas.DrawingActive);
    EXPECT_TRUE(canvas.RubberBandActive);
    EXPECT_EQ(canvas.AnchorX, 0.0);
    EXPECT_EQ(canvas.CursorY, 0.0);

    Left(100, 100);
    EXPECT_TRUE(canvas.DrawingActive);
    EXPECT_EQ(events.Count("DrawBegin"), 2);
    // A second press on the first corner makes nothing but still ends the waiting.
    Left(100, 100);
    EXPECT_EQ(canvas.ShapeCount, 1);
    EXPECT_FALSE(canvas.DrawingActive);
    EXPECT_TRUE(canvas.RubberBandActive);

    Right(200, 200);
    EXPECT_EQ(events.Count("DrawEnd"), 1);
    EXPECT_EQ(events.Last("DrawEnd").A, ShapeType::Rectangle);
    EXPECT_EQ(canvas.ToolMode, 0);
    EXPECT_FALSE(canvas.RubberBandActive);
    EXPECT_EQ(canvas.ShapeCount, 1);
}

TEST_F(ToolDrawingTest, LineChainSharesEndsAndItsRightPressCommitsNoShape) {
    canvas.ToolMode = ShapeType::Line;
    Left(10, 10);
    Left(110, 10);
    Left(110, 10); // a repeated point adds no zero-length line
    Left(110, 110);
    Left(10, 110);
    ASSERT_EQ(canvas.ShapeCount, 3);
    EXPECT_TRUE(canvas.DrawingActive);
    EXPECT_EQ(canvas.AnchorX, 10.0);
    EXPECT_EQ(canvas.AnchorY, 190.0);
    const auto* first = static_cast<const TTLine*>(canvas.Shapes[0]);
    const auto* second = static_cast<const TTLine*>(canvas.Shapes[1]);
    const auto* third = static_cast<const TTLine*>(canvas.Shapes[2]);
    EXPECT_EQ(first->X2, second->X1);
    EXPECT_EQ(first->Y2, second->Y1);
    EXPECT_EQ(second->X2, third->X1);
    EXPECT_EQ(second->Y2, third->Y1);
    EXPECT_EQ(third->X2, 10.0);

    Right(300, 300);
    EXPECT_EQ(canvas.ShapeCount, 3);
    EXPECT_TRUE(canvas.GetLastPolylinePoints().empty());
    EXPECT_EQ(events.Last("DrawEnd").A, ShapeType::Line);
    EXPECT_EQ(events.Count("DrawBegin"), 1);
}

TEST_F(ToolDrawingTest, ThreePointArcCommitsOnItsThirdPressWithoutDrawEnd) {
    canvas.ToolMode = ShapeType::ThreePointArc;
    Left(10, 200);
    Left(50, 100);
    EXPECT_EQ(canvas.ShapeCount, 0);
    Left(50, 100); // a repeated point is accepted
    ASSERT_EQ(canvas.ShapeCount, 1);
    const TTShape* arc = canvas.Shapes[0];
    EXPECT_EQ(arc->Type, ShapeType::ThreePointArc);
    EXPECT_EQ(canvas.ShapePointCount(arc->Id), 3);
    EXPECT_EQ(canvas.PendingPolyline, nullptr);
    EXPECT_FALSE(canvas.DrawingActive);
    EXPECT_TRUE(canvas.RubberBandActive);
    EXPECT_EQ(events.Count("DrawEnd"), 0);
    EXPECT_EQ(canvas.ToolMode, ShapeType::ThreePointArc);
    EXPECT_EQ(canvas.GetLastPolylinePoints().size(), 3u);

    // Armed: the next press starts another arc; a right press ends the tool.
    Left(300, 100);
    EXPECT_NE(canvas.PendingPolyline, nullptr);
    Right(300, 100);
    EXPECT_EQ(canvas.ShapeCount, 1);
    EXPECT_EQ(events.Count("DrawEnd"), 1);
    EXPECT_EQ(events.Last("DrawEnd").A, ShapeType::ThreePointArc);
}

TEST_F(ToolDrawingTest, TwoClickShapesRefuseDegenerateSecondPressesAndEndTheWaiting) {
    struct Case {
        const char* name;
        int tool;
        int px, py;    // second press; the first is at pixel (100, 100)
        int shapeType; // 0 when no shape is made
    };
    const Case cases[] = {
        {"ellipse straight above", ShapeType::EllipseTool, 100, 50, 0},
        {"ellipse straight beside", ShapeType::EllipseTool, 160, 100, 0},
        {"ellipse", ShapeType::EllipseTool, 160, 50, ShapeType::Ellipse},
        {"circle of radius 0", ShapeType::Circle, 100, 100, 0},
        {"circle", ShapeType::Circle, 130, 140, ShapeType::Circle},
        {"rectangle on its first corner", ShapeType::Rectangle, 100, 100, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingCanvas canvas;
        canvas.WorldSet(0, 300, 400, 0);
        Tools tools(canvas);
        canvas.ToolMode = c.tool;
        tools.MouseDown(Tools::LeftButton, 0, 100, 100);
        tools.MouseDown(Tools::LeftButton, 0, c.px, c.py);
        EXPECT_FALSE(canvas.DrawingActive);
        EXPECT_TRUE(canvas.RubberBandActive);
        EXPECT_EQ(canvas.ToolMode, c.tool);
        if (c.shapeType == 0) {
            EXPECT_EQ(canvas.ShapeCount, 0);
        } else {
            ASSERT_EQ(canvas.ShapeCount, 1);
            EXPECT_EQ(canvas.Shapes[0]->Type, c.shapeType);
        }
    }
    // The circle's radius is the distance from the centre: 3-4-5 pixels times ten.
    canvas.ToolMode = ShapeType::Circle;
    Left(100, 100);
    Left(130, 140);
    ASSERT_EQ(canvas.ShapeCount, 1);
    EXPECT_DOUBLE_EQ(static_cast<const TTCircle*>(canvas.Shapes[0])->Radius, 50.0);
}

TEST_F(ToolDrawingTest, PointToolPlacesOnePointEndsTheDrawingAndResetsTheTool) {
    canvas.ToolMode = ShapeType::Point;
    Left(40, 60);
    ASSERT_EQ(canvas.ShapeCount, 1);
    EXPECT_EQ(canvas.Shapes[0]->Type, ShapeType::Point);
    EXPECT_EQ(static_cast<const TTPoint*>(canvas.Shapes[0])->X, 40.0);
    EXPECT_EQ(static_cast<const TTPoint*>(canvas.Shapes[0])->Y, 240.0);
    EXPECT_EQ(events.Sequence(), (std::vector<std::string>{"WorldMouseDown", "DrawEnd"}));
    EXPECT_EQ(events.Last("DrawEnd").A, ShapeType::Point);
    EXPECT_EQ(canvas.ToolMode, 0);
    EXPECT_FALSE(canvas.SkipNextLeftPress);

    canvas.ToolMode = ShapeType::Point;
    canvas.KeepToolMode = true;
    Left(50, 60);
    Left(60, 60);
    EXPECT_EQ(canvas.ShapeCount, 3);
    EXPECT_EQ(canvas.ToolMode, ShapeType::Point);
}

TEST_F(ToolDrawingTest, DrawEndHandlerMayKeepTheToolBeforeTheCanvasResetsIt) {
    canvas.OnDrawEnd = [&](int16_t type, double, double) {
        EXPECT_EQ(canvas.ToolMode, type);
        canvas.KeepToolMode = true;
    };
    canvas.ToolMode = ShapeType::Polyline;
    Left(10, 10);
    Left(20, 20);
    Right(20, 20);
    EXPECT_EQ(canvas.ToolMode, ShapeType::Polyline);
}

TEST_F(ToolDrawingTest, ZoomWindowWidensTheBoxToTheClientAspectAndEndsTheTool) {
    canvas.ToolMode = -3;
    Left(100, 100); // world (100, 200)
    EXPECT_TRUE(canvas.DrawingActive);
    EXPECT_TRUE(canvas.RubberBandActive);
    EXPECT_EQ(canvas.LastCursor, CanvasModel::CrossCursor);
    EXPECT_EQ(events.Count("DrawBegin"), 0);
    canvas.Painted();
    Left(200, 150); // world (200, 150): a box of 100 x 50, wider than the 4:3 client
    EXPECT_DOUBLE_EQ(canvas.PlanWorldLeft, 100.0);
    EXPECT_DOUBLE_EQ(canvas.PlanWorldRight, 200.0);
    EXPECT_DOUBLE_EQ(canvas.PlanWorldBottom, 137.5);
    EXPECT_DOUBLE_EQ(canvas.PlanWorldTop, 212.5);
    EXPECT_TRUE(canvas.NeedsRedraw);
    EXPECT_FALSE(canvas.DrawingActive);
    EXPECT_FALSE(canvas.RubberBandActive);
    EXPECT_EQ(canvas.LastCursor, CanvasModel::DefaultCursor);
    EXPECT_EQ(canvas.ToolMode, 0);

    // A box too narrow on one axis leaves the view alone.
    canvas.ToolMode = -3;
    canvas.KeepToolMode = true;
    Left(10, 10);
    Left(300, 10);
    EXPECT_DOUBLE_EQ(canvas.PlanWorldLeft, 100.0);
    EXPECT_DOUBLE_EQ(canvas.PlanWorldTop, 212.5);
    EXPECT_FALSE(canvas.DrawingActive);
    EXPECT_EQ(canvas.ToolMode, -3);
}

TEST_F(ToolDrawingTest, EscapeDiscardsAPolygonWithoutAnyEventAndLeavesTheToolActive) {
    canvas.ToolMode = ShapeType::Polygon;
    Left(10, 10);
    Left(100, 10);
    Left(100, 100);
    const size_t before = events.Events.size();
    canvas.Painted();
    tools.KeyDown(Tools::EscapeKey, 0);
    EXPECT_EQ(events.Events.size(), before);
    EXPECT_EQ(canvas.PendingPolyline, nullptr);
    EXPECT_EQ(canvas.ShapeCount, 0);
    EXPECT_FALSE(canvas.DrawingActive);
    EXPECT_FALSE(canvas.RubberBandActive);
    EXPECT_EQ(canvas.ToolMode, ShapeType::Polygon);
    EXPECT_EQ(canvas.LastCursor, CanvasModel::DefaultCursor);
    EXPECT_GT(canvas.Invalidations, 0);
    EXPECT_TRUE(canvas.GetLastPolylinePoints().empty());
    // The next press starts a new polygon at once (Escape arms no skip).
    Left(50, 50);
    EXPECT_TRUE(canvas.DrawingActive);
    EXPECT_EQ(events.Count("DrawBegin"), 2);

    // Escape also ends an armed two-click tool; with nothing under way it does nothing.
    canvas.ToolMode = ShapeType::Circle;
    tools.KeyDown(Tools::EscapeKey, 0);
    canvas.Painted();
    tools.KeyDown(Tools::EscapeKey, 0);
    EXPECT_EQ(canvas.Invalidations, 0);
}

TEST_F(ToolDrawingTest, DeleteKeyDeletesTheSelectionOnlyWhenEnabled) {
    const int32_t line = canvas.DrawLine(0, 0, 10, 10, 0);
    canvas.DrawLine(20, 0, 30, 10, 0);
    canvas.ShapeSelect(line, true);
    tools.KeyDown(Tools::DeleteKey, 0);
    EXPECT_EQ(canvas.ShapeCount, 2);
    canvas.DeleteKeyEnabled = true;
    tools.KeyDown(Tools::DeleteKey, 0);
    EXPECT_EQ(canvas.ShapeCount, 1);
    EXPECT_EQ(canvas.FindShape(line), nullptr);
}

TEST_F(ToolDrawingTest, PolylineIdNeverCollidesWhenIdsRestartDuringTheDrawing) {
    struct Restart {
        const char* name;
        void (*run)(CanvasModel&);
    };
    const Restart restarts[] = {
        {"New", [](CanvasModel& c) { c.CadClearShapes(-1); }},
        {"Open", [](CanvasModel& c) { c.ResetDrawing(); }},
    };
    for (const Restart& restart : restarts) {
        SCOPED_TRACE(restart.name);
        for (const int loadedAfter : {0, 6}) {
            SCOPED_TRACE(loadedAfter);
            RecordingCanvas canvas;
            canvas.WorldSet(0, 300, 400, 0);
            Tools tools(canvas);
            for (int i = 0; i < 4; ++i)
                canvas.DrawPoint(i, i, 0);
            canvas.ToolMode = ShapeType::Polyline;
            tools.MouseDown(Tools::LeftButton, 0, 10, 10);
            ASSERT_EQ(canvas.PendingPolyline->Id, 5);

            restart.run(canvas);
            for (int i = 0; i < loadedAfter; ++i)
                canvas.DrawPoint(i, i, 0);

            tools.MouseDown(Tools::LeftButton, 0, 20, 20);
            tools.MouseDown(Tools::RightButton, 0, 20, 20);
            // Shapes made after the drawing ends must not collide either.
            canvas.DrawPoint(7, 7, 0);
            canvas.DrawPoint(8, 8, 0);
            std::set<int32_t> distinct;
            for (const auto& shape : canvas.Shapes)
                distinct.insert(shape->Id);
            EXPECT_EQ(distinct.size(), canvas.Shapes.size());
            EXPECT_EQ(canvas.Shapes.size(), static_cast<size_t>(loadedAfter + 3));
            EXPECT_EQ(canvas.Shapes[loadedAfter]->Id, loadedAfter + 1);
        }
    }
}

TEST_F(ToolDrawingTest, ToolsThatPlaceNothingOnlyReportThePress) {
    for (const int tool : {ShapeType::Text, 99, -7}) {
        SCOPED_TRACE(tool);
        canvas.ToolMode = tool;
        Left(100, 100);
        Left(150, 150);
        EXPECT_EQ(canvas.ShapeCount, 0);
        EXPECT_FALSE(canvas.DrawingActive);
        EXPECT_FALSE(canvas.RubberBandActive);
        EXPECT_EQ(canvas.ToolMode, tool);
        EXPECT_EQ(events.Last("WorldMouseDown").C, tool);
    }
}

} // namespace
