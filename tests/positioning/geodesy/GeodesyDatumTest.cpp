#include "GeodesyFixtureTable.h"

#include "positioning/geodesy/GeodesyDatumChain.h"
#include "positioning/geodesy/GeodesyText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <utility>
#include <string>

namespace {

const std::string kWgs84Neutral =
    "6378137.0  0.0033528106647474  0.0  0.0  0.0  0.0  0.0  0.0  0.0 ";
const std::string kNeutralToWgs84 = kWgs84Neutral + "6378137 0.0033528106647474 0 0 0 0 0 0 0";

std::vector<double> Numbers(const std::string& text) {
    return GeodesyFixtureNumbers(text);
}

std::string PointText(double lat, double lon, double h) {
    return FormatGeneral(lat) + " " + FormatGeneral(lon) + " " + FormatGeneral(h);
}

TEST(GeodesyDatum, AngleConvertUnits) {
    EXPECT_NEAR(static_cast<double>(AngleConvert(180, "R")), 3.141592653589793, 1e-15);
    EXPECT_NEAR(static_cast<double>(AngleConvert(180, "r")), 3.141592653589793, 1e-15);
    EXPECT_NEAR(static_cast<double>(AngleConvert(3.141592653589793L, "d")), 180.0, 1e-13);
    EXPECT_NEAR(static_cast<double>(AngleConvert(1, "D")), 57.29577951308232, 1e-13);
    for (const char* unit : {"x", "", "rad", "deg", " R"})
        EXPECT_EQ(AngleConvert(1, unit), 0.0L) << '"' << unit << '"';
    // One second of arc, as the rotations of a seven-parameter set are converted.
    EXPECT_NEAR(static_cast<double>(AngleConvert(1.0L / 3600.0L, "R")), 4.84813681109536e-6, 1e-20);
}

// Reference positions from PROJ (cart, helmert +exact in the coordinate frame convention,
// inverse cart) for a realistic local datum, for exaggerated rotations in both sets, and for a
// neutral change of ellipsoid.
TEST(GeodesyDatum, DatumChainMatchesReferenceTable) {
    const auto groups = ReadGeodesyFixture("datum_chain.txt");
    ASSERT_EQ(groups.size(), 3u);
    for (const auto& group : groups) {
        ASSERT_EQ(group.parameters.size(), 18u);
        ASSERT_FALSE(group.cases.empty());
        for (const auto& c : group.cases) {
            ASSERT_EQ(c.size(), 9u);
            const std::string point = PointText(c[0], c[1], c[2]);
            const auto ecef = Numbers(DatumTransform("XYZ", point, group.parameterText));
            ASSERT_EQ(ecef.size(), 3u) << point;
            for (int i = 0; i < 3; ++i)
                EXPECT_NEAR(ecef[i], c[3 + i], 1e-6) << point << " axis " << i;

            const auto geodetic = Numbers(DatumTransform("BLH", point, group.parameterText));
            ASSERT_EQ(geodetic.size(), 3u) << point;
            EXPECT_NEAR(geodetic[0], c[6], 1e-8) << point;
            EXPECT_NEAR(geodetic[1], c[7], 1e-8) << point;
            EXPECT_NEAR(geodetic[2], c[8], 0.0051) << point; // 2 decimals

            // The numeric core without the rounding of the texts.
            geodesy::Ellipsoid source, target;
            geodesy::SevenParameters first, second;
            ASSERT_TRUE(ReadDatumParameterText(group.parameterText, source, first, target, second));
            const geodesy::GeodesyDatumChain chain(source, first, target, second);
            geodesy::GeodeticPoint local;
            ASSERT_TRUE(chain.toTargetGeodetic({c[0], c[1], c[2]}, local)) << point;
            EXPECT_NEAR(local.latitude, c[6], 1e-10) << point;
            EXPECT_NEAR(local.longitude, c[7], 1e-10) << point;
            EXPECT_NEAR(local.height, c[8], 1e-5) << point;
        }
    }
}

// The neutral group changes only the ellipsoid: its ECEF column is the WGS 84 ECEF of the
// input, and its geodetic column the geodetic position of that ECEF point on the target.
TEST(GeodesyDatum, EcefConversionsMatchReferenceTable) {
    const auto groups = ReadGeodesyFixture("datum_chain.txt");
    ASSERT_EQ(groups.size(), 3u);
    const auto& neutral = groups[2];
    const double targetA = neutral.parameters[9], targetF = neutral.parameters[10];
    for (const auto& c : neutral.cases) {
        const auto ecef =
            Numbers(GeodeticToECEF(c[0], c[1], c[2], 6378137.0L, 0.0033528106647474L));
        ASSERT_EQ(ecef.size(), 3u);
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(ecef[i], c[3 + i], 1e-6) << c[0] << " " << c[1];
        const auto geodetic = Numbers(ECEFToGeodetic(c[3], c[4], c[5], targetA, targetF));
        ASSERT_EQ(geodetic.size(), 3u);
        EXPECT_NEAR(geodetic[0], c[6], 1e-8);
        EXPECT_NEAR(geodetic[1], c[7], 1e-8);
        EXPECT_NEAR(geodetic[2], c[8], 0.0051);
    }
}

TEST(GeodesyDatum, NeutralChainReturnsTheInputRoundedToTheOutputPrecision) {
    EXPECT_EQ(DatumTransform("BLH", "41 29 0", kNeutralToWgs84), "41.00000000\t29.00000000\t0.00");
    // Only "XYZ" selects the ECEF text; "xyz" is any other mode.
    EXPECT_EQ(DatumTransform("xyz", "41 29 0", kNeutralToWgs84), "41.00000000\t29.00000000\t0.00");
    const auto ecef = Numbers(DatumTransform("XYZ", "41 29 0", kNeutralToWgs84));
    ASSERT_EQ(ecef.size(), 3u);
    EXPECT_EQ(DatumTransform("XYZ", "41 29 0", kNeutralToWgs84),
              GeodeticToECEF(41, 29, 0, 6378137.0L, 0.0033528106647474L));
    // Tabs separate the three numbers.
    const std::string text = DatumTransform("XYZ", "41 29 0", kNeutralToWgs84);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\t'), 2) << text;
}

TEST(GeodesyDatum, HelmertReverseUndoesForwardExactly) {
    // Exaggerated rotations: a reverse step that only flipped the signs of the parameters
    // would miss the start by metres.
    const std::string set = " 12.5 1800 -2400 3600 -300.25 120.5 80";
    const std::string forward = HelmertTransform("WGS", "4216250.11 2337196.25 4162544.6" + set);
    const auto moved = Numbers(forward);
    ASSERT_EQ(moved.size(), 3u);
    EXPECT_GT(std::fabs(moved[0] - 4216250.11), 1000.0);
    const std::string back = forward + set;
    const auto start = Numbers(HelmertTransform("Local", back));
    ASSERT_EQ(start.size(), 3u);
    EXPECT_NEAR(start[0], 4216250.11, 1e-7);
    EXPECT_NEAR(start[1], 2337196.25, 1e-7);
    EXPECT_NEAR(start[2], 4162544.6, 1e-7);

    // Flipping the signs instead is not the same.
    const auto flipped =
        Numbers(HelmertTransform("WGS", forward + " -12.5 -1800 2400 -3600 300.25 -120.5 -80"));
    ASSERT_EQ(flipped.size(), 3u);
    EXPECT_GT(std::fabs(flipped[0] - 4216250.11) + std::fabs(flipped[1] - 2337196.25), 0.01);
}

// The kept fuzzing inputs (data/fuzz/F9*): "mode|parameters" on one line.
std::pair<std::string, std::string> HelmertFixture(const std::string& name) {
    std::ifstream file(std::string(TEST_DATA_DIR) + "/fuzz/" + name);
    std::string line;
    std::getline(file, line);
    const size_t bar = line.rfind('|');
    EXPECT_NE(bar, std::string::npos) << name;
    const size_t first = line.find('|');
    return {line.substr(0, first), line.substr(bar + 1)};
}

// A 90-degree rotation with a scale: an elimination without row exchanges met a tiny pivot and
// came back some 4 km off. The reverse step must undo the forward one at any angle.
TEST(GeodesyDatum, HelmertReverseOfAQuarterTurnWithScaleUndoesTheForwardStep) {
    const auto [mode, parameters] = HelmertFixture("F9b-geodesy-helmert-reverse-wrong.txt");
    const std::string set = " 0.001 324000 0 0 0 0 0";
    ASSERT_TRUE(parameters.ends_with(set.substr(1))) << parameters;
    const struct {
        const char* rotation;
    } rotations[] = {{" 0.001 324000 0 0 0 0 0"}, {" 5 0 324000 0 1 2 3"},
                     {" -3 0 0 324000 0 0 0"},   {" 0.001 648000 0 0 0 0 0"},
                     {" 0.001 324000 324000 0 0 0 0"}};
    for (const auto& r : rotations) {
        const std::string point = "4208830.67760883 4171267.35177127 -2334850.01063485";
        const auto back = Numbers(HelmertTransform(mode, point + r.rotation));
        ASSERT_EQ(back.size(), 3u) << r.rotation;
        std::string backText = FormatGeneral(back[0]) + " " + FormatGeneral(back[1]) + " " +
                               FormatGeneral(back[2]);
        const auto again = Numbers(HelmertTransform("WGS", backText + r.rotation));
        ASSERT_EQ(again.size(), 3u) << r.rotation;
        EXPECT_NEAR(again[0], 4208830.67760883, 1e-6) << r.rotation;
        EXPECT_NEAR(again[1], 4171267.35177127, 1e-6) << r.rotation;
        EXPECT_NEAR(again[2], -2334850.01063485, 1e-6) << r.rotation;
    }
}

TEST(GeodesyDatum, ASingularMatrixIsAFailureNotAFiniteWrongInverse) {
    struct Case {
        const char* what;
        long double values[3][3];
    };
    const Case cases[] = {
        {"zero", {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}},
        {"two equal rows", {{1, 2, 3}, {1, 2, 3}, {0, 1, 0}}},
        {"nearly dependent rows", {{1, 2, 3}, {1, 2, 3.0000000000000001L}, {0, 1, 0}}},
        {"a value not finite", {{1, 0, 0}, {0, INFINITY, 0}, {0, 0, 1}}},
    };
    for (const Case& c : cases) {
        GeodesyMatrix m = MatrixAllocate(3, 3);
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                m[i][j] = c.values[i][j];
        EXPECT_EQ(MatrixInverse(m, 3), nullptr) << c.what;
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                EXPECT_TRUE(m[i][j] == c.values[i][j] ||
                            (std::isnan(m[i][j]) && std::isnan(c.values[i][j])))
                    << c.what << " changed on failure";
        MatrixFree(m, 3);
    }
    // A quarter turn (zeros on the diagonal) inverts exactly.
    GeodesyMatrix turn = MatrixAllocate(3, 3);
    turn[0][1] = 2;
    turn[1][0] = -2;
    turn[2][2] = 2;
    ASSERT_EQ(MatrixInverse(turn, 3), turn);
    EXPECT_EQ(turn[0][1], -0.5L);
    EXPECT_EQ(turn[1][0], 0.5L);
    EXPECT_EQ(turn[2][2], 0.5L);
    EXPECT_EQ(turn[0][0], 0.0L);
    MatrixFree(turn, 3);
}

// A result near the largest double rounds past it at 15 digits (data/fuzz/F9a): the answer is
// the failure text, never a number that does not read back.
TEST(GeodesyDatum, ResultsThatRoundPastTheLargestDoubleAreAFailure) {
    const auto [mode, parameters] = HelmertFixture("F9a-geodesy-output-not-finite-text.txt");
    EXPECT_EQ(HelmertTransform(mode, parameters), "0");
    EXPECT_EQ(HelmertTransform("WGS", parameters), "0");
    EXPECT_EQ(HelmertTransform("WGS", "1e308 0 0 0 0 0 0 0 0 0"), "1E308\t0\t0");
}

TEST(GeodesyDatum, HelmertForwardUsesTheCoordinateFrameConvention) {
    // A pure rotation about Z of +3600" turns the X axis towards -Y in the coordinate frame
    // convention.
    const auto p = Numbers(HelmertTransform("WGS", "1000 0 0 0 0 0 3600 0 0 0"));
    ASSERT_EQ(p.size(), 3u);
    EXPECT_NEAR(p[0], 1000 * std::cos(3.141592653589793 / 180), 1e-9);
    EXPECT_NEAR(p[1], -1000 * std::sin(3.141592653589793 / 180), 1e-9);
    EXPECT_NEAR(p[2], 0, 1e-12);
    // Scale and shift.
    EXPECT_EQ(HelmertTransform("WGS", "1000000 0 0 10 0 0 0 1 2 3"), "1000011\t2\t3");
}

TEST(GeodesyDatum, MatrixInverseAndMultiply) {
    GeodesyMatrix m = MatrixAllocate(3, 3);
    const long double values[3][3] = {{4, 1, 0.5L}, {-1, 3, 0.25L}, {0.5L, 2, 5}};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            m[i][j] = values[i][j];
    GeodesyMatrix original = MatrixAllocate(3, 3);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            original[i][j] = values[i][j];
    ASSERT_EQ(MatrixInverse(m, 3), m);
    GeodesyMatrix identity = MatrixMultiply(original, 3, 3, m, 3, 3);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            EXPECT_NEAR(static_cast<double>(identity[i][j]), i == j ? 1.0 : 0.0, 1e-15);
    // The inner dimension is B's row count: a 1 x 3 row times a 3 x 1 column.
    GeodesyMatrix row = MatrixAllocate(1, 3);
    GeodesyMatrix column = MatrixAllocate(3, 1);
    for (int l = 0; l < 3; ++l) {
        row[0][l] = l + 1;
        column[l][0] = 10 * (l + 1);
    }
    GeodesyMatrix dot = MatrixMultiply(row, 1, 3, column, 3, 1);
    EXPECT_EQ(dot[0][0], 140.0L);
    MatrixFree(dot, 1);
    MatrixFree(row, 1);
    MatrixFree(column, 3);
    MatrixFree(identity, 3);
    MatrixFree(original, 3);
    MatrixFree(m, 3);
    MatrixFree(nullptr, 3);
}

TEST(GeodesyDatum, LongitudeInEveryQuadrant) {
    const long double a = 6378137.0L, f = 0.0033528106647474L;
    for (double lon : {0.0, 45.0, 135.0, 179.5, -179.5, -135.0, -45.0, -90.0, 90.0}) {
        const auto ecef = Numbers(GeodeticToECEF(30, lon, 10, a, f));
        ASSERT_EQ(ecef.size(), 3u);
        const auto back = Numbers(ECEFToGeodetic(ecef[0], ecef[1], ecef[2], a, f));
        ASSERT_EQ(back.size(), 3u);
        EXPECT_NEAR(back[0], 30, 1e-8) << lon;
        EXPECT_NEAR(back[1], lon, 1e-8) << lon;
        EXPECT_NEAR(back[2], 10, 0.0051) << lon;
    }
    EXPECT_EQ(Numbers(ECEFToGeodetic(0, 6378137, 0, a, f))[1], 90.0);
    EXPECT_EQ(Numbers(ECEFToGeodetic(0, -6378137, 0, a, f))[1], -90.0);
}

TEST(GeodesyDatum, PointOnThePolarAxisHasLatitudeNinety) {
    const long double a = 6378137.0L, f = 0.0033528106647474L;
    const double b = 6378137.0 * (1 - 0.0033528106647474);
    EXPECT_EQ(ECEFToGeodetic(0, 0, b + 25.5L, a, f), "90.00000000\t0.00000000\t25.50");
    EXPECT_EQ(ECEFToGeodetic(0, 0, -(b + 3), a, f), "-90.00000000\t0.00000000\t3.00");
    // A metre off the axis, where p / cos(latitude) divides two vanishing numbers.
    const auto near = Numbers(ECEFToGeodetic(1, 0, b + 100, a, f));
    ASSERT_EQ(near.size(), 3u);
    const double polarRadius = 6378137.0 / (1 - 0.0033528106647474); // a^2 / b
    EXPECT_NEAR(near[0], 90 - 1 / (polarRadius + 100) * 180 / 3.141592653589793, 1e-8);
    EXPECT_NEAR(near[2], 100, 0.0051);
    // And through the whole chain.
    EXPECT_EQ(DatumTransform("BLH", "90 0 0", kNeutralToWgs84), "90.00000000\t0.00000000\t0.00");
    EXPECT_EQ(DatumTransform("BLH", "-90 17 12", kNeutralToWgs84),
              "-90.00000000\t17.00000000\t12.00");
}

TEST(GeodesyDatum, LatitudeIterationThatDoesNotSettleGivesFailure) {
    // A few kilometres from the earth's centre the fixed-point iteration has no fixed point to
    // reach; it stops at its pass limit instead of running for ever.
    EXPECT_EQ(ECEFToGeodetic(5000, 0, 1000, 6378137.0L, 0.0033528106647474L), "0");
}

// Failure texts: a short or padded text, a number that is not finite, the inverse flattening
// typed in place of the flattening, or a comma as decimal separator give "0", never a wrong
// position or a text holding "nan".
TEST(GeodesyDatum, MalformedTextsGiveTheFailureResult) {
    const std::string p17 =
        kWgs84Neutral + "6378388 0.003367003367003367 1.2 -0.8 -0.3 0.6 -84.12 -101.75";
    const std::string good = p17 + " -129.33";
    ASSERT_NE(DatumTransform("BLH", "41 29 0", good), "0");
    const std::pair<std::string, std::string> cases[] = {
        {"41 29", good},          // two numbers
        {"", good},               // nothing
        {"41 nan 0", good},       // not finite
        {"41 29 inf", good},      // not finite
        {"41,5 29 0", good},      // decimal comma
        {"41 29abc 0", good},     // junk glued to a number
        {"91 29 0", good},        // beyond the pole
        {"41 29 0", p17},         // 17 parameters
        {"41 29 0", good + " 7"}, // 19 parameters
        {"41 29 0", good + " x"}, // junk after the parameters
        {"41 29 0", kWgs84Neutral + "6378388 297 1.2 -0.8 -0.3 0.6 -84.12 -101.75 -129.33"},
        {"41 29 0", "6378137 298.257223563 0 0 0 0 0 0 0 6378388 0.00336 0 0 0 0 0 0 0"},
        {"41 29 0", kWgs84Neutral + "-6378388 0.00336 0 0 0 0 0 0 0"},
        {"41 29 0", kWgs84Neutral + "6378388 nan 0 0 0 0 0 0 0"},
    };
    for (const auto& [point, parameters] : cases) {
        EXPECT_EQ(DatumTransform("BLH", point, parameters), "0") << point << " | " << parameters;
        EXPECT_EQ(DatumTransform("XYZ", point, parameters), "0") << point << " | " << parameters;
    }
    EXPECT_EQ(DatumTransform("BLH", "41 29 1e308", good), "0"); // overflows on the way back
    // Further numbers after the point are not looked at, like a scan of three numbers.
    EXPECT_EQ(DatumTransform("BLH", "41 29 0 12", good), DatumTransform("BLH", "41 29 0", good));

    EXPECT_EQ(HelmertTransform("WGS", "1 2 3 0 0 0 0 0 0"), "0");       // nine numbers
    EXPECT_EQ(HelmertTransform("Local", "1 2 3 0 0 0 0 0 0 0 0"), "0"); // eleven
    EXPECT_EQ(HelmertTransform("WGS", "1 2 3 0 0 0 0 0 0 nan"), "0");
    EXPECT_EQ(HelmertTransform("Local", "1 2 3 -1000000 0 0 0 0 0 0"), "0"); // scale 0

    const long double a = 6378137.0L;
    EXPECT_EQ(GeodeticToECEF(41, 29, 0, a, 298.257223563L), "0");
    EXPECT_EQ(GeodeticToECEF(41, 29, 0, a, -0.001L), "0");
    EXPECT_EQ(GeodeticToECEF(41, 29, 0, 0, 0.0033528106647474L), "0");
    EXPECT_EQ(GeodeticToECEF(NAN, 29, 0, a, 0.0033528106647474L), "0");
    EXPECT_EQ(GeodeticToECEF(41, INFINITY, 0, a, 0.0033528106647474L), "0");
    EXPECT_EQ(ECEFToGeodetic(4216250, 2337196, 4162544, a, 298.257223563L), "0");
    EXPECT_EQ(ECEFToGeodetic(NAN, 2337196, 4162544, a, 0.0033528106647474L), "0");
    EXPECT_EQ(ECEFToGeodetic(4216250, 2337196, INFINITY, a, 0.0033528106647474L), "0");
    // A sphere is an ellipsoid too.
    EXPECT_EQ(GeodeticToECEF(0, 0, 0, 6371000, 0), "6371000\t0\t0");
}

} // namespace
