// What a paint wrote to: the boxes themselves for putting back what lay beneath, the tiles for
// what the screen shows again.
#include "canvas/TouchedTiles.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Box = TouchedTiles::Box;

bool SameBoxes(const std::vector<Box>& a, const std::vector<Box>& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].Left != b[i].Left || a[i].Top != b[i].Top || a[i].Right != b[i].Right ||
            a[i].Bottom != b[i].Bottom)
            return false;
    return true;
}

// Every pixel of `box` lies in one of `boxes`.
bool Covered(const Box& box, const std::vector<Box>& boxes) {
    for (int y = box.Top; y <= box.Bottom; ++y)
        for (int x = box.Left; x <= box.Right; ++x) {
            bool inside = false;
            for (const Box& b : boxes)
                inside = inside || (x >= b.Left && x <= b.Right && y >= b.Top && y <= b.Bottom);
            if (!inside)
                return false;
        }
    return true;
}

TEST(TouchedTiles, BoxesAreKeptClippedAndTheirTilesCoverThem) {
    constexpr int T = TouchedTiles::TileSize;
    TouchedTiles touched;
    touched.Reset(10 * T, 6 * T - 5); // the last row of tiles is cut short
    EXPECT_TRUE(touched.Empty());
    // A point, a box given from its far corner, one half off the surface, one wholly off it.
    touched.Mark(3, 4, 3, 4);
    touched.Mark(5 * T + 2, 3 * T + 1, 4 * T + 1, 2 * T);
    touched.Mark(-7, 6 * T - 9, 2, 6 * T + 40);
    touched.Mark(-50, -50, -1, -1);
    EXPECT_TRUE(SameBoxes(touched.Pixels(), {{3, 4, 3, 4},
                                              {4 * T + 1, 2 * T, 5 * T + 2, 3 * T + 1},
                                              {0, 6 * T - 9, 2, 6 * T - 6}}));
    const std::vector<Box> tiles = touched.Tiles();
    EXPECT_TRUE(SameBoxes(tiles, {{0, 0, T - 1, T - 1},
                                  {4 * T, 2 * T, 6 * T - 1, 4 * T - 1},
                                  {0, 5 * T, T - 1, 6 * T - 6}}));
    for (const Box& box : touched.Pixels())
        EXPECT_TRUE(Covered(box, tiles));
}

TEST(TouchedTiles, RowsMarkedAlikeMakeOneBandAndEverythingIsTheWholeSurface) {
    constexpr int T = TouchedTiles::TileSize;
    TouchedTiles touched;
    touched.Reset(8 * T, 8 * T);
    // A line down the map and one across it: the line down is one box above and one below.
    touched.Mark(3 * T + 5, 0, 3 * T + 6, 8 * T - 1);
    touched.Mark(0, 5 * T + 3, 8 * T - 1, 5 * T + 3);
    EXPECT_TRUE(SameBoxes(touched.Tiles(), {{3 * T, 0, 4 * T - 1, 5 * T - 1},
                                            {0, 5 * T, 8 * T - 1, 6 * T - 1},
                                            {3 * T, 6 * T, 4 * T - 1, 8 * T - 1}}));
    EXPECT_FALSE(touched.All());
    touched.MarkAll();
    EXPECT_TRUE(touched.All());
    EXPECT_TRUE(SameBoxes(touched.Pixels(), {{0, 0, 8 * T - 1, 8 * T - 1}}));
}

TEST(TouchedTiles, PastTheLimitOfBoxesTheTilesStandInForThem) {
    TouchedTiles touched;
    touched.Reset(1000, 500);
    for (size_t i = 0; i <= TouchedTiles::MaximumBoxes; ++i)
        touched.Mark(int(i % 900), int(i % 400), int(i % 900) + 3, int(i % 400) + 1);
    const std::vector<Box> pixels = touched.Pixels();
    EXPECT_TRUE(SameBoxes(pixels, touched.Tiles()));
    EXPECT_TRUE(Covered({899, 399, 902, 400}, pixels));
}

TEST(TouchedTiles, UnitingAddsBothAndASurfaceOfAnotherSizeMarksEverything) {
    TouchedTiles a, b, other;
    a.Reset(200, 100);
    b.Reset(200, 100);
    other.Reset(100, 100);
    a.Mark(1, 1, 2, 2);
    b.Mark(150, 80, 160, 90);
    a.Unite(b);
    EXPECT_TRUE(SameBoxes(a.Pixels(), {{1, 1, 2, 2}, {150, 80, 160, 90}}));
    other.Mark(5, 5, 6, 6);
    a.Unite(other);
    EXPECT_TRUE(a.All());
}

} // namespace
