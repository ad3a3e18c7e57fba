#include "RenderTestImages.h"

#include "canvas/TTavrinCanvas.h"
#include "canvas/VesselSymbol.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace RenderTestImages;

namespace {

constexpr double Tol = 1e-9;
constexpr uint32_t White = 0xFFFFFF;
constexpr uint32_t Blue = 0xFF0000;

// The window's designed shape: 2 circles of 10 and 20, bow 100, sides 10.
const VesselShape Designed{2, 10, 10, 10, 100};

void ExpectPoint(double x, double y, double ex, double ey, const char* what) {
    EXPECT_NEAR(x, ex, Tol) << what;
    EXPECT_NEAR(y, ey, Tol) << what;
}

} // namespace

TEST(VesselSymbolWorld, PointsForEachHeading) {
    const double d = 100 * std::sqrt(0.5); // bow 100 at 45 degrees
    const double s = 10 * std::sqrt(0.5);  // side 10 at 45 degrees
    const struct {
        double heading;
        double fx, fy, rx, ry, qx, qy;
    } cases[] = {
        {0, 1000, 2100, 1010, 2000, 990, 2000},
        {45, 1000 + d, 2000 + d, 1000 + s, 2000 - s, 1000 - s, 2000 + s},
        {90, 1100, 2000, 1000, 1990, 1000, 2010},
        {180, 1000, 1900, 990, 2000, 1010, 2000},
        {270, 900, 2000, 1000, 2010, 1000, 1990},
        {-90, 900, 2000, 1000, 2010, 1000, 1990},
        {450, 1100, 2000, 1000, 1990, 1000, 2010},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.heading);
        const VesselSymbolGeometry g = VesselSymbolAt(Designed, 1000, 2000, c.heading);
        ExpectPoint(g.PX, g.PY, 1000, 2000, "P");
        ExpectPoint(g.FX, g.FY, c.fx, c.fy, "F");
        ExpectPoint(g.RX, g.RY, c.rx, c.ry, "R");
        ExpectPoint(g.QX, g.QY, c.qx, c.qy, "Q");
        // P-F, P-R, P-Q, F-R, F-Q, in this order.
        const double ends[5][4] = {{1000, 2000, c.fx, c.fy},
                                   {1000, 2000, c.rx, c.ry},
                                   {1000, 2000, c.qx, c.qy},
                                   {c.fx, c.fy, c.rx, c.ry},
                                   {c.fx, c.fy, c.qx, c.qy}};
        for (int i = 0; i < 5; ++i) {
            ExpectPoint(g.Lines[i].X1, g.Lines[i].Y1, ends[i][0], ends[i][1], "line start");
            ExpectPoint(g.Lines[i].X2, g.Lines[i].Y2, ends[i][2], ends[i][3], "line end");
        }
        ASSERT_EQ(g.CircleRadii.size(), 2u);
        EXPECT_NEAR(g.CircleRadii[0], 10, Tol);
        EXPECT_NEAR(g.CircleRadii[1], 20, Tol);
    }
}

TEST(VesselSymbolWorld, CirclesAndSideLengths) {
    VesselShape shape{0, 2.5, 10, 0, 100};
    EXPECT_TRUE(VesselSymbolAt(shape, 1000, 2000, 90).CircleRadii.empty());
    shape.CircleCount = -3;
    EXPECT_TRUE(VesselSymbolAt(shape, 1000, 2000, 90).CircleRadii.empty());
    shape.CircleCount = 1;
    EXPECT_EQ(VesselSymbolAt(shape, 1000, 2000, 90).CircleRadii, std::vector<double>{10});
    shape.CircleCount = 3;
    EXPECT_EQ(VesselSymbolAt(shape, 1000, 2000, 90).CircleRadii,
              (std::vector<double>{10, 12.5, 15}));
    // A count past the cap draws the cap: the map redraws every circle on every tick.
    shape.CircleCount = 1000000000;
    EXPECT_EQ(VesselSymbolAt(shape, 1000, 2000, 90).CircleRadii.size(),
              size_t(MaxVesselCircles));

    // Sides of 0 (the stored default): starboard and port points sit on the vessel.
    const VesselSymbolGeometry g = VesselSymbolAt(shape, 1000, 2000, 90);
    ExpectPoint(g.RX, g.RY, 1000, 2000, "R");
    ExpectPoint(g.QX, g.QY, 1000, 2000, "Q");
    ExpectPoint(g.FX, g.FY, 1100, 2000, "F");
}

namespace {

// A 400 x 400 white map at `pixelsPerMetre`, with world (0, 0) at the bottom-left corner; the
// vessel goes at world (200, 200) / pixelsPerMetre, which is pixel (200, 200).
struct PixelMap {
    explicit PixelMap(double pixelsPerMetre) : scale(pixelsPerMetre) {
        canvas.resize(400, 400);
        canvas.Resize(400, 400);
        canvas.SetBackColor(White);
        const double size = 400 / scale;
        canvas.WorldSet(0, size, size, 0);
        layer = canvas.LayerOpen(QStringLiteral("~~Tavrin Vessel"));
    }
    void draw(double easting, double northing) {
        DrawVesselSymbol(canvas, layer, shape, easting, northing, 0, Blue, 1);
    }
    double vesselE() const { return 200 / scale; }

    TTavrinCanvas canvas;
    double scale;
    int layer = -1;
    // Circles of 20 and 35 m, sides 25 m, bow 80 m.
    VesselShape shape{2, 15, 20, 25, 80};
};

// A line one pixel wide may step to either neighbour of the exact point.
bool BlueNear(const QImage& frame, int x, int y) {
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (Is(frame, x + dx, y + dy, Blue))
                return true;
    return false;
}

int Px(double value) {
    return static_cast<int>(value); // world to pixel truncates
}

} // namespace

TEST(VesselSymbolPixels, LinesAndCirclesAtThreeScales) {
    for (const double s : {1.0, 2.0, 0.5}) {
        SCOPED_TRACE(s);
        PixelMap map(s);
        map.draw(map.vesselE(), map.vesselE());
        const QImage frame = map.canvas.RenderFrame().copy();
        // The vessel's pixel.
        EXPECT_TRUE(Is(frame, 200, 200, Blue));
        // Inside P to F (due north, column 200) and P to R, P to Q (row 200).
        EXPECT_TRUE(Is(frame, 200, Px(200 - 40 * s), Blue));
        EXPECT_TRUE(Is(frame, 200, Px(200 - 70 * s), Blue));
        EXPECT_TRUE(Is(frame, Px(200 + 12.5 * s), 200, Blue));
        EXPECT_TRUE(Is(frame, Px(200 - 12.5 * s), 200, Blue));
        // Inside F to R and F to Q, halfway along.
        EXPECT_TRUE(BlueNear(frame, Px(200 + 12.5 * s), Px(200 - 40 * s)));
        EXPECT_TRUE(BlueNear(frame, Px(200 - 12.5 * s) + 1, Px(200 - 40 * s)));
        // On each circle, due south of the vessel where no line runs, and due west beyond the
        // port line.
        for (const double r : {20.0, 35.0}) {
            EXPECT_TRUE(BlueNear(frame, 200, Px(200 + r * s))) << r;
            EXPECT_TRUE(BlueNear(frame, Px(200 - r * s), 200)) << r;
        }
        // Background inside the first circle, between the circles and outside them.
        EXPECT_TRUE(Is(frame, 200, Px(200 + 10 * s), White));
        EXPECT_TRUE(Is(frame, 200, Px(200 + 27.5 * s), White));
        EXPECT_TRUE(Is(frame, 200, Px(200 + 45 * s), White));
        EXPECT_TRUE(Is(frame, Px(200 + 30 * s), Px(200 - 60 * s), White));
        // Nothing beyond the bow and the outer circle.
        EXPECT_TRUE(BoundsOf(frame, Blue).top() >= Px(200 - 80 * s) - 1);
        EXPECT_TRUE(BoundsOf(frame, Blue).bottom() <= Px(200 + 35 * s) + 1);
    }
}

TEST(VesselSymbolPixels, RedrawsReplaceTheSymbol) {
    PixelMap map(1);
    const int other = map.canvas.LayerOpen(QStringLiteral("tavrin_usershape"));
    map.canvas.DrawLine(10, 10, 20, 20, other);
    map.draw(200, 200);
    EXPECT_EQ(map.canvas.ShapeCount, 1 + 5 + 2);
    map.draw(210, 190);
    EXPECT_EQ(map.canvas.ShapeCount, 1 + 5 + 2);
    // The new symbol, not the old one.
    const QImage frame = map.canvas.RenderFrame().copy();
    EXPECT_TRUE(Is(frame, 210, 210, Blue));
    EXPECT_TRUE(Is(frame, 200, 180, White));
    EXPECT_EQ(map.canvas.GetLayerPenFg(map.layer), Blue);
    EXPECT_EQ(map.canvas.GetLayerPenWidth(map.layer), 1);
}

TEST(VesselSymbolPixels, NoVesselLayerClearsAndDrawsNothing) {
    PixelMap map(1);
    map.canvas.DrawLine(10, 10, 20, 20, 0);
    map.draw(200, 200);
    const int32_t before = map.canvas.ShapeCount;
    const QImage drawn = map.canvas.RenderFrame().copy();
    DrawVesselSymbol(map.canvas, -1, map.shape, 250, 250, 0, Blue, 1);
    EXPECT_EQ(map.canvas.ShapeCount, before);
    EXPECT_EQ(map.canvas.RenderFrame(), drawn);
}

TEST(VesselSymbolPixels, SymbolNeverLandsOnAnotherLayerWhenTheVesselLayerIsGone) {
    // An id left over from a replaced drawing names no layer: the canvas would put the lines on
    // "Default", a new set on every tick.
    PixelMap map(1);
    const int stale = map.canvas.NextLayerId + 5;
    DrawVesselSymbol(map.canvas, stale, map.shape, 200, 200, 0, Blue, 1);
    DrawVesselSymbol(map.canvas, stale, map.shape, 200, 200, 0, Blue, 1);
    EXPECT_EQ(map.canvas.ShapeCount, 0);
}

TEST(VesselSymbolPixels, NoPositionOrNonFiniteInputDrawsNothing) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        double e, n, heading;
        VesselShape shape;
    };
    const VesselShape ok{2, 15, 20, 25, 80};
    const Case cases[] = {
        {0, 0, 0, ok},
        {nan, 200, 0, ok},
        {200, inf, 0, ok},
        {200, 200, nan, ok},
        {200, 200, 0, VesselShape{2, 15, nan, 25, 80}},
        {200, 200, 0, VesselShape{2, inf, 20, 25, 80}},
        {200, 200, 0, VesselShape{2, 15, 20, nan, 80}},
        {200, 200, 0, VesselShape{2, 15, 20, 25, -inf}},
    };
    for (const Case& c : cases) {
        PixelMap map(1);
        map.draw(200, 200);
        ASSERT_EQ(map.canvas.ShapeCount, 7);
        // The old symbol goes, no new one comes.
        DrawVesselSymbol(map.canvas, map.layer, c.shape, c.e, c.n, c.heading, Blue, 1);
        EXPECT_EQ(map.canvas.ShapeCount, 0);
        EXPECT_EQ(Count(map.canvas.RenderFrame(), Blue), 0);
    }
}
