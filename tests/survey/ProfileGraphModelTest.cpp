#include "survey/ProfileGraphModel.h"
#include "survey/SoundVelocityProfile.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(ProfileGraphModel, LoadsPointsSkippingEmptySlotsAndWritesThemBack)
{
    ProfileGraphModel m;
    m.LoadPoints({"0,1500.000,1", "", "12,1500.5", "x", "13,1501.25,3"});
    ASSERT_EQ(m.Points.size(), 3u);
    EXPECT_EQ(m.Points[1].Hits, 1);
    EXPECT_EQ(m.WritePoints(), (std::vector<std::string>{"0,1500.00,1", "12,1500.50,1", "13,1501.25,3"}));
    ProfileGraphModel empty;
    empty.LoadPoints({"", ""});
    EXPECT_TRUE(empty.Points.empty());
    EXPECT_EQ(empty.MinSV, 1600);
    EXPECT_EQ(empty.MaxDepth, 0);
}

TEST(ProfileGraphModel, AWriteBackWithoutEmptySlotsBuildsTheSameColumn)
{
    std::vector<std::string> averaged(11);
    averaged[0] = "0,1500.00,1";
    averaged[5] = "5,1510.00,2";
    averaged[10] = "10,1505.00,1";
    ProfileGraphModel m;
    m.LoadPoints(averaged);
    EXPECT_EQ(BuildVelocityColumn(m.WritePoints(), 10, true).column, BuildVelocityColumn(averaged, 10, true).column);
}

TEST(ProfileGraphModel, DragStopsAtTheLastAcceptedValue)
{
    ProfileGraphModel m;
    m.LoadPoints({"0,1500", "10,1520"});
    m.MinSV = 1290;
    m.MaxSV = 1710;
    const int x1700 = m.SVToX(1700);
    EXPECT_TRUE(m.DragTo(1, x1700 - 2));
    const double accepted = m.Points[1].SV;
    EXPECT_FALSE(m.DragTo(1, x1700 + 5));
    EXPECT_EQ(m.Points[1].SV, accepted);
    EXPECT_TRUE(m.Modified);
}

TEST(ProfileGraphModel, LassoNeedsThreePointsAndSelectsInside)
{
    ProfileGraphModel m;
    m.LoadPoints({"0,1500", "10,1520", "20,1510"});
    const int x = m.SVToX(1520), y = m.DepthToY(10);
    m.LassoPoints = {{x - 10, y - 10}, {x + 10, y - 10}};
    EXPECT_EQ(m.SelectInLasso(), 0);
    m.LassoPoints.push_back({x, y + 10});
    EXPECT_EQ(m.SelectInLasso(), 1);
    EXPECT_TRUE(m.Points[1].Selected);
    m.DeleteSelected();
    EXPECT_EQ(m.Points.size(), 2u);
    EXPECT_TRUE(m.LassoPoints.empty());
}

TEST(ProfileGraphModel, WheelKeepsFiniteRangesAndAMinimumSpan)
{
    ProfileGraphModel m;
    m.LoadPoints({"0,1500", "5,1510"});
    m.MinDepth = 0;
    m.MaxDepth = 5.4;
    m.Wheel(300, 200, true);
    EXPECT_NEAR(m.MaxDepth - m.MinDepth, 5.0, 1e-9);

    ProfileGraphModel same;
    same.LoadPoints({"7,1500", "7,1510"});
    EXPECT_EQ(same.MinDepth, same.MaxDepth);
    same.Wheel(300, 200, false);
    for (double v : {same.MinSV, same.MaxSV, same.MinDepth, same.MaxDepth})
        EXPECT_TRUE(std::isfinite(v));
    EXPECT_NEAR(same.MaxDepth - same.MinDepth, 5.0, 1e-9);
    EXPECT_LE(same.MinDepth, 7.0);
    EXPECT_GE(same.MaxDepth, 7.0);
}

TEST(ProfileGraphModel, GridRowsRoundTripAndATypedHugeValueKeepsGridLinesBounded)
{
    ProfileGraphModel m;
    m.LoadPoints({"0,1500", "10,1520,4"});
    auto rows = m.FillGrid();
    EXPECT_EQ(rows[1], (std::vector<std::string>{"10", "1520.00", "4"}));
    rows.push_back({"abc", "1500"});
    rows.push_back({"20", "1e9", ""});
    m.GridToPoints(rows);
    ASSERT_EQ(m.Points.size(), 3u);
    EXPECT_EQ(m.Points[2].Hits, 1);
    EXPECT_LE((m.MaxSV - m.MinSV) / m.VelocityGridStep(), 200.0);
    EXPECT_LE((m.MaxDepth - m.MinDepth) / m.DepthGridStep(), 200.0);
    const int x = m.SVToX(1e300);
    EXPECT_LE(x, 1000060);
}

TEST(ProfileGraphModel, AddRowContinuesBelowTheLastPointAndDeleteRowKeepsTheOnlyRow)
{
    ProfileGraphModel m;
    EXPECT_EQ(m.NewGridRow(), (std::vector<std::string>{"0", "1500.00", "0"}));
    m.LoadPoints({"3,1501.5,2", "8,1498.254,4"});
    EXPECT_EQ(m.NewGridRow(), (std::vector<std::string>{"9", "1498.25", "0"}));
    m.LoadPoints({"2147483647,1500"});
    EXPECT_EQ(m.NewGridRow()[0], "2147483647");

    struct Case {
        int rows;
        int index;
        std::vector<std::string> depthsLeft;
    };
    for (const Case& c : std::vector<Case>{{3, 0, {"1", "2"}},
                                           {3, 1, {"0", "2"}},
                                           {3, 2, {"0", "1"}},
                                           {3, 3, {"0", "1", "2"}},
                                           {3, -1, {"0", "1", "2"}},
                                           {1, 0, {"0"}},
                                           {0, 0, {}}}) {
        std::vector<std::vector<std::string>> rows;
        for (int i = 0; i < c.rows; ++i)
            rows.push_back({std::to_string(i), "1500.00", "1"});
        ProfileGraphModel::DeleteGridRow(rows, c.index);
        std::vector<std::string> depths;
        for (const auto& row : rows)
            depths.push_back(row[0]);
        EXPECT_EQ(depths, c.depthsLeft) << c.rows << " rows, index " << c.index;
    }
}

TEST(ProfileGraphModel, LassoGrowsOnlyWhenThePointerMovesMoreThanThreePixels)
{
    ProfileGraphModel m;
    EXPECT_FALSE(m.ExtendLasso(10, 10));
    m.LassoPoints = {{100, 100}};
    EXPECT_FALSE(m.ExtendLasso(103, 97));
    EXPECT_TRUE(m.ExtendLasso(104, 100));
    EXPECT_TRUE(m.ExtendLasso(104, 96));
    EXPECT_EQ(m.LassoPoints.size(), 3u);
}

TEST(ProfileGraphModel, AGridRowSelectsItsPointAloneAndThePointerTextShowsValues)
{
    ProfileGraphModel m;
    m.LoadPoints({"0,1500", "10,1520", "20,1510"});
    m.Points[0].Selected = true;
    m.SelectOnly(2);
    EXPECT_EQ(m.SelectedCount(), 1);
    EXPECT_TRUE(m.Points[2].Selected);
    m.SelectOnly(7);
    EXPECT_EQ(m.SelectedCount(), 0);
    EXPECT_EQ(m.GridRow(1), m.FillGrid()[1]);

    m.MinSV = 1500;
    m.MaxSV = 1562;
    m.MinDepth = 0;
    m.MaxDepth = 44;
    // The plot area of the 700 x 500 paint box is 620 x 440 pixels.
    EXPECT_EQ(m.PointerText(60 + 31, 20 + 110), "SV: 1503.1 m/s  Depth: 11.0 m  (Drag point to edit SV)");
}

TEST(ProfileGraphModel, ARowWithTextThatDoesNotReadIsFoundBeforeItIsDropped)
{
    using Rows = std::vector<std::vector<std::string>>;
    struct Case {
        Rows rows;
        int first;
    };
    for (const Case& c : std::vector<Case>{{{{"0", "1500.00", "1"}, {"1", "1500.5", ""}}, -1},
                                           {{{"0", "1500.00", "1"}, {"1", "1500,5", "1"}}, 1},
                                           {{{"ten", "1500", "1"}, {"1", "x", "1"}}, 0},
                                           {{{"", " ", ""}, {"2", "1501", "abc"}}, -1},
                                           {{{"3", "", ""}}, 0},
                                           {{{"4", "nan", "1"}}, 0},
                                           {{}, -1}}) {
        EXPECT_EQ(ProfileGraphModel::FirstUnreadableRow(c.rows), c.first) << c.rows.size() << " rows";
    }
}
