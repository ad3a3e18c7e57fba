#include "canvas/CanvasModel.h"

#include "canvas/CanvasModelInternals.h"

const QString CanvasModel::RouteLayerName = QStringLiteral("Tavrin_Route");
const QString CanvasModel::SelectPolyLayerName = QStringLiteral("Tavrin_SelectPoly");

// The tables start as they must: "Default" current and one font entry.
CanvasModel::CanvasModel() = default;

CanvasModel::~CanvasModel() = default;

void CanvasModel::RepaintControl() {
    NeedsRedraw = true;
    InvalidateControl();
}

// ---- Layers and fonts -----------------------------------------------------------------------

int CanvasModel::LayerOpen(const QString& name) {
    return LayerTable.Open(name);
}

int CanvasModel::LayerFindByName(const QString& name) const {
    return LayerTable.FindByName(name);
}

TTLayer* CanvasModel::FindLayer(int id) const {
    return LayerTable.Find(id);
}

void CanvasModel::LayerCopy(int source, int target, int mode) {
    if (mode == 1)
        for (const auto& shape : Shapes)
            if (shape->LayerId == source)
                shape->LayerId = target;
    EmptiedLayer = -1;
    NeedsRedraw = true;
}

void CanvasModel::LayerSelectShapes(int layer, bool add) {
    if (!add)
        ClearSelection();
    for (const auto& shape : Shapes)
        if (shape->LayerId == layer)
            Selection.Add(*shape);
    NeedsRedraw = true;
}

void CanvasModel::LayerDeselectShapes(int layer) {
    for (const auto& shape : Shapes)
        if (shape->LayerId == layer)
            shape->Selected = false;
    std::erase_if(SelectedIds, [this, layer](int32_t id) {
        const TTShape* shape = Shapes.Find(id);
        return shape && shape->LayerId == layer;
    });
    NeedsRedraw = true;
}

int CanvasModel::GetLayerAction(int layer) const {
    return LayerValue<int>(layer, &TTLayer::Action, 0);
}

void CanvasModel::SetLayerAction(int layer, int value) {
    SetLayerValue(layer, &TTLayer::Action, value);
}

uint32_t CanvasModel::GetLayerPenFg(int layer) const {
    return LayerValue<uint32_t>(layer, &TTLayer::PenFg, 0);
}

void CanvasModel::SetLayerPenFg(int layer, uint32_t color) {
    TTLayer* found = FindLayer(layer);
    if (!found)
        return;
    found->PenFg = color;
    for (const auto& shape : Shapes)
        if (shape->LayerId == layer)
            shape->PenFg = color;
    RepaintControl();
}

int CanvasModel::GetLayerPenWidth(int layer) const {
    return LayerValue<int>(layer, &TTLayer::PenWidth, 1);
}

void CanvasModel::SetLayerPenWidth(int layer, int width) {
    TTLayer* found = FindLayer(layer);
    if (!found)
        return;
    found->PenWidth = width;
    for (const auto& shape : Shapes)
        if (shape->LayerId == layer)
            shape->PenWidth = width;
    RepaintControl();
}

int CanvasModel::GetLayerPenStyle(int layer) const {
    return LayerValue<int>(layer, &TTLayer::PenStyle, 0);
}

void CanvasModel::SetLayerPenStyle(int layer, int style) {
    SetLayerValue(layer, &TTLayer::PenStyle, style);
}

uint32_t CanvasModel::GetLayerBrushFg(int layer) const {
    return LayerValue<uint32_t>(layer, &TTLayer::BrushFg, 0xFFFFFF);
}

void CanvasModel::SetLayerBrushFg(int layer, uint32_t color) {
    SetLayerValue(layer, &TTLayer::BrushFg, color);
}

uint32_t CanvasModel::GetLayerBrushBg(int layer) const {
    return LayerValue<uint32_t>(layer, &TTLayer::BrushBg, 0xFFFFFF);
}

void CanvasModel::SetLayerBrushBg(int layer, uint32_t color) {
    SetLayerValue(layer, &TTLayer::BrushBg, color);
}

uint8_t CanvasModel::GetLayerBrushStyle(int layer) const {
    return LayerValue<uint8_t>(layer, &TTLayer::BrushStyle, BrushStyle::Clear);
}

void CanvasModel::SetLayerBrushStyle(int layer, uint8_t style) {
    SetLayerValue(layer, &TTLayer::BrushStyle, style);
}

int CanvasModel::GetLayerBrushMode(int layer) const {
    return LayerValue<int>(layer, &TTLayer::BrushMode, 0);
}

void CanvasModel::SetLayerBrushMode(int layer, int mode) {
    SetLayerValue(layer, &TTLayer::BrushMode, mode);
}

bool CanvasModel::GetLayerVisible(int layer) const {
    return LayerValue<bool>(layer, &TTLayer::Visible, false);
}

void CanvasModel::SetLayerVisible(int layer, bool visible) {
    SetLayerValue(layer, &TTLayer::Visible, visible);
}

int CanvasModel::FontOpen(const QString& spec, int) {
    return FontTable.Open(spec);
}

void CanvasModel::CadFontBehaviorReset() {
    FontTable.ResetBehavior();
}

void CanvasModel::LayerFontBehaviorReset(int) {}

void CanvasModel::ShapeFontBehaviorReset(int32_t) {}

// ---- Stubs ----------------------------------------------------------------------------------

bool CanvasModel::MetafileSave(const QString&) {
    return false;
}

bool CanvasModel::MetafileToClipboard() {
    return false;
}

void CanvasModel::PrintView(int, const QString&) {}

int CanvasModel::ViewDialogShow(int, int32_t) {
    return 0;
}
