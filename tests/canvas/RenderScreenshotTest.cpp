#include "RenderTestImages.h"

#include "canvas/MapDisplaySettings.h"
#include "canvas/TTEllipse.h"
#include "canvas/TTRectangle.h"
#include "canvas/TTavrinCanvas.h"

#include <QDir>
#include <QTemporaryDir>
#include <QImage>

#include <gtest/gtest.h>

using namespace RenderTestImages;

namespace {

// Restores the program-wide overlay values a test changes.
struct StatusTextGuard {
    std::string text = OverlayStatusText;
    int quality = CurrentFixQuality;
    ~StatusTextGuard() {
        OverlayStatusText = text;
        CurrentFixQuality = quality;
    }
};

// A small drawing of every shape class with grid, scale bar and overlays, painted offscreen
// and saved as a PNG beside the test binary, then checked at places whose colour follows
// from the world window alone.
TEST(RenderScreenshotTest, EveryShapeClassWithGridScaleBarAndOverlays) {
    StatusTextGuard guard;
    TTavrinCanvas canvas;
    canvas.resize(400, 300);
    canvas.WorldSet(0, 300, 400, 0); // one world metre per pixel
    canvas.GridVisible = true;
    canvas.GridAutoScale = false;
    canvas.GridSpacingX = 100;
    canvas.GridSpacingY = 100;

    const int layer = canvas.LayerOpen("shapes");
    canvas.SetLayerPenFg(layer, 0xFF0000); // blue

    // A filled rectangle without outline (pen width 0, solid brush): green box 20..59 x
    // 100..139.
    const int32_t box = canvas.DrawRectangle(20, 200, 60, 160, layer);
    canvas.SetShapePenWidth(box, 0);
    canvas.SetShapeBrushStyle(box, BrushStyle::Solid);
    canvas.SetShapeBrushFg(box, 0x00FF00);
    // A line across y = 150 (row 150) from x = 120 to 180.
    canvas.DrawLine(120, 150, 180, 150, layer);
    // A circle of radius 20 at (250, 250): ring through pixel row 50 +- 20.
    canvas.DrawCircle(250, 250, 20, layer);
    // An ellipse, a polyline, a polygon, an arc, a point and a text.
    canvas.DrawTwoPointEllipse(300, 280, 360, 250, layer);
    canvas.DrawPolyline({{20, 100}, {60, 60}, {100, 100}}, layer, false);
    const int32_t polygon = canvas.DrawPolyline({{150, 100}, {190, 100}, {170, 60}}, layer, true);
    canvas.SetShapeBrushStyle(polygon, BrushStyle::Solid);
    canvas.SetShapeBrushFg(polygon, 0x00FFFF); // yellow inside
    canvas.DrawThreePointArc(220, 100, 250, 130, 280, 100, layer);
    const int32_t point = canvas.DrawPoint(330, 120, layer);
    canvas.SetShapePenWidth(point, 3); // 5 x 5 square 328..332 x 178..182
    canvas.TextAdd(layer, "Tavrin", 300, 200, 0);

    canvas.AddDepthLabel(200, 40, 12.3);
    canvas.AddEventLabel(100, 200, 7);
    canvas.SetCurrentDepth(12.345, 0.0, true);
    canvas.SetCurrentSpeed(6.24, true);
    OverlayStatusText = "GPS RTK FIX Sats:12";
    CurrentFixQuality = 4;
    canvas.StartDistanceMeasure(150, 200);
    canvas.UpdateDistanceMeasure(190, 200, 40, 90);

    const QImage frame = canvas.RenderFrame();
    // A folder of its own: the working folder is the one every test process shares.
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath("render_screenshot.png");
    ASSERT_TRUE(frame.save(path, "PNG"));
    const QImage saved(path);
    ASSERT_EQ(saved.size(), QSize(400, 300));

    // The filled box, inside and at its exclusive edges.
    EXPECT_TRUE(Is(saved, 40, 120, 0x00FF00));
    EXPECT_TRUE(Is(saved, 20, 100, 0x00FF00));
    EXPECT_TRUE(Is(saved, 59, 139, 0x00FF00));
    EXPECT_FALSE(Is(saved, 60, 120, 0x00FF00));
    EXPECT_FALSE(Is(saved, 40, 140, 0x00FF00));
    // The blue line, without its last pixel.
    EXPECT_TRUE(Is(saved, 150, 150, 0xFF0000));
    EXPECT_TRUE(Is(saved, 120, 150, 0xFF0000));
    EXPECT_FALSE(Is(saved, 180, 150, 0xFF0000));
    // The circle's ring but not its inside.
    EXPECT_TRUE(Is(saved, 250, 30, 0xFF0000));
    EXPECT_FALSE(Is(saved, 250, 50, 0xFF0000));
    // The polygon's yellow inside.
    EXPECT_TRUE(Is(saved, 170, 220, 0x00FFFF));
    // The point's square.
    EXPECT_TRUE(Is(saved, 328, 178, 0xFF0000));
    EXPECT_TRUE(Is(saved, 332, 182, 0xFF0000));
    EXPECT_FALSE(Is(saved, 333, 180, 0xFF0000));
    // Grid lines (dotted, silver) at x = 100 on an empty stretch of the map.
    EXPECT_GT(CountIn(saved, QRect(100, 160, 1, 40), 0xC0C0C0), 5);
    // The GNSS status box is lime (fix quality 4) at the top left.
    EXPECT_TRUE(Is(saved, 4, 4, 0x00FF00));
    // The scale bar's black half at the bottom right: 100 m over 100 pixels at x 280..379.
    EXPECT_TRUE(Is(saved, 285, 260, 0));
    EXPECT_TRUE(Is(saved, 375, 260, 0xFFFFFF));
    // The readout's white box at the bottom left.
    EXPECT_TRUE(Is(saved, 6, 293, 0xFFFFFF));
    // The measure: the red circle through the end (radius 40 about pixel (150, 100)) and
    // the yellow label 30 pixels above the middle of the line.
    EXPECT_TRUE(Is(saved, 150, 139, 0x0000FF));
    EXPECT_TRUE(Is(saved, 110, 100, 0x0000FF));
    EXPECT_GT(CountIn(saved, QRect(130, 68, 80, 4), 0x00FFFF), 30);
}

} // namespace
