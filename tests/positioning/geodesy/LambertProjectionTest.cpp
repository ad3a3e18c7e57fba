#include "GeodesyFixtureTable.h"

#include "positioning/geodesy/GeodesyText.h"
#include "positioning/geodesy/LambertConicProjection.h"
#include "positioning/geodesy/LambertModule.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kDegree = kPi / 180;
constexpr double kA = 6378137.0;
constexpr double kF = 1 / 298.257223563;

// The module's state lives for the whole run: every test starts from the state of program
// start.
class LambertProjection : public ::testing::Test {
protected:
    void SetUp() override { ResetLambertParameters(); }
    void TearDown() override { ResetLambertParameters(); }
};

// Reference: PROJ's lcc (positions) and GeographicLib's ConicProj (convergence), one and two
// standard parallels, north and south, and one tangent parallel given as two equal parallels.
TEST_F(LambertProjection, MatchesReferenceTable) {
    const auto groups = ReadGeodesyFixture("lambert.txt");
    ASSERT_EQ(groups.size(), 5u);
    for (const auto& group : groups) {
        const auto& p = group.parameters;
        ASSERT_EQ(p.size(), 10u);
        ASSERT_FALSE(group.cases.empty());
        double n = 0;
        if (p[0] == 1) {
            n = SetLambert1Parameters(p[1], p[2], p[3] * kDegree, p[4] * kDegree, p[8], p[9], p[7]);
            EXPECT_NEAR(n, std::sin(p[3] * kDegree), 1e-15);
        } else {
            n = SetLambert2Parameters(p[1], p[2], p[3] * kDegree, p[4] * kDegree, p[5] * kDegree,
                                      p[6] * kDegree, p[8], p[9]);
        }
        for (const auto& c : group.cases) {
            ASSERT_EQ(c.size(), 5u);
            double easting = -1, northing = -1;
            const int code =
                p[0] == 1 ? GeodeticToLambert1(c[0] * kDegree, c[1] * kDegree, easting, northing)
                          : GeodeticToLambert2(c[0] * kDegree, c[1] * kDegree, easting, northing);
            ASSERT_EQ(code, 0) << c[0] << " " << c[1];
            EXPECT_NEAR(easting, c[2], 1e-6) << group.parameterText << " | " << c[0] << " " << c[1];
            EXPECT_NEAR(northing, c[3], 1e-6)
                << group.parameterText << " | " << c[0] << " " << c[1];
            // The reference counts the convergence positive east of the central meridian where
            // n > 0; ours is the angle added to a true bearing, like the transverse Mercator one.
            const double convergence = LambertGridConvergence(n, c[1] * kDegree, p[4] * kDegree);
            EXPECT_NEAR(convergence / kDegree, -c[4], 1e-9) << c[0] << " " << c[1];
        }
    }
}

TEST_F(LambertProjection, DefaultsBeforeAnySetUp) {
    double easting = -1, northing = -1;
    ASSERT_EQ(GeodeticToLambert1(kPi / 4, 0, easting, northing), 0);
    EXPECT_EQ(easting, 0);
    EXPECT_NEAR(northing, 0, 1e-6);
    // The two-parallel defaults (40 and 50 degrees) and their one-parallel equivalent.
    LambertOneParallelSet equivalent;
    ASSERT_TRUE(LambertOneParallelEquivalent(LambertTwoParallelSet{}, equivalent));
    EXPECT_NEAR(equivalent.originLatitude, 0.78669154042193, 1e-13);
    EXPECT_NEAR(equivalent.scaleFactor, 0.99620424745181, 1e-13);
    EXPECT_NEAR(equivalent.falseNorthing, 8204.2214438468, 1e-7);
    ASSERT_EQ(GeodeticToLambert2(kPi / 4, 0, easting, northing), 0);
    EXPECT_NEAR(easting, 0, 1e-9);
    EXPECT_NEAR(northing, 0, 1e-6);
}

TEST_F(LambertProjection, SetUpRejectsUnusableSetsAndKeepsThePrevious) {
    const double defaultN = 0.70710678118655;
    // Origin latitude 0.
    EXPECT_NEAR(SetLambert1Parameters(kA, kF, 0, 0, 0, 0, 1), defaultN, 1e-14);
    // The flattening itself is accepted, its inverse is not.
    EXPECT_NEAR(SetLambert1Parameters(kA, 0.0033528106647474, 30 * kDegree, 0, 0, 0, 1), 0.5,
                1e-15);
    EXPECT_NEAR(SetLambert1Parameters(kA, 298.257223563, 40 * kDegree, 0, 0, 0, 1), 0.5, 1e-15);
    const double rejected[][7] = {
        {0, kF, 40 * kDegree, 0, 0, 0, 1},         // a
        {kA, 1.0 / 200, 40 * kDegree, 0, 0, 0, 1}, // 1/f below 250
        {kA, 1.0 / 400, 40 * kDegree, 0, 0, 0, 1}, // 1/f above 350
        {kA, 0, 40 * kDegree, 0, 0, 0, 1},         // a sphere
        {kA, kF, 1.5707914786580854 + 1e-12, 0, 0, 0, 1},
        {kA, kF, 40 * kDegree, 7, 0, 0, 1},    // central meridian above 2 pi
        {kA, kF, 40 * kDegree, -3.2, 0, 0, 1}, // below -pi
        {kA, kF, 40 * kDegree, 0, 0, 0, 0.2},  // scale factor
        {kA, kF, 40 * kDegree, 0, 0, 0, 3.5},
        {kA, NAN, 40 * kDegree, 0, 0, 0, 1}, // not finite
        {kA, kF, NAN, 0, 0, 0, 1},
        {kA, kF, 40 * kDegree, NAN, 0, 0, 1},
        {kA, kF, 40 * kDegree, 0, INFINITY, 0, 1},
        {kA, kF, 40 * kDegree, 0, 0, NAN, 1},
        {kA, kF, 40 * kDegree, 0, 0, 0, NAN},
    };
    double before[2] = {0, 0};
    ASSERT_EQ(GeodeticToLambert1(35 * kDegree, 0.1, before[0], before[1]), 0);
    for (const auto& r : rejected) {
        EXPECT_NEAR(SetLambert1Parameters(r[0], r[1], r[2], r[3], r[4], r[5], r[6]), 0.5, 1e-15);
        double e = 0, n = 0;
        ASSERT_EQ(GeodeticToLambert1(35 * kDegree, 0.1, e, n), 0);
        EXPECT_EQ(e, before[0]);
        EXPECT_EQ(n, before[1]);
    }
    // Limits are inclusive.
    EXPECT_NEAR(SetLambert1Parameters(kA, kF, 1.5707914786580854, 0, 0, 0, 1),
                std::sin(1.5707914786580854), 1e-15);
}

TEST_F(LambertProjection, CentralMeridianAbovePiIsStoredLessTwoPi) {
    const double n = SetLambert1Parameters(kA, kF, 40 * kDegree, 3.5, 100, 200, 1);
    EXPECT_NEAR(n, std::sin(40 * kDegree), 1e-15);
    double e1 = 0, n1 = 0, e2 = 0, n2 = 0;
    ASSERT_EQ(GeodeticToLambert1(40 * kDegree, 3.5, e1, n1), 0);
    EXPECT_NEAR(e1, 100, 1e-9);
    EXPECT_NEAR(n1, 200, 1e-6);
    // 3.5 - 2 pi is the same meridian.
    ASSERT_EQ(GeodeticToLambert1(40 * kDegree, 3.5 - 2 * kPi, e2, n2), 0);
    EXPECT_NEAR(e2, 100, 1e-9);
    // Longitude 3 with central meridian -3: projected with 6 - 2 pi.
    SetLambert1Parameters(kA, kF, 40 * kDegree, -3, 0, 0, 1);
    double e3 = 0, n3 = 0, e4 = 0, n4 = 0;
    ASSERT_EQ(GeodeticToLambert1(40 * kDegree, 3, e3, n3), 0);
    SetLambert1Parameters(kA, kF, 40 * kDegree, 0, 0, 0, 1);
    ASSERT_EQ(GeodeticToLambert1(40 * kDegree, 6 - 2 * kPi, e4, n4), 0);
    EXPECT_NEAR(e3, e4, 1e-6);
    EXPECT_NEAR(n3, n4, 1e-6);
    EXPECT_LT(e3, 0);
}

TEST_F(LambertProjection, OutOfRangePositionsLeaveTheOutputsUntouched) {
    SetLambert1Parameters(kA, kF, 40 * kDegree, 0.5, 1000, 2000, 1);
    double e = 7, n = 8;
    EXPECT_EQ(GeodeticToLambert1(1.6, 0.5, e, n), 1);
    EXPECT_EQ(GeodeticToLambert1(0.7, 7, e, n), 2);
    EXPECT_EQ(GeodeticToLambert1(1.6, 7, e, n), 3);
    EXPECT_EQ(GeodeticToLambert1(0.7, -3.2, e, n), 2);
    EXPECT_EQ(GeodeticToLambert1(NAN, 0.5, e, n), 1);
    EXPECT_EQ(GeodeticToLambert1(0.7, NAN, e, n), 2);
    EXPECT_EQ(GeodeticToLambert2(-1.6, 7, e, n), 3);
    EXPECT_EQ(GeodeticToLambert2(NAN, NAN, e, n), 3);
    // The pole away from the cone's apex.
    EXPECT_EQ(GeodeticToLambert1(-kPi / 2, 0.5, e, n), 1);
    EXPECT_EQ(e, 7);
    EXPECT_EQ(n, 8);
    // The apex: the false easting and the origin radius plus the false northing.
    LambertConicProjection projection;
    ASSERT_TRUE(projection.setUp({kA, kF, 40 * kDegree, 0.5, 1000, 2000, 1}));
    ASSERT_EQ(GeodeticToLambert1(kPi / 2, 1.2, e, n), 0);
    EXPECT_NEAR(e, 1000, 1e-9);
    EXPECT_NEAR(n, projection.originRadius() + 2000, 1e-6);
}

TEST_F(LambertProjection, TwoParallels) {
    // Parallels on opposite sides of the equator at equal distance are refused.
    EXPECT_NEAR(SetLambert2Parameters(kA, kF, 0, 0, 30 * kDegree, -30 * kDegree, 0, 0),
                0.70710678118655, 1e-14);
    EXPECT_NEAR(SetLambert2Parameters(kA, kF, 0, 0, 0, 0, 0, 0), 0.70710678118655, 1e-14);
    // One tangent parallel: the grid origin lies on it whatever the origin latitude says.
    const double n =
        SetLambert2Parameters(kA, kF, 10 * kDegree, 0.2, 40 * kDegree, 40 * kDegree, 500, 700);
    EXPECT_NEAR(n, std::sin(40 * kDegree), 1e-15);
    LambertOneParallelSet equivalent;
    ASSERT_TRUE(LambertOneParallelEquivalent(
        {kA, kF, 10 * kDegree, 0.2, 40 * kDegree, 40 * kDegree, 500, 700}, equivalent));
    EXPECT_EQ(equivalent.originLatitude, 40 * kDegree);
    EXPECT_EQ(equivalent.scaleFactor, 1.0);
    EXPECT_EQ(equivalent.falseNorthing, 700);
    double e = 0, north = 0;
    ASSERT_EQ(GeodeticToLambert2(40 * kDegree, 0.2, e, north), 0);
    EXPECT_NEAR(e, 500, 1e-9);
    EXPECT_NEAR(north, 700, 1e-6);
    // Distinct parallels: false easting and northing at the origin latitude.
    SetLambert2Parameters(kA, kF, 46.5 * kDegree, 3 * kDegree, 49 * kDegree, 44 * kDegree, 700000,
                          6600000);
    ASSERT_EQ(GeodeticToLambert2(46.5 * kDegree, 3 * kDegree, e, north), 0);
    EXPECT_NEAR(e, 700000, 1e-6);
    EXPECT_NEAR(north, 6600000, 1e-6);
}

TEST_F(LambertProjection, TwoParallelProjectionReplacesTheOneParallelSetInForce) {
    SetLambert1Parameters(kA, kF, 30 * kDegree, 0, 0, 0, 1);
    double e1 = 0, n1 = 0;
    ASSERT_EQ(GeodeticToLambert1(35 * kDegree, 0.1, e1, n1), 0);
    double e2 = 0, n2 = 0;
    ASSERT_EQ(GeodeticToLambert2(35 * kDegree, 0.1, e2, n2), 0); // the 40/50 default set
    double e3 = 0, n3 = 0;
    ASSERT_EQ(GeodeticToLambert1(35 * kDegree, 0.1, e3, n3), 0);
    EXPECT_NE(e1, e2);
    EXPECT_EQ(e3, e2);
    EXPECT_EQ(n3, n2);
}

TEST_F(LambertProjection, ProjectionAfterSetUpUsesTheNewParameters) {
    // The survey sets up first and then projects, so the very first fix after start is
    // already on the operator's grid, not on the defaults.
    const double n = SetLambert1Parameters(6378388, 1 / 297.0, 38 * kDegree, 33 * kDegree, 500000,
                                           1000000, 0.9998);
    double e = 0, north = 0;
    ASSERT_EQ(GeodeticToLambert1(38 * kDegree, 33 * kDegree, e, north), 0);
    EXPECT_NEAR(e, 500000, 1e-9);
    EXPECT_NEAR(north, 1000000, 1e-6);
    EXPECT_NEAR(n, std::sin(38 * kDegree), 1e-15);
    const double n2 = SetLambert2Parameters(6378388, 1 / 297.0, 38 * kDegree, 33 * kDegree,
                                            36 * kDegree, 40 * kDegree, 500000, 1000000);
    ASSERT_EQ(GeodeticToLambert2(38 * kDegree, 33 * kDegree, e, north), 0);
    EXPECT_NEAR(e, 500000, 1e-9);
    EXPECT_NEAR(north, 1000000, 1e-6);
    EXPECT_GT(n2, std::sin(36 * kDegree));
    EXPECT_LT(n2, std::sin(40 * kDegree));
}

TEST_F(LambertProjection, TwoParallelSetWhoseEquivalentIsUnusableIsRefusedAsAWhole) {
    // Parallels at -89.9 and 40.1 degrees give a one-parallel equivalent outside the accepted
    // scale factors: taking the two-parallel set while the projection kept its older
    // equivalent would put every fix on a grid other than the one reported.
    const double before = SetLambert2Parameters(kA, kF, 46.5 * kDegree, 3 * kDegree, 49 * kDegree,
                                                44 * kDegree, 700000, 6600000);
    double e1 = 0, n1 = 0;
    ASSERT_EQ(GeodeticToLambert2(45 * kDegree, 0.1, e1, n1), 0);
    EXPECT_EQ(
        SetLambert2Parameters(kA, kF, -25 * kDegree, 0, -89.9 * kDegree, 40.1 * kDegree, 0, 0),
        before);
    double e2 = 0, n2 = 0;
    ASSERT_EQ(GeodeticToLambert2(45 * kDegree, 0.1, e2, n2), 0);
    EXPECT_EQ(e2, e1);
    EXPECT_EQ(n2, n1);
    // Values that are not finite are refused too.
    EXPECT_EQ(SetLambert2Parameters(kA, kF, NAN, 0, 40 * kDegree, 50 * kDegree, 0, 0), before);
    EXPECT_EQ(SetLambert2Parameters(kA, kF, 0, 0, 40 * kDegree, 50 * kDegree, 0, INFINITY), before);
}

TEST_F(LambertProjection, ConvergenceHasTheSignOfTheTransverseMercatorConvergence) {
    // East of the central meridian in the northern hemisphere both are negative: a true
    // bearing plus the convergence is the grid bearing on either projection.
    const double n = SetLambert1Parameters(kA, kF, 41 * kDegree, 27 * kDegree, 0, 0, 1);
    const double lambert = LambertGridConvergence(n, 28 * kDegree, 27 * kDegree) / kDegree;
    const double tm =
        static_cast<double>(TMScaleOrConvergence("GrdConv", kA, kF, 41, 28, 27, 0, 1, 0, 0));
    EXPECT_LT(lambert, 0);
    EXPECT_LT(tm, 0);
    // At the standard parallel the two agree to first order.
    EXPECT_NEAR(lambert, tm, 0.01);
    EXPECT_GT(LambertGridConvergence(n, 26 * kDegree, 27 * kDegree), 0);
    EXPECT_EQ(LambertGridConvergence(n, 27 * kDegree, 27 * kDegree), 0);
    // South of the equator the cone constant is negative and the signs turn round.
    const double south = SetLambert1Parameters(kA, kF, -30 * kDegree, 25 * kDegree, 0, 0, 1);
    EXPECT_GT(LambertGridConvergence(south, 26 * kDegree, 25 * kDegree), 0);
    // The longitude difference is wrapped: 179.5 W is 1.5 degrees east of 179 E.
    EXPECT_NEAR(LambertGridConvergence(n, -179.5 * kDegree, 179 * kDegree), -n * 1.5 * kDegree,
                1e-15);
    EXPECT_NEAR(LambertGridConvergence(n, 179 * kDegree, -179.5 * kDegree), n * 1.5 * kDegree,
                1e-15);
}

} // namespace
