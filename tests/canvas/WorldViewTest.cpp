#include "canvas/WorldView.h"
#include "RecordingCanvas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

WorldView MakeView(double left, double right, double top, double bottom, int width, int height) {
    WorldView view;
    view.Left = left;
    view.Right = right;
    view.Top = top;
    view.Bottom = bottom;
    view.Width = width;
    view.Height = height;
    return view;
}

TEST(WorldViewTest, WorldToScreenTruncatesTowardZeroAndFlipsY) {
    struct Case {
        double x, y;
        int sx, sy;
    };
    // Window 0..100 on both axes in a 50 x 50 client: two world units per pixel.
    const WorldView view = MakeView(0, 100, 100, 0, 50, 50);
    const Case cases[] = {
        {1.9, 98.1, 0, 0},   // truncation, not rounding
        {-1.9, 101.9, 0, 0}, // toward zero, not down
        {50, 50, 25, 25},    {100, 0, 50, 50}, {-3.9, 50, -1, 25}, {99.9, 0.1, 49, 49},
    };
    for (const Case& c : cases) {
        int sx = 0, sy = 0;
        view.WorldToScreen(c.x, c.y, sx, sy);
        EXPECT_EQ(sx, c.sx) << c.x << "," << c.y;
        EXPECT_EQ(sy, c.sy) << c.x << "," << c.y;
    }
}

TEST(WorldViewTest, DegenerateWindowsAndHugeOrNonFiniteValuesStayDefined) {
    int sx = 7, sy = 7;
    // A window without width or height counts as one world unit.
    MakeView(10, 10, 5, 5, 100, 100).WorldToScreen(11, 4, sx, sy);
    EXPECT_EQ(sx, 100);
    EXPECT_EQ(sy, 100);
    // Far beyond int: clamped, never undefined.
    MakeView(0, 1e-6, 1e-6, 0, 1000, 1000).WorldToScreen(1e12, -1e12, sx, sy);
    EXPECT_EQ(sx, 1000000000);
    EXPECT_EQ(sy, 1000000000);
    MakeView(0, 100, 100, 0, 100, 100)
        .WorldToScreen(std::numeric_limits<double>::quiet_NaN(), -1e300, sx, sy);
    EXPECT_EQ(sx, 0);
    EXPECT_EQ(sy, 1000000000);
}

TEST(WorldViewTest, ScreenToWorldIsTheInverseWithoutRounding) {
    double x = 0, y = 0;
    MakeView(0, 1000, 1000, 0, 400, 300).ScreenToWorld(200, 150, x, y);
    EXPECT_DOUBLE_EQ(x, 500.0);
    EXPECT_DOUBLE_EQ(y, 500.0);
    MakeView(0, 1000, 1000, 0, 400, 300).ScreenToWorld(1, 1, x, y);
    EXPECT_DOUBLE_EQ(x, 2.5);
    EXPECT_DOUBLE_EQ(y, 1000.0 - 1000.0 / 300.0);
    // A client of height (or width) 0 divides by 1.
    MakeView(0, 1000, 1000, 0, 0, 0).ScreenToWorld(2, 3, x, y);
    EXPECT_DOUBLE_EQ(x, 2000.0);
    EXPECT_DOUBLE_EQ(y, -2000.0);
}

TEST(WorldViewTest, ZoomFactorsKeepTheFixedPointAndTheClientAspect) {
    struct Case {
        double factor;
        double expectedWidth; // of the window 0..1000 in a 400 x 300 client
    };
    const Case cases[] = {
        {0.1, 900.0},    {-0.1, 1100.0},   {0.2, 800.0}, {1.0, 100.0}, // k <= 0 becomes 0.1
        {5.0, 100.0},    {0.95, 50.0},                                 // k = 0.05 stands
        {-9.0, 10000.0}, {-50.0, 10000.0},                             // k capped at 10
    };
    for (const Case& c : cases) {
        WorldView view = MakeView(0, 1000, 1000, 0, 400, 300);
        ASSERT_TRUE(view.Zoom(c.factor, 500, 500)) << c.factor;
        EXPECT_NEAR(view.WorldWidth(), c.expectedWidth, 1e-9) << c.factor;
        EXPECT_NEAR(view.WorldHeight(), c.expectedWidth * 0.75, 1e-9) << c.factor;
        EXPECT_NEAR((view.Left + view.Right) / 2, 500.0, 1e-9) << c.factor;
        EXPECT_NEAR((view.Top + view.Bottom) / 2, 500.0, 1e-9) << c.factor;
    }
    WorldView view = MakeView(0, 1000, 1000, 0, 400, 300);
    ASSERT_TRUE(view.Zoom(0.1, 500, 500));
    EXPECT_DOUBLE_EQ(view.Left, 50.0);
    EXPECT_DOUBLE_EQ(view.Right, 950.0);
    EXPECT_DOUBLE_EQ(view.Bottom, 162.5);
    EXPECT_DOUBLE_EQ(view.Top, 837.5);

    // Zooming about a corner keeps that corner where it is.
    view = MakeView(0, 1000, 1000, 0, 400, 400);
    ASSERT_TRUE(view.Zoom(0.5, 0, 0));
    EXPECT_DOUBLE_EQ(view.Left, 0.0);
    EXPECT_DOUBLE_EQ(view.Bottom, 0.0);
    EXPECT_DOUBLE_EQ(view.Right, 500.0);
}

TEST(WorldViewTest, ZoomStopsAtOneMillimetreAndAtOneHundredThousandKilometres) {
    struct Case {
        double width;
        double factor;
        bool zooms;
    };
    const Case cases[] = {
        {0.0011, 0.05, true}, // 1.045 mm stays above the floor
        {0.0011, 0.5, false}, // 0.55 mm would be too narrow
        {0.001, 0.1, false},  // already at the floor
        {9.0e7, -0.1, true},  // 9.9e7 m
        {9.5e7, -0.1, false}, // 1.045e8 m would be too wide
        {1.0e8, -9.0, false},
    };
    for (const Case& c : cases) {
        WorldView view = MakeView(0, c.width, c.width, 0, 400, 400);
        const WorldView before = view;
        EXPECT_EQ(view.Zoom(c.factor, c.width / 2, c.width / 2), c.zooms) << c.width;
        if (!c.zooms) {
            EXPECT_EQ(view.Left, before.Left);
            EXPECT_EQ(view.Right, before.Right);
            EXPECT_EQ(view.Top, before.Top);
            EXPECT_EQ(view.Bottom, before.Bottom);
        }
    }
    WorldView view = MakeView(0, 1000, 1000, 0, 400, 300);
    EXPECT_FALSE(view.Zoom(std::numeric_limits<double>::infinity(), 0, 0));
    EXPECT_FALSE(view.Zoom(0.1, std::numeric_limits<double>::quiet_NaN(), 0));
    EXPECT_DOUBLE_EQ(view.Right, 1000.0);
}

TEST(WorldViewTest, WorldZoomOnTheCanvasIsBoundedAndRequestsARepaintOnlyWhenItZooms) {
    RecordingCanvas canvas;
    canvas.Painted();
    for (int step = 0; step < 200; ++step)
        canvas.WorldZoom(0, 0.5, 500, 500);
    EXPECT_GE(canvas.GetWorldWidth(), WorldView::MinimumZoomWidth);
    const int zooms = canvas.Invalidations;
    EXPECT_GT(zooms, 0);
    EXPECT_LT(zooms, 200);
    canvas.Painted();
    canvas.WorldZoom(0, 0.5, 500, 500);
    EXPECT_FALSE(canvas.NeedsRedraw);
    EXPECT_EQ(canvas.Invalidations, 0);
}

TEST(WorldViewTest, FitExamples) {
    struct Case {
        const char* name;
        WorldView::Extent extent;
        double left, right, bottom, top;
    };
    const Case cases[] = {
        // Wider than the client: x is kept, y grows about its centre.
        {"line 100 x 50", {0, 0, 100, 50}, -5, 105, -16.25, 66.25},
        // Taller than the client: y is kept, x grows about its centre.
        {"tall box", {0, 0, 10, 100}, 5 - 110 * 4.0 / 3 / 2, 5 + 110 * 4.0 / 3 / 2, -5, 105},
        // One east-west run line: the length with its margin, centred north-south.
        {"east-west line",
         {500000, 4500000, 500100, 4500000},
         499995,
         500105,
         4500000 - 41.25,
         4500000 + 41.25},
        // One north-south run line: the length with its margin, centred east-west.
        {"north-south line",
         {500000, 4500000, 500000, 4500300},
         500000 - 220,
         500000 + 220,
         4499985,
         4500315},
        // A short line in one direction still takes its span from that direction.
        {"short east-west line", {0, 7, 0.5, 7}, -0.025, 0.525, 7 - 0.20625, 7 + 0.20625},
    };
    for (const Case& c : cases) {
        WorldView view = MakeView(0, 1000, 1000, 0, 400, 300);
        view.Fit(c.extent);
        EXPECT_NEAR(view.Left, c.left, 1e-6) << c.name;
        EXPECT_NEAR(view.Right, c.right, 1e-6) << c.name;
        EXPECT_NEAR(view.Bottom, c.bottom, 1e-6) << c.name;
        EXPECT_NEAR(view.Top, c.top, 1e-6) << c.name;
    }
    // Nothing to fit, or an extent empty in both directions: the default window.
    for (const std::optional<WorldView::Extent>& extent :
         {std::optional<WorldView::Extent>{}, std::optional<WorldView::Extent>{{5, 5, 5, 5}}}) {
        WorldView view = MakeView(-3, 3, 3, -3, 400, 300);
        view.Fit(extent);
        EXPECT_EQ(view.Left, 0.0);
        EXPECT_EQ(view.Right, 1000.0);
        EXPECT_EQ(view.Top, 1000.0);
        EXPECT_EQ(view.Bottom, 0.0);
    }
}

TEST(WorldViewTest, ResizeKeepsTheSqueezedAxisAndGrowsTheOther) {
    WorldView view = MakeView(0, 1000, 1000, 0, 400, 300);
    view.Resize(400, 300);
    EXPECT_NEAR(view.Left, -166.6666667, 1e-6);
    EXPECT_NEAR(view.Right, 1166.6666667, 1e-6);
    EXPECT_DOUBLE_EQ(view.Bottom, 0.0);
    EXPECT_DOUBLE_EQ(view.Top, 1000.0);

    view = MakeView(0, 1000, 1000, 0, 400, 300);
    view.Resize(300, 600);
    EXPECT_DOUBLE_EQ(view.Left, 0.0);
    EXPECT_DOUBLE_EQ(view.Right, 1000.0);
    EXPECT_DOUBLE_EQ(view.Bottom, -500.0);
    EXPECT_DOUBLE_EQ(view.Top, 1500.0);
    EXPECT_EQ(view.Width, 300);
    EXPECT_EQ(view.Height, 600);

    // A hidden control (no size) keeps its window.
    view = MakeView(0, 1000, 1000, 0, 400, 300);
    view.Resize(0, 0);
    EXPECT_DOUBLE_EQ(view.Right, 1000.0);
}

TEST(WorldViewTest, NiceStepTable) {
    struct Case {
        double span;
        int divisions;
        double step;
    };
    const Case cases[] = {
        {1000, 4, 200}, {123.4, 4, 20},
        {0.9, 4, 0.2},  {5999, 4, 1000},
        {0, 4, 1.0},    {-5, 4, 1.0},
        {1000, 0, 1.0}, {400, 4, 100},
        {4, 4, 1},      {5.9, 4, 1},
        {6, 4, 2},      {13.9, 4, 2},
        {14, 4, 5},     {29.9, 4, 5},
        {30, 4, 10},    {std::numeric_limits<double>::infinity(), 4, 1.0},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(NiceStep(c.span, c.divisions), c.step, c.step * 1e-12)
            << c.span << "/" << c.divisions;
}

TEST(WorldViewTest, ContrastColorTable) {
    struct Case {
        uint32_t color, background, expected;
    };
    const Case cases[] = {
        {0x00FFFF, 0xFFFFFF, 0},        // yellow on white (luminance 225 and 255)
        {0xFFFFFF, 0xFFFFFF, 0},        // white on white
        {0x0000FF, 0xFFFFFF, 0x0000FF}, // red stays
        {0x000000, 0xFFFFFF, 0x000000}, // black stays
        {0x000000, 0x000000, 0xFFFFFF}, // black on black
        {0x400000, 0x000000, 0xFFFFFF}, // dark blue on black
        {0x707070, 0x808080, 0xFFFFFF}, // grey 112 on 128, distance 48: white
        {0x808080, 0x909090, 0x000000}, // grey 128 on 144, distance 48: black
        {0x00FF00, 0x0000FF, 0x00FF00}, // far apart: unchanged
    };
    for (const Case& c : cases)
        EXPECT_EQ(ContrastColor(c.color, c.background), c.expected)
            << std::hex << c.color << " on " << c.background;
    RecordingCanvas canvas;
    EXPECT_EQ(canvas.GetContrastColor(0x00FFFF), 0u);
    canvas.SetBackColor(0);
    EXPECT_EQ(canvas.GetContrastColor(0x400000), 0xFFFFFFu);
}

TEST(WorldViewTest, ViewOperationsOfTheCanvasMarkStaleAndInvalidate) {
    RecordingCanvas canvas;
    canvas.Painted();
    canvas.WorldPan(10, -20);
    EXPECT_DOUBLE_EQ(canvas.PlanWorldLeft, 10.0);
    EXPECT_DOUBLE_EQ(canvas.PlanWorldRight, 1010.0);
    EXPECT_DOUBLE_EQ(canvas.PlanWorldBottom, -20.0);
    EXPECT_DOUBLE_EQ(canvas.PlanWorldTop, 980.0);
    EXPECT_TRUE(canvas.NeedsRedraw);
    EXPECT_EQ(canvas.Invalidations, 1);

    canvas.Painted();
    canvas.WorldSet(5, -1, -5, 1); // mirrored windows are accepted as given
    EXPECT_DOUBLE_EQ(canvas.PlanWorldLeft, 5.0);
    EXPECT_DOUBLE_EQ(canvas.PlanWorldTop, -1.0);
    EXPECT_DOUBLE_EQ(canvas.PlanWorldRight, -5.0);
    EXPECT_DOUBLE_EQ(canvas.PlanWorldBottom, 1.0);
    EXPECT_EQ(canvas.Invalidations, 1);

    canvas.Painted();
    canvas.WorldPan(std::numeric_limits<double>::infinity(), 0);
    canvas.WorldSet(0, std::numeric_limits<double>::quiet_NaN(), 1, 0);
    EXPECT_DOUBLE_EQ(canvas.PlanWorldLeft, 5.0);
    EXPECT_EQ(canvas.Invalidations, 0);

    canvas.Painted();
    canvas.SetBackColor(0xFFFFFF); // the current colour: nothing to repaint
    EXPECT_FALSE(canvas.NeedsRedraw);
    EXPECT_EQ(canvas.Invalidations, 0);
    canvas.SetBackColor(0x0000FF);
    EXPECT_EQ(canvas.BackColor, 0x0000FFu);
    EXPECT_TRUE(canvas.NeedsRedraw);
    EXPECT_EQ(canvas.Invalidations, 1);

    canvas.Painted();
    canvas.Refresh();
    canvas.Update();
    EXPECT_TRUE(canvas.NeedsRedraw);
    EXPECT_EQ(canvas.Invalidations, 2);
}

TEST(WorldViewTest, CanvasTransformsUseItsWindowAndClientSize) {
    RecordingCanvas canvas;
    EXPECT_EQ(canvas.WorldToAbsX(500), 200);
    EXPECT_EQ(canvas.WorldToAbsY(500), 150);
    EXPECT_DOUBLE_EQ(canvas.GetWorldWidth(), 1000.0);
    EXPECT_DOUBLE_EQ(canvas.GetWorldHeight(), 1000.0);
    canvas.Resize(800, 300);
    EXPECT_EQ(canvas.ClientWidth, 800);
    double x = 0, y = 0;
    canvas.ScreenToWorld(400, 150, x, y);
    EXPECT_DOUBLE_EQ(x, 500.0);
    EXPECT_DOUBLE_EQ(y, 500.0);
    EXPECT_NEAR(canvas.GetWorldWidth(), 1000.0 * 8 / 3, 1e-9);
}

TEST(WorldExtentsTest, FitsTheVisibleShapesWithAMarginAtTheClientsAspect) {
    RecordingCanvas canvas;
    canvas.DrawLine(0, 0, 100, 50, 0);
    canvas.Painted();
    canvas.WorldExtents();
    EXPECT_DOUBLE_EQ(canvas.PlanWorldLeft, -5.0);
    EXPECT_DOUBLE_EQ(canvas.PlanWorldRight, 105.0);
    EXPECT_DOUBLE_EQ(canvas.PlanWorldBottom, -16.25);
    EXPECT_DOUBLE_EQ(canvas.PlanWorldTop, 66.25);
    EXPECT_TRUE(canvas.NeedsRedraw);
    EXPECT_EQ(canvas.Invalidations, 1);
}

TEST(WorldExtentsTest, HiddenShapesAndFarAwayOnesDoNotCountButHiddenLayersDo) {
    RecordingCanvas canvas;
    const int hiddenLayer = canvas.LayerOpen("hidden");
    canvas.DrawLine(0, 0, 100, 50, 0);
    const int32_t hidden = canvas.DrawLine(-1000, -1000, 0, 0, 0);
    canvas.FindShape(hidden)->Visible = false;
    canvas.DrawLine(0, 0, 2e15, 10, 0);
    canvas.DrawLine(-2e15, 0, 0, 10, 0);
    canvas.SetLayerVisible(hiddenLayer, false);
    canvas.DrawPoint(0, 80, hiddenLayer); // bounds up to y = 83
    canvas.WorldExtents();
    // Extent x -3..100, y 0..83 (the point's bounds reach 3 m around it); with 5 % margins
    // y -4.15..87.15, and x widened to the client's 4:3 about its centre 48.5.
    EXPECT_NEAR(canvas.PlanWorldBottom, -4.15, 1e-9);
    EXPECT_NEAR(canvas.PlanWorldTop, 87.15, 1e-9);
    EXPECT_NEAR(canvas.PlanWorldLeft, 48.5 - 91.3 * 4 / 3 / 2, 1e-9);
    EXPECT_NEAR(canvas.PlanWorldRight, 48.5 + 91.3 * 4 / 3 / 2, 1e-9);
}

TEST(WorldExtentsTest, ASingleRunLineIsFittedInsteadOfResettingTheView) {
    struct Case {
        const char* what;
        double x1, y1, x2, y2;
        double left, right, bottom, top;
    };
    const Case cases[] = {
        {"east-west", 500000, 4500000, 500100, 4500000, 499995, 500105, 4500000 - 41.25,
         4500000 + 41.25},
        {"north-south", 500000, 4500000, 500000, 4500300, 500000 - 220, 500000 + 220, 4499985,
         4500315},
    };
    for (const Case& c : cases) {
        RecordingCanvas canvas;
        canvas.DrawLine(c.x1, c.y1, c.x2, c.y2, 0);
        canvas.WorldExtents();
        EXPECT_NEAR(canvas.PlanWorldLeft, c.left, 1e-6) << c.what;
        EXPECT_NEAR(canvas.PlanWorldRight, c.right, 1e-6) << c.what;
        EXPECT_NEAR(canvas.PlanWorldBottom, c.bottom, 1e-6) << c.what;
        EXPECT_NEAR(canvas.PlanWorldTop, c.top, 1e-6) << c.what;
    }
}

TEST(WorldExtentsTest, NothingToFitGivesTheDefaultWindow) {
    RecordingCanvas empty;
    empty.WorldSet(5, 10, 10, 5);
    empty.WorldExtents();
    EXPECT_EQ(empty.PlanWorldLeft, 0.0);
    EXPECT_EQ(empty.PlanWorldRight, 1000.0);

    RecordingCanvas hiddenOnly;
    const int32_t id = hiddenOnly.DrawLine(3, 3, 9, 9, 0);
    hiddenOnly.FindShape(id)->Visible = false;
    hiddenOnly.WorldSet(5, 10, 10, 5);
    hiddenOnly.WorldExtents();
    EXPECT_EQ(hiddenOnly.PlanWorldTop, 1000.0);
    EXPECT_EQ(hiddenOnly.PlanWorldBottom, 0.0);

    // A lone zero-length line is empty in both directions.
    RecordingCanvas dot;
    dot.DrawLine(3, 3, 3, 3, 0);
    dot.WorldExtents();
    EXPECT_EQ(dot.PlanWorldRight, 1000.0);
}

} // namespace
