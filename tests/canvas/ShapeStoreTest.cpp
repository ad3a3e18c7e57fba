#include "RecordingCanvas.h"
#include "canvas/TTArc.h"
#include "canvas/TTCircle.h"
#include "canvas/TTLine.h"
#include "canvas/TTPoint.h"
#include "canvas/TTRectangle.h"
#include "canvas/TTText.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

constexpr double Inf = std::numeric_limits<double>::infinity();
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

std::vector<int32_t> StoreOrder(const CanvasModel& canvas) {
    std::vector<int32_t> ids;
    for (const auto& shape : canvas.Shapes)
        ids.push_back(shape->Id);
    return ids;
}

TEST(ShapeStoreTest, IdsCountUpAndRestartOnlyWhenEverythingIsCleared) {
    RecordingCanvas canvas;
    EXPECT_EQ(canvas.DrawLine(0, 0, 10, 0, 0), 1);
    EXPECT_EQ(canvas.DrawPoint(1, 1, 0), 2);
    EXPECT_EQ(canvas.ShapeCount, 2);
    canvas.CadClearShapes(0);
    EXPECT_EQ(canvas.ShapeCount, 0);
    EXPECT_EQ(canvas.DrawPoint(1, 1, 0), 3);
    canvas.ShapeDelete(3);
    EXPECT_EQ(canvas.DrawPoint(1, 1, 0), 4);
    canvas.CadClearShapesByLayerName("Default");
    EXPECT_EQ(canvas.DrawPoint(1, 1, 0), 5);
    canvas.CadClearShapes(-1);
    EXPECT_EQ(canvas.NextShapeId, 1);
    EXPECT_EQ(canvas.DrawPoint(1, 1, 0), 1);
    EXPECT_EQ(canvas.ShapeAdd(1, 2), -1);
    EXPECT_EQ(canvas.ShapeCount, 1);
}

TEST(ShapeStoreTest, CreationTableSetsTypeClassGeometryAndCopiedAttributes) {
    RecordingCanvas canvas;
    const int layer = canvas.LayerOpen("styled");
    canvas.SetLayerPenFg(layer, 0x0000FF);
    canvas.SetLayerPenWidth(layer, 5);
    canvas.SetLayerPenStyle(layer, 2);
    canvas.SetLayerBrushFg(layer, 0x00FF00);
    canvas.SetLayerBrushStyle(layer, BrushStyle::Solid);

    struct Case {
        const char* what;
        int32_t id;
        int16_t type;
        ShapeClass shapeClass;
        int penWidth;     // copied or the default 1
        int penStyle;     // copied by polylines only
        uint32_t brushFg; // copied by circles, rectangles and polylines
        uint8_t brushStyle;
    };
    const Case cases[] = {
        {"line", canvas.DrawLine(0, 0, 1, 1, layer), 3, ShapeClass::Line, 5, 0, 0xFFFFFF,
         BrushStyle::Clear},
        {"circle", canvas.DrawCircle(0, 0, 1, layer), 19, ShapeClass::Circle, 5, 0, 0x00FF00,
         BrushStyle::Solid},
        {"rectangle", canvas.DrawRectangle(0, 0, 1, 1, layer), 1, ShapeClass::Rectangle, 5, 0,
         0x00FF00, BrushStyle::Solid},
        {"point", canvas.DrawPoint(0, 0, layer), 17, ShapeClass::Point, 5, 0, 0xFFFFFF,
         BrushStyle::Clear},
        {"ellipse", canvas.DrawTwoPointEllipse(0, 0, 2, 1, layer), 20, ShapeClass::Ellipse, 5, 0,
         0xFFFFFF, BrushStyle::Clear},
        {"arc", canvas.DrawThreePointArc(0, 0, 1, 1, 2, 0, layer), 10, ShapeClass::Arc, 5, 0,
         0xFFFFFF, BrushStyle::Clear},
        {"text", canvas.TextAdd(layer, "abc", 0, 0, 0), 11, ShapeClass::Text, 1, 0, 0xFFFFFF,
         BrushStyle::Clear},
        {"polyline", canvas.DrawPolyline({{0, 0}, {1, 1}}, layer, false), 5, ShapeClass::Polyline,
         5, 2, 0x00FF00, BrushStyle::Solid},
        {"polygon", canvas.DrawPolyline({{0, 0}, {1, 1}}, layer, true), 6, ShapeClass::Polyline, 5,
         2, 0x00FF00, BrushStyle::Solid},
    };
    int32_t expectedId = 1;
    for (const Case& c : cases) {
        EXPECT_EQ(c.id, expectedId++) << c.what;
        const TTShape* shape = canvas.FindShape(c.id);
        ASSERT_NE(shape, nullptr) << c.what;
        EXPECT_EQ(canvas.GetShapeType(c.id), c.type) << c.what;
        EXPECT_EQ(shape->Class(), c.shapeClass) << c.what;
        EXPECT_EQ(shape->LayerId, layer) << c.what;
        EXPECT_EQ(shape->PenFg, 0x0000FFu) << c.what;
        EXPECT_EQ(shape->PenWidth, c.penWidth) << c.what;
        EXPECT_EQ(shape->PenStyle, c.penStyle) << c.what;
        EXPECT_EQ(shape->BrushFg, c.brushFg) << c.what;
        EXPECT_EQ(shape->BrushStyle, c.brushStyle) << c.what;
        EXPECT_FALSE(shape->Selected) << c.what;
    }
    EXPECT_EQ(canvas.ShapeCount, 9);
    const auto* polygon = static_cast<const TTPolyline*>(canvas.FindShape(9));
    EXPECT_TRUE(polygon->Closed);
    EXPECT_FALSE(static_cast<const TTPolyline*>(canvas.FindShape(8))->Closed);
    const auto* point = static_cast<const TTPoint*>(canvas.FindShape(4));
    EXPECT_EQ(point->PointSize, 3);
    EXPECT_EQ(point->Z, 0.0);
    const auto* rectangle = static_cast<const TTRectangle*>(canvas.FindShape(3));
    EXPECT_FALSE(rectangle->Rounded);
    EXPECT_DOUBLE_EQ(rectangle->CornerRadius, 10.0);
    EXPECT_DOUBLE_EQ(canvas.FindShape(5)->MaxX, 2.0); // bounds computed at creation
}

TEST(ShapeStoreTest, CreationMarksStaleWithoutRepaintAndFallsBackToTheDefaultLayer) {
    RecordingCanvas canvas;
    const int other = canvas.LayerOpen("other");
    canvas.Painted();
    const int32_t id = canvas.DrawPoint(5, 5, 77);
    EXPECT_EQ(canvas.GetShapeOnLayer(id), 0);
    EXPECT_EQ(canvas.CurrentLayer, 0);
    EXPECT_TRUE(canvas.BackBufferStale());
    EXPECT_EQ(canvas.Invalidations, 0);

    // Too few points: nothing happens, not even to the current layer.
    canvas.LayerOpen("other");
    EXPECT_EQ(canvas.DrawPolyline({{1, 1}}, 77, false), -1);
    EXPECT_EQ(canvas.DrawPolyline({}, 77, false), -1);
    EXPECT_EQ(canvas.CurrentLayer, other);
    EXPECT_EQ(canvas.ShapeCount, 1);
}

TEST(ShapeStoreTest, ShapesWithNonFiniteCoordinatesAreRefused) {
    RecordingCanvas canvas;
    const int layer = canvas.LayerOpen("l");
    canvas.Painted();
    const int32_t refused[] = {
        canvas.DrawLine(0, 0, Inf, 1, 77),
        canvas.DrawCircle(0, 0, NaN, 77),
        canvas.DrawRectangle(-Inf, 0, 1, 1, 77),
        canvas.DrawPoint(NaN, 0, 77),
        canvas.DrawTwoPointEllipse(0, 0, 1, NaN, 77),
        canvas.DrawThreePointArc(0, 0, 1, 1, 2, Inf, 77),
        canvas.TextAdd(77, "x", Inf, 0, 0),
        canvas.DrawPolyline({{0, 0}, {1, 1}, {NaN, 2}}, 77, true),
    };
    for (int32_t id : refused)
        EXPECT_EQ(id, -1);
    EXPECT_EQ(canvas.ShapeCount, 0);
    EXPECT_EQ(canvas.NextShapeId, 1);
    EXPECT_EQ(canvas.CurrentLayer, layer); // not even the fallback layer is opened
    EXPECT_FALSE(canvas.NeedsRedraw);
}

TEST(ShapeStoreTest, TextAddTakesTheFontEntryAndOnlyThePenColour) {
    RecordingCanvas canvas;
    const int layer = canvas.LayerOpen("labels");
    canvas.SetLayerPenFg(layer, 0x808080);
    canvas.SetLayerPenWidth(layer, 7);
    const int font = canvas.FontOpen("Courier New,14,b");
    canvas.DefaultTextAlign = 1;
    canvas.DefaultTextJustify = 2;
    struct Case {
        int fontIndex;
        QString face;
        double height;
        bool bold;
    };
    const Case cases[] = {
        {-1, "Arial", 10, false},
        {5, "Arial", 10, false},
        {0, "Arial", 10, false},
        {font, "Courier New", 14, true},
    };
    for (const Case& c : cases) {
        const int32_t id = canvas.TextAdd(layer, "depth 12.3", 10, 20, c.fontIndex);
        const auto* text = static_cast<const TTText*>(canvas.FindShape(id));
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(text->FontName, c.face) << c.fontIndex;
        EXPECT_DOUBLE_EQ(text->Height, c.height) << c.fontIndex;
        EXPECT_EQ(text->Bold, c.bold) << c.fontIndex;
        EXPECT_EQ(text->FontIndex, c.fontIndex);
        EXPECT_EQ(text->DisplayText, QStringLiteral("depth 12.3"));
        EXPECT_EQ(canvas.GetShapeText(id), QStringLiteral("depth 12.3"));
        EXPECT_EQ(text->PenFg, 0x808080u);
        EXPECT_EQ(text->PenWidth, 1);
        EXPECT_EQ(text->Align, 1);
        EXPECT_EQ(text->Justify, 2);
        EXPECT_EQ(text->Rotation, 0.0);
        // The bounds follow the final height.
        EXPECT_DOUBLE_EQ(text->MaxY, 20 + c.height);
    }
    // The shape's own text is free text; the painted text stays.
    canvas.SetShapeText(4, "note");
    EXPECT_EQ(canvas.GetShapeText(4), QStringLiteral("note"));
    EXPECT_EQ(static_cast<const TTText*>(canvas.FindShape(4))->DisplayText,
              QStringLiteral("depth 12.3"));
}

TEST(ShapeStoreTest, AttributeAccessorsWithMissingShapesAndWrongClasses) {
    RecordingCanvas canvas;
    const int32_t line = canvas.DrawLine(0, 0, 1, 1, 0);
    const int32_t point = canvas.DrawPoint(0, 0, 0);
    const int32_t text = canvas.TextAdd(0, "t", 0, 0, 0);
    EXPECT_EQ(canvas.GetShapeType(99), 0);
    EXPECT_EQ(canvas.GetShapePenWidth(99), 1);
    EXPECT_EQ(canvas.GetShapePenFg(99), 0u);
    EXPECT_EQ(canvas.GetShapePenStyle(99), 0);
    EXPECT_EQ(canvas.GetShapeBrushFg(99), 0xFFFFFFu);
    EXPECT_EQ(canvas.GetShapeBrushStyle(99), 0); // while a missing layer's is 1
    EXPECT_EQ(canvas.GetLayerBrushStyle(99), 1);
    EXPECT_EQ(canvas.GetShapeBrushMode(99), 0);
    EXPECT_EQ(canvas.GetShapeOnLayer(99), -1);
    EXPECT_FALSE(canvas.GetShapeIsSelected(99));
    EXPECT_TRUE(canvas.GetShapeText(99).isEmpty());
    EXPECT_TRUE(canvas.GetShapeNotes(99).isEmpty());
    EXPECT_EQ(canvas.GetShapeZOrder(99), 0);
    EXPECT_EQ(canvas.GetShapeTextAlign(99), 0);
    EXPECT_EQ(canvas.GetShapePointSize(99), 0);

    canvas.Painted();
    canvas.SetShapeTextAlign(line, 2);
    canvas.SetShapeTextJustify(line, 2);
    canvas.SetShapePointSize(line, 9);
    canvas.SetShapePointSize(text, 9);
    canvas.SetShapePenWidth(99, 4);
    canvas.SetShapeNotes(line, "survey note");
    EXPECT_EQ(canvas.GetShapeTextAlign(line), 0);
    EXPECT_EQ(canvas.GetShapePointSize(line), 0);
    EXPECT_EQ(canvas.GetShapeNotes(line), QStringLiteral("survey note"));
    EXPECT_FALSE(canvas.NeedsRedraw); // notes are not painted

    canvas.SetShapeTextAlign(text, 2);
    canvas.SetShapeTextJustify(text, 1);
    canvas.SetShapePointSize(point, 6);
    canvas.SetShapeBrushStyle(line, 0x1234);
    canvas.SetShapeZOrder(line, 12);
    canvas.SetShapePenStyle(line, 3);
    canvas.SetShapeBrushFg(line, 0x111111);
    canvas.SetShapeBrushMode(line, 4);
    canvas.SetShapePenFg(line, 0x222222);
    canvas.SetShapePenWidth(line, 3);
    EXPECT_EQ(canvas.GetShapeTextAlign(text), 2);
    EXPECT_EQ(canvas.GetShapeTextJustify(text), 1);
    EXPECT_EQ(canvas.GetShapePointSize(point), 6);
    EXPECT_DOUBLE_EQ(canvas.FindShape(point)->MaxX, 6.0);
    EXPECT_EQ(canvas.GetShapeBrushStyle(line), 0x34);
    EXPECT_EQ(canvas.GetShapeZOrder(line), 12);
    EXPECT_EQ(canvas.GetShapePenStyle(line), 3);
    EXPECT_EQ(canvas.GetShapeBrushFg(line), 0x111111u);
    EXPECT_EQ(canvas.GetShapeBrushMode(line), 4);
    EXPECT_EQ(canvas.GetShapePenFg(line), 0x222222u);
    EXPECT_EQ(canvas.GetShapePenWidth(line), 3);
    EXPECT_TRUE(canvas.NeedsRedraw);
    EXPECT_EQ(canvas.Invalidations, 0);
}

TEST(ShapeStoreTest, GetShapeAtPicksTheTopmostVisibleShapeWithinThePenTolerance) {
    RecordingCanvas canvas; // 400 pixels over 1000 m: 2.5 m per pixel
    const int hidden = canvas.LayerOpen("hidden");
    const int32_t below = canvas.DrawCircle(100, 100, 10, 0);
    const int32_t above = canvas.DrawLine(0, 110, 200, 110, 0);
    EXPECT_EQ(canvas.GetShapeAt(100, 110), above);
    canvas.ShapeToBack(above);
    EXPECT_EQ(canvas.GetShapeAt(100, 110), below);
    EXPECT_EQ(canvas.ShapeHitTest(100, 110), below);

    struct Case {
        const char* what;
        int penWidth;
        double offset; // distance from the line in metres
        bool hit;
    };
    const Case cases[] = {
        {"pen 1 within 3 pixels", 1, 7.4, true},  {"pen 1 beyond 3 pixels", 1, 7.6, false},
        {"pen 0 counts as 1", 0, 7.4, true},      {"pen -2 counts as 1", -2, 7.6, false},
        {"pen 8 within 8 pixels", 8, 19.9, true}, {"pen 8 beyond 8 pixels", 8, 20.1, false},
    };
    for (const Case& c : cases) {
        RecordingCanvas pick;
        const int32_t line = pick.DrawLine(0, 500, 1000, 500, 0);
        pick.SetShapePenWidth(line, c.penWidth);
        EXPECT_EQ(pick.GetShapeAt(500, 500 + c.offset), c.hit ? line : -1) << c.what;
    }

    // A hidden layer does not stop the pick; the shape's own flag does.
    RecordingCanvas flags;
    const int32_t onHidden = flags.DrawPoint(10, 10, flags.LayerOpen("hidden"));
    flags.SetLayerVisible(hidden, false);
    EXPECT_EQ(flags.GetShapeAt(10, 10), onHidden);
    flags.FindShape(onHidden)->Visible = false;
    EXPECT_EQ(flags.GetShapeAt(10, 10), -1);

    // A control without width counts as one pixel wide.
    RecordingCanvas narrow;
    narrow.ClientWidth = 0;
    const int32_t wide = narrow.DrawLine(0, 0, 10, 0, 0);
    EXPECT_EQ(narrow.GetShapeAt(5, 2999), wide);
    EXPECT_EQ(narrow.GetShapeAt(5, 3001), -1);
}

TEST(ShapeStoreTest, OrderOperationsMoveShapesInThePaintOrder) {
    RecordingCanvas canvas;
    for (int i = 0; i < 4; ++i)
        canvas.DrawPoint(i, i, 0);
    canvas.ShapeToFront(2);
    EXPECT_EQ(StoreOrder(canvas), (std::vector<int32_t>{1, 3, 4, 2}));
    canvas.ShapeToBack(4);
    EXPECT_EQ(StoreOrder(canvas), (std::vector<int32_t>{4, 1, 3, 2}));
    canvas.ShapeZOrderJump(1, 5);
    EXPECT_EQ(StoreOrder(canvas), (std::vector<int32_t>{4, 3, 2, 1}));
    canvas.ShapeZOrderJump(2, -1);
    EXPECT_EQ(StoreOrder(canvas), (std::vector<int32_t>{2, 4, 3, 1}));
    canvas.Painted();
    canvas.ShapeZOrderJump(3, 0);
    EXPECT_FALSE(canvas.NeedsRedraw);
    canvas.ShapeToFront(99); // marks stale even without a shape
    EXPECT_TRUE(canvas.NeedsRedraw);
    EXPECT_EQ(StoreOrder(canvas), (std::vector<int32_t>{2, 4, 3, 1}));
    // The id index follows the moves.
    for (int32_t id : {1, 2, 3, 4})
        EXPECT_EQ(canvas.FindShape(id)->Id, id);

    canvas.Painted();
    canvas.ShapeToLayer(99, 3);
    EXPECT_FALSE(canvas.NeedsRedraw);
    canvas.ShapeToLayer(1, 3);
    EXPECT_EQ(canvas.GetShapeOnLayer(1), 3);
    EXPECT_TRUE(canvas.NeedsRedraw);
}

TEST(ShapeStoreTest, ClearingALayerKeepsTheOtherShapesInOrderFindableAndSelected) {
    RecordingCanvas canvas;
    const int track = canvas.LayerOpen("track");
    const int vessel = canvas.LayerOpen("vessel");
    // Vessel shapes first, in the middle and last, so the in-place pass moves shapes both ways.
    const int layers[] = {vessel, track, track, vessel, vessel, track, vessel};
    for (int i = 0; i < 7; ++i)
        canvas.DrawPoint(i, i, layers[i]);
    canvas.ShapeSelect(2, true);
    canvas.ShapeSelect(4, true);
    canvas.CadClearShapes(vessel);
    EXPECT_EQ(StoreOrder(canvas), (std::vector<int32_t>{2, 3, 6}));
    EXPECT_EQ(canvas.ShapeCount, 3);
    for (int32_t id : {2, 3, 6})
        EXPECT_EQ(canvas.FindShape(id)->Id, id);
    for (int32_t id : {1, 4, 5, 7})
        EXPECT_EQ(canvas.FindShape(id), nullptr) << id;
    EXPECT_EQ(canvas.SelectedIds, (std::vector<int32_t>{2})) << "the deleted shape leaves the selection";
    canvas.CadClearShapes(vessel);
    EXPECT_EQ(StoreOrder(canvas), (std::vector<int32_t>{2, 3, 6})) << "nothing left to clear";
}

TEST(ShapeStoreTest, TransformsOfEachShapeClassThroughTheCanvas) {
    RecordingCanvas canvas;
    const int32_t point = canvas.DrawPoint(7, 2, 0);
    const int32_t circle = canvas.DrawCircle(7, 2, 4, 0);
    const int32_t line = canvas.DrawLine(1, 0, 3, 0, 0);
    const int32_t polyline = canvas.DrawPolyline({{1, 1}, {2, 1}}, 0, false);
    const int32_t text = canvas.TextAdd(0, "T", 4, 4, 0);
    const int32_t rectangle = canvas.DrawRectangle(0, 0, 4, 2, 0);

    canvas.ShapeReflect(point, 0, 5, 0);
    EXPECT_DOUBLE_EQ(static_cast<TTPoint*>(canvas.FindShape(point))->X, 3.0);
    canvas.ShapeReflect(point, 1, 0, 0);
    EXPECT_DOUBLE_EQ(static_cast<TTPoint*>(canvas.FindShape(point))->Y, -2.0);
    canvas.ShapeReflect(point, 2, 100, 100);
    EXPECT_DOUBLE_EQ(static_cast<TTPoint*>(canvas.FindShape(point))->X, 3.0);
    EXPECT_DOUBLE_EQ(static_cast<TTPoint*>(canvas.FindShape(point))->Y, -2.0);

    canvas.ShapeReflect(circle, 0, 5, 0);
    const auto* c = static_cast<TTCircle*>(canvas.FindShape(circle));
    EXPECT_DOUBLE_EQ(c->CenterX, 3.0);
    EXPECT_DOUBLE_EQ(c->Radius, 4.0);
    EXPECT_DOUBLE_EQ(c->MinX, -1.0);

    canvas.ShapeScale(line, 1, 0, 2, 1);
    EXPECT_DOUBLE_EQ(static_cast<TTLine*>(canvas.FindShape(line))->X2, 5.0);
    canvas.ShapeRotate(line, 90, 1, 0);
    EXPECT_NEAR(static_cast<TTLine*>(canvas.FindShape(line))->Y2, 4.0, 1e-12);
    EXPECT_NEAR(canvas.FindShape(line)->MaxY, 4.0, 1e-12);

    canvas.ShapeTranslate(polyline, 10, 20);
    EXPECT_DOUBLE_EQ(canvas.ShapePointGetX(polyline, 1), 12.0);
    EXPECT_DOUBLE_EQ(canvas.FindShape(polyline)->MinY, 21.0);

    canvas.ShapeRotate(text, 90, 0, 0);
    EXPECT_DOUBLE_EQ(static_cast<TTText*>(canvas.FindShape(text))->Rotation, 90.0);
    EXPECT_DOUBLE_EQ(static_cast<TTText*>(canvas.FindShape(text))->X, 4.0);

    canvas.ShapeRotate(rectangle, 90, 0, 0);
    EXPECT_DOUBLE_EQ(static_cast<TTRectangle*>(canvas.FindShape(rectangle))->X2, 4.0);

    // Non-finite arguments and missing shapes change nothing and paint nothing.
    canvas.Painted();
    canvas.ShapeTranslate(polyline, NaN, 0);
    canvas.ShapeScale(polyline, 0, 0, Inf, 1);
    canvas.ShapeRotate(polyline, Inf, 0, 0);
    canvas.ShapeTranslate(99, 1, 1);
    EXPECT_DOUBLE_EQ(canvas.ShapePointGetX(polyline, 1), 12.0);
    EXPECT_FALSE(canvas.NeedsRedraw);
    canvas.ShapeTranslate(polyline, 1, 0);
    EXPECT_TRUE(canvas.NeedsRedraw);
}

TEST(ShapeStoreTest, VertexEditsRecomputeTheBounds) {
    RecordingCanvas canvas;
    const int32_t id = canvas.DrawPolyline({{0, 0}, {10, 0}, {10, 10}}, 0, false);
    const TTShape* shape = canvas.FindShape(id);
    struct Step {
        const char* what;
        std::function<void()> edit;
        int count;
        double minX, minY, maxX, maxY;
    };
    const Step steps[] = {
        {"set", [&] { canvas.ShapePointSet(id, 1, 20, -5); }, 3, 0, -5, 20, 10},
        {"set out of range", [&] { canvas.ShapePointSet(id, 3, 99, 99); }, 3, 0, -5, 20, 10},
        {"set non-finite", [&] { canvas.ShapePointSet(id, 0, NaN, 0); }, 3, 0, -5, 20, 10},
        {"insert first", [&] { canvas.ShapePointInsert(id, 0, -3, 1); }, 4, -3, -5, 20, 10},
        {"append", [&] { canvas.ShapePointInsert(id, 4, 5, 30); }, 5, -3, -5, 20, 30},
        {"insert past the end", [&] { canvas.ShapePointInsert(id, 6, 99, 99); }, 5, -3, -5, 20, 30},
        {"insert negative", [&] { canvas.ShapePointInsert(id, -1, 99, 99); }, 5, -3, -5, 20, 30},
        {"delete the last", [&] { canvas.ShapePointDelete(id, 4); }, 4, -3, -5, 20, 10},
        {"delete out of range", [&] { canvas.ShapePointDelete(id, 4); }, 4, -3, -5, 20, 10},
        {"delete the first", [&] { canvas.ShapePointDelete(id, 0); }, 3, 0, -5, 20, 10},
        {"delete", [&] { canvas.ShapePointDelete(id, 0); }, 2, 10, -5, 20, 10},
        {"delete", [&] { canvas.ShapePointDelete(id, 0); }, 1, 10, 10, 10, 10},
        // Down to no vertex at all; the last bounds stay.
        {"delete the only", [&] { canvas.ShapePointDelete(id, 0); }, 0, 10, 10, 10, 10},
    };
    for (const Step& step : steps) {
        step.edit();
        EXPECT_EQ(canvas.ShapePointCount(id), step.count) << step.what;
        EXPECT_DOUBLE_EQ(shape->MinX, step.minX) << step.what;
        EXPECT_DOUBLE_EQ(shape->MinY, step.minY) << step.what;
        EXPECT_DOUBLE_EQ(shape->MaxX, step.maxX) << step.what;
        EXPECT_DOUBLE_EQ(shape->MaxY, step.maxY) << step.what;
    }
}

TEST(ShapeStoreTest, VertexOperationsIgnoreOtherClassesIncludingTheDrawnArc) {
    RecordingCanvas canvas;
    const int32_t arc = canvas.DrawThreePointArc(0, 0, 1, 1, 2, 0, 0);
    const int32_t line = canvas.DrawLine(0, 0, 1, 1, 0);
    canvas.Painted();
    for (int32_t id : {arc, line, int32_t{99}}) {
        EXPECT_EQ(canvas.ShapePointCount(id), 0);
        EXPECT_EQ(canvas.ShapePointGetX(id, 0), 0.0);
        EXPECT_EQ(canvas.ShapePointGetY(id, 0), 0.0);
        canvas.ShapePointSet(id, 0, 5, 5);
        canvas.ShapePointInsert(id, 0, 5, 5);
        canvas.ShapePointDelete(id, 0);
    }
    EXPECT_FALSE(canvas.NeedsRedraw);
    EXPECT_DOUBLE_EQ(static_cast<TTArc*>(canvas.FindShape(arc))->X1, 0.0);
}

TEST(ShapeStoreTest, PolylineVerticesReadBackExactly) {
    RecordingCanvas canvas;
    const int32_t id =
        canvas.DrawPolyline({{500000.67, 4500000.67}, {500012.01, 4500034.99}}, 0, false);
    EXPECT_DOUBLE_EQ(canvas.ShapePointGetY(id, 0), 4500000.67);
    EXPECT_DOUBLE_EQ(canvas.ShapePointGetX(id, 0), 500000.67);
    canvas.ShapePointSet(id, 1, 500012.013, 4500034.997);
    EXPECT_DOUBLE_EQ(canvas.ShapePointGetY(id, 1), 4500034.997);
}

TEST(ShapeStoreTest, ClearingALayerKeepsTheOtherShapesAndSelectedIds) {
    RecordingCanvas canvas;
    const int track = canvas.LayerOpen("track_fix");
    const int32_t a = canvas.DrawPoint(1, 1, track);
    const int32_t keep = canvas.DrawPoint(2, 2, 0);
    const int32_t b = canvas.DrawPoint(3, 3, track);
    const int32_t keep2 = canvas.DrawPoint(4, 4, 0);
    canvas.ShapeSelect(a, true);
    canvas.ShapeSelect(keep, true);
    canvas.ShapeSelect(b, true);
    canvas.ShapeSelect(a, true);
    canvas.ShapeSelect(keep2, true);
    canvas.Painted();
    canvas.CadClearShapes(track);
    EXPECT_EQ(StoreOrder(canvas), (std::vector<int32_t>{keep, keep2}));
    EXPECT_EQ(canvas.SelectedIds, (std::vector<int32_t>{keep, keep2}));
    EXPECT_EQ(canvas.ShapeCount, 2);
    EXPECT_EQ(canvas.FindShape(a), nullptr);
    EXPECT_EQ(canvas.FindShape(keep)->Id, keep);
    EXPECT_TRUE(canvas.BackBufferStale());
    EXPECT_EQ(canvas.Invalidations, 1);
    EXPECT_EQ(canvas.LayerFindByName("track_fix"), track); // the layer stays

    canvas.Painted();
    canvas.LayerClear(0);
    EXPECT_EQ(canvas.ShapeCount, 0);
    EXPECT_TRUE(canvas.SelectedIds.empty());
    EXPECT_EQ(canvas.Invalidations, 1);
}

TEST(ShapeStoreTest, ClearingByNameComparesWholeNamesAndTakesEveryLayerOfThatName) {
    RecordingCanvas canvas;
    const int first = canvas.LayerOpen("import.dxf");
    const int32_t a = canvas.DrawPoint(1, 1, first);
    // A second layer of the same name, as a reader may leave behind.
    auto twin = std::make_unique<TTLayer>();
    twin->Id = canvas.NextLayerId++;
    twin->Name = "import.dxf";
    const int second = twin->Id;
    canvas.Layers.push_back(std::move(twin));
    const int32_t b = canvas.DrawPoint(2, 2, second);
    const int32_t upper = canvas.DrawPoint(3, 3, canvas.LayerOpen("IMPORT.DXF"));
    const int32_t accented =
        canvas.DrawPoint(4, 4, canvas.LayerOpen(QString::fromUtf8("import.dxf\u00e9")));
    const int32_t nowhere = canvas.DrawPoint(5, 5, 0);
    canvas.ShapeToLayer(nowhere, 55); // a shape whose layer does not exist
    canvas.ShapeSelect(b, true);
    canvas.ShapeSelect(upper, true);

    canvas.Painted();
    canvas.CadClearShapesByLayerName("import.dxf");
    EXPECT_EQ(canvas.FindShape(a), nullptr);
    EXPECT_EQ(canvas.FindShape(b), nullptr);
    EXPECT_NE(canvas.FindShape(upper), nullptr);
    EXPECT_NE(canvas.FindShape(accented), nullptr);
    EXPECT_NE(canvas.FindShape(nowhere), nullptr);
    EXPECT_EQ(canvas.SelectedIds, (std::vector<int32_t>{upper}));
    EXPECT_EQ(canvas.ShapeCount, 3);
    EXPECT_EQ(canvas.Invalidations, 1);

    canvas.Painted();
    canvas.CadClearShapesByLayerName("no such layer");
    EXPECT_EQ(canvas.ShapeCount, 3);
    EXPECT_TRUE(canvas.NeedsRedraw);
    EXPECT_EQ(canvas.Invalidations, 1);
}

TEST(ShapeStoreTest, ShapeDeleteTakesOneShapeAndEveryListEntryOfItsId) {
    RecordingCanvas canvas;
    const int32_t a = canvas.DrawPoint(1, 1, 0);
    const int32_t b = canvas.DrawPoint(2, 2, 0);
    canvas.ShapeSelect(a, true);
    canvas.ShapeSelect(b, true);
    canvas.ShapeSelect(a, true);
    canvas.SelectedIds.push_back(77);
    canvas.Painted();
    canvas.ShapeDelete(a);
    EXPECT_EQ(StoreOrder(canvas), (std::vector<int32_t>{b}));
    EXPECT_EQ(canvas.SelectedIds, (std::vector<int32_t>{b, 77}));
    EXPECT_TRUE(canvas.NeedsRedraw);
    EXPECT_EQ(canvas.Invalidations, 0);
    canvas.ShapeDelete(77); // no shape, but the list is cleaned
    EXPECT_EQ(canvas.SelectedIds, (std::vector<int32_t>{b}));
    EXPECT_EQ(canvas.ShapeCount, 1);
}

TEST(ShapeStoreTest, ClearingEverythingEmptiesTheSelectionSinceIdsRestart) {
    RecordingCanvas canvas;
    const int32_t old = canvas.DrawPoint(1, 1, 0);
    canvas.ShapeSelect(old, true);
    canvas.Painted();
    canvas.CadClearShapes(-1);
    EXPECT_TRUE(canvas.SelectedIds.empty());
    EXPECT_EQ(canvas.Invalidations, 1);
    const int32_t fresh = canvas.DrawPoint(9, 9, 0);
    EXPECT_EQ(fresh, old);
    EXPECT_FALSE(canvas.GetShapeIsSelected(fresh));
    EXPECT_FALSE(canvas.GetShapeSelectNumbers().has_value());
    canvas.ShapeDeselect(fresh);
    EXPECT_EQ(canvas.ShapeCount, 1);
}

TEST(ShapeStoreTest, TheReplacingLoadStartsAFreshDrawingAndAnEmptySelection) {
    RecordingCanvas canvas;
    const int layer = canvas.LayerOpen("route");
    canvas.ShapeSelect(canvas.DrawPoint(1, 1, layer), true);
    auto block = std::make_unique<TTBlock>();
    block->Name = "ANCHOR";
    canvas.Blocks.push_back(std::move(block));
    canvas.ResetDrawing();
    ASSERT_EQ(canvas.Layers.size(), 1u);
    EXPECT_EQ(canvas.Layers[0]->Name, QStringLiteral("Default"));
    EXPECT_EQ(canvas.Layers[0]->Id, 0);
    EXPECT_EQ(canvas.CurrentLayer, 0);
    EXPECT_EQ(canvas.NextLayerId, 1);
    EXPECT_EQ(canvas.NextShapeId, 1);
    EXPECT_EQ(canvas.ShapeCount, 0);
    EXPECT_TRUE(canvas.SelectedIds.empty());
    // Blocks belong to the reader and stay until the canvas goes.
    EXPECT_NE(canvas.FindBlock("ANCHOR"), nullptr);
    EXPECT_EQ(canvas.FindBlock("anchor"), nullptr);
}

TEST(ShapeStoreTest, ShapesAppendedByReadersAndToolsKeepTheirIdsAndTheCount) {
    RecordingCanvas canvas;
    auto line = std::make_unique<TTLine>();
    line->Id = canvas.NextShapeId++;
    line->Type = ShapeType::Line;
    line->X2 = 5;
    line->UpdateBounds();
    canvas.Painted();
    TTShape* added = canvas.AppendShape(std::move(line));
    EXPECT_EQ(added->Id, 1);
    EXPECT_EQ(canvas.FindShape(1), added);
    EXPECT_EQ(canvas.ShapeCount, 1);
    EXPECT_TRUE(canvas.BackBufferStale());
    EXPECT_EQ(canvas.DrawPoint(0, 0, 0), 2);
}

TEST(ShapeStoreTest, TheIdIndexStaysRightThroughManyDeletesAndRestarts) {
    RecordingCanvas canvas;
    // The vessel is redrawn on every tick: its old shapes go, new ids come.
    const int vessel = canvas.LayerOpen("~~Tavrin Vessel");
    const int32_t track = canvas.DrawPoint(0, 0, 0);
    int32_t last = 0;
    for (int tick = 0; tick < 3000; ++tick) {
        canvas.CadClearShapes(vessel);
        for (int part = 0; part < 5; ++part)
            last = canvas.DrawLine(tick, part, tick + 1, part, vessel);
    }
    EXPECT_EQ(canvas.ShapeCount, 6);
    EXPECT_EQ(last, 15001);
    EXPECT_EQ(canvas.FindShape(track)->Id, track);
    for (int32_t id = last - 4; id <= last; ++id)
        EXPECT_EQ(canvas.FindShape(id)->Id, id);
    EXPECT_EQ(canvas.FindShape(last - 5), nullptr);
    EXPECT_EQ(canvas.FindShape(0), nullptr);
    EXPECT_EQ(canvas.FindShape(-3), nullptr);
    canvas.CadClearShapes(-1);
    EXPECT_EQ(canvas.FindShape(last), nullptr);
    EXPECT_EQ(canvas.DrawPoint(0, 0, 0), 1);
    EXPECT_NE(canvas.FindShape(1), nullptr);
}

TEST(ShapeStoreTest, HandBuiltShapesWithoutAUsableIdAreStillFound) {
    RecordingCanvas canvas;
    const int32_t first = canvas.DrawPoint(0, 0, 0);
    // A shape appended with an id already in use and one with id 0.
    auto twin = std::make_unique<TTPoint>();
    twin->Id = first;
    TTShape* twinShape = canvas.AppendShape(std::move(twin));
    auto zero = std::make_unique<TTPoint>();
    TTShape* zeroShape = canvas.AppendShape(std::move(zero));
    EXPECT_EQ(canvas.FindShape(0), zeroShape);
    EXPECT_NE(canvas.FindShape(first), twinShape); // the first in store order
    canvas.ShapeDelete(first);                     // the last one with the id goes
    EXPECT_EQ(canvas.FindShape(first), canvas.Shapes[0]);
    canvas.ShapeDelete(first);
    EXPECT_EQ(canvas.FindShape(first), nullptr);
    EXPECT_EQ(canvas.FindShape(0), zeroShape);
    EXPECT_EQ(canvas.ShapeCount, 1);
}

TEST(ShapeStoreTest, ReorderedTwinsAreFoundByTheirPlaceInThePaintOrder) {
    RecordingCanvas canvas;
    const int32_t id = canvas.DrawPoint(0, 0, 0);
    TTShape* original = canvas.FindShape(id);
    auto twin = std::make_unique<TTPoint>();
    twin->Id = id;
    TTShape* twinShape = canvas.AppendShape(std::move(twin));
    ASSERT_EQ(canvas.FindShape(id), original);

    // Lifting the first of the two on top leaves the twin first in the paint order: the id
    // accessors must reach the twin, as the order operations and deletions already do.
    canvas.ShapeToFront(id);
    ASSERT_EQ(canvas.Shapes[0], twinShape);
    EXPECT_EQ(canvas.FindShape(id), twinShape);
    canvas.SetShapePenFg(id, 0x0000FF);
    EXPECT_EQ(twinShape->PenFg, 0x0000FFu);
    EXPECT_EQ(original->PenFg, 0u);

    // Sending the first back under changes nothing; lifting it on top again puts the
    // original first.
    canvas.ShapeToBack(id);
    EXPECT_EQ(canvas.FindShape(id), twinShape);
    canvas.ShapeToFront(id);
    ASSERT_EQ(canvas.Shapes[0], original);
    EXPECT_EQ(canvas.FindShape(id), original);
}

} // namespace

TEST(ShapeStoreTest, ClearingTheSameLayerAgainFindsEveryShapeThatCameOntoIt) {
    // The vessel layer is cleared at every tick; between two clears its shapes arrive by
    // drawing, by the reorder of the store, and by moving a shape of the drawing onto it.
    RecordingCanvas canvas;
    const int drawing = canvas.LayerOpen("drawing");
    const int vessel = canvas.LayerOpen("vessel");
    std::vector<int32_t> kept;
    for (int i = 0; i < 50; ++i)
        kept.push_back(canvas.DrawPoint(i, i, drawing));
    const auto vesselShapes = [&] {
        int count = 0;
        for (const auto& shape : canvas.Shapes)
            count += shape->LayerId == vessel;
        return count;
    };
    for (int tick = 0; tick < 6; ++tick) {
        canvas.DrawCircle(tick, tick, 5, vessel);
        canvas.DrawLine(0, 0, tick, tick, vessel);
        switch (tick) {
        case 2: // a vessel shape sent under everything
            canvas.ShapeToBack(canvas.Shapes[canvas.Shapes.size() - 1]->Id);
            break;
        case 3: // a shape of the drawing moved onto the vessel layer in place
            canvas.ShapeToLayer(kept[5], vessel);
            kept.erase(kept.begin() + 5);
            break;
        case 4: // a whole layer moved onto it
            canvas.LayerCopy(drawing, vessel, 1);
            kept.clear();
            break;
        case 5: // a shape before the vessel's deleted: the store shifts under the mark
            canvas.DrawPoint(9, 9, drawing);
            canvas.ShapeDelete(canvas.Shapes[0]->Id);
            break;
        default:
            break;
        }
        canvas.CadClearShapes(vessel);
        EXPECT_EQ(vesselShapes(), 0) << "tick " << tick;
    }
    for (const int32_t id : kept)
        EXPECT_NE(canvas.FindShape(id), nullptr);
}

TEST(ShapeStoreTest, AnHourOfVesselTicksCostsTheIdIndexTensOfBytesALiveShape) {
    // Five ticks a second for an hour: the vessel (five lines, two circles) drawn anew at every
    // tick, a track line every 39 ticks (20 m at 5 kn). The vessel's ids between two track
    // points must not keep index memory alive with them: each track point lies 273 ids after
    // the one before, where a table of id pages held half a kilobyte for it, hour after hour.
    RecordingCanvas canvas;
    const int track = canvas.LayerOpen("track_fix");
    const int vessel = canvas.LayerOpen("vessel");
    for (int tick = 0; tick < 5 * 3600; ++tick) {
        canvas.CadClearShapes(vessel);
        for (int line = 0; line < 5; ++line)
            canvas.DrawLine(tick, 0, tick + line, 10, vessel);
        canvas.DrawCircle(tick, 0, 10, vessel);
        canvas.DrawCircle(tick, 0, 15, vessel);
        if (tick % 39 == 0)
            canvas.DrawLine(tick - 39, 0, tick, 0, track);
    }
    const size_t live = canvas.Shapes.size();
    ASSERT_GT(live, 460u);
    EXPECT_LT(canvas.Shapes.IndexBytes(), live * 64) << live << " live shapes";
}
