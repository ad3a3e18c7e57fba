#include "RecordingCanvas.h"
#include "canvas/TTText.h"

#include <gtest/gtest.h>

namespace {

TEST(LayerAndFontTest, ANewCanvasHasTheDefaultLayerFontAndWindow) {
    RecordingCanvas canvas;
    ASSERT_EQ(canvas.Layers.size(), 1u);
    EXPECT_EQ(canvas.Layers[0]->Id, 0);
    EXPECT_EQ(canvas.Layers[0]->Name, QStringLiteral("Default"));
    EXPECT_EQ(canvas.CurrentLayer, 0);
    EXPECT_EQ(canvas.NextLayerId, 1);
    ASSERT_EQ(canvas.Fonts.size(), 1u);
    EXPECT_EQ(canvas.Fonts[0].Name, QStringLiteral("Arial"));
    EXPECT_EQ(canvas.Fonts[0].Size, 10);
    EXPECT_FALSE(canvas.Fonts[0].Bold);
    EXPECT_EQ(canvas.CurrentFont, 0);
    EXPECT_EQ(canvas.NextShapeId, 1);
    EXPECT_EQ(canvas.ShapeCount, 0);
    EXPECT_EQ(canvas.BackColor, 0xFFFFFFu);
    EXPECT_TRUE(canvas.NeedsRedraw);
    EXPECT_EQ(canvas.PlanWorldLeft, 0.0);
    EXPECT_EQ(canvas.PlanWorldRight, 1000.0);
    EXPECT_EQ(canvas.PlanWorldTop, 1000.0);
    EXPECT_EQ(canvas.PlanWorldBottom, 0.0);
    const TTLayer* layer = canvas.FindLayer(0);
    ASSERT_NE(layer, nullptr);
    EXPECT_TRUE(layer->Visible);
    EXPECT_EQ(layer->PenWidth, 1);
    EXPECT_EQ(layer->BrushStyle, BrushStyle::Clear);
}

TEST(LayerAndFontTest, LayerIdsGrowAndNamesAreFoundExactly) {
    RecordingCanvas canvas;
    canvas.Painted();
    EXPECT_EQ(canvas.LayerOpen("Default"), 0);
    EXPECT_EQ(canvas.Layers.size(), 1u);
    EXPECT_EQ(canvas.LayerOpen("track_fix"), 1);
    EXPECT_EQ(canvas.LayerOpen("track_nofix"), 2);
    EXPECT_EQ(canvas.CurrentLayer, 2);
    EXPECT_EQ(canvas.LayerOpen("track_fix"), 1);
    EXPECT_EQ(canvas.CurrentLayer, 1);
    EXPECT_EQ(canvas.LayerOpen(""), 3); // any text names a layer, also an empty one
    EXPECT_EQ(canvas.NextLayerId, 4);
    EXPECT_FALSE(canvas.NeedsRedraw); // opening a layer paints nothing

    struct Case {
        QString name;
        int id;
    };
    const Case lookups[] = {
        {"Default", 0},
        {"default", -1},
        {"track_fix", 1},
        {"track_fix ", -1},
        {" track_fix", -1},
        {"TRACK_FIX", -1},
        {"", 3},
        {"missing", -1},
        // Names compare as whole wide texts: a lookalike outside 8-bit text is another name.
        {QString::fromUtf8("track_f\u0131x"), -1},
    };
    for (const Case& c : lookups)
        EXPECT_EQ(canvas.LayerFindByName(c.name), c.id) << c.name.toStdString();
    EXPECT_EQ(canvas.FindLayer(2)->Name, QStringLiteral("track_nofix"));
    EXPECT_EQ(canvas.FindLayer(9), nullptr);
    EXPECT_EQ(canvas.FindLayer(-1), nullptr);
}

TEST(LayerAndFontTest, LayerAttributeGettersGiveDefaultsForMissingLayers) {
    RecordingCanvas canvas;
    EXPECT_EQ(canvas.GetLayerAction(7), 0);
    EXPECT_EQ(canvas.GetLayerPenFg(7), 0u);
    EXPECT_EQ(canvas.GetLayerPenWidth(7), 1);
    EXPECT_EQ(canvas.GetLayerPenStyle(7), 0);
    EXPECT_EQ(canvas.GetLayerBrushFg(7), 0xFFFFFFu);
    EXPECT_EQ(canvas.GetLayerBrushBg(7), 0xFFFFFFu);
    EXPECT_EQ(canvas.GetLayerBrushStyle(7), BrushStyle::Clear);
    EXPECT_EQ(canvas.GetLayerBrushMode(7), 0);
    EXPECT_FALSE(canvas.GetLayerVisible(7));

    canvas.Painted();
    canvas.SetLayerAction(7, 15);
    canvas.SetLayerPenFg(7, 255);
    canvas.SetLayerVisible(7, false);
    EXPECT_FALSE(canvas.NeedsRedraw);
    EXPECT_EQ(canvas.Invalidations, 0);
    EXPECT_EQ(canvas.Layers.size(), 1u);
}

TEST(LayerAndFontTest, LayerAttributeSettersStoreAndOnlyPenChangesReachExistingShapes) {
    RecordingCanvas canvas;
    const int layer = canvas.LayerOpen("usershape");
    const int32_t line = canvas.DrawLine(0, 0, 1, 1, layer);
    const int32_t circle = canvas.DrawCircle(0, 0, 5, layer);
    const int32_t other = canvas.DrawLine(0, 0, 1, 1, 0);

    canvas.Painted();
    canvas.SetLayerPenFg(layer, 0x0000FF);
    EXPECT_EQ(canvas.GetShapePenFg(line), 0x0000FFu);
    EXPECT_EQ(canvas.GetShapePenFg(circle), 0x0000FFu);
    EXPECT_EQ(canvas.GetShapePenFg(other), 0u);
    EXPECT_TRUE(canvas.NeedsRedraw);
    EXPECT_EQ(canvas.Invalidations, 1);

    canvas.Painted();
    canvas.SetLayerPenWidth(layer, 4);
    EXPECT_EQ(canvas.GetShapePenWidth(line), 4);
    EXPECT_EQ(canvas.GetShapePenWidth(other), 1);
    EXPECT_EQ(canvas.Invalidations, 1);

    canvas.Painted();
    canvas.SetLayerBrushFg(layer, 0x00FF00);
    canvas.SetLayerBrushStyle(layer, BrushStyle::Solid);
    canvas.SetLayerBrushBg(layer, 0x123456);
    canvas.SetLayerBrushMode(layer, 2);
    canvas.SetLayerPenStyle(layer, 3);
    canvas.SetLayerAction(layer, 15);
    canvas.SetLayerVisible(layer, false);
    EXPECT_TRUE(canvas.NeedsRedraw);
    EXPECT_EQ(canvas.Invalidations, 0);
    EXPECT_EQ(canvas.GetShapeBrushFg(circle), 0xFFFFFFu); // existing shapes keep their brush
    EXPECT_EQ(canvas.GetLayerBrushFg(layer), 0x00FF00u);
    EXPECT_EQ(canvas.GetLayerBrushBg(layer), 0x123456u);
    EXPECT_EQ(canvas.GetLayerBrushMode(layer), 2);
    EXPECT_EQ(canvas.GetLayerPenStyle(layer), 3);
    EXPECT_EQ(canvas.GetLayerAction(layer), 15);
    EXPECT_FALSE(canvas.GetLayerVisible(layer));

    // Shapes made afterwards copy the layer's current attributes.
    const int32_t later = canvas.DrawCircle(1, 1, 1, layer);
    EXPECT_EQ(canvas.GetShapePenFg(later), 0x0000FFu);
    EXPECT_EQ(canvas.GetShapePenWidth(later), 4);
    EXPECT_EQ(canvas.GetShapeBrushFg(later), 0x00FF00u);
    EXPECT_EQ(canvas.GetShapeBrushStyle(later), BrushStyle::Solid);
}

TEST(LayerAndFontTest, LayerCopyMovesShapesOnlyInModeOne) {
    RecordingCanvas canvas;
    const int a = canvas.LayerOpen("a");
    const int32_t first = canvas.DrawPoint(1, 1, a);
    const int32_t second = canvas.DrawPoint(2, 2, a);
    const int32_t stay = canvas.DrawPoint(3, 3, 0);
    canvas.Painted();
    canvas.LayerCopy(a, 0, 0);
    EXPECT_EQ(canvas.GetShapeOnLayer(first), a);
    EXPECT_TRUE(canvas.NeedsRedraw);
    EXPECT_EQ(canvas.Invalidations, 0);
    canvas.LayerCopy(a, 42, 1); // the target need not exist
    EXPECT_EQ(canvas.GetShapeOnLayer(first), 42);
    EXPECT_EQ(canvas.GetShapeOnLayer(second), 42);
    EXPECT_EQ(canvas.GetShapeOnLayer(stay), 0);
    EXPECT_EQ(canvas.ShapeCount, 3);
}

TEST(LayerAndFontTest, SelectingALayerTwiceListsItsIdsTwiceAndDeselectingRemovesAll) {
    RecordingCanvas canvas;
    const int layer = canvas.LayerOpen("l");
    const int32_t a = canvas.DrawPoint(1, 1, layer);
    const int32_t other = canvas.DrawPoint(2, 2, 0);
    const int32_t b = canvas.DrawPoint(3, 3, layer);
    canvas.ShapeSelect(other, true);
    canvas.Painted();
    canvas.LayerSelectShapes(layer, true);
    canvas.LayerSelectShapes(layer, true);
    EXPECT_EQ(canvas.SelectedIds, (std::vector<int32_t>{other, a, b, a, b}));
    EXPECT_TRUE(canvas.NeedsRedraw);
    EXPECT_EQ(canvas.Invalidations, 0);

    // An id of a shape that is gone stays in the list.
    canvas.SelectedIds.push_back(999);
    canvas.LayerDeselectShapes(layer);
    EXPECT_EQ(canvas.SelectedIds, (std::vector<int32_t>{other, 999}));
    EXPECT_FALSE(canvas.GetShapeIsSelected(a));
    EXPECT_TRUE(canvas.GetShapeIsSelected(other));

    canvas.LayerSelectShapes(layer, false);
    EXPECT_EQ(canvas.SelectedIds, (std::vector<int32_t>{a, b}));
    EXPECT_FALSE(canvas.GetShapeIsSelected(other));
    EXPECT_EQ(canvas.SelectedShapeCount(), 2);
}

TEST(LayerAndFontTest, FontOpenTable) {
    struct Case {
        QString spec;
        QString name;
        int size;
        bool bold, italic;
    };
    const Case cases[] = {
        {"Courier New,12,bi", "Courier New", 12, true, true},
        {"Tahoma", "Tahoma", 10, false, false},
        {"txt,8", "Arial", 8, false, false},
        {"TxT", "Arial", 10, false, false},
        {"Verdana,big", "Verdana", 10, false, false},
        {"Verdana,14,b", "Verdana", 14, true, false},
        {"Verdana,14,I", "Verdana", 14, false, true},
        {"Verdana,,bi", "Verdana", 10, true, true},
        {"Verdana, 14", "Verdana", 10, false, false}, // nothing is trimmed
        {"Verdana,1.5", "Verdana", 10, false, false},
        {"Verdana,99999999999", "Verdana", 10, false, false},
        {",12", "", 12, false, false},
    };
    RecordingCanvas canvas;
    int expectedIndex = 1;
    for (const Case& c : cases) {
        const int index = canvas.FontOpen(c.spec, 0);
        EXPECT_EQ(index, expectedIndex++) << c.spec.toStdString();
        EXPECT_EQ(canvas.CurrentFont, index);
        const TTFont& font = canvas.Fonts[static_cast<size_t>(index)];
        EXPECT_EQ(font.Name, c.name) << c.spec.toStdString();
        EXPECT_EQ(font.Size, c.size) << c.spec.toStdString();
        EXPECT_EQ(font.Bold, c.bold) << c.spec.toStdString();
        EXPECT_EQ(font.Italic, c.italic) << c.spec.toStdString();
    }
    // The same text opened again makes another entry.
    EXPECT_EQ(canvas.FontOpen("Tahoma"), expectedIndex);
}

TEST(LayerAndFontTest, FontBehaviorResetsOnlyTouchTheCanvasDefaults) {
    RecordingCanvas canvas;
    canvas.DefaultTextAlign = 2;
    canvas.DefaultTextJustify = 1;
    const int32_t text = canvas.TextAdd(0, "T", 0, 0, 0);
    canvas.LayerFontBehaviorReset(0);
    canvas.ShapeFontBehaviorReset(text);
    EXPECT_EQ(canvas.DefaultTextAlign, 2);
    canvas.CadFontBehaviorReset();
    EXPECT_EQ(canvas.DefaultTextAlign, 0);
    EXPECT_EQ(canvas.DefaultTextJustify, 0);
    EXPECT_EQ(canvas.GetShapeTextAlign(text), 2);
    EXPECT_EQ(canvas.GetShapeTextJustify(text), 1);
}

TEST(LayerAndFontTest, FontIndicesPastThirtyTwoThousandStayPositive) {
    RecordingCanvas canvas;
    int index = 0;
    for (int i = 0; i < 33000; ++i)
        index = canvas.FontOpen("Tahoma,9");
    EXPECT_EQ(index, 33000);
    EXPECT_EQ(canvas.CurrentFont, 33000);
    const int32_t text = canvas.TextAdd(0, "deep", 0, 0, canvas.CurrentFont);
    EXPECT_EQ(static_cast<const TTText*>(canvas.FindShape(text))->FontName,
              QStringLiteral("Tahoma"));
}

} // namespace
