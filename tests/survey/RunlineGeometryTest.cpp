#include "survey/RunlineGeometry.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Lines = std::vector<RunlinePolyline>;
constexpr auto Perp = RunlineType::Perpendicular;
constexpr auto Para = RunlineType::Parallel;

RunlinePolyline cross(double x) {
    return {{x, 100}, {x, -100}};
}

struct GeometryCase {
    std::string name;
    std::vector<RunlinePoint> route;
    double spacing;
    double length;
    RunlineType type;
    Lines expected;
};

std::string describe(const Lines& lines) {
    std::string text;
    for (const RunlinePolyline& line : lines) {
        text += "[";
        for (const auto& [x, y] : line)
            text += "(" + std::to_string(x) + "," + std::to_string(y) + ")";
        text += "] ";
    }
    return text;
}

void expectLines(const Lines& actual, const Lines& expected, const std::string& name) {
    ASSERT_EQ(actual.size(), expected.size()) << name << ": " << describe(actual);
    for (size_t i = 0; i < actual.size(); ++i) {
        ASSERT_EQ(actual[i].size(), expected[i].size()) << name << " line " << i;
        for (size_t j = 0; j < actual[i].size(); ++j) {
            EXPECT_NEAR(actual[i][j].first, expected[i][j].first, 1e-9)
                << name << " line " << i << " point " << j;
            EXPECT_NEAR(actual[i][j].second, expected[i][j].second, 1e-9)
                << name << " line " << i << " point " << j;
        }
    }
}

} // namespace

TEST(RunlineGeometry, LinesLieWhereTheHandComputedGeometryPutsThem) {
    const double h = 7.0710678118654755; // 10 / sqrt(2)
    Lines sixCrossLines;
    for (int i = 0; i < 6; ++i)
        sixCrossLines.push_back(
            {{499984.0 + 6 * i, 4500012.0 + 8 * i}, {500016.0 + 6 * i, 4499988.0 + 8 * i}});
    const std::vector<GeometryCase> cases = {
        {"straight route, cross lines",
         {{0, 0}, {35, 0}},
         10,
         100,
         Perp,
         {cross(0), cross(10), cross(20), cross(30)}},
        {"straight route, parallel lines",
         {{0, 0}, {35, 0}},
         30,
         100,
         Para,
         {{{0, 30}, {35, 30}},
          {{0, -30}, {35, -30}},
          {{0, 60}, {35, 60}},
          {{0, -60}, {35, -60}},
          {{0, 90}, {35, 90}},
          {{0, -90}, {35, -90}}}},
        {"length shorter than the spacing", {{0, 0}, {35, 0}}, 30, 25, Para, {}},
        {"bent route, cross lines per segment",
         {{0, 0}, {20, 0}, {20, 20}},
         10,
         100,
         Perp,
         {cross(0),
          cross(10),
          cross(20),
          {{-80, 0}, {120, 0}},
          {{-80, 10}, {120, 10}},
          {{-80, 20}, {120, 20}}}},
        {"bent route, unit bisector at the bend",
         {{0, 0}, {20, 0}, {20, 20}},
         10,
         10,
         Para,
         {{{0, 10}, {20 - h, h}, {10, 20}}, {{0, -10}, {20 + h, -h}, {30, 20}}}},
        {"grid coordinates", {{500000, 4500000}, {500030, 4500040}}, 10, 20, Perp, sixCrossLines},
        {"reversing route: zero normal at the turn",
         {{0, 0}, {10, 0}, {0, 0}},
         5,
         5,
         Para,
         {{{0, 5}, {10, 0}, {0, -5}}, {{0, -5}, {10, 0}, {0, 5}}}},
        {"coincident points give no cross lines",
         {{0, 0}, {0, 0}, {10, 0}},
         10,
         5,
         Perp,
         {{{0, 5}, {0, -5}}, {{10, 5}, {10, -5}}}},
        {"one point is no route", {{0, 0}}, 10, 100, Perp, {}},
    };
    for (const GeometryCase& c : cases) {
        expectLines(GenerateRunlineGeometry(c.route, c.spacing, c.length, c.type), c.expected,
                    c.name);
        const RunlineCount count = CountRunlines(c.route, c.spacing, c.length, c.type);
        EXPECT_EQ(count.Lines, double(c.expected.size())) << c.name;
        double vertices = 0;
        for (const RunlinePolyline& line : c.expected)
            vertices += double(line.size());
        EXPECT_EQ(count.Vertices, vertices) << c.name;
    }
}

TEST(RunlineGeometry, ASegmentThatIsAWholeMultipleOfADecimalSpacingGetsItsEndLine) {
    // 0.1 + 0.1 + 0.1 is above 0.3 in binary: lines placed by repeated addition lose the last.
    expectLines(
        GenerateRunlineGeometry({{0, 0}, {0.3, 0}}, 0.1, 1, Perp),
        {{{0, 1}, {0, -1}}, {{0.1, 1}, {0.1, -1}}, {{0.2, 1}, {0.2, -1}}, {{0.3, 1}, {0.3, -1}}},
        "decimal spacing");
    // The count agrees and no line lies beyond the segment's end.
    EXPECT_EQ(CountRunlines({{0, 0}, {0.7, 0}}, 0.1, 1, Perp).Lines, 8);
    const Lines lines = GenerateRunlineGeometry({{0, 0}, {0.7, 0}}, 0.1, 1, Perp);
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_LE(lines.back()[0].first, 0.7);
    EXPECT_NEAR(lines.back()[0].first, 0.7, 1e-12);
}

TEST(RunlineGeometry, CoincidentPointsOfAParallelRouteCountAsZeroNormal) {
    // The first segment has no direction: the first point's normal is zero, and the inner
    // point takes the outgoing segment's normal scaled back to unit length.
    const Lines lines = GenerateRunlineGeometry({{0, 0}, {0, 0}, {10, 0}}, 5, 5, Para);
    expectLines(lines, {{{0, 0}, {0, 5}, {10, 5}}, {{0, 0}, {0, -5}, {10, -5}}}, "coincident");
}

TEST(RunlineGeometry, TenThousandLinesAreAllowedAndOneMorePairIsRefused) {
    const std::vector<RunlinePoint> route = {{0, 0}, {100, 0}};
    const RunlineCount allowed = CountRunlines(route, 1, 5000, Para);
    EXPECT_EQ(allowed.Lines, 10000);
    EXPECT_TRUE(allowed.WithinBounds());
    const RunlineCount refused = CountRunlines(route, 1, 5001, Para);
    EXPECT_EQ(refused.Lines, 10002);
    EXPECT_FALSE(refused.WithinBounds());
}

TEST(RunlineGeometry, TenMillionVerticesAreAllowedAndMoreAreRefused) {
    std::vector<RunlinePoint> route;
    for (int i = 0; i < 1000; ++i)
        route.push_back({i * 100.0, (i % 2) * 10.0});
    EXPECT_TRUE(CountRunlines(route, 1, 5000, Para).WithinBounds()); // 10,000 x 1,000
    route.push_back({100000, 0});
    const RunlineCount over = CountRunlines(route, 1, 5000, Para);
    EXPECT_EQ(over.Vertices, 10000.0 * 1001);
    EXPECT_FALSE(over.WithinBounds());
}

TEST(RunlineGeometry, AbsurdSpacingsAreCountedWithoutOverflowAndRefused) {
    const std::vector<RunlinePoint> route = {{0, 0}, {1e6, 0}};
    for (const double spacing : {1e-300, 5e-324}) {
        EXPECT_FALSE(CountRunlines(route, spacing, 100, Perp).WithinBounds()) << spacing;
        EXPECT_FALSE(CountRunlines(route, spacing, 100, Para).WithinBounds()) << spacing;
    }
    // A route spanning more than the largest double has an infinite length.
    EXPECT_FALSE(CountRunlines({{-1.7e308, 0}, {1.7e308, 0}}, 10, 100, Perp).WithinBounds());
}
