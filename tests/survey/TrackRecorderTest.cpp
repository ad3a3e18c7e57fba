#include "survey/TrackRecorder.h"

#include "canvas/CanvasModel.h"
#include "canvas/TTLine.h"
#include "canvas/TTPoint.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

class TrackRecorderTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"track_fix", "track_float", "track_nofix", "other"})
            canvas.LayerOpen(QString::fromLatin1(name));
    }

    int Layer(const char* name) const { return canvas.LayerFindByName(QString::fromLatin1(name)); }

    std::vector<const TTShape*> ShapesOn(const char* name) const {
        std::vector<const TTShape*> found;
        const int layer = Layer(name);
        for (const auto& shape : canvas.Shapes)
            if (shape->LayerId == layer)
                found.push_back(shape.get());
        return found;
    }

    CanvasModel canvas;
    TrackSettings settings;
};

} // namespace

TEST_F(TrackRecorderTest, APointEveryFourthFiveMetreStepAtTwentyMetres) {
    TrackRecorder track;
    for (int step = 0; step <= 12; ++step)
        track.Offer(canvas, 500000.0 + 5.0 * step, 4500000.0, 4, settings);
    const auto lines = ShapesOn("track_fix");
    ASSERT_EQ(lines.size(), 3u);
    const auto* first = static_cast<const TTLine*>(lines[0]);
    EXPECT_DOUBLE_EQ(first->X1, 500020.0); // from the new position back to the last point
    EXPECT_DOUBLE_EQ(first->X2, 500000.0);
    EXPECT_EQ(first->PenFg, settings.colourFix);
}

TEST_F(TrackRecorderTest, LayerAndColourFollowTheFixQuality) {
    const struct {
        int quality;
        const char* layer;
        uint32_t colour;
    } cases[] = {{4, "track_fix", settings.colourFix},     {5, "track_float", settings.colourFloat},
                 {2, "track_float", settings.colourFloat}, {3, "track_float", settings.colourFloat},
                 {1, "track_nofix", 0x0000FF},             {0, "track_nofix", 0x0000FF}};
    for (const auto& c : cases) {
        EXPECT_STREQ(TrackRecorder::LayerNameFor(c.quality), c.layer);
        EXPECT_EQ(TrackRecorder::ColourFor(c.quality, settings), c.colour);
    }
    TrackRecorder track;
    track.Offer(canvas, 0, 100, 5, settings);
    track.Offer(canvas, 0, 130, 5, settings);
    track.Offer(canvas, 0, 160, 1, settings);
    EXPECT_EQ(ShapesOn("track_float").size(), 1u);
    EXPECT_EQ(ShapesOn("track_nofix").size(), 1u);
    EXPECT_TRUE(ShapesOn("other").empty());
}

TEST_F(TrackRecorderTest, AChangedColourOrWidthTakesTheTrackAlreadyDrawnAlong) {
    TrackRecorder track;
    for (int step = 0; step <= 3; ++step)
        track.Offer(canvas, 100.0 * step, 0, 4, settings);
    ASSERT_EQ(ShapesOn("track_fix").size(), 3u);
    settings.colourFix = 0x123456;
    settings.width = 4;
    track.Offer(canvas, 400, 0, 4, settings);
    ASSERT_EQ(ShapesOn("track_fix").size(), 4u);
    for (const TTShape* shape : ShapesOn("track_fix")) {
        EXPECT_EQ(shape->PenFg, 0x123456u);
        EXPECT_EQ(shape->PenWidth, 4);
    }
}

TEST_F(TrackRecorderTest, PointModeDrawsSinglePoints) {
    settings.asLines = false;
    TrackRecorder track;
    track.Offer(canvas, 10, 10, 4, settings);
    track.Offer(canvas, 40, 10, 4, settings);
    const auto points = ShapesOn("track_fix");
    ASSERT_EQ(points.size(), 1u);
    EXPECT_EQ(points[0]->Class(), ShapeClass::Point);
}

TEST_F(TrackRecorderTest, AMissingLayerIsSkippedButTheVesselStillMovesOn) {
    TrackRecorder track;
    track.Offer(canvas, 0, 0.5, 4, settings);
    canvas.CadClearShapes(-1);
    // No layer by that name: nothing drawn, and the next point is measured from here.
    CanvasModel bare;
    track.Offer(bare, 0, 30, 4, settings);
    track.Offer(canvas, 0, 40, 4, settings);
    EXPECT_TRUE(ShapesOn("track_fix").empty());
    track.Offer(canvas, 0, 60, 4, settings);
    ASSERT_EQ(ShapesOn("track_fix").size(), 1u);
    EXPECT_DOUBLE_EQ(static_cast<const TTLine*>(ShapesOn("track_fix")[0])->Y2, 30.0);
}

TEST_F(TrackRecorderTest, ABrokenChainStartsAfreshInsteadOfJoiningTheGap) {
    TrackRecorder track;
    track.Offer(canvas, 0, 0.5, 4, settings);
    track.Offer(canvas, 0, 30, 4, settings);
    ASSERT_EQ(ShapesOn("track_fix").size(), 1u);
    track.BreakChain(); // Stop and Start, or a spell without position
    track.Offer(canvas, 5000, 5000, 4, settings);
    EXPECT_EQ(ShapesOn("track_fix").size(), 1u);
    track.Offer(canvas, 5000, 5030, 4, settings);
    const auto lines = ShapesOn("track_fix");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_DOUBLE_EQ(static_cast<const TTLine*>(lines[1])->Y2, 5000.0);
}

TEST_F(TrackRecorderTest, NonFiniteOrDistanceZeroPositions) {
    settings.distance = 0;
    TrackRecorder track;
    track.Offer(canvas, NAN, 1, 4, settings);
    track.Offer(canvas, 1, 1, 4, settings);
    track.Offer(canvas, 1, 1, 4, settings); // distance 0 draws at every tick, also standing still
    track.Offer(canvas, 1, INFINITY, 4, settings);
    EXPECT_EQ(ShapesOn("track_fix").size(), 1u);
}

TEST_F(TrackRecorderTest, ThinnedLinesStayWithinTheCapAndContinuousFromFirstToLast) {
    const size_t cap = 1000;
    TrackRecorder track(cap);
    settings.distance = 0;
    const int fixes = 50000;
    for (int i = 0; i < fixes; ++i) {
        // A quality change every 700 fixes puts stretches on two layers.
        const int quality = (i / 700) % 2 ? 5 : 4;
        track.Offer(canvas, i * 3.0, std::sin(i * 0.001) * 100.0, quality, settings);
        ASSERT_LE(track.ShapeCount(), cap);
    }
    // Every track shape is a line; follow them from the first point: each starts where the
    // previous one ends, the first at fix 0 and the last at the final fix.
    std::vector<const TTLine*> lines;
    for (const auto& shape : canvas.Shapes)
        if (shape->Class() == ShapeClass::Line)
            lines.push_back(static_cast<const TTLine*>(shape.get()));
    EXPECT_EQ(lines.size(), track.ShapeCount());
    std::sort(lines.begin(), lines.end(), [](const TTLine* a, const TTLine* b) { return a->X2 < b->X2; });
    EXPECT_DOUBLE_EQ(lines.front()->X2, 0.0);
    EXPECT_DOUBLE_EQ(lines.back()->X1, (fixes - 1) * 3.0);
    for (size_t k = 1; k < lines.size(); ++k) {
        ASSERT_DOUBLE_EQ(lines[k]->X2, lines[k - 1]->X1) << k;
        ASSERT_DOUBLE_EQ(lines[k]->Y2, lines[k - 1]->Y1) << k;
    }
}

TEST_F(TrackRecorderTest, ThinnedPointsKeepTheFirstAndLast) {
    const size_t cap = 500;
    TrackRecorder track(cap);
    settings.distance = 0;
    settings.asLines = false;
    for (int i = 0; i < 20000; ++i)
        track.Offer(canvas, i, 0, 4, settings);
    EXPECT_LE(track.ShapeCount(), cap);
    double first = 1e9, last = -1;
    for (const auto& shape : canvas.Shapes) {
        const auto* point = static_cast<const TTPoint*>(shape.get());
        first = std::min(first, point->X);
        last = std::max(last, point->X);
    }
    EXPECT_DOUBLE_EQ(first, 1.0); // the chain's first position is only a start, not a point
    EXPECT_DOUBLE_EQ(last, 19999.0);
}

TEST_F(TrackRecorderTest, ClearedTrackLayersAreForgottenNotDeletedAgain) {
    const size_t cap = 100;
    TrackRecorder track(cap);
    settings.distance = 0;
    for (int i = 0; i < 90; ++i)
        track.Offer(canvas, i, 0, 4, settings);
    canvas.CadClearShapesByLayerName("track_fix");
    // The operator's own shapes reuse nothing of the track, and survive the next thinning.
    const int other = Layer("other");
    for (int i = 0; i < 50; ++i)
        canvas.DrawPoint(i, 1, other);
    for (int i = 90; i < 400; ++i)
        track.Offer(canvas, i, 0, 4, settings);
    EXPECT_EQ(ShapesOn("other").size(), 50u);
    EXPECT_LE(track.ShapeCount(), cap);
}
