#include "canvas/CanvasModel.h"
#include "canvas/TTPoint.h"
#include "canvas/TTRectangle.h"
#include "drawing_io/XYZLoad.h"
#include "drawing_io/XyzImportReader.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

TEST(XyzImportReader, LineTable) {
    struct Case {
        std::string Line;
        std::optional<std::array<double, 3>> Point;
    };
    const std::vector<Case> cases = {
        {"1,2,3", std::array<double, 3>{1, 2, 3}},
        {"7 100.5 200.25 -3.456", std::array<double, 3>{100.5, 200.25, -3.456}},
        {"1\t2\t3", std::array<double, 3>{1, 2, 3}},
        {"   1  2  3", std::array<double, 3>{1, 2, 3}}, // right-aligned columns
        {"\t-1 +2 3e2", std::array<double, 3>{-1, 2, 300}},
        {"1, 2, 3 trailing", std::array<double, 3>{1, 2, 3}},
        {"0 0 5", std::nullopt},
        {"1 2", std::nullopt},
        {"X Y Z", std::nullopt},
        {"# 1 2 3", std::nullopt},
        {"// 1 2 3", std::nullopt},
        {".5 1 2", std::nullopt},
        {"1 2 nan", std::nullopt},
        {"1 inf 3", std::nullopt},
        {"1 2 1e999", std::nullopt},
        {"10;20;5", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Line);
        const auto point = ReadXyzImportLine(c.Line);
        ASSERT_EQ(point.has_value(), c.Point.has_value());
        if (point) {
            EXPECT_DOUBLE_EQ(point->X, (*c.Point)[0]);
            EXPECT_DOUBLE_EQ(point->Y, (*c.Point)[1]);
            EXPECT_DOUBLE_EQ(point->Z, (*c.Point)[2]);
        }
    }
}

TEST(XyzImportReader, LineEndsBomAndLongLines) {
    const std::string longLine = "1 2 3" + std::string(2000, ' ') + "4 5 6";
    const std::string tooLong = "9 9 9" + std::string(XyzImportMaxLineBytes, ' ') + "8 8 8";
    const std::string bytes = "\xEF\xBB\xBF" "1 1 1\r\n2 2 2\r3 3 3\n" + longLine + "\n" +
                              tooLong + "\n4 4 4";
    std::vector<XyzImportPoint> points;
    const size_t count =
        ReadXyzImportBytes(bytes, [&](const XyzImportPoint& p) { points.push_back(p); });
    ASSERT_EQ(count, 5u);
    ASSERT_EQ(points.size(), 5u);
    EXPECT_EQ(points[0].X, 1);
    EXPECT_EQ(points[2].X, 3);
    // The long line is one point (its tail is not a second one).
    EXPECT_EQ(points[3].X, 2);
    EXPECT_EQ(points[3].Y, 3);
    EXPECT_EQ(points[3].Z, 4);
    EXPECT_EQ(points[4].X, 4);
}

TEST(XyzLoad, ColourRamp) {
    struct Case {
        double Value, Low, High;
        uint32_t Colour;
    };
    const Case cases[] = {
        {-1, 0, 10, 0x0000FF}, {0, 0, 10, 0x0000FF},   {1, 0, 10, 0x0066FF},
        {2.5, 0, 10, 0x00FFFF}, {5, 0, 10, 0x00FF00}, {7.5, 0, 10, 0xFFFF00},
        {10, 0, 10, 0xFF0000}, {11, 0, 10, 0xFF0000}, {5, 5, 5, 0x0000FF},
        {6, 5, 5, 0xFF0000},   {6, 5, 4, 0xFF0000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Value);
        EXPECT_EQ(ValueColorRamp(c.Value, c.Low, c.High), c.Colour);
    }
}

TEST(XyzLoad, LatticeBecomesCellsAndScatterBecomesPoints) {
    // A 4 x 4 lattice at 5 m: gdalinfo of it says "Size is 4, 4", origin 97.5/197.5.
    std::string lattice;
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col)
            lattice += std::to_string(100 + col * 5) + "," + std::to_string(200 + row * 5) + "," +
                       std::to_string(row) + "\n";
    CanvasModel canvas;
    const int32_t firstId = canvas.NextShapeId;
    ASSERT_TRUE(XYZLoadBytes(canvas, lattice, 42, 0, 0));
    ASSERT_EQ(canvas.Shapes.size(), 16u);
    const auto* first = dynamic_cast<const TTRectangle*>(canvas.Shapes[0]);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->Id, firstId);
    EXPECT_EQ(first->LayerId, 42);
    EXPECT_DOUBLE_EQ(first->X1, 97.5);
    EXPECT_DOUBLE_EQ(first->Y1, 197.5);
    EXPECT_DOUBLE_EQ(first->X2 - first->X1, 5);
    EXPECT_EQ(first->BrushFg, 0x0000FFu);
    EXPECT_EQ(canvas.Shapes[15]->PenFg, 0xFF0000u);

    std::mt19937 random(7);
    std::uniform_real_distribution<double> spread(0, 1000);
    std::string scatter;
    for (int i = 0; i < 200; ++i)
        scatter += std::to_string(spread(random)) + " " + std::to_string(spread(random)) + " 1\n";
    CanvasModel scattered;
    ASSERT_TRUE(XYZLoadBytes(scattered, scatter, 0, 0, 0));
    const auto* point = dynamic_cast<const TTPoint*>(scattered.Shapes[0]);
    ASSERT_NE(point, nullptr);
    EXPECT_EQ(point->PointSize, 1);
    EXPECT_DOUBLE_EQ(point->MaxX - point->MinX, 6);
}

TEST(XyzLoad, FewPointsRowsCommentsAndBom) {
    struct Case {
        std::string Bytes;
        bool Loaded;
        size_t Shapes;
        bool Cells;
    };
    std::string tenOnLattice, oneRow;
    for (int i = 0; i < 10; ++i)
        tenOnLattice += std::to_string(i % 4 * 5 + 1) + " " + std::to_string(i / 4 * 5 + 1) + " 1\n";
    for (int i = 0; i < 20; ++i)
        oneRow += std::to_string(i * 5 + 1) + " 7 1\n";
    const std::vector<Case> cases = {
        {"# only\n;comments\n\n", false, 0, false},
        {"\xEF\xBB\xBF" "10,20,5\n10;20;5\n10 20\n1 2 3 4\n1\t2\t3\n", true, 3, false},
        {"1 2 nan\n", false, 0, false},
        {tenOnLattice, true, 10, false},
        {oneRow, true, 20, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Bytes.substr(0, 20));
        CanvasModel canvas;
        EXPECT_EQ(XYZLoadBytes(canvas, c.Bytes, 3, 0, 0), c.Loaded);
        ASSERT_EQ(canvas.Shapes.size(), c.Shapes);
        if (c.Shapes > 0)
            EXPECT_EQ(canvas.Shapes[0]->Class() == ShapeClass::Rectangle, c.Cells);
    }
}
