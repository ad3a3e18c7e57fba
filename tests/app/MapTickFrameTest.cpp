// What the map tick puts on the screen: frames rendered by the real map control offscreen,
// sampled where the control's own world-to-screen transform puts the vessel and the track.
#include "StartedProgram.h"

#include "app/settings_windows/TFShape.h"
#include "app/survey_windows/AcquisitionSession.h"
#include "canvas/CanvasRenderer.h"
#include "canvas/MapDisplaySettings.h"
#include "canvas/TTavrinCanvas.h"
#include "canvas/VesselSymbol.h"
#include "platform/Clock.h"
#include "platform/ColorValue.h"

#include <QImage>

#include <cmath>
#include <utility>
#include <vector>

namespace {

// Colours no overlay, grid or background of the test uses (0x00BBGGRR).
constexpr uint32_t VesselBgr = 0xFF0000; // blue
constexpr uint32_t TrackBgr = 0xFF00FF;  // magenta
constexpr uint32_t FloatBgr = 0x00FFFF;  // yellow
constexpr double MetresPerPixel = 0.5;

class MapTickFrame : public StartedProgram {
protected:
    void SetUp() override {
        StartedProgram::SetUp();
        const QString navigation = QStringLiteral("NAVIGATION_SETTINGS");
        writeSetting(navigation, "VesselColor", QString::number(VesselBgr));
        writeSetting(navigation, "ColorTracklines1", QString::number(TrackBgr));
        writeSetting(navigation, "ColorTracklines0", QString::number(FloatBgr));
        writeSetting(navigation, "BackgroundColor", QString::number(0xFFFFFF));
        writeSetting(navigation, "VesselWidth", "3");
        writeSetting(navigation, "TrackWidth", "3");
        writeSetting(navigation, "TrackDistance", "20");
        writeSetting(navigation, "cLineOrDot", "1");
        const QString shape = QStringLiteral("VESSEL_SHAPE");
        writeSetting(shape, "Number of circles", "2");
        writeSetting(shape, "Cirecle offset interval", "5");
        writeSetting(shape, "Radious of first circle", "10");
        writeSetting(shape, "Arrow length to bow", "60");
        writeSetting(shape, "Left right offset of arrow", "10");
        start();
    }

    // A view of the whole control at a known scale, centred on (east, north).
    void ViewAround(double east, double north) {
        const double halfWidth = FNav->fcad->width() * MetresPerPixel / 2;
        const double halfHeight = FNav->fcad->height() * MetresPerPixel / 2;
        FNav->fcad->WorldSet(east - halfWidth, north + halfHeight, east + halfWidth,
                             north - halfHeight);
    }

    void GiveFix(double easting, double northing, int quality = 4) {
        PositionRecord& record = FNav->Acquisition->Core().Position;
        record.HasGga = true;
        record.Latitude = 40.5;
        record.Longitude = 33.25;
        record.Projected = true;
        record.Easting = easting;
        record.Northing = northing;
        record.Convergence = 0;
        record.FixQuality = quality;
        record.GgaTick = Clock::tickCount();
    }

    std::pair<int, int> Screen(double east, double north) const {
        int x = 0;
        int y = 0;
        FNav->fcad->WorldToScreen(east, north, x, y);
        return {x, y};
    }

    static uint32_t Rgb(uint32_t bgr) { return ColorFromBgr(bgr).rgb() & 0xFFFFFFu; }
    static uint32_t PixelAt(const QImage& frame, std::pair<int, int> p) {
        return frame.pixel(p.first, p.second) & 0xFFFFFFu;
    }
    static bool Inside(const QImage& frame, std::pair<int, int> p) {
        return p.first >= 0 && p.second >= 0 && p.first < frame.width() && p.second < frame.height();
    }
};

} // namespace

TEST_F(MapTickFrame, TheBowLineIsPaintedInTheVesselColourAndTheTrackInTheTrackColour) {
    ASSERT_GT(FNav->fcad->width(), 300);
    ASSERT_GT(FNav->fcad->height(), 200);
    // Along a line to the east, 30 m between fixes: every fix is a track point.
    const double north = 4500200;
    std::vector<double> eastings;
    for (int k = 0; k <= 8; ++k)
        eastings.push_back(500000 + 30.0 * k);
    ViewAround(eastings.back(), north);
    for (double east : eastings) {
        GiveFix(east, north);
        FNav->tMapTimer();
    }
    const QImage frame = FNav->fcad->RenderFrame().copy();

    // The vessel heads grid north (no course, no convergence): the bow line runs up the screen
    // from the vessel. Samples along it, and beside it where nothing is drawn.
    const VesselSymbolGeometry symbol =
        VesselSymbolAt(FShape->Shape(), eastings.back(), north, 0.0);
    ASSERT_DOUBLE_EQ(symbol.FY, north + 60);
    for (double t : {0.4, 0.55, 0.7, 0.9}) {
        const double y = symbol.PY + t * (symbol.FY - symbol.PY);
        const auto onBow = Screen(symbol.PX, y);
        ASSERT_TRUE(Inside(frame, onBow));
        EXPECT_EQ(PixelAt(frame, onBow), Rgb(VesselBgr)) << "bow at " << t;
        const auto beside = Screen(symbol.PX + 20 * MetresPerPixel, y);
        EXPECT_NE(PixelAt(frame, beside), Rgb(VesselBgr)) << "beside the bow at " << t;
    }

    // Every segment away from the symbol's circles (radius at most 15 m) has the track colour
    // along it, and nothing of it a few pixels to the side.
    int sampled = 0;
    for (size_t k = 1; k < eastings.size(); ++k) {
        for (double t : {0.25, 0.5, 0.75}) {
            const double east = eastings[k - 1] + t * (eastings[k] - eastings[k - 1]);
            if (std::fabs(east - eastings.back()) < 20)
                continue;
            const auto onTrack = Screen(east, north);
            ASSERT_TRUE(Inside(frame, onTrack));
            EXPECT_EQ(PixelAt(frame, onTrack), Rgb(TrackBgr)) << "track at " << east;
            const auto off = Screen(east, north + 8 * MetresPerPixel);
            EXPECT_NE(PixelAt(frame, off), Rgb(TrackBgr)) << "beside the track at " << east;
            ++sampled;
        }
    }
    EXPECT_GE(sampled, 20);
}

TEST_F(MapTickFrame, ARunWithoutAPositionPaintsNothingNearTheProjectionOfZeroZero) {
    ViewAround(0, 0);
    const QImage before = FNav->fcad->RenderFrame().copy();
    const auto origin = Screen(0, 0);
    ASSERT_TRUE(Inside(before, origin));

    // Depths arrive all along, so a depth label would show wherever the tick thought the
    // vessel was. Before the first GGA; a GGA whose projection failed; one without a fix at
    // 0 N 0 E; a fix whose GGA is too old by now.
    const bool labelsShown = ShowDepthLabels;
    ShowDepthLabels = true;
    FNav->Acquisition->State().TrueDepthHigh = 7.46;
    FNav->tMapTimer();
    PositionRecord& record = FNav->Acquisition->Core().Position;
    GiveFix(0, 0);
    record.Projected = false;
    FNav->tMapTimer();
    GiveFix(0, 0, 0);
    record.Latitude = 0;
    record.Longitude = 0;
    FNav->tMapTimer();
    GiveFix(0, 0);
    record.GgaTick = Clock::tickCount() - 10000;
    FNav->tMapTimer();
    FNav->tMapTimer();
    ShowDepthLabels = labelsShown;
    ASSERT_EQ(Screen(0, 0), origin) << "nothing panned the view";
    EXPECT_TRUE(FNav->fcad->DepthLabels.empty());
    const QImage after = FNav->fcad->RenderFrame().copy();

    // Around the origin, as far as the bow line and the circles would reach: the frame is the
    // one painted before any tick, and no pixel anywhere has a vessel or track colour.
    const int reach = int(70 / MetresPerPixel);
    int compared = 0;
    for (int y = origin.second - reach; y <= origin.second + reach; ++y)
        for (int x = origin.first - reach; x <= origin.first + reach; ++x) {
            if (!Inside(after, {x, y}))
                continue;
            ASSERT_EQ(PixelAt(after, {x, y}), PixelAt(before, {x, y})) << x << ", " << y;
            ++compared;
        }
    EXPECT_GT(compared, reach * reach);
    for (int y = 0; y < after.height(); ++y)
        for (int x = 0; x < after.width(); ++x) {
            const uint32_t pixel = PixelAt(after, {x, y});
            ASSERT_TRUE(pixel != Rgb(VesselBgr) && pixel != Rgb(TrackBgr) && pixel != Rgb(FloatBgr))
                << x << ", " << y;
        }
}

TEST_F(MapTickFrame, EveryTicksFrameEqualsAFrameBuiltFromNothing) {
    // A survey run through the real tick: lines 40 m apart with depth labels, float spells,
    // the operator's selection, and the view changed by hand, followed and left alone. Every
    // frame the control shows, from its kept image under the vessel, is the frame painted from
    // nothing.
    const bool labelsShown = ShowDepthLabels;
    const bool following = FollowVessel;
    ShowDepthLabels = true;
    FollowVessel = false;
    TTavrinCanvas& map = *FNav->fcad;
    const double east0 = 500000, north0 = 4500000;
    ViewAround(east0 + 100, north0 + 60);
    TextImageCache texts;
    QImage whole;
    for (int tick = 0; tick < 180; ++tick) {
        const int line = tick / 30;
        const double along = (tick % 30) * 7.0;
        GiveFix(east0 + (line % 2 == 0 ? along : 203 - along), north0 + line * 40.0,
                (tick / 20) % 3 == 2 ? 5 : 4);
        FNav->Acquisition->State().TrueDepthHigh = 5 + 0.1 * tick;
        FNav->tMapTimer();
        if (tick == 50)
            map.ShapeSelect(map.Shapes[3]->Id, false);
        if (tick == 80)
            map.WorldZoom(0, 1.3, east0 + 60, north0 + 60);
        if (tick == 100)
            FollowVessel = true;
        if (tick == 140)
            FollowVessel = false;
        const QImage frame = map.RenderFrame().copy();
        CanvasRenderer::RenderWholeFrame(map, whole, &texts);
        ASSERT_EQ(frame, whole) << "tick " << tick;
    }
    EXPECT_FALSE(map.DepthLabels.empty());
    // Without following, the ticks painted the new track onto the kept image.
    EXPECT_GT(map.BackBufferCache.Additions, 20u);
    ShowDepthLabels = labelsShown;
    FollowVessel = following;
}
