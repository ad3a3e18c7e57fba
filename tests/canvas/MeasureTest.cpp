#include "RecordingCanvas.h"
#include "RenderTestImages.h"

#include "canvas/TTavrinCanvas.h"

#include <gtest/gtest.h>

using namespace RenderTestImages;

namespace {

constexpr uint32_t Red = 0x0000FF;
constexpr uint32_t Blue = 0xFF0000;
constexpr uint32_t Yellow = 0x00FFFF;

TEST(MeasureTest, StartUpdateAndEnd) {
    RecordingCanvas canvas;
    canvas.Painted();
    canvas.UpdateDistanceMeasure(5, 5, 7, 45); // before any start: ignored
    EXPECT_FALSE(canvas.Measuring);
    EXPECT_EQ(canvas.MeasureDistance, 0);
    EXPECT_EQ(canvas.Invalidations, 0);

    canvas.StartDistanceMeasure(10, 20);
    EXPECT_TRUE(canvas.Measuring);
    EXPECT_EQ(canvas.MeasureEndX, 10);
    EXPECT_EQ(canvas.MeasureEndY, 20);
    canvas.UpdateDistanceMeasure(110, 20, 100, 90);
    EXPECT_EQ(canvas.MeasureEndX, 110);
    EXPECT_EQ(canvas.MeasureBearing, 90);
    canvas.EndDistanceMeasure();
    EXPECT_FALSE(canvas.Measuring);
    canvas.UpdateDistanceMeasure(0, 0, 1, 1);
    EXPECT_EQ(canvas.MeasureEndX, 110);

    // A new start shows 0 m with the previous bearing until the first update.
    canvas.StartDistanceMeasure(0, 0);
    EXPECT_EQ(canvas.MeasureDistance, 0);
    EXPECT_EQ(canvas.MeasureBearing, 90);
    EXPECT_EQ(canvas.Invalidations, 4);
    EXPECT_FALSE(canvas.NeedsRedraw);
}

// A 400 x 300 control at one world unit per pixel.
void UnitWindow(TTavrinCanvas& canvas) {
    canvas.WorldSet(0, 300, 400, 0);
}

TEST(MeasureTest, CircleLineCrossAndLabel) {
    TTavrinCanvas canvas;
    UnitWindow(canvas);
    canvas.StartDistanceMeasure(150, 150);          // pixel (150, 150)
    canvas.UpdateDistanceMeasure(150, 250, 100, 0); // pixel (150, 50), due north
    const QImage frame = canvas.RenderFrame();
    const auto redNear = [&frame](int x, int y) {
        return Is(frame, x, y, Red) || Is(frame, x - 1, y, Red) || Is(frame, x + 1, y, Red);
    };
    // The red circle through the end: radius 100 about (150, 150).
    EXPECT_TRUE(redNear(50, 150));
    EXPECT_TRUE(redNear(249, 150));
    EXPECT_TRUE(Is(frame, 150, 249, Red));
    EXPECT_TRUE(Is(frame, 150, 200, 0xFFFFFF)); // an outline, not a disc
    // The red dot on the start (the line runs up column 150).
    EXPECT_EQ(CountIn(frame, QRect(148, 148, 2, 4), Red), 8);
    // The blue line and the cross on the end.
    EXPECT_TRUE(Is(frame, 150, 130, Blue));
    EXPECT_TRUE(Is(frame, 144, 50, Blue));
    EXPECT_TRUE(Is(frame, 150, 44, Blue));
    // The yellow label centred 30 pixels above the middle of the line (row 100), with black
    // and navy text.
    const QRect yellow = BoundsOf(frame, Yellow);
    ASSERT_FALSE(yellow.isEmpty());
    EXPECT_NEAR(yellow.center().x(), 150, 2);
    EXPECT_EQ(yellow.top(), 100 - 30 - 2 + 1); // inside the black outline
    EXPECT_GT(CountTextIn(frame, yellow, 0, Yellow), 20);
    EXPECT_GT(CountTextIn(frame, yellow, 0x800000, Yellow), 10);
}

TEST(MeasureTest, NothingWithinTwoPixelsAndNoCircleAtTwo) {
    TTavrinCanvas canvas;
    UnitWindow(canvas);
    const QImage plain = canvas.RenderFrame().copy();
    canvas.StartDistanceMeasure(100, 100);
    EXPECT_EQ(canvas.RenderFrame(), plain); // end on start
    canvas.UpdateDistanceMeasure(101, 101, 1.41, 45);
    EXPECT_EQ(canvas.RenderFrame(), plain); // 1 pixel each way: dx² + dy² = 2

    canvas.UpdateDistanceMeasure(102, 100, 2, 90);
    const QImage frame = canvas.RenderFrame();
    EXPECT_NE(frame, plain);
    EXPECT_GT(Count(frame, Yellow), 100);
    // Red only in the dot: no circle.
    const QRect red = BoundsOf(frame, Red);
    EXPECT_LE(red.width(), 6);
    EXPECT_LE(red.height(), 6);
}

TEST(MeasureTest, AMeasureReachingFarOffScreenDrawsWithoutOverflow) {
    TTavrinCanvas canvas;
    UnitWindow(canvas);
    canvas.StartDistanceMeasure(100, 100);
    canvas.UpdateDistanceMeasure(1e12, 100, 1e12, 90);
    QImage frame = canvas.RenderFrame();
    // The line runs to the right edge of the client along row 200.
    EXPECT_EQ(CountIn(frame, QRect(110, 200, 290, 1), Blue), 290);
    // Both ends far away: the label centre would overflow int; nothing crashes or wraps.
    canvas.StartDistanceMeasure(-1e12, -1e12);
    canvas.UpdateDistanceMeasure(1e12, 1e12, 1e12, 45);
    frame = canvas.RenderFrame();
    EXPECT_EQ(frame.size(), QSize(400, 300));
}

} // namespace
