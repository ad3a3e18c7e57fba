#include "MapTextContrast.h"
#include "RecordingCanvas.h"
#include "RenderTestImages.h"

#include "canvas/CanvasRenderer.h"
#include "canvas/MapDisplaySettings.h"
#include "canvas/TTavrinCanvas.h"

#include <gtest/gtest.h>

#include <limits>

using namespace RenderTestImages;

namespace {

constexpr uint32_t White = 0xFFFFFF;
// The no-fix red of the status box and of a heading that is not valid, deepened until their
// white text reads on it (4.5:1).
constexpr uint32_t NoFixRed = 0x0000E6;
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Infinity = std::numeric_limits<double>::infinity();

// Keeps the program-wide overlay values as a test found them.
class OverlayTest : public ::testing::Test {
protected:
    void TearDown() override {
        OverlayStatusText = savedText;
        CurrentFixQuality = savedQuality;
        EventLabelColor = savedEventColour;
        OverlayDepthColor = savedDepthColour;
        OverlaySpeedColor = savedSpeedColour;
    }
    std::string savedText = OverlayStatusText;
    int savedQuality = CurrentFixQuality;
    uint32_t savedEventColour = EventLabelColor;
    uint32_t savedDepthColour = OverlayDepthColor;
    uint32_t savedSpeedColour = OverlaySpeedColor;
};

TEST_F(OverlayTest, DepthLabelsKeepTheirSpacingFromEveryStoredLabel) {
    RecordingCanvas canvas;
    canvas.Painted();
    EXPECT_TRUE(canvas.AddDepthLabel(0, 0, 1));
    EXPECT_FALSE(canvas.AddDepthLabel(5, 0, 1));
    EXPECT_TRUE(canvas.AddDepthLabel(10, 0, 1));
    EXPECT_FALSE(canvas.AddDepthLabel(3, 8, 1)); // 8.54 from the first
    ASSERT_EQ(canvas.DepthLabels.size(), 2u);
    EXPECT_EQ(canvas.DepthLabels[1].X, 10);
    // Added labels repaint the overlays, refused ones nothing; the buffer stays.
    EXPECT_EQ(canvas.Invalidations, 2);
    EXPECT_FALSE(canvas.NeedsRedraw);
    // Labels are collected while hidden too.
    canvas.SetDepthLabelSettings(false, 10, "Arial", 12, 0);
    EXPECT_TRUE(canvas.AddDepthLabel(100, 0, 1));
}

TEST_F(OverlayTest, TheTenThousandAndFirstLabelDropsTheOldestThousand) {
    RecordingCanvas canvas;
    canvas.SetDepthLabelSettings(true, 0.5, "Arial", 12, 0);
    for (int i = 0; i < 10000; ++i)
        ASSERT_TRUE(canvas.AddDepthLabel(i, 0, i));
    EXPECT_EQ(canvas.DepthLabels.size(), 10000u);
    canvas.AddDepthLabel(10000, 0, 10000);
    ASSERT_EQ(canvas.DepthLabels.size(), 9001u);
    EXPECT_EQ(canvas.DepthLabels.front().Depth, 1000);
    EXPECT_EQ(canvas.DepthLabels.back().Depth, 10000);
    canvas.ClearDepthLabels();
    EXPECT_TRUE(canvas.DepthLabels.empty());
}

TEST_F(OverlayTest, EventLabelsAreCappedLikeDepthLabels) {
    RecordingCanvas canvas;
    for (int i = 1; i <= 10001; ++i)
        canvas.AddEventLabel(0, 0, i); // no spacing test for events
    ASSERT_EQ(canvas.EventLabels.size(), 9001u);
    EXPECT_EQ(canvas.EventLabels.front().Number, 1001);
    canvas.ClearEventLabels();
    EXPECT_TRUE(canvas.EventLabels.empty());
}

TEST_F(OverlayTest, NonFiniteLabelPositionsAreRefused) {
    RecordingCanvas canvas;
    canvas.Painted();
    EXPECT_FALSE(canvas.AddDepthLabel(NaN, 0, 1));
    EXPECT_FALSE(canvas.AddDepthLabel(0, Infinity, 1));
    EXPECT_FALSE(canvas.AddDepthLabel(0, 0, NaN));
    EXPECT_FALSE(canvas.AddEventLabel(NaN, 0, 1));
    EXPECT_FALSE(canvas.AddEventLabel(0, -Infinity, 1));
    EXPECT_TRUE(canvas.DepthLabels.empty());
    EXPECT_TRUE(canvas.EventLabels.empty());
    EXPECT_EQ(canvas.Invalidations, 0);
    // A refused nan does not poison the spacing test for later labels.
    EXPECT_TRUE(canvas.AddDepthLabel(0, 0, 1));
}

TEST_F(OverlayTest, CornerTogglesKeepTheSignOfTheirRemainder) {
    RecordingCanvas canvas;
    canvas.Painted();
    canvas.GGAOverlayPosition = 3;
    canvas.ToggleGGAOverlayPosition();
    EXPECT_EQ(canvas.GGAOverlayPosition, 0);
    canvas.GGAOverlayPosition = -1;
    canvas.ToggleGGAOverlayPosition();
    EXPECT_EQ(canvas.GGAOverlayPosition, 0);
    canvas.GGAOverlayPosition = -2;
    canvas.ToggleGGAOverlayPosition();
    EXPECT_EQ(canvas.GGAOverlayPosition, -1);
    canvas.ToggleDepthSpeedDisplayMode();
    canvas.ToggleDepthSpeedDisplayMode();
    EXPECT_EQ(canvas.DepthSpeedDisplayMode, 2);
    canvas.SetHeadingValid(false);
    canvas.SetCurrentDepth(1, 2, true);
    canvas.SetCurrentSpeed(3, true);
    EXPECT_FALSE(canvas.HeadingValid);
    EXPECT_EQ(canvas.CurrentDepthLow, 2);
    EXPECT_EQ(canvas.Invalidations, 8);
    EXPECT_FALSE(canvas.NeedsRedraw);
}

TEST_F(OverlayTest, StatusBoxColourFollowsTheFixQuality) {
    TTavrinCanvas canvas;
    OverlayStatusText = "GGA Sats:12";
    struct Case {
        int quality;
        uint32_t box;
        uint32_t text;
    };
    for (const Case& c : {Case{5, 0x00FFFF, 0}, Case{4, 0x00FF00, 0}, Case{2, 0xFFFF00, 0},
                          Case{0, NoFixRed, 0xFFFFFF}, Case{1, NoFixRed, 0xFFFFFF}}) {
        CurrentFixQuality = c.quality;
        const QImage frame = canvas.RenderFrame();
        // The box's margin left of the text (x 2..7 at the text's mid height) is box colour.
        EXPECT_TRUE(Is(frame, 4, 15, c.box)) << c.quality;
        EXPECT_GT(CountTextIn(frame, QRect(8, 8, 80, 20), c.text, c.box), 10) << c.quality;
    }
}

TEST_F(OverlayTest, StatusBoxCornersAndHitTest) {
    TTavrinCanvas canvas;
    OverlayStatusText = "GGA Sats:12";
    CurrentFixQuality = 4;
    canvas.GGAOverlayPosition = 2;
    const QImage frame = canvas.RenderFrame();
    EXPECT_TRUE(Is(frame, 395, 285, 0x00FF00)); // bottom right
    EXPECT_FALSE(Is(frame, 10, 10, 0x00FF00));
    EXPECT_TRUE(canvas.IsPointInGGAOverlay(395, 285));
    EXPECT_FALSE(canvas.IsPointInGGAOverlay(10, 10));
    canvas.GGAOverlayPosition = 0;
    EXPECT_TRUE(canvas.IsPointInGGAOverlay(10, 10));
    EXPECT_TRUE(canvas.IsPointInGGAOverlay(2, 2)); // the box's corner, edges included
    EXPECT_FALSE(canvas.IsPointInGGAOverlay(1, 2));

    OverlayStatusText.clear();
    EXPECT_FALSE(canvas.IsPointInGGAOverlay(10, 10));
    EXPECT_EQ(Count(canvas.RenderFrame(), 0x00FF00), 0);
}

TEST_F(OverlayTest, AnInvalidHeadingIsHighlightedInRed) {
    TTavrinCanvas canvas;
    OverlayStatusText = "Sats:12 THdg:123.4";
    CurrentFixQuality = 4;
    QImage frame = canvas.RenderFrame();
    EXPECT_EQ(Count(frame, NoFixRed), 0);
    canvas.SetHeadingValid(false);
    frame = canvas.RenderFrame();
    const QRect red = BoundsOf(frame, NoFixRed);
    ASSERT_FALSE(red.isEmpty());
    EXPECT_GT(red.left(), 40);                 // only the heading part, right of "Sats:12 "
    EXPECT_GT(CountTextIn(frame, red, White, NoFixRed), 10); // white text on it
}

TEST_F(OverlayTest, TheDepthAndSpeedReadout) {
    TTavrinCanvas canvas;
    canvas.SetCurrentDepth(12.345, 0, true);
    QImage frame = canvas.RenderFrame();
    // Bottom left: the white box and navy digits.
    const QRect navy = TextBoundsOf(frame, OverlayDepthColor, White);
    ASSERT_FALSE(navy.isEmpty());
    EXPECT_GE(navy.left(), 10);
    EXPECT_GT(navy.top(), 150);
    EXPECT_TRUE(Is(frame, 6, 295, White) || Is(frame, 7, 294, White));

    // Speed alone: black digits, no navy.
    canvas.SetCurrentDepth(0, 0, false);
    canvas.SetCurrentSpeed(6.24, true);
    canvas.BackColor = 0x808080;
    canvas.Refresh();
    frame = canvas.RenderFrame();
    EXPECT_EQ(Count(frame, OverlayDepthColor), 0);
    EXPECT_GT(CountTextIn(frame, frame.rect(), OverlaySpeedColor, White), 50);

    // Top right in mode 2.
    canvas.DepthSpeedDisplayMode = 2;
    frame = canvas.RenderFrame();
    const QRect ink = BoundsOfNot(frame.copy(0, 0, 400, 150), 0x808080);
    EXPECT_GT(ink.left(), 200);
    EXPECT_LT(ink.top(), 10);

    // Neither valid: nothing.
    canvas.SetCurrentSpeed(0, false);
    frame = canvas.RenderFrame();
    EXPECT_EQ(BoundsOfNot(frame.copy(0, 0, 400, 150), 0x808080), QRect());
}

TEST_F(OverlayTest, EventLabelsStayVisibleWhenDepthLabelsAreSwitchedOff) {
    TTavrinCanvas canvas;
    canvas.WorldSet(0, 300, 400, 0);
    canvas.SetDepthLabelSettings(true, 10, "DejaVu Sans", 12, 0xFF0000);
    canvas.AddDepthLabel(100, 150, 12.3);
    canvas.AddEventLabel(300, 150, 42);
    QImage frame = canvas.RenderFrame();
    const QRect depthInk = TextBoundsOf(frame, 0xFF0000, White);
    ASSERT_FALSE(depthInk.isEmpty());
    EXPECT_TRUE(depthInk.contains(100, depthInk.center().y())); // centred on its point
    EXPECT_GT(CountTextIn(frame, frame.rect(), EventLabelColor, White), 20);

    canvas.SetDepthLabelSettings(false, 10, "DejaVu Sans", 12, 0xFF0000);
    frame = canvas.RenderFrame();
    EXPECT_EQ(CountTextIn(frame, frame.rect(), 0xFF0000, White), 0);
    EXPECT_GT(CountTextIn(frame, frame.rect(), EventLabelColor, White), 20);
}

TEST_F(OverlayTest, LabelsFarOffTheClientAreSkipped) {
    TTavrinCanvas canvas;
    canvas.WorldSet(0, 300, 400, 0);
    // A text some 150 pixels wide: centred 60 pixels left of the client it would reach in.
    canvas.SetDepthLabelSettings(true, 10, "DejaVu Sans", 24, 0xFF0000);
    canvas.AddDepthLabel(-60, 150, 1234567.8); // beyond the 50-pixel margin
    canvas.AddDepthLabel(150, 330, 1234567.8); // 30 pixels above: beyond the 20-pixel margin
    const QImage skipped = canvas.RenderFrame().copy();
    EXPECT_EQ(CountTextIn(skipped, skipped.rect(), 0xFF0000, White), 0);
    canvas.AddDepthLabel(-40, 200, 1234567.8); // within the margin: its right part shows
    const QRect ink = TextBoundsOf(canvas.RenderFrame(), 0xFF0000, White);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_EQ(ink.left(), 0);
    EXPECT_LT(ink.right(), 60);
}

// The backgrounds the map takes: white, the light themes' panel grey, the dark theme's, black
// (an operator's choice) and the shallow-water red; with the designed colours and with chosen
// ones that would not read (a yellow depth label, a yellow depth and a silver speed on the
// read-out's white box, a dark blue event number).
TEST_F(OverlayTest, EveryMapTextReadsOnTheBackgroundItIsDrawnOn) {
    struct Colours {
        const char* name;
        uint32_t label, event, depth, speed;
    };
    const Colours designed{"designed", 0, EventLabelColor, OverlayDepthColor, OverlaySpeedColor};
    const Colours chosen{"chosen", 0x00FFFF, 0x400000, 0x00FFFF, 0xC0C0C0};
    for (const Colours& colours : {designed, chosen}) {
        EventLabelColor = colours.event;
        OverlayDepthColor = colours.depth;
        OverlaySpeedColor = colours.speed;
        for (const uint32_t background : {0xFFFFFFu, 0xEFEFEFu, 0x302D2Du, 0x000000u, 0x0000FFu}) {
            TTavrinCanvas canvas;
            canvas.SetBackColor(background);
            canvas.SetDepthLabelSettings(true, 10, "DejaVu Sans", 12, colours.label);
            for (const MapTextReading& reading : MapTextContrasts(canvas))
                EXPECT_GE(reading.Contrast, ReadableTextContrast)
                    << reading.Kind << " on " << std::hex << background << ", " << colours.name
                    << " colours";
        }
    }
}

// Only a colour that does not read moves: one that reads is painted exactly as chosen.
TEST_F(OverlayTest, AChosenTextColourThatReadsIsPaintedAsChosen) {
    TTavrinCanvas canvas;
    canvas.WorldSet(0, 300, 400, 0);
    canvas.SetDepthLabelSettings(true, 10, "DejaVu Sans", 12, 0x008000); // green on white
    EventLabelColor = 0x800080;                                          // purple
    OverlayDepthColor = 0x0000C0;                                        // dark red
    canvas.AddDepthLabel(100, 150, 12.3);
    canvas.AddEventLabel(300, 150, 42);
    canvas.SetCurrentDepth(12.34, 0, true);
    QImage frame = canvas.RenderFrame();
    EXPECT_GT(Count(frame, 0x008000), 5);
    EXPECT_GT(Count(frame, 0x800080), 20);
    EXPECT_GT(Count(frame, 0x0000C0), 50);

    // On the shallow-water red the purple number and the green label no longer read; the white
    // read-out box keeps its dark red digits.
    canvas.SetBackColor(0x0000FF);
    frame = canvas.RenderFrame();
    EXPECT_EQ(Count(frame, 0x008000), 0);
    EXPECT_EQ(Count(frame, 0x800080), 0);
    EXPECT_GT(Count(frame, 0x0000C0), 50);
    for (const MapTextReading& reading : MapTextContrasts(canvas))
        EXPECT_GE(reading.Contrast, ReadableTextContrast) << reading.Kind;
}

TEST_F(OverlayTest, CachedLabelsPaintTheSamePixelsAsDirectText) {
    TTavrinCanvas canvas;
    canvas.WorldSet(0, 300, 400, 0);
    canvas.SetDepthLabelSettings(true, 5, "DejaVu Sans", 12, 0x008000);
    for (int i = 0; i < 20; ++i)
        canvas.AddDepthLabel(15 + i * 19, 40 + (i % 5) * 50, 1.25 * i);
    canvas.AddEventLabel(200, 20, 17);
    const QImage cached = canvas.RenderFrame().copy();

    // The same overlays drawn glyph by glyph through the painter, on a widget-like device.
    QImage direct = canvas.BackBuffer.copy();
    {
        QPainter painter(&direct);
        painter.setClipRect(direct.rect()); // a clip takes the painter's own path
        PaintCanvas paint(painter, canvas.BackColor);
        CanvasRenderer::DrawOverlays(canvas, paint);
    }
    EXPECT_EQ(cached, direct);
}

} // namespace
