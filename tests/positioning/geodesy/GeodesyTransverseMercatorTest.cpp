#include "GeodesyFixtureTable.h"

#include "positioning/geodesy/GeodesyText.h"
#include "positioning/geodesy/GeodesyTransverseMercator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

const std::string kNeutralToWgs84 =
    "6378137.0  0.0033528106647474  0.0  0.0  0.0  0.0  0.0  0.0  0.0 "
    "6378137 0.0033528106647474 0 0 0 0 0 0 0";
const std::string kWgs84Ellipsoid = "6378137.0 0.0033528106647474 6378137 0.0033528106647474";
const std::string kUtm35 = "27 0 0.9996 500000 0";
constexpr double kArcSecond = 1.0 / 3600.0;

std::vector<double> Numbers(const std::string& text) {
    return GeodesyFixtureNumbers(text);
}

std::string Join(const std::vector<double>& values, std::size_t from, std::size_t count) {
    std::string text;
    for (std::size_t i = from; i < from + count; ++i)
        text += (text.empty() ? "" : " ") + FormatGeneral(values[i]);
    return text;
}

// Tolerance of the series against the exact projection: a couple of millimetres within 4
// degrees of the central meridian, a centimetre and a half at 6 degrees.
double SeriesTolerance(double degreesFromCentralMeridian) {
    return std::fabs(degreesFromCentralMeridian) <= 4.0 ? 0.002 : 0.015;
}

TEST(GeodesyTransverseMercator, SeriesMatchesExactProjectionWithinItsAccuracy) {
    const auto groups = ReadGeodesyFixture("transverse_mercator.txt");
    ASSERT_EQ(groups.size(), 4u);
    for (const auto& group : groups) {
        ASSERT_EQ(group.parameters.size(), 7u);
        ASSERT_FALSE(group.cases.empty());
        const std::string projection = Join(group.parameters, 0, 5);
        const std::string ellipsoid =
            "6378137.0 0.0033528106647474 " + Join(group.parameters, 5, 2);
        const geodesy::GeodesyTransverseMercator core({group.parameters[5], group.parameters[6]},
                                                      {group.parameters[0], group.parameters[1],
                                                       group.parameters[2], group.parameters[3],
                                                       group.parameters[4]});
        ASSERT_TRUE(core.isUsable());
        for (const auto& c : group.cases) {
            ASSERT_EQ(c.size(), 4u);
            const double tolerance = SeriesTolerance(c[1] - group.parameters[0]);
            const std::string point = FormatGeneral(c[0]) + " " + FormatGeneral(c[1]);
            const auto grid = Numbers(GeodeticToTransverseMercator(point, projection, ellipsoid));
            ASSERT_EQ(grid.size(), 2u) << point;
            EXPECT_NEAR(grid[0], c[2], tolerance) << point << " | " << projection;
            EXPECT_NEAR(grid[1], c[3], tolerance) << point << " | " << projection;
            double easting = 0, northing = 0;
            ASSERT_TRUE(core.project(c[0], c[1], easting, northing));
            EXPECT_NEAR(easting, c[2], tolerance) << point;
            EXPECT_NEAR(northing, c[3], tolerance) << point;
        }
    }
}

TEST(GeodesyTransverseMercator, ConvergenceAndScaleMatchReference) {
    const auto groups = ReadGeodesyFixture("tm_convergence_scale.txt");
    ASSERT_EQ(groups.size(), 2u);
    for (const auto& group : groups) {
        ASSERT_EQ(group.parameters.size(), 4u);
        ASSERT_FALSE(group.cases.empty());
        const double cm = group.parameters[0], k0 = group.parameters[1];
        const double a = group.parameters[2], f = group.parameters[3];
        for (const auto& c : group.cases) {
            ASSERT_EQ(c.size(), 4u);
            // The reference counts the convergence positive east of the central meridian in
            // the northern hemisphere; ours is the angle added to a true bearing.
            const double convergence = static_cast<double>(
                TMScaleOrConvergence("GrdConv", a, f, c[0], c[1], cm, 0, k0, 500000, 0));
            EXPECT_NEAR(convergence, -c[2], 0.001 * kArcSecond) << c[0] << " " << c[1];
            const double scale = static_cast<double>(
                TMScaleOrConvergence("PtScFac", a, f, c[0], c[1], cm, 0, k0, 500000, 0));
            EXPECT_NEAR(scale, c[3], 1e-8) << c[0] << " " << c[1];
        }
    }
}

// Reference: PROJ's pipeline of the whole position chain (cart, inverse helmert, inverse
// cart, exact transverse Mercator) for a realistic local datum.
TEST(GeodesyTransverseMercator, GridChainMatchesReferenceTable) {
    const auto groups = ReadGeodesyFixture("grid_chain.txt");
    ASSERT_EQ(groups.size(), 1u);
    const auto& p = groups[0].parameters;
    ASSERT_EQ(p.size(), 23u);
    ASSERT_FALSE(groups[0].cases.empty());
    const std::string datum = Join(p, 0, 18);
    const std::string projection = Join(p, 18, 5);
    const std::string ellipsoid = "6378137.0 0.0033528106647474 " + Join(p, 9, 2);
    for (const auto& c : groups[0].cases) {
        ASSERT_EQ(c.size(), 4u);
        const std::string point = FormatGeneral(c[0]) + " " + FormatGeneral(c[1]);
        const auto grid = Numbers(GeodeticToGrid(point, datum, projection, ellipsoid));
        ASSERT_EQ(grid.size(), 2u) << point;
        // The series, plus the half millimetre of the 8-decimal hand-over after the datum step.
        EXPECT_NEAR(grid[0], c[2], 0.0026) << point;
        EXPECT_NEAR(grid[1], c[3], 0.0026) << point;
    }
}

TEST(GeodesyTransverseMercator, CentralMeridianAndGridOrigin) {
    const std::string projection = "30 36 0.9999 400000 250000";
    const std::string ellipsoid = "6378137.0 0.0033528106647474 6378388 0.003367003367003367";
    // On the central meridian: the false easting; at the reference latitude also the false
    // northing.
    EXPECT_EQ(GeodeticToTransverseMercator("36 30", projection, ellipsoid), "400000 250000");
    const auto north = Numbers(GeodeticToTransverseMercator("41 30", projection, ellipsoid));
    ASSERT_EQ(north.size(), 2u);
    EXPECT_EQ(north[0], 400000);
    EXPECT_GT(north[1], 250000 + 550000);
    EXPECT_EQ(TMScaleOrConvergence("GrdConv", 6378388, 0.003367, 41, 30, 30, 36, 0.9999, 0, 0),
              0.0L);
    EXPECT_NEAR(static_cast<double>(TMScaleOrConvergence("PtScFac", 6378388, 0.003367, 41, 30, 30,
                                                         36, 0.9999, 0, 0)),
                0.9999, 1e-15);
}

TEST(GeodesyTransverseMercator, ConvergenceSignsByQuadrant) {
    auto convergence = [](double lat, double lon) {
        return TMScaleOrConvergence("GrdConv", 6378137, 0.0033528106647474, lat, lon, 27, 0, 0.9996,
                                    500000, 0);
    };
    EXPECT_LT(convergence(41, 28), 0);  // east, north
    EXPECT_GT(convergence(41, 26), 0);  // west, north
    EXPECT_GT(convergence(-41, 28), 0); // east, south
    EXPECT_LT(convergence(-41, 26), 0); // west, south
    // Only the exact mode texts are modes.
    for (const char* mode : {"grdconv", "GRDCONV", "ptscfac", "", "GrdConv "})
        EXPECT_EQ(TMScaleOrConvergence(mode, 6378137, 0.0033528106647474, 41, 28, 27, 0, 0.9996,
                                       500000, 0),
                  0.0L)
            << mode;
}

TEST(GeodesyTransverseMercator, GridWithNeutralDatumEqualsDirectProjection) {
    for (const char* point : {"41.0123456789 28.3456789012", "-33.91 18.42", "60.5 24.9"}) {
        const auto direct = Numbers(GeodeticToTransverseMercator(point, kUtm35, kWgs84Ellipsoid));
        const auto grid = Numbers(GeodeticToGrid(point, kNeutralToWgs84, kUtm35, kWgs84Ellipsoid));
        ASSERT_EQ(direct.size(), 2u);
        ASSERT_EQ(grid.size(), 2u);
        // Up to the 8-decimal rounding of the datum step (5e-9 degrees, half a millimetre).
        EXPECT_NEAR(grid[0], direct[0], 0.0006) << point;
        EXPECT_NEAR(grid[1], direct[1], 0.0006) << point;
    }
    // The rounding is there: a latitude with more decimals than the hand-over keeps.
    EXPECT_EQ(
        GeodeticToGrid("41.01234567 28.34567890", kNeutralToWgs84, kUtm35, kWgs84Ellipsoid),
        GeodeticToGrid("41.012345674 28.345678899", kNeutralToWgs84, kUtm35, kWgs84Ellipsoid));
}

TEST(GeodesyTransverseMercator, SurveyAcrossThe180thMeridianStaysNextToItsCentralMeridian) {
    // Central meridian 177 E (a zone that touches the 180th meridian); the vessel crosses to
    // 179.5 W, 3.5 degrees east of the central meridian.
    const std::string projection = "177 0 0.9996 500000 10000000";
    const auto west =
        Numbers(GeodeticToTransverseMercator("-17.5 -179.5", projection, kWgs84Ellipsoid));
    const auto east =
        Numbers(GeodeticToTransverseMercator("-17.5 180.5", projection, kWgs84Ellipsoid));
    ASSERT_EQ(west.size(), 2u);
    ASSERT_EQ(east.size(), 2u);
    EXPECT_NEAR(west[0], east[0], 1e-6);
    EXPECT_NEAR(west[1], east[1], 1e-6);
    EXPECT_GT(west[0], 500000 + 350000);
    EXPECT_LT(west[0], 500000 + 400000);
    // The convergence and the point scale see the same 3.5 degrees.
    const long double c1 = TMScaleOrConvergence("GrdConv", 6378137, 0.0033528106647474, -17.5,
                                                -179.5, 177, 0, 0.9996, 500000, 10000000);
    const long double c2 = TMScaleOrConvergence("GrdConv", 6378137, 0.0033528106647474, -17.5,
                                                180.5, 177, 0, 0.9996, 500000, 10000000);
    EXPECT_NEAR(static_cast<double>(c1), static_cast<double>(c2), 1e-12);
    EXPECT_NEAR(static_cast<double>(c1), 3.5 * std::sin(17.5 * 3.141592653589793 / 180), 0.01);
    const long double k = TMScaleOrConvergence("PtScFac", 6378137, 0.0033528106647474, -17.5,
                                               -179.5, 177, 0, 0.9996, 500000, 10000000);
    EXPECT_NEAR(static_cast<double>(k), 1.0013, 0.0002);
    // And 3.5 degrees west of a zone centred on 177 W.
    const auto across = Numbers(
        GeodeticToTransverseMercator("10 179.5", "-177 0 0.9996 500000 0", kWgs84Ellipsoid));
    ASSERT_EQ(across.size(), 2u);
    EXPECT_LT(across[0], 500000 - 375000);
    EXPECT_GT(across[0], 500000 - 390000);
}

TEST(GeodesyTransverseMercator, EveryCallReadsTheParameterTextsItIsGiven) {
    // Alternating grids, datums and a broken text in between: each call converts with exactly
    // the texts it was handed, whatever the calls before it were given.
    const std::string local =
        "6378137.0  0.0033528106647474  0.0  0.0  0.0  0.0  0.0  0.0  0.0 "
        "6378388 0.003367003367003367 1.2 -0.8 -0.3 0.6 -84.12 -101.75 -129.33";
    const std::string intl = "6378137.0 0.0033528106647474 6378388 0.003367003367003367";
    const std::string point = "41.2 29.1";
    const std::string first = GeodeticToGrid(point, kNeutralToWgs84, kUtm35, kWgs84Ellipsoid);
    const std::string second = GeodeticToGrid(point, local, "30 0 1 500000 0", intl);
    ASSERT_NE(first, "0");
    ASSERT_NE(second, "0");
    ASSERT_NE(first, second);
    const std::string mixed = GeodeticToGrid(point, local, kUtm35, kWgs84Ellipsoid);
    EXPECT_NE(mixed, first);
    EXPECT_NE(mixed, second);
    EXPECT_EQ(GeodeticToGrid(point, local + " 1", "30 0 1 500000 0", intl), "0");
    EXPECT_EQ(GeodeticToGrid(point, local, "30 0 1 500000", intl), "0");
    EXPECT_EQ(GeodeticToGrid(point, kNeutralToWgs84, kUtm35, kWgs84Ellipsoid), first);
    EXPECT_EQ(GeodeticToGrid(point, local, "30 0 1 500000 0", intl), second);
    EXPECT_EQ(GeodeticToTransverseMercator(point, kUtm35, intl),
              GeodeticToTransverseMercator(point, kUtm35, intl + " "));
    EXPECT_NE(GeodeticToTransverseMercator(point, kUtm35, intl),
              GeodeticToTransverseMercator(point, kUtm35, kWgs84Ellipsoid));
}

// The point text is read as if " 0" followed it: a height may stand after the longitude,
// anything else there fails the conversion instead of being taken as height 0.
TEST(GeodesyTransverseMercator, GridPointTextTakesAHeightOrNothingAfterTheLongitude) {
    const std::string local =
        "6378137.0  0.0033528106647474  0.0  0.0  0.0  0.0  0.0  0.0  0.0 "
        "6378388 0.003367003367003367 1.2 -0.8 -0.3 0.6 -84.12 -101.75 -129.33";
    const std::string intl = "6378137.0 0.0033528106647474 6378388 0.003367003367003367";
    const std::string atSeaLevel = GeodeticToGrid("41.2 29.1", local, kUtm35, intl);
    ASSERT_EQ(Numbers(atSeaLevel).size(), 2u);
    EXPECT_EQ(GeodeticToGrid("41.2 29.1 0", local, kUtm35, intl), atSeaLevel);
    EXPECT_EQ(GeodeticToGrid("41.2 29.1 0 junk", local, kUtm35, intl), atSeaLevel);
    EXPECT_NE(GeodeticToGrid("41.2 29.1 8000", local, kUtm35, intl), atSeaLevel)
        << "the height enters the datum change";
    for (const char* point : {"41.2 29.1 x", "41.2 29.1 nan", "41.2 29.1 0,5", "41.2 29.1 12m"})
        EXPECT_EQ(GeodeticToGrid(point, local, kUtm35, intl), "0") << point;
}

// Failure texts: a short point, a projection or ellipsoid text without exactly its numbers, a
// number that is not finite, or the inverse flattening typed into the flattening give "0".
TEST(GeodesyTransverseMercator, MalformedTextsGiveTheFailureResult) {
    ASSERT_NE(GeodeticToTransverseMercator("41 28", kUtm35, kWgs84Ellipsoid), "0");
    const std::string cases[][3] = {
        {"0", kUtm35, kWgs84Ellipsoid},
        {"41", kUtm35, kWgs84Ellipsoid},
        {"41 nan", kUtm35, kWgs84Ellipsoid},
        {"41 28,5", kUtm35, kWgs84Ellipsoid},
        {"90.5 28", kUtm35, kWgs84Ellipsoid},
        {"41 28", "27 0 0.9996 500000", kWgs84Ellipsoid},
        {"41 28", "27 0 0.9996 500000 0 0", kWgs84Ellipsoid},
        {"41 28", "27 0 0.9996 500000 inf", kWgs84Ellipsoid},
        {"41 28", "", kWgs84Ellipsoid},
        {"41 28", kUtm35, "6378137.0 0.0033528106647474 6378137"},
        {"41 28", kUtm35, "6378137 0.0033528106647474"},
        {"41 28", kUtm35, "6378137.0 0.0033528106647474 6378137 298.257223563"},
        {"41 28", kUtm35, "6378137.0 0.0033528106647474 6378137 0.00335 1"},
        {"41 28", kUtm35, "6378137.0 0.0033528106647474 0 0.0033528106647474"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GeodeticToTransverseMercator(c[0], c[1], c[2]), "0")
            << c[0] << " | " << c[1] << " | " << c[2];
        EXPECT_EQ(GeodeticToGrid(c[0], kNeutralToWgs84, c[1], c[2]), "0")
            << c[0] << " | " << c[1] << " | " << c[2];
    }
    // The datum step fails: too few datum parameters, or the inverse flattening typed there.
    EXPECT_EQ(GeodeticToGrid("41 28", kNeutralToWgs84 + " 5", kUtm35, kWgs84Ellipsoid), "0");
    EXPECT_EQ(GeodeticToGrid("41 28",
                             "6378137.0 0.0033528106647474 0 0 0 0 0 0 0 6378137 298.257223563 "
                             "0 0 0 0 0 0 0",
                             kUtm35, kWgs84Ellipsoid),
              "0");

    const double a = 6378137, f = 0.0033528106647474;
    EXPECT_EQ(TMScaleOrConvergence("GrdConv", a, 298.257223563, 41, 28, 27, 0, 0.9996, 0, 0), 0.0L);
    EXPECT_EQ(TMScaleOrConvergence("PtScFac", a, f, NAN, 28, 27, 0, 0.9996, 0, 0), 0.0L);
    EXPECT_EQ(TMScaleOrConvergence("PtScFac", a, f, 41, INFINITY, 27, 0, 0.9996, 0, 0), 0.0L);
    EXPECT_EQ(TMScaleOrConvergence("GrdConv", -a, f, 41, 28, 27, 0, 0.9996, 0, 0), 0.0L);
}

} // namespace
