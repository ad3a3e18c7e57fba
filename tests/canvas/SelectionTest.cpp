#include "RecordingCanvas.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

const std::vector<TPointF> Square = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};

std::vector<int32_t> StoreOrder(const CanvasModel& canvas) {
    std::vector<int32_t> ids;
    for (const auto& shape : canvas.Shapes)
        ids.push_back(shape->Id);
    return ids;
}

TEST(SelectionTest, SelectAndDeselectKeepFlagsAndListInStep) {
    RecordingCanvas canvas;
    const int32_t a = canvas.DrawPoint(1, 1, 0);
    const int32_t b = canvas.DrawPoint(2, 2, 0);
    canvas.Painted();
    canvas.ShapeSelect(a, true);
    canvas.ShapeSelect(a, true);
    EXPECT_EQ(canvas.SelectedShapeCount(), 1);
    EXPECT_EQ(canvas.GetShapeSelectNumbers(), (std::vector<int32_t>{a, a}));
    EXPECT_TRUE(canvas.NeedsRedraw);
    EXPECT_EQ(canvas.Invalidations, 0);

    canvas.ShapeDeselect(a);
    EXPECT_FALSE(canvas.GetShapeSelectNumbers().has_value());
    EXPECT_FALSE(canvas.GetShapeIsSelected(a));

    canvas.ShapeSelect(a, true);
    canvas.ShapeSelect(b, false);
    EXPECT_FALSE(canvas.GetShapeIsSelected(a));
    EXPECT_TRUE(canvas.GetShapeIsSelected(b));
    EXPECT_EQ(canvas.SelectedIds, (std::vector<int32_t>{b}));

    canvas.Painted();
    canvas.ShapeSelect(99, true); // no shape: nothing listed, still marked stale
    EXPECT_EQ(canvas.SelectedIds, (std::vector<int32_t>{b}));
    EXPECT_TRUE(canvas.NeedsRedraw);

    canvas.ShapeSelect(a, true);
    canvas.CadSelectShapes();
    EXPECT_EQ(canvas.SelectedIds, (std::vector<int32_t>{b, a, a, b}));
    EXPECT_EQ(canvas.SelectedShapeCount(), 2);

    canvas.Painted();
    canvas.ClearSelection();
    EXPECT_EQ(canvas.SelectedShapeCount(), 0);
    EXPECT_TRUE(canvas.SelectedIds.empty());
    EXPECT_FALSE(canvas.NeedsRedraw);
    EXPECT_EQ(canvas.Invalidations, 0);

    canvas.CadSelectShapes();
    canvas.Painted();
    canvas.CadDeselectShapes();
    EXPECT_EQ(canvas.SelectedShapeCount(), 0);
    EXPECT_TRUE(canvas.SelectedIds.empty());
    EXPECT_TRUE(canvas.NeedsRedraw);
}

TEST(SelectionTest, MovingTheSelectionTranslatesOnlySelectedShapes) {
    RecordingCanvas canvas;
    const int32_t a = canvas.DrawLine(0, 0, 1, 0, 0);
    const int32_t b = canvas.DrawLine(0, 0, 1, 0, 0);
    canvas.ShapeSelect(a, true);
    canvas.ShapeSelectMoveDelta(5, -1);
    EXPECT_DOUBLE_EQ(canvas.FindShape(a)->MinX, 5.0);
    EXPECT_DOUBLE_EQ(canvas.FindShape(a)->MinY, -1.0);
    EXPECT_DOUBLE_EQ(canvas.FindShape(b)->MinX, 0.0);
    canvas.ShapeSelectMoveDelta(std::numeric_limits<double>::quiet_NaN(), 0);
    EXPECT_DOUBLE_EQ(canvas.FindShape(a)->MinX, 5.0);
}

TEST(SelectionTest, DeletingTheSelectionKeepsTheOrderOfTheRest) {
    struct Case {
        const char* what;
        void (CanvasModel::*remove)();
        int invalidations;
        bool staleOnEmptyStore;
    };
    const Case cases[] = {
        {"CadClearSelectedShapes", &CanvasModel::CadClearSelectedShapes, 1, true},
        {"ShapeSelectDelete", &CanvasModel::ShapeSelectDelete, 1, false},
        {"DeleteSelectedShapes", &CanvasModel::DeleteSelectedShapes, 1, true},
    };
    for (const Case& c : cases) {
        RecordingCanvas canvas;
        for (int i = 0; i < 6; ++i)
            canvas.DrawPoint(i, i, 0);
        canvas.ShapeSelect(2, true);
        canvas.ShapeSelect(5, true);
        canvas.ShapeSelect(2, true);
        canvas.SelectedIds.push_back(40); // an id whose shape is long gone
        canvas.Painted();
        (canvas.*c.remove)();
        EXPECT_EQ(StoreOrder(canvas), (std::vector<int32_t>{1, 3, 4, 6})) << c.what;
        EXPECT_TRUE(canvas.SelectedIds.empty()) << c.what;
        EXPECT_EQ(canvas.ShapeCount, 4) << c.what;
        EXPECT_TRUE(canvas.NeedsRedraw) << c.what;
        EXPECT_EQ(canvas.Invalidations, c.invalidations) << c.what;
        EXPECT_EQ(canvas.FindShape(2), nullptr) << c.what;
        EXPECT_EQ(canvas.FindShape(6)->Id, 6) << c.what;

        RecordingCanvas empty;
        empty.SelectedIds.push_back(3);
        empty.Painted();
        (empty.*c.remove)();
        EXPECT_EQ(empty.NeedsRedraw, c.staleOnEmptyStore) << c.what;
        EXPECT_EQ(empty.SelectedIds.empty(), c.staleOnEmptyStore) << c.what;
    }
}

TEST(SelectionTest, SelectShapesOnLayersReplacesTheSelection) {
    RecordingCanvas canvas;
    const int fix = canvas.LayerOpen("track_fix");
    const int nofix = canvas.LayerOpen("track_nofix");
    const int32_t a = canvas.DrawPoint(1, 1, fix);
    const int32_t other = canvas.DrawPoint(1, 1, 0);
    const int32_t b = canvas.DrawPoint(1, 1, nofix);
    canvas.ShapeSelect(other, true);
    canvas.Painted();
    canvas.SelectShapesOnLayers({nofix, fix});
    EXPECT_EQ(canvas.SelectedIds, (std::vector<int32_t>{a, b}));
    EXPECT_FALSE(canvas.GetShapeIsSelected(other));
    EXPECT_FALSE(canvas.NeedsRedraw);
    EXPECT_EQ(canvas.Invalidations, 1);
}

TEST(SelectionTest, PointInPolygonTable) {
    struct Case {
        double x, y;
        bool inside;
    };
    const Case square[] = {
        {5, 5, true},       {0, 5, true},   // left edge
        {10, 5, false},     {15, 5, false}, // right edge, outside
        {5, 0, true},       {5, 10, false}, // bottom edge in, top edge out
        {-0.001, 5, false}, {5, -1, false}, {9.999, 9.999, true},
    };
    for (const Case& c : square)
        EXPECT_EQ(CanvasModel::PointInPolygon(c.x, c.y, Square), c.inside) << c.x << "," << c.y;

    // A concave "U": the notch is outside.
    const std::vector<TPointF> u = {{0, 0},   {30, 0},  {30, 30}, {20, 30},
                                    {20, 10}, {10, 10}, {10, 30}, {0, 30}};
    EXPECT_TRUE(CanvasModel::PointInPolygon(5, 20, u));
    EXPECT_FALSE(CanvasModel::PointInPolygon(15, 20, u));
    EXPECT_TRUE(CanvasModel::PointInPolygon(15, 5, u));
    EXPECT_TRUE(CanvasModel::PointInPolygon(25, 20, u));
    EXPECT_FALSE(CanvasModel::PointInPolygon(5, 5, {}));
    EXPECT_FALSE(CanvasModel::PointInPolygon(5, 5, {{0, 0}, {10, 10}}));
}

// The fixture of both polygon selections: a square polygon over a handful of shapes, each on
// a track layer and on a plain layer.
class PolygonSelectionTest : public ::testing::Test {
protected:
    RecordingCanvas canvas;
    int track = canvas.LayerOpen("track_fix");
    int plain = canvas.LayerOpen("tavrin_usershape");

    void SetUp() override { canvas.Painted(); }
};

TEST_F(PolygonSelectionTest, TrackSelectionTakesListedLayersByTheirDefiningPoints) {
    struct Case {
        const char* what;
        int32_t id;
        bool selected;
    };
    const Case cases[] = {
        {"point inside", canvas.DrawPoint(5, 5, track), true},
        {"point outside", canvas.DrawPoint(15, 5, track), false},
        {"line with one end inside", canvas.DrawLine(5, 5, 50, 5, track), true},
        {"line crossing with both ends outside", canvas.DrawLine(-5, 5, 15, 5, track), false},
        {"polyline with one vertex inside",
         canvas.DrawPolyline({{-5, -5}, {20, 20}, {5, 6}}, track, false), true},
        {"polyline crossing", canvas.DrawPolyline({{-5, 5}, {15, 5}}, track, false), false},
        {"rectangle around the polygon, centre inside",
         canvas.DrawRectangle(-20, -20, 30, 30, track), true},
        {"rectangle with a corner inside, centre outside",
         canvas.DrawRectangle(5, 5, 40, 40, track), false},
        {"circle centred inside", canvas.DrawCircle(5, 5, 100, track), true},
        {"text: the centre of its bounds decides", canvas.TextAdd(track, "ABCDEFGHIJ", 8, 5, 0),
         false},
        {"point inside on an unlisted layer", canvas.DrawPoint(5, 5, plain), false},
    };
    canvas.Painted();
    canvas.SelectShapesInPolygon(Square, {track});
    for (const Case& c : cases)
        EXPECT_EQ(canvas.GetShapeIsSelected(c.id), c.selected) << c.what;
    std::vector<int32_t> expected;
    for (const Case& c : cases)
        if (c.selected)
            expected.push_back(c.id);
    EXPECT_EQ(canvas.SelectedIds, expected);
    EXPECT_FALSE(canvas.NeedsRedraw);
    EXPECT_EQ(canvas.Invalidations, 1);
}

TEST_F(PolygonSelectionTest, TrackSelectionIgnoresVisibilityAndClearsTheOldSelection) {
    const int32_t hiddenShape = canvas.DrawPoint(5, 5, track);
    canvas.FindShape(hiddenShape)->Visible = false;
    canvas.SetLayerVisible(track, false);
    const int32_t old = canvas.DrawPoint(50, 50, plain);
    canvas.ShapeSelect(old, true);
    canvas.SelectShapesInPolygon(Square, {track});
    EXPECT_EQ(canvas.SelectedIds, (std::vector<int32_t>{hiddenShape}));
    EXPECT_FALSE(canvas.GetShapeIsSelected(old));
}

TEST_F(PolygonSelectionTest, DegeneratePolygonsAndEmptyLayerListsSelectNothing) {
    const int32_t inside = canvas.DrawPoint(5, 5, track);
    struct Case {
        const char* what;
        std::vector<TPointF> polygon;
        std::vector<int32_t> layers;
    };
    const Case cases[] = {
        {"two points", {{0, 0}, {10, 10}}, {track}},
        {"no points", {}, {track}},
        {"no layers", Square, {}},
    };
    for (const Case& c : cases) {
        canvas.ShapeSelect(inside, false);
        canvas.Painted();
        canvas.SelectShapesInPolygon(c.polygon, c.layers);
        EXPECT_TRUE(canvas.SelectedIds.empty()) << c.what;
        EXPECT_FALSE(canvas.GetShapeIsSelected(inside)) << c.what;
        EXPECT_EQ(canvas.Invalidations, 0) << c.what;
        EXPECT_FALSE(canvas.NeedsRedraw) << c.what;
    }
    canvas.ShapeSelect(inside, false);
    canvas.Painted();
    canvas.SelectAllShapesInPolygon({{0, 0}, {10, 10}});
    EXPECT_TRUE(canvas.SelectedIds.empty());
    EXPECT_EQ(canvas.Invalidations, 0);
}

TEST_F(PolygonSelectionTest, ShapeSelectionDecidesByClassOverEveryLayerButThePolygonsOwn) {
    const int selectPoly = canvas.LayerOpen("Tavrin_SelectPoly");
    struct Case {
        const char* what;
        int32_t id;
        bool selected;
    };
    const Case cases[] = {
        {"the selection polygon itself",
         canvas.DrawPolyline({{0, 0}, {10, 0}, {10, 10}, {0, 10}}, selectPoly, true), false},
        {"point on a track layer", canvas.DrawPoint(5, 5, track), true},
        {"point on a plain layer", canvas.DrawPoint(5, 5, plain), true},
        {"point outside", canvas.DrawPoint(-5, 5, plain), false},
        {"line crossing with both ends outside", canvas.DrawLine(-5, 5, 15, 5, plain), false},
        {"line with an end inside", canvas.DrawLine(-5, 5, 5, 5, plain), true},
        {"rectangle with one corner inside", canvas.DrawRectangle(5, 5, 40, 40, plain), true},
        {"rectangle around, centre inside", canvas.DrawRectangle(-20, -20, 30, 30, plain), true},
        {"rectangle around, nothing inside", canvas.DrawRectangle(-20, -20, 80, 80, plain), false},
        {"circle centred inside", canvas.DrawCircle(5, 5, 50, plain), true},
        {"circle centred outside", canvas.DrawCircle(15, 5, 50, plain), false},
        {"ellipse centred inside", canvas.DrawTwoPointEllipse(-10, -10, 20, 20, plain), true},
        {"text anchored inside", canvas.TextAdd(plain, "ABCDEFGHIJKLMNOP", 8, 5, 0), true},
        {"text anchored outside", canvas.TextAdd(plain, "A", 12, 5, 0), false},
        {"arc with its middle point inside", canvas.DrawThreePointArc(-5, -5, 5, 5, 15, -5, plain),
         true},
        {"arc around", canvas.DrawThreePointArc(-5, -5, -5, 15, 15, 15, plain), false},
        {"polyline with a vertex inside", canvas.DrawPolyline({{-5, 5}, {5, 5}}, plain, false),
         true},
    };
    canvas.Painted();
    canvas.SelectAllShapesInPolygon(Square);
    for (const Case& c : cases)
        EXPECT_EQ(canvas.GetShapeIsSelected(c.id), c.selected) << c.what;
    EXPECT_FALSE(canvas.NeedsRedraw);
    EXPECT_EQ(canvas.Invalidations, 1);
}

// The drawing the mouse tools make: start on the current layer, add vertices, end.
int32_t DrawWithTheTool(CanvasModel& canvas, int layer, std::initializer_list<TPointF> points,
                        int32_t type = ShapeType::Polyline) {
    canvas.CurrentLayer = layer;
    auto it = points.begin();
    TTPolyline* pending = canvas.StartPendingPolyline(type, it->X, it->Y);
    for (++it; it != points.end(); ++it)
        pending->AddPoint(it->X, it->Y);
    return canvas.CommitPendingPolyline();
}

using Points = std::vector<std::pair<double, double>>;

TEST(LastPolylineTest, AnswersFromThePolylineTheLastDrawingCommitted) {
    RecordingCanvas canvas;
    const int route = canvas.LayerOpen("Tavrin_Route");
    const int poly = canvas.LayerOpen("Tavrin_SelectPoly");
    const int user = canvas.LayerOpen("tavrin_usershape");
    EXPECT_TRUE(canvas.GetLastPolylinePoints().empty());

    DrawWithTheTool(canvas, route, {{0, 0}, {100, 0}});
    EXPECT_EQ(canvas.GetLastPolylinePoints(), (Points{{0, 0}, {100, 0}}));
    DrawWithTheTool(canvas, poly, {{1, 1}, {9, 1}, {9, 9}}, ShapeType::Polygon);
    EXPECT_EQ(canvas.GetLastPolylinePoints(), (Points{{1, 1}, {9, 1}, {9, 9}}));
    // The caller clears the polygon's layer before it selects: the answer stays.
    canvas.CadClearShapes(poly);
    EXPECT_EQ(canvas.GetLastPolylinePoints(), (Points{{1, 1}, {9, 1}, {9, 9}}));
    // A drawing on another layer while the route layers exist answers nothing.
    DrawWithTheTool(canvas, user, {{5, 5}, {6, 6}});
    EXPECT_TRUE(canvas.GetLastPolylinePoints().empty());
}

TEST(LastPolylineTest, ADiscardedSelectionPolygonNeverReturnsAnOlderRoute) {
    RecordingCanvas canvas;
    const int route = canvas.LayerOpen("Tavrin_Route");
    const int poly = canvas.LayerOpen("Tavrin_SelectPoly");
    DrawWithTheTool(canvas, route, {{0, 0}, {100, 0}});
    ASSERT_FALSE(canvas.GetLastPolylinePoints().empty());

    // A selection polygon ended after one press is discarded.
    EXPECT_EQ(DrawWithTheTool(canvas, poly, {{3, 3}}, ShapeType::Polygon), -1);
    EXPECT_TRUE(canvas.GetLastPolylinePoints().empty());
    EXPECT_EQ(canvas.PendingPolyline, nullptr);

    // A drawing abandoned with Escape leaves nothing either.
    DrawWithTheTool(canvas, route, {{0, 0}, {50, 0}});
    canvas.CurrentLayer = poly;
    canvas.StartPendingPolyline(ShapeType::Polygon, 1, 1)->AddPoint(2, 2);
    canvas.DiscardPendingPolyline();
    EXPECT_TRUE(canvas.GetLastPolylinePoints().empty());

    // Ending a line chain commits no polyline.
    DrawWithTheTool(canvas, route, {{0, 0}, {50, 0}});
    canvas.CommitPendingPolyline();
    EXPECT_TRUE(canvas.GetLastPolylinePoints().empty());
}

TEST(LastPolylineTest, WithNeitherRouteLayerAnyLayerQualifies) {
    RecordingCanvas canvas;
    const int user = canvas.LayerOpen("tavrin_usershape");
    DrawWithTheTool(canvas, user, {{1, 2}, {3, 4}});
    EXPECT_EQ(canvas.GetLastPolylinePoints(), (Points{{1, 2}, {3, 4}}));
    // Programmatic polylines are not drawings of the operator.
    canvas.DrawPolyline({{7, 7}, {8, 8}}, user, false);
    EXPECT_EQ(canvas.GetLastPolylinePoints(), (Points{{1, 2}, {3, 4}}));
}

TEST(LastPolylineTest, PendingPolylinesTakeTheirIdAtOnceAndTheLayersAttributes) {
    RecordingCanvas canvas;
    const int layer = canvas.LayerOpen("Tavrin_SelectPoly");
    canvas.SetLayerPenFg(layer, 0x0000FF);
    canvas.SetLayerPenWidth(layer, 2);
    canvas.SetLayerBrushFg(layer, 0x00FF00);
    canvas.SetLayerBrushStyle(layer, BrushStyle::Solid);
    struct Case {
        int32_t type;
        bool closed;
        uint32_t brushFg;
    };
    const Case cases[] = {
        {ShapeType::Polyline, false, 0xFFFFFF},
        {ShapeType::Polygon, true, 0x00FF00},
        {ShapeType::Spline, false, 0xFFFFFF},
        {ShapeType::ThreePointArc, false, 0xFFFFFF},
    };
    for (const Case& c : cases) {
        const int32_t expectedId = canvas.NextShapeId;
        TTPolyline* pending = canvas.StartPendingPolyline(c.type, 4, 5);
        ASSERT_NE(pending, nullptr);
        EXPECT_EQ(pending->Id, expectedId);
        EXPECT_EQ(canvas.NextShapeId, expectedId + 1);
        EXPECT_EQ(pending->Type, c.type);
        EXPECT_EQ(pending->Closed, c.closed);
        EXPECT_EQ(pending->LayerId, layer);
        EXPECT_EQ(pending->PenFg, 0x0000FFu);
        EXPECT_EQ(pending->PenWidth, 2);
        EXPECT_EQ(pending->BrushFg, c.brushFg);
        EXPECT_EQ(pending->PointCount(), 1);
        pending->AddPoint(6, 7);
        const int32_t committed = canvas.CommitPendingPolyline();
        EXPECT_EQ(committed, expectedId);
        EXPECT_EQ(canvas.FindShape(committed)->MaxY, 7.0);
    }
    EXPECT_EQ(canvas.ShapeCount, 4);
    // A discarded drawing still used up its id.
    const int32_t next = canvas.NextShapeId;
    canvas.StartPendingPolyline(ShapeType::Polyline, 0, 0);
    canvas.CommitPendingPolyline();
    EXPECT_EQ(canvas.NextShapeId, next + 1);
    EXPECT_EQ(canvas.ShapeCount, 4);
}

TEST(LastPolylineTest, ClearDrawingStateDropsThePendingPolylineAndRestoresTheCursor) {
    RecordingCanvas canvas;
    canvas.DrawingActive = true;
    canvas.RubberBandActive = true;
    canvas.SkipNextLeftPress = true;
    canvas.StartPendingPolyline(ShapeType::Polygon, 1, 1);
    canvas.Painted();
    canvas.ClearDrawingState();
    EXPECT_FALSE(canvas.DrawingActive);
    EXPECT_FALSE(canvas.RubberBandActive);
    EXPECT_FALSE(canvas.SkipNextLeftPress);
    EXPECT_EQ(canvas.PendingPolyline, nullptr);
    EXPECT_EQ(canvas.LastCursor, CanvasModel::DefaultCursor);
    EXPECT_FALSE(canvas.NeedsRedraw);
    EXPECT_EQ(canvas.Invalidations, 0);
    EXPECT_EQ(canvas.ShapeCount, 0);
}

} // namespace
