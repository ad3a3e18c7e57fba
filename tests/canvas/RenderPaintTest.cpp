#include "RenderTestImages.h"

#include "canvas/MapDisplaySettings.h"
#include "canvas/TTavrinCanvas.h"
#include "platform/ColorValue.h"

#include <QApplication>

#include <gtest/gtest.h>

using namespace RenderTestImages;

namespace {

constexpr uint32_t White = 0xFFFFFF;
constexpr uint32_t Blue = 0xFF0000;
constexpr uint32_t Green = 0x00FF00;
constexpr uint32_t Silver = 0xC0C0C0;

// A 400 x 300 control showing one world unit per pixel: world (x, y) is pixel (x, 300 - y).
void UnitWindow(TTavrinCanvas& canvas) {
    canvas.WorldSet(0, 300, 400, 0);
}

// Counts the paints Qt delivers.
class CountingCanvas : public TTavrinCanvas {
public:
    int Paints = 0;

protected:
    void paintEvent(QPaintEvent* event) override {
        ++Paints;
        TTavrinCanvas::paintEvent(event);
    }
};

// The control paints its frame once after a burst of requests, then Qt shows what changed:
// a pass of the event loop for each, and one more to show that nothing else follows.
void DeliverPaints() {
    for (int pass = 0; pass < 3; ++pass)
        QApplication::processEvents();
}

TEST(RenderPaintTest, RefreshAndInvalidationAskForAPaintAndNeverPaintAtOnce) {
    CountingCanvas canvas;
    canvas.show();
    QApplication::processEvents();
    const int shown = canvas.Paints;
    ASSERT_GE(shown, 1);
    EXPECT_FALSE(canvas.NeedsRedraw);

    canvas.Refresh();
    EXPECT_TRUE(canvas.NeedsRedraw);
    EXPECT_EQ(canvas.Paints, shown); // nothing painted synchronously
    DeliverPaints();
    EXPECT_EQ(canvas.Paints, shown + 1);
    EXPECT_FALSE(canvas.NeedsRedraw);

    // An overlay change asks for a paint but leaves the back buffer alone.
    canvas.SetCurrentSpeed(5, true);
    EXPECT_FALSE(canvas.NeedsRedraw);
    DeliverPaints();
    EXPECT_EQ(canvas.Paints, shown + 2);
    canvas.hide();
}

TEST(RenderPaintTest, OverlaysRepaintOverTheOldBufferUntilTheNextRebuild) {
    TTavrinCanvas canvas;
    UnitWindow(canvas);
    canvas.RenderFrame();
    // A field the back buffer shows, written directly: not visible yet.
    canvas.BackColor = Blue;
    canvas.AddEventLabel(200, 150, 3);
    // The label's colour made readable on the map's background, blue from now on.
    const uint32_t ink = ReadableBgr(EventLabelColor, Blue);
    QImage frame = canvas.RenderFrame();
    EXPECT_TRUE(Is(frame, 5, 5, White));
    EXPECT_GT(Count(frame, ink), 0); // the label shows at once
    canvas.Refresh();
    frame = canvas.RenderFrame();
    EXPECT_TRUE(Is(frame, 5, 5, Blue));
    EXPECT_GT(Count(frame, ink), 0);
}

TEST(RenderPaintTest, TheBufferFollowsTheControlsSize) {
    TTavrinCanvas canvas;
    canvas.RenderFrame();
    EXPECT_EQ(canvas.BackBuffer.size(), QSize(400, 300));
    canvas.resize(640, 200);
    const QImage& frame = canvas.RenderFrame();
    EXPECT_EQ(frame.size(), QSize(640, 200));
    EXPECT_EQ(canvas.BackBuffer.size(), QSize(640, 200));
    EXPECT_EQ(canvas.ClientWidth, 640);
}

TEST(RenderPaintTest, ResizingRefitsTheWindowToTheNewAspect) {
    // A 400 x 300 control showing 0..1000 both ways keeps the height and widens the window to
    // -166.67..1166.67, so the line x = 0 moves to pixel column 50.
    TTavrinCanvas canvas;
    canvas.WorldSet(0, 1000, 1000, 0);
    canvas.Resize(400, 300);
    EXPECT_NEAR(canvas.PlanWorldLeft, -166.67, 0.01);
    EXPECT_NEAR(canvas.PlanWorldRight, 1166.67, 0.01);
    EXPECT_DOUBLE_EQ(canvas.PlanWorldTop, 1000);
    const int32_t line = canvas.DrawLine(0, 0, 0, 1000, 0);
    canvas.SetShapePenFg(line, Blue);
    const QRect ink = BoundsOf(canvas.RenderFrame(), Blue);
    EXPECT_NEAR(ink.left(), 50, 1);
    EXPECT_EQ(ink.width(), 1);
}

// A green box over the middle of a map with a 50-unit grid.
void GridOverABox(TTavrinCanvas& canvas, int gridOnTop) {
    UnitWindow(canvas);
    const int32_t box = canvas.DrawRectangle(100, 250, 300, 50, 0);
    canvas.SetShapePenWidth(box, 0);
    canvas.SetShapeBrushStyle(box, BrushStyle::Solid);
    canvas.SetShapeBrushFg(box, Green);
    canvas.GridVisible = true;
    canvas.GridAutoScale = false;
    canvas.GridSpacingX = 50;
    canvas.GridSpacingY = 50;
    canvas.GridOnTop = gridOnTop;
    canvas.Refresh();
}

TEST(RenderPaintTest, GridUnderOverAndOff) {
    const QRect inside(110, 60, 180, 180);
    const QRect outside(5, 60, 90, 180);
    {
        TTavrinCanvas canvas;
        GridOverABox(canvas, 0);
        const QImage frame = canvas.RenderFrame();
        EXPECT_EQ(CountIn(frame, inside, Silver), 0); // hidden under the box
        EXPECT_GT(CountIn(frame, outside, Silver), 20);
    }
    {
        TTavrinCanvas canvas;
        GridOverABox(canvas, 1);
        const QImage frame = canvas.RenderFrame();
        EXPECT_GT(CountIn(frame, inside, Silver), 20); // dotted lines cross the box
    }
    {
        TTavrinCanvas canvas;
        GridOverABox(canvas, 2);
        const QImage frame = canvas.RenderFrame();
        EXPECT_EQ(Count(frame, Silver), 0);
        EXPECT_EQ(CountIn(frame, inside, Green), inside.width() * inside.height());
    }
}

TEST(RenderPaintTest, ATinyGridSpacingFallsBackToTheAutomaticStepAndPaints) {
    // A 400 km window with a micrometre grid: millions of millions of lines if taken as given.
    TTavrinCanvas canvas;
    canvas.WorldSet(0, 300000, 400000, 0);
    canvas.GridVisible = true;
    canvas.GridAutoScale = false;
    canvas.GridSpacingX = 1e-6;
    canvas.GridSpacingY = 1e-6;
    canvas.Refresh();
    const QImage frame = canvas.RenderFrame();
    // The automatic step of 100 km: vertical lines at columns 0, 100, 200 and 300 only.
    int columnsWithGrid = 0;
    for (int x = 0; x < 400; ++x)
        columnsWithGrid += CountIn(frame, QRect(x, 20, 1, 200), Silver) > 20 ? 1 : 0;
    EXPECT_EQ(columnsWithGrid, 4);
}

TEST(RenderPaintTest, GridLabelsAndRedAxesThroughTheOrigin) {
    TTavrinCanvas canvas;
    canvas.WorldSet(-200, 150, 200, -150);
    canvas.GridVisible = true;
    canvas.Refresh();
    QImage frame = canvas.RenderFrame();
    // The axes: row 150 and column 200, full length.
    EXPECT_EQ(CountIn(frame, QRect(0, 150, 400, 1), 0x0000FF), 400);
    EXPECT_GE(CountIn(frame, QRect(200, 0, 1, 300), 0x0000FF), 250);
    // Labels along the bottom edge (black ink on white boxes).
    EXPECT_GT(CountIn(frame, QRect(0, 280, 400, 20), 0), 10);

    canvas.WorldSet(0, 300, 400, 0);
    frame = canvas.RenderFrame();
    EXPECT_EQ(CountIn(frame, QRect(0, 0, 400, 250), 0x0000FF), 0);
}

TEST(RenderPaintTest, ShapesOfHiddenLayersAreNotDrawnAndPointsAreThinned) {
    TTavrinCanvas canvas;
    UnitWindow(canvas);
    const int layer = canvas.LayerOpen("soundings");
    canvas.SetLayerPenFg(layer, Blue);
    canvas.SetLayerPenWidth(layer, 0);
    // Pixels (10, 10), (12, 11), (14, 14): the middle one is thinned.
    canvas.DrawPoint(10, 290, layer);
    canvas.DrawPoint(12, 289, layer);
    canvas.DrawPoint(14, 286, layer);
    QImage frame = canvas.RenderFrame();
    EXPECT_EQ(Count(frame, Blue), 2);
    EXPECT_TRUE(Is(frame, 10, 10, Blue));
    EXPECT_TRUE(Is(frame, 14, 14, Blue));
    canvas.SetLayerVisible(layer, false);
    canvas.Refresh();
    frame = canvas.RenderFrame();
    EXPECT_EQ(Count(frame, Blue), 0);
}

TEST(RenderPaintTest, ShapesDrawInTheContrastColourAndKeepTheirOwn) {
    TTavrinCanvas canvas;
    UnitWindow(canvas);
    const int32_t line = canvas.DrawLine(10, 150, 390, 150, 0);
    canvas.SetShapePenFg(line, 0x00FFFF); // yellow on white becomes black
    QImage frame = canvas.RenderFrame();
    EXPECT_TRUE(Is(frame, 200, 150, 0));
    EXPECT_EQ(canvas.GetShapePenFg(line), 0x00FFFFu);
    canvas.SetBackColor(0x000000);
    frame = canvas.RenderFrame();
    EXPECT_TRUE(Is(frame, 200, 150, 0x00FFFF));
}

TEST(RenderPaintTest, TheScaleBarStatesTheLengthItHas) {
    // One world unit per pixel: 100 m over 100 pixels at the bottom right.
    TTavrinCanvas canvas;
    UnitWindow(canvas);
    const QImage frame = canvas.RenderFrame();
    const int x0 = 400 - 100 - 20;
    const int y0 = 300 - 8 - 20 - 15;
    EXPECT_EQ(CountIn(frame, QRect(x0 + 1, y0 + 1, 48, 6), 0), 48 * 6); // black half
    EXPECT_EQ(CountIn(frame, QRect(x0 + 51, y0 + 1, 48, 6), White), 48 * 6);
    EXPECT_TRUE(Is(frame, x0 + 99, y0 + 4, 0));                   // right edge of the outline
    EXPECT_TRUE(Is(frame, x0 + 100, y0 + 4, White));              // the bar ends there
    EXPECT_GT(CountTextIn(frame, QRect(x0, y0 + 10, 100, 15), 0, White), 5); // "100 m"
}

TEST(RenderPaintTest, TheToolPreviewIsDrawnInvertedOverTheBuffer) {
    TTavrinCanvas canvas;
    UnitWindow(canvas);
    canvas.RubberBandActive = true;
    canvas.DrawingActive = true;
    canvas.AnchorX = 50;
    canvas.AnchorY = 250;
    canvas.CursorX = 150;
    canvas.CursorY = 250;
    canvas.ToolMode = ShapeType::Line;
    QImage frame = canvas.RenderFrame();
    EXPECT_EQ(CountIn(frame, QRect(50, 50, 100, 1), 0), 100); // white inverted to black
    EXPECT_TRUE(Is(frame, 150, 50, White));
    // The preview is not kept: the next paint draws it once again.
    frame = canvas.RenderFrame();
    EXPECT_EQ(CountIn(frame, QRect(50, 50, 100, 1), 0), 100);

    canvas.ToolMode = ShapeType::Rectangle;
    canvas.CursorY = 200;
    frame = canvas.RenderFrame();
    EXPECT_EQ(BoundsOf(frame.copy(0, 0, 270, 240), 0), QRect(50, 50, 100, 50));

    canvas.ToolMode = ShapeType::Circle;
    canvas.AnchorX = 200;
    canvas.AnchorY = 150;
    canvas.CursorX = 230; // radius 30 about pixel (200, 150)
    canvas.CursorY = 150;
    frame = canvas.RenderFrame();
    EXPECT_TRUE(Is(frame, 200, 120, 0));
    EXPECT_TRUE(Is(frame, 200, 150, White));

    canvas.ToolMode = ShapeType::Polygon;
    canvas.StartPendingPolyline(ShapeType::Polygon, 50, 250);
    canvas.PendingPolyline->AddPoint(150, 250);
    canvas.CursorX = 150;
    canvas.CursorY = 150;
    frame = canvas.RenderFrame();
    EXPECT_TRUE(Is(frame, 100, 50, 0));  // first edge
    EXPECT_TRUE(Is(frame, 150, 100, 0)); // to the cursor
    EXPECT_TRUE(Is(frame, 100, 100, 0)); // closing edge back to the first vertex

    canvas.DrawingActive = false;
    frame = canvas.RenderFrame();
    EXPECT_EQ(CountIn(frame, QRect(0, 0, 400, 200), 0), 0);
}

} // namespace
