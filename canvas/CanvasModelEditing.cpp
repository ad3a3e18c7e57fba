#include "canvas/CanvasModel.h"

#include "canvas/CanvasModelInternals.h"

#include <algorithm>

using canvas_model::AllFinite;
using canvas_model::ListHas;

// ---- Deleting -------------------------------------------------------------------------------

void CanvasModel::DeleteShapesWhere(const std::function<bool(const TTShape&)>& picks,
                                    size_t from) {
    if (SelectedIds.empty()) {
        Shapes.DeleteIf(picks, from);
    } else {
        std::vector<int32_t> deleted;
        Shapes.DeleteIf(
            [&](const TTShape& shape) {
                if (!picks(shape))
                    return false;
                deleted.push_back(shape.Id);
                return true;
            },
            from);
        Selection.Forget(deleted);
    }
    ShapeCount = static_cast<int32_t>(Shapes.size());
}

void CanvasModel::CadClearShapes(int layer) {
    if (layer == -1) {
        Shapes.Clear();
        SelectedIds.clear();
        NextShapeId = 1;
        ShapeCount = 0;
        RepaintControl();
        return;
    }
    // The map tick clears the vessel layer of a map holding a day's track five times a
    // second: without a selection to keep in step, the store is asked directly, without a
    // call through a function object for every shape. The store marks where the shapes went;
    // the paint redraws from there.
    const auto onLayer = [layer](const TTShape& shape) { return shape.LayerId == layer; };
    const size_t from =
        layer == EmptiedLayer ? Shapes.ChangedFrom(ShapeStore::Mark::LayerClear) : 0;
    if (SelectedIds.empty()) {
        Shapes.DeleteIf(onLayer, from);
        ShapeCount = static_cast<int32_t>(Shapes.size());
    } else {
        DeleteShapesWhere(onLayer, from);
    }
    EmptiedLayer = layer;
    Shapes.ClearChangeMark(ShapeStore::Mark::LayerClear);
    InvalidateControl();
}

void CanvasModel::LayerClear(int layer) {
    CadClearShapes(layer);
}

void CanvasModel::CadClearShapesByLayerName(const QString& name) {
    const std::vector<int32_t> layers = LayerTable.IdsNamed(name);
    if (!layers.empty())
        DeleteShapesWhere(
            [&layers](const TTShape& shape) { return ListHas(layers, shape.LayerId); });
    RepaintControl();
}

void CanvasModel::ShapeDelete(int32_t id) {
    Shapes.DeleteLast(id);
    std::erase(SelectedIds, id);
    ShapeCount = static_cast<int32_t>(Shapes.size());
    NeedsRedraw = true;
}

void CanvasModel::ResetDrawing() {
    Shapes.Clear();
    LayerTable.Reset();
    NextShapeId = 1;
    ShapeCount = 0;
    // Ids restart at 1, so an id left in the list would select a new, unrelated shape.
    SelectedIds.clear();
    NeedsRedraw = true;
}

TTBlock* CanvasModel::FindBlock(const QString& name) const {
    for (const auto& block : Blocks)
        if (block->Name == name)
            return block.get();
    return nullptr;
}

// ---- Selection ------------------------------------------------------------------------------

void CanvasModel::ShapeSelect(int32_t id, bool add) {
    if (!add)
        ClearSelection();
    if (TTShape* shape = FindShape(id))
        Selection.Add(*shape);
    NeedsRedraw = true;
}

void CanvasModel::ShapeDeselect(int32_t id) {
    if (TTShape* shape = FindShape(id))
        shape->Selected = false;
    std::erase(SelectedIds, id);
    NeedsRedraw = true;
}

void CanvasModel::CadSelectShapes() {
    SelectedIds.reserve(SelectedIds.size() + Shapes.size());
    for (const auto& shape : Shapes)
        Selection.Add(*shape);
    NeedsRedraw = true;
}

void CanvasModel::CadDeselectShapes() {
    ClearSelection();
    NeedsRedraw = true;
}

void CanvasModel::ClearSelection() {
    Selection.Clear(Shapes);
}

int CanvasModel::SelectedShapeCount() const {
    return static_cast<int>(std::count_if(Shapes.begin(), Shapes.end(),
                                          [](const auto& shape) { return shape->Selected; }));
}

std::optional<std::vector<int32_t>> CanvasModel::GetShapeSelectNumbers() const {
    if (SelectedIds.empty())
        return std::nullopt;
    return SelectedIds;
}

void CanvasModel::ShapeSelectMoveDelta(double dx, double dy) {
    if (!AllFinite({dx, dy}))
        return;
    for (const auto& shape : Shapes)
        if (shape->Selected)
            shape->Translate(dx, dy);
    NeedsRedraw = true;
}

size_t CanvasModel::DeleteSelectedFlagged() {
    const size_t deleted = Shapes.DeleteIf([](const TTShape& shape) { return shape.Selected; });
    SelectedIds.clear();
    ShapeCount = static_cast<int32_t>(Shapes.size());
    NeedsRedraw = true;
    return deleted;
}

void CanvasModel::CadClearSelectedShapes() {
    DeleteSelectedFlagged();
    RepaintControl();
}

void CanvasModel::ShapeSelectDelete() {
    if (Shapes.empty())
        return;
    DeleteSelectedFlagged();
    InvalidateControl();
}

void CanvasModel::DeleteSelectedShapes() {
    DeleteSelectedFlagged();
    InvalidateControl();
}

void CanvasModel::SelectShapesOnLayers(const std::vector<int32_t>& layers) {
    ClearSelection();
    for (const auto& shape : Shapes)
        if (ListHas(layers, shape->LayerId))
            Selection.Add(*shape);
    InvalidateControl();
}

bool CanvasModel::PointInPolygon(double x, double y, const std::vector<TPointF>& polygon) {
    return CanvasSelection::PointInPolygon(x, y, polygon);
}

void CanvasModel::SelectShapesInPolygon(const std::vector<TPointF>& polygon,
                                        const std::vector<int32_t>& layers) {
    ClearSelection();
    if (polygon.size() < 3 || layers.empty())
        return;
    try {
        Selection.AddInPolygon(Shapes, polygon, layers);
    } catch (...) {
        // The track selection is a convenience: a failure leaves what was selected so far.
    }
    InvalidateControl();
}

void CanvasModel::SelectAllShapesInPolygon(const std::vector<TPointF>& polygon) {
    ClearSelection();
    if (polygon.size() < 3)
        return;
    Selection.AddAllInPolygon(Shapes, polygon, LayerFindByName(SelectPolyLayerName));
    InvalidateControl();
}

std::vector<std::pair<double, double>> CanvasModel::GetLastPolylinePoints() const {
    std::vector<std::pair<double, double>> points;
    if (!LastCommittedPolyline)
        return points;
    const int route = LayerFindByName(RouteLayerName);
    const int selectPoly = LayerFindByName(SelectPolyLayerName);
    const int layer = LastCommittedPolyline->LayerId;
    const bool anyLayer = route < 0 && selectPoly < 0;
    if (!anyLayer && !((route >= 0 && layer == route) || (selectPoly >= 0 && layer == selectPoly)))
        return points;
    points.reserve(LastCommittedPolyline->Points.size());
    for (const TPointF& p : LastCommittedPolyline->Points)
        points.emplace_back(p.X, p.Y);
    return points;
}

void CanvasModel::ClearDrawingState() {
    RubberBandActive = false;
    DrawingActive = false;
    SkipNextLeftPress = false;
    if (PendingPolyline)
        DiscardPendingPolyline();
    SetScreenCursor(DefaultCursor);
}

// ---- Polyline drawing -----------------------------------------------------------------------

TTPolyline* CanvasModel::StartPendingPolyline(int32_t type, double x, double y) {
    if (!AllFinite({x, y}))
        return nullptr;
    auto polyline = std::make_unique<TTPolyline>();
    polyline->Type = ShapeType::Polyline;
    polyline->Closed = false;
    polyline->LayerId = CurrentLayer;
    polyline->Id = NextShapeId++;
    const bool polygon = type == ShapeType::Polygon;
    if (polygon || type == ShapeType::Spline || type == ShapeType::ThreePointArc)
        polyline->Type = type;
    polyline->Closed = polygon;
    if (const TTLayer* layer = FindLayer(CurrentLayer)) {
        polyline->PenFg = layer->PenFg;
        polyline->PenWidth = layer->PenWidth;
        if (polygon) {
            polyline->BrushFg = layer->BrushFg;
            polyline->BrushStyle = layer->BrushStyle;
        }
    }
    polyline->AddPoint(x, y);
    PendingPolyline = std::move(polyline);
    return PendingPolyline.get();
}

int32_t CanvasModel::CommitPendingPolyline() {
    if (!PendingPolyline || PendingPolyline->PointCount() < 2) {
        DiscardPendingPolyline();
        return -1;
    }
    std::unique_ptr<TTPolyline> polyline = std::move(PendingPolyline);
    // The id was taken at the first press. A New or Open during the drawing restarts the ids,
    // and the old one may belong to a loaded shape now or be handed out again later.
    if (polyline->Id >= NextShapeId || Shapes.Find(polyline->Id) != nullptr)
        polyline->Id = NextShapeId++;
    polyline->UpdateBounds();
    LastCommittedPolyline = CommittedPolyline{polyline->LayerId, polyline->Points};
    const int32_t id = polyline->Id;
    AppendShape(std::move(polyline));
    return id;
}

void CanvasModel::DiscardPendingPolyline() {
    PendingPolyline.reset();
    LastCommittedPolyline.reset();
}
