#include "survey/GeodeticSnapshot.h"
#include "survey/SetupValues.h"
#include "tools/surveysim/ExampleDatum.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

namespace {

TEST(SetupValues, RefusesTextsThatAreNotNumbersInTheWindowsOrder) {
    struct Case {
        SetupTexts texts;
        std::optional<SetupField> refused;
        bool outOfRange;
    };
    const Case cases[] = {
        {{"0.40", "1530", "1.5", "0.35"}, std::nullopt, false},
        {{" 0.40 ", "1530", "1.5", "0.35"}, std::nullopt, false},
        {{"0.40", "1530", "1.5", "0.35 m"}, SetupField::TideHt, false},
        {{"", "1530", "1.5", "0.35"}, SetupField::OffsetA, false},
        {{"0.40", "1530", "1e400", "0.35"}, SetupField::OffsetC, false},
        {{"0.40", "1299", "1.5", "0.35"}, SetupField::SV, true},
        {{"0.40", "1700.5", "1.5", "0.35"}, SetupField::SV, true},
        {{"0.40", "1300", "1.5", "nan"}, SetupField::TideHt, false},
        {{"0.40", "abc", "", "0.35"}, SetupField::OffsetC, false},
        {{"0,40", "1530", "1.5", "0.35"}, SetupField::OffsetA, false},
    };
    for (const Case& c : cases) {
        SetupValues values;
        values.OffsetA = -99;
        const auto refusal = ReadSetupValues(c.texts, values);
        SCOPED_TRACE(c.texts.OffsetA + "|" + c.texts.SV + "|" + c.texts.OffsetC + "|" + c.texts.TideHt);
        ASSERT_EQ(refusal.has_value(), c.refused.has_value());
        if (refusal) {
            EXPECT_EQ(refusal->field, *c.refused);
            EXPECT_EQ(refusal->outOfRange, c.outOfRange);
            EXPECT_EQ(values.OffsetA, -99) << "nothing is taken from a refused set";
        } else {
            EXPECT_DOUBLE_EQ(values.OffsetA, 0.40);
            EXPECT_DOUBLE_EQ(values.SoundVelocity, 1530);
        }
    }
}

TEST(SetupValues, MessagesAreTheSetUpWindowsInBothLanguages) {
    EXPECT_EQ(SetupFieldMessage(SetupField::OffsetA, true, false), "Failed! Recheck offset A");
    EXPECT_EQ(SetupFieldMessage(SetupField::SV, true, true), "Error in Sound Velocity (SV) value");
    EXPECT_EQ(SetupFieldMessage(SetupField::SV, true, false), "Failed! Recheck SV value");
    EXPECT_EQ(SetupFieldMessage(SetupField::TideHt, false, false),
              "Başarısız! Su kotunu kontrol ediniz.");
}


TEST(GeodeticSnapshot, RefusesEveryEditThatIsNotExactlyOneUsableNumber) {
    struct Case {
        std::string GeodeticTexts::*field;
        std::string text;
        std::string control;
    };
    const Case cases[] = {
        {&GeodeticTexts::edSMA, "", "edSMA"},
        {&GeodeticTexts::edSMA, "6378137,0", "edSMA"},
        {&GeodeticTexts::edSMA, "-6378137", "edSMA"},
        {&GeodeticTexts::edIF, "298.257", "edIF"},
        {&GeodeticTexts::edIF, "0.01", "edIF"},
        {&GeodeticTexts::edIF, "-0.001", "edIF"},
        {&GeodeticTexts::edRX, "nan", "edRX"},
        {&GeodeticTexts::edSZ, "1 2", "edSZ"},
        {&GeodeticTexts::edSF, "0", "edSF"},
        {&GeodeticTexts::eLCCFN, "inf", "eLCCFN"},
    };
    for (const Case& c : cases) {
        GeodeticTexts texts = ExampleLocalDatum();
        texts.*c.field = c.text;
        GeodeticRefusal refusal;
        SCOPED_TRACE(c.control + " = '" + c.text + "'");
        EXPECT_FALSE(GeodeticSnapshot::Take(texts, &refusal).has_value());
        EXPECT_EQ(refusal.control, c.control);
        EXPECT_FALSE(refusal.caption.empty());
    }
    // Seventeen numbers and the datum text that joins them.
    const auto snapshot = GeodeticSnapshot::Take(ExampleLocalDatum());
    ASSERT_TRUE(snapshot);
    EXPECT_EQ(snapshot->DatumParameterText(),
              "6378137.0  0.0033528106647474  0.0  0.0  0.0  0.0  0.0  0.0  0.0 6378388 "
              "0.003367003367003367 3.5 -1.2 0.8 -2.1 -84.1 -101.8 -129.7");
}

TEST(GeodeticSnapshot, RefusesALambertSetTheProjectionCannotUse) {
    GeodeticTexts texts = ExampleLocalDatum();
    texts.UseLcc = true;
    texts.eLCCSP1 = "40";
    texts.eLCCSP2 = "-40"; // parallels symmetric about the equator: no cone
    GeodeticRefusal refusal;
    EXPECT_FALSE(GeodeticSnapshot::Take(texts, &refusal));
    EXPECT_EQ(refusal.control, "eLCCSP1");

    texts = ExampleLocalDatum();
    texts.UseLcc = true;
    texts.LambertOneParallel = true;
    texts.eLCCCP = "0"; // a cone cannot touch the equator
    EXPECT_FALSE(GeodeticSnapshot::Take(texts, &refusal));
    EXPECT_EQ(refusal.control, "eLCCCP");
}

struct FixturePoint {
    double lon, lat, h, e, n;
};

std::vector<FixturePoint> ReadFixture(const std::string& name) {
    std::ifstream in(std::string(TEST_DATA_DIR) + "/" + name);
    std::vector<FixturePoint> points;
    FixturePoint p;
    while (in >> p.lon >> p.lat >> p.h >> p.e >> p.n)
        points.push_back(p);
    return points;
}

void ExpectFixture(const GeodeticTexts& texts, const std::string& fixture) {
    const auto snapshot = GeodeticSnapshot::Take(texts);
    ASSERT_TRUE(snapshot);
    const GridProjector projector(*snapshot);
    const auto points = ReadFixture(fixture);
    ASSERT_EQ(points.size(), 5u) << fixture;
    for (const FixturePoint& p : points) {
        const auto grid = projector.project(p.lat, p.lon, p.h);
        ASSERT_TRUE(grid) << fixture << " " << p.lat << " " << p.lon;
        EXPECT_NEAR(grid->Easting, p.e, 0.002) << fixture << " " << p.lat << " " << p.lon;
        EXPECT_NEAR(grid->Northing, p.n, 0.002) << fixture << " " << p.lat << " " << p.lon;
    }
}

TEST(GridProjector, TransverseMercatorWithTheDatumMatchesProj) {
    ExpectFixture(ExampleLocalDatum(), "projection_tm.txt");
}

TEST(GridProjector, LambertWithTwoParallelsMatchesProj) {
    GeodeticTexts texts = ExampleLocalDatum();
    texts.UseLcc = true;
    ExpectFixture(texts, "projection_lcc2.txt");
}

TEST(GridProjector, LambertWithOneParallelMatchesProj) {
    GeodeticTexts texts = ExampleLocalDatum();
    texts.UseLcc = true;
    texts.LambertOneParallel = true;
    texts.eLCCCP = "39.5";
    texts.eLCCFE = "400000";
    texts.eLCCFN = "300000";
    ExpectFixture(texts, "projection_lcc1.txt");
}

TEST(GridProjector, ConvergenceIsNegativeEastOfTheCentralMeridianInBothProjections) {
    for (const bool lambert : {false, true}) {
        GeodeticTexts texts = ExampleLocalDatum();
        texts.UseLcc = lambert;
        const auto snapshot = GeodeticSnapshot::Take(texts);
        ASSERT_TRUE(snapshot);
        const GridProjector projector(*snapshot);
        const auto west = projector.project(40, 32.5, 0);
        const auto east = projector.project(40, 33.5, 0);
        ASSERT_TRUE(west && east);
        SCOPED_TRACE(lambert ? "Lambert" : "transverse Mercator");
        EXPECT_GT(west->Convergence, 0.2);
        EXPECT_LT(east->Convergence, -0.2);
        // Both projections are conformal and share the meridian: near it they agree.
        EXPECT_NEAR(west->Convergence, -east->Convergence, 0.02);
    }
}

TEST(GridProjector, GivesNothingForPositionsItCannotProject) {
    GeodeticTexts texts = ExampleLocalDatum();
    texts.UseLcc = true;
    const auto snapshot = GeodeticSnapshot::Take(texts);
    const GridProjector projector(*snapshot);
    int code = -1;
    EXPECT_FALSE(projector.project(NAN, 33, 0, &code));
    EXPECT_FALSE(projector.project(40, INFINITY, 0, &code));
    EXPECT_FALSE(projector.project(95, 33, 0, &code));
    EXPECT_TRUE(projector.project(40, 33, 0, &code));
    EXPECT_EQ(code, 0);
}

} // namespace
