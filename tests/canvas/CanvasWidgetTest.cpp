#include "canvas/TTavrinCanvas.h"
#include "tests/support/TestEnvironment.h"

#include <QApplication>
#include <QImage>

#include <gtest/gtest.h>

namespace {

TEST(CanvasWidgetTest, ANewControlIsTheModelAtFourHundredByThreeHundred) {
    TTavrinCanvas canvas;
    EXPECT_EQ(canvas.width(), 400);
    EXPECT_EQ(canvas.height(), 300);
    EXPECT_EQ(canvas.ClientWidth, 400);
    EXPECT_EQ(canvas.ClientHeight, 300);
    EXPECT_EQ(canvas.PlanWorldRight, 1000.0);
    EXPECT_EQ(canvas.PlanWorldTop, 1000.0);
    EXPECT_EQ(canvas.LayerFindByName("Default"), 0);
    EXPECT_EQ(canvas.NextShapeId, 1);
    EXPECT_TRUE(canvas.NeedsRedraw);
    EXPECT_EQ(canvas.focusPolicy(), Qt::StrongFocus);
}

TEST(CanvasWidgetTest, PaintingRebuildsTheBufferInTheBackgroundColourOnlyWhenStale) {
    TTavrinCanvas canvas;
    canvas.SetBackColor(0x0000FF); // red in 0x00BBGGRR
    QImage shot = canvas.grab().toImage();
    EXPECT_EQ(shot.pixelColor(10, 10), QColor(255, 0, 0));
    EXPECT_EQ(shot.pixelColor(399, 299), QColor(255, 0, 0));
    EXPECT_FALSE(canvas.NeedsRedraw);

    // A change of a back-buffer field without marking it stale shows only after a rebuild.
    canvas.BackColor = 0xFF0000;
    shot = canvas.grab().toImage();
    EXPECT_EQ(shot.pixelColor(10, 10), QColor(255, 0, 0));
    canvas.Refresh();
    shot = canvas.grab().toImage();
    EXPECT_EQ(shot.pixelColor(10, 10), QColor(0, 0, 255));
}

TEST(CanvasWidgetTest, ResizingTheControlRefitsTheWorldWindow) {
    TTavrinCanvas canvas;
    canvas.resize(800, 300);
    QApplication::sendPostedEvents();
    canvas.show(); // delivers the deferred resize of a hidden widget
    QApplication::processEvents();
    EXPECT_EQ(canvas.ClientWidth, 800);
    EXPECT_EQ(canvas.ClientHeight, 300);
    EXPECT_NEAR(canvas.GetWorldWidth(), 1000.0 * 800 / 300, 1e-9);
    EXPECT_DOUBLE_EQ(canvas.GetWorldHeight(), 1000.0);
    EXPECT_NEAR((canvas.PlanWorldLeft + canvas.PlanWorldRight) / 2, 500.0, 1e-9);
    // The pick tolerance follows the new size.
    const int32_t line = canvas.DrawLine(0, 500, 1000, 500, 0);
    EXPECT_EQ(canvas.GetShapeAt(500, 500 + 3 * canvas.GetWorldWidth() / 800 - 0.01), line);
    canvas.hide();
}

TEST(CanvasWidgetTest, StubsAndTheAboutBox) {
    TTavrinCanvas canvas;
    EXPECT_FALSE(canvas.MetafileSave("/tmp/map.emf"));
    EXPECT_FALSE(canvas.MetafileToClipboard());
    EXPECT_EQ(canvas.ViewDialogShow(1, 2), 0);
    canvas.PrintView(0, "printer");
    TestEnvironment::dialogs().clear();
    canvas.AboutBox();
    ASSERT_EQ(TestEnvironment::dialogs().messages.size(), 1u);
    EXPECT_TRUE(TestEnvironment::dialogs().messages[0].text.contains("map canvas"));
}

TEST(CanvasWidgetTest, ToolCursorsReachTheWidget) {
    TTavrinCanvas canvas;
    canvas.StartPendingPolyline(ShapeType::Polyline, 0, 0);
    canvas.setCursor(Qt::CrossCursor);
    canvas.ClearDrawingState();
    EXPECT_EQ(canvas.cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(canvas.PendingPolyline, nullptr);
}

} // namespace
