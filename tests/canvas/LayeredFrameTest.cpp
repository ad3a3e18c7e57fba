// The map's kept back buffer (the shapes under the vessel layer, new track painted onto it)
// against a frame painted from nothing, pixel for pixel, through a survey that does what a day
// does to the map: the vessel replaced at every tick, track lines or points joining after it,
// depth and event labels, a selection, the view changed, the vessel sent under everything,
// a text in view, a layer hidden, old track thinned away.
#include "canvas/CanvasRenderer.h"
#include "canvas/TTavrinCanvas.h"
#include "canvas/VesselSymbol.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPaintEvent>
#include <QPixmap>
#include <QScreen>

#include <cmath>
#include <string>
#include <vector>

namespace {

struct SurveyCase {
    const char* what;
    bool trackAsLines;
    // 0 under the shapes, 1 over them.
    int gridOnTop;
    // The vessel layer opened before the track layers, or after them.
    bool vesselLayerFirst;
};

class LayeredFrame : public ::testing::TestWithParam<SurveyCase> {};

// Where the vessel is at a tick: back and forth along lines 20 m apart.
struct Fix {
    double east, north, heading;
};
Fix FixAt(int tick) {
    const int line = tick / 40;
    const double along = (tick % 40) * 6.0;
    const bool east = line % 2 == 0;
    return {east ? along : 240 - along, line * 20.0, east ? 90.0 : 270.0};
}

TEST_P(LayeredFrame, EveryFrameEqualsAFrameBuiltFromNothing) {
    const SurveyCase& c = GetParam();
    TTavrinCanvas canvas;
    canvas.resize(320, 240);
    canvas.WorldSet(-40, 200, 280, -40);
    canvas.GridVisible = true;
    canvas.GridOnTop = c.gridOnTop;
    int vessel = -1;
    if (c.vesselLayerFirst)
        vessel = canvas.LayerOpen(QStringLiteral("~~Tavrin Vessel"));
    const int fix = canvas.LayerOpen(QStringLiteral("track_fix"));
    const int floating = canvas.LayerOpen(QStringLiteral("track_float"));
    if (!c.vesselLayerFirst)
        vessel = canvas.LayerOpen(QStringLiteral("~~Tavrin Vessel"));
    const int drawing = canvas.LayerOpen(QStringLiteral("Default"));
    canvas.SetLayerPenFg(fix, 0x008000);
    canvas.SetLayerPenWidth(fix, 2);
    canvas.SetLayerPenFg(floating, 0x00C0C0);
    canvas.SetLayerPenFg(vessel, 0x800000);
    canvas.SetLayerPenWidth(vessel, 2);
    canvas.LiveLayerId = vessel;
    // The operator's drawing under the survey: a polygon, a circle and a few points, which
    // the point thinning carries on from into the track's points.
    canvas.DrawPolyline({{0, 0}, {120, 30}, {60, 150}}, drawing, true);
    canvas.DrawCircle(200, 100, 30, drawing);
    for (int i = 0; i < 5; ++i)
        canvas.DrawPoint(230 + i * 0.3, 140, drawing);
    canvas.SetDepthLabelSettings(true, 15, QStringLiteral("DejaVu Sans"), 9, 0x000080);
    canvas.AddEventLabel(100, 100, 7);

    const VesselShape shape{2, 4, 6, 5, 18};
    std::vector<int32_t> track;
    Fix last = FixAt(0);
    int32_t text = -1;
    // The frame from nothing paints its texts from a cache of its own, as the control does.
    TextImageCache texts;
    QImage whole;
    for (int tick = 1; tick <= 260; ++tick) {
        const Fix at = FixAt(tick);
        DrawVesselSymbol(canvas, vessel, shape, at.east, at.north, at.heading, 0x800000, 2);
        const int layer = (tick / 25) % 4 == 3 ? floating : fix;
        track.push_back(c.trackAsLines
                            ? canvas.DrawLine(at.east, at.north, last.east, last.north, layer)
                            : canvas.DrawPoint(at.east, at.north, layer));
        last = at;
        if (tick % 3 == 0)
            canvas.AddDepthLabel(at.east, at.north, 4.0 + tick * 0.05);
        canvas.SetCurrentDepth(4.0 + tick * 0.05, 0, true);
        switch (tick) {
        case 60: // a selection shows in the selection colour
            canvas.ShapeSelect(track[10], false);
            canvas.ShapeSelect(track[11], true);
            break;
        case 90: // the view moves
            canvas.WorldPan(15.5, -7.25);
            break;
        case 110: // the view zooms
            canvas.WorldZoom(0, 0.8, 120, 80);
            break;
        case 130: // the vessel sent under everything: every shape lies over it now
            canvas.ShapeToBack(canvas.Shapes[canvas.Shapes.size() - 2]->Id);
            break;
        case 150: // a text in view: texts go over every other shape
            text = canvas.TextAdd(drawing, QStringLiteral("Buoy"), at.east + 10, at.north, 0);
            break;
        case 170:
            canvas.ShapeDelete(text);
            canvas.Refresh();
            break;
        case 190: // a track layer hidden and shown again
            canvas.SetLayerVisible(floating, false);
            break;
        case 200:
            canvas.SetLayerVisible(floating, true);
            break;
        case 220: { // the oldest track thinned away, as the recorder does past its cap
            const std::vector<int32_t> oldest(track.begin(), track.begin() + 40);
            canvas.ShapesDelete(oldest);
            track.erase(track.begin(), track.begin() + 40);
            break;
        }
        default:
            // A spell of following the vessel: the view pans at every tick.
            if (tick > 230 && tick < 245)
                canvas.WorldPan(1.5, 0.75);
            break;
        }
        const QImage frame = canvas.RenderFrame().copy();
        CanvasRenderer::RenderWholeFrame(canvas, whole, &texts);
        ASSERT_EQ(frame, whole) << c.what << ": tick " << tick;
    }
    // The quiet ticks only added to the kept image (until the vessel went under everything):
    // a rebuild for each change above and the ticks with the text in view, not one per tick.
    EXPECT_GT(canvas.BackBufferCache.Additions, 100u) << c.what;
    EXPECT_LT(canvas.BackBufferCache.Rebuilds, 60u) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Surveys, LayeredFrame,
    ::testing::Values(SurveyCase{"lines, grid under, vessel layer first", true, 0, true},
                      SurveyCase{"lines, grid over, vessel layer last", true, 1, false},
                      SurveyCase{"points, grid under, vessel layer last", false, 0, false},
                      SurveyCase{"points, grid over, vessel layer first", false, 1, true}));

TEST(LayeredFrameCache, ShapesOfTheLiveLayerAndAfterItNeverRebuildTheKeptImage) {
    TTavrinCanvas canvas;
    canvas.resize(200, 150);
    canvas.WorldSet(0, 150, 200, 0);
    const int track = canvas.LayerOpen(QStringLiteral("track_fix"));
    const int vessel = canvas.LayerOpen(QStringLiteral("~~Tavrin Vessel"));
    canvas.LiveLayerId = vessel;
    canvas.DrawLine(0, 0, 50, 50, track);
    canvas.RenderFrame();
    const uint64_t rebuilds = canvas.BackBufferCache.Rebuilds;
    for (int tick = 0; tick < 20; ++tick) {
        canvas.CadClearShapes(vessel);
        canvas.DrawCircle(60 + tick, 60, 5, vessel);
        canvas.DrawLine(50 + tick, 50, 51 + tick, 50, track);
        EXPECT_TRUE(canvas.BackBufferStale());
        canvas.RenderFrame();
        EXPECT_FALSE(canvas.BackBufferStale());
    }
    EXPECT_EQ(canvas.BackBufferCache.Rebuilds, rebuilds);
    EXPECT_EQ(canvas.BackBufferCache.Additions, 19u);
}

// Records the area of each paint Qt delivers.
class PaintAreaCanvas : public TTavrinCanvas {
public:
    std::vector<long> Areas;

protected:
    void paintEvent(QPaintEvent* event) override {
        long area = 0;
        for (const QRect& rect : event->region())
            area += long(rect.width()) * rect.height();
        Areas.push_back(area);
        TTavrinCanvas::paintEvent(event);
    }
};

// The posted request to show the changes and the paint Qt then sends: a pass each, and one
// more to show that nothing else follows.
void DeliverPaints() {
    for (int pass = 0; pass < 3; ++pass)
        QApplication::processEvents();
}

// What the screen holds of the control, as the platform shows it.
QImage OnScreen(QWidget& widget) {
    return widget.screen()->grabWindow(widget.winId()).toImage().convertToFormat(QImage::Format_RGB32);
}

TEST(LayeredFrameOnScreen, TheScreenShowsEveryFrameWhileAQuietTickPaintsOnlyWhatChanged) {
    PaintAreaCanvas canvas;
    canvas.resize(480, 320);
    canvas.show();
    DeliverPaints();
    canvas.WorldSet(-40, 200, 280, -40);
    canvas.GridVisible = true;
    const int fix = canvas.LayerOpen(QStringLiteral("track_fix"));
    const int vessel = canvas.LayerOpen(QStringLiteral("~~Tavrin Vessel"));
    canvas.SetLayerPenFg(fix, 0x008000);
    canvas.SetLayerPenFg(vessel, 0x800000);
    canvas.LiveLayerId = vessel;
    canvas.SetDepthLabelSettings(true, 15, QStringLiteral("DejaVu Sans"), 9, 0x000080);
    const VesselShape shape{2, 4, 6, 5, 18};
    TextImageCache texts;
    QImage whole;
    Fix last = FixAt(0);
    const long client = 480L * 320L;
    int quietTicks = 0, followingTicks = 0;
    for (int tick = 1; tick <= 80; ++tick) {
        const Fix at = FixAt(tick);
        // Ticks 31 to 50 follow the vessel: the view pans at each.
        const bool following = tick > 30 && tick <= 50;
        if (following)
            canvas.WorldPan(at.east - last.east, at.north - last.north);
        canvas.CadClearShapes(vessel);
        DrawVesselSymbol(canvas, vessel, shape, at.east, at.north, at.heading, 0x800000, 2);
        canvas.DrawLine(at.east, at.north, last.east, last.north, fix);
        if (tick % 3 == 0)
            canvas.AddDepthLabel(at.east, at.north, 4.0 + tick * 0.05);
        canvas.SetCurrentDepth(4.0 + tick * 0.05, 0, true);
        last = at;
        canvas.Areas.clear();
        DeliverPaints();
        CanvasRenderer::RenderWholeFrame(canvas, whole, &texts);
        ASSERT_EQ(OnScreen(canvas), whole) << "tick " << tick;
        ASSERT_FALSE(canvas.Areas.empty()) << "tick " << tick;
        long painted = 0;
        for (const long area : canvas.Areas)
            painted += area;
        // A quiet tick shows again the vessel's and the read-out's corners of the map, and the
        // newest track; the grid lines and the older track stay as they are on the screen. The
        // first ticks and the first after the view stood still again build the kept image.
        if (!following && tick > 2 && tick != 51) {
            EXPECT_LT(painted, client / 2) << "tick " << tick;
            ++quietTicks;
        } else if (following) {
            ++followingTicks;
        }
    }
    EXPECT_EQ(quietTicks, 57);
    EXPECT_EQ(followingTicks, 20);
}

} // namespace
