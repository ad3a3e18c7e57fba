#pragma once

#include "canvas/CanvasFontTable.h"
#include "canvas/CanvasGeometry.h"
#include "canvas/CanvasLayerTable.h"
#include "canvas/CanvasSelection.h"
#include "canvas/DepthLabel.h"
#include "canvas/EventLabel.h"
#include "canvas/ShapeStore.h"
#include "canvas/TTBlock.h"
#include "canvas/TTFont.h"
#include "canvas/TTLayer.h"
#include "canvas/TTPolyline.h"
#include "canvas/WorldView.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

// Everything the map canvas knows, without a window: the world window, the layer and font
// tables, the shape store, the selection, and the state that painting, the mouse tools and the
// overlays work on. The layer and font tables and the selection list are small classes of
// their own that the model owns and forwards to; the model's sources are split by concern
// (CanvasModel.cpp layers and fonts, CanvasModelView.cpp the world window and the overlays,
// CanvasModelShapes.cpp making and changing shapes, CanvasModelEditing.cpp deleting, selecting
// and the polyline drawing). The control TTavrinCanvas is this model plus a Qt widget; tests use the
// model alone.
//
// Shapes and layers are addressed by integer ids. An id that no shape or layer has gives a
// fixed default (-1 for ids, the record's default for attributes) or does nothing: none of
// these operations reports an error or throws.
class CanvasModel {
public:
    CanvasModel();
    virtual ~CanvasModel();
    CanvasModel(const CanvasModel&) = delete;
    CanvasModel& operator=(const CanvasModel&) = delete;

    // ---- World window and view ------------------------------------------------------------
    WorldView View() const;
    // Stores the view's window (the client size stays the control's own).
    void SetView(const WorldView& view);

    void WorldToScreen(double x, double y, int& sx, int& sy) const;
    void ScreenToWorld(int sx, int sy, double& x, double& y) const;
    double GetWorldWidth() const;
    double GetWorldHeight() const;
    int WorldToAbsX(double x) const;
    int WorldToAbsY(double y) const;
    // `mode` is not used. A step that would leave the zoom bounds does nothing.
    void WorldZoom(int mode, double factor, double cx, double cy);
    void WorldPan(double dx, double dy);
    // Stores the window as given, without any aspect correction.
    void WorldSet(double left, double top, double right, double bottom);
    // Fits the window to the visible shapes (their own Visible flag; the layer's is not
    // consulted).
    void WorldExtents();
    // Refits the window to a new client size (the control's resize).
    void Resize(int width, int height);

    void SetBackColor(uint32_t color);
    uint32_t GetContrastColor(uint32_t color) const;
    // Marks the back buffer stale and asks for a repaint; neither paints at once.
    void Refresh();
    void Update();
    // The map tick's repaint: marks the back buffer stale only when a field it shows (the world
    // window, the background, the grid) was written directly since it was built, else asks for
    // a paint of what changed (shapes added or deleted, the overlays).
    void RefreshChanged();

    // The fields the back buffer shows, written directly by the windows and read back by
    // RefreshChanged.
    struct BackBufferFields {
        double Left = 0, Right = 0, Top = 0, Bottom = 0;
        uint32_t BackColor = 0;
        bool GridVisible = false;
        bool GridAutoScale = false;
        double GridSpacingX = 0, GridSpacingY = 0;
        uint32_t GridColor = 0;
        int GridOnTop = 0;
        bool operator==(const BackBufferFields&) const = default;
    };
    BackBufferFields ShownFields() const;
    // What the back buffer was last built from.
    BackBufferFields BuiltFields;

    // ---- Layers and fonts -----------------------------------------------------------------
    // Id of the layer with that name, created when missing; it becomes the current layer.
    int LayerOpen(const QString& name);
    // Id of the first layer with exactly that name (case-sensitive, no trimming), -1 when none.
    int LayerFindByName(const QString& name) const;
    TTLayer* FindLayer(int id) const;
    // Mode 1 moves every shape of the source layer to the target (which need not exist);
    // any other mode moves nothing.
    void LayerCopy(int source, int target, int mode);
    void LayerSelectShapes(int layer, bool add);
    void LayerDeselectShapes(int layer);

    int GetLayerAction(int layer) const;
    void SetLayerAction(int layer, int value);
    uint32_t GetLayerPenFg(int layer) const;
    // Also recolours every shape already on the layer.
    void SetLayerPenFg(int layer, uint32_t color);
    int GetLayerPenWidth(int layer) const;
    // Also gives every shape already on the layer the width.
    void SetLayerPenWidth(int layer, int width);
    int GetLayerPenStyle(int layer) const;
    void SetLayerPenStyle(int layer, int style);
    uint32_t GetLayerBrushFg(int layer) const;
    void SetLayerBrushFg(int layer, uint32_t color);
    uint32_t GetLayerBrushBg(int layer) const;
    void SetLayerBrushBg(int layer, uint32_t color);
    uint8_t GetLayerBrushStyle(int layer) const;
    void SetLayerBrushStyle(int layer, uint8_t style);
    int GetLayerBrushMode(int layer) const;
    void SetLayerBrushMode(int layer, int mode);
    bool GetLayerVisible(int layer) const;
    void SetLayerVisible(int layer, bool visible);

    // Appends a font entry made from "name[,size[,flags]]" (flags B bold, I italic; the name
    // "TXT" stands for Arial; a size that is not an integer gives 10) and makes it current.
    int FontOpen(const QString& spec, int unused = 0);
    void CadFontBehaviorReset();
    void LayerFontBehaviorReset(int layer);
    void ShapeFontBehaviorReset(int32_t shape);

    // ---- Creating shapes ------------------------------------------------------------------
    // Each returns the new shape's id, or -1 when a coordinate is not finite. A layer id that
    // no layer has puts the shape on "Default" (which becomes the current layer).
    int32_t DrawLine(double x1, double y1, double x2, double y2, int layer);
    int32_t DrawCircle(double cx, double cy, double radius, int layer);
    int32_t DrawRectangle(double x1, double y1, double x2, double y2, int layer);
    int32_t DrawPoint(double x, double y, int layer);
    int32_t DrawTwoPointEllipse(double x1, double y1, double x2, double y2, int layer);
    int32_t DrawThreePointArc(double x1, double y1, double x2, double y2, double x3, double y3,
                              int layer);
    int32_t TextAdd(int layer, const QString& text, double x, double y, int fontIndex);
    // -1 for fewer than 2 points.
    int32_t DrawPolyline(const std::vector<std::pair<double, double>>& points, int layer,
                         bool closed);
    int32_t ShapeAdd(int, int);

    // Appends a shape made elsewhere (drawing-file readers, the mouse tools) to the top of the
    // paint order. The shape keeps its id: give it NextShapeId and increment that first.
    TTShape* AppendShape(std::unique_ptr<TTShape> shape);

    // ---- Shape attributes -----------------------------------------------------------------
    int16_t GetShapeType(int32_t id) const;
    int GetShapePenWidth(int32_t id) const;
    void SetShapePenWidth(int32_t id, int width);
    uint32_t GetShapePenFg(int32_t id) const;
    void SetShapePenFg(int32_t id, uint32_t color);
    int GetShapePenStyle(int32_t id) const;
    void SetShapePenStyle(int32_t id, int style);
    uint32_t GetShapeBrushFg(int32_t id) const;
    void SetShapeBrushFg(int32_t id, uint32_t color);
    int GetShapeBrushStyle(int32_t id) const;
    // Stores the low byte.
    void SetShapeBrushStyle(int32_t id, int style);
    int GetShapeBrushMode(int32_t id) const;
    void SetShapeBrushMode(int32_t id, int mode);
    int GetShapeOnLayer(int32_t id) const;
    bool GetShapeIsSelected(int32_t id) const;
    QString GetShapeText(int32_t id) const;
    void SetShapeText(int32_t id, const QString& text);
    QString GetShapeNotes(int32_t id) const;
    void SetShapeNotes(int32_t id, const QString& notes);
    int32_t GetShapeZOrder(int32_t id) const;
    void SetShapeZOrder(int32_t id, int32_t order);
    // Texts only: other shapes read 0 and ignore the setter.
    int GetShapeTextAlign(int32_t id) const;
    void SetShapeTextAlign(int32_t id, int align);
    int GetShapeTextJustify(int32_t id) const;
    void SetShapeTextJustify(int32_t id, int justify);
    // Points only: other shapes read 0 and ignore the setter.
    int GetShapePointSize(int32_t id) const;
    void SetShapePointSize(int32_t id, int size);

    // ---- Finding, order and transforms ----------------------------------------------------
    TTShape* FindShape(int32_t id) const;
    // Id of the topmost shape (its own Visible flag set) hit at the world point, within
    // max(pen width, 3) pixels' worth of world distance; -1 when none.
    int32_t GetShapeAt(double x, double y) const;
    int32_t ShapeHitTest(double x, double y) const;

    void ShapeToLayer(int32_t id, int layer);
    void ShapeToFront(int32_t id);
    void ShapeToBack(int32_t id);
    void ShapeZOrderJump(int32_t id, int32_t jump);

    // Arguments that are not finite leave the shape as it is.
    void ShapeTranslate(int32_t id, double dx, double dy);
    void ShapeScale(int32_t id, double cx, double cy, double sx, double sy);
    void ShapeRotate(int32_t id, double angle, double cx, double cy);
    // Axis 0 mirrors about the line x = cx, axis 1 about y = cy; any other axis changes nothing.
    void ShapeReflect(int32_t id, int axis, double cx, double cy);

    // Vertices of polylines (not of the arc made by DrawThreePointArc).
    double ShapePointGetX(int32_t id, int index) const;
    double ShapePointGetY(int32_t id, int index) const;
    void ShapePointSet(int32_t id, int index, double x, double y);
    // Index equal to the vertex count appends.
    void ShapePointInsert(int32_t id, int index, double x, double y);
    void ShapePointDelete(int32_t id, int index);
    int ShapePointCount(int32_t id) const;

    // ---- Deleting -------------------------------------------------------------------------
    // Deletes the shapes of one layer, or every shape when `layer` is -1 (then the selection
    // is emptied and ids restart at 1). The layers stay.
    void CadClearShapes(int layer);
    void LayerClear(int layer);
    // Deletes the shapes of every layer with exactly that name.
    void CadClearShapesByLayerName(const QString& name);
    void ShapeDelete(int32_t id);
    // Deletes every shape whose id is listed, in one pass over the store (a day's track is
    // thinned by the hundred thousand).
    void ShapesDelete(const std::vector<int32_t>& ids);
    // The replacing load's fresh start: no shapes, no layers but "Default" (id 0, current),
    // layer ids from 0 and shape ids from 1 again, and an empty selection.
    void ResetDrawing();
    // First block with that name, null when none.
    TTBlock* FindBlock(const QString& name) const;

    // ---- Selection ------------------------------------------------------------------------
    void ShapeSelect(int32_t id, bool add);
    void ShapeDeselect(int32_t id);
    void CadSelectShapes();
    void CadDeselectShapes();
    // Deselects everything without marking the back buffer stale.
    void ClearSelection();
    // Number of shapes whose Selected flag is set (not of list entries).
    int SelectedShapeCount() const;
    // The ids of SelectedIds in order, duplicates included; nothing when the list is empty.
    std::optional<std::vector<int32_t>> GetShapeSelectNumbers() const;
    void ShapeSelectMoveDelta(double dx, double dy);
    void CadClearSelectedShapes();
    void ShapeSelectDelete();
    void DeleteSelectedShapes();
    void SelectShapesOnLayers(const std::vector<int32_t>& layers);
    // Even-odd rule; a point on a left edge is inside, one on a right edge is not.
    static bool PointInPolygon(double x, double y, const std::vector<TPointF>& polygon);
    // Track selection: shapes of the listed layers inside the polygon.
    void SelectShapesInPolygon(const std::vector<TPointF>& polygon,
                               const std::vector<int32_t>& layers);
    // Shape selection: shapes of every layer but the selection polygon's.
    void SelectAllShapesInPolygon(const std::vector<TPointF>& polygon);
    // The vertices of the polyline committed by the drawing that ended last, when it lies on
    // the route or the selection-polygon layer (any layer when neither exists); empty when
    // that drawing committed no polyline.
    std::vector<std::pair<double, double>> GetLastPolylinePoints() const;
    void ClearDrawingState();

    // ---- Polyline drawing (used by the mouse tools) ---------------------------------------
    // Starts PendingPolyline on the current layer with the next shape id; `type` is 5, 6
    // (closed), 8 or 10.
    TTPolyline* StartPendingPolyline(int32_t type, double x, double y);
    // Ends the drawing under way, whatever the tool: a pending polyline of at least two
    // vertices joins the store (its id is returned); a shorter one, or none (a line chain, a
    // rectangle), leaves -1. Either way the result is what GetLastPolylinePoints answers
    // from, so call it at every end of a drawing (the right press, the arc's third press).
    // When the ids restarted since the drawing began, the polyline gets a fresh id.
    int32_t CommitPendingPolyline();
    // Abandons the pending polyline; the drawing leaves no polyline behind.
    void DiscardPendingPolyline();

    // ---- Overlays and distance measure -----------------------------------------------------
    // These change only what is drawn over the back buffer: they ask for a paint without
    // marking the buffer stale.
    void SetDepthLabelSettings(bool show, double minSpacing, const QString& fontName, int fontSize,
                               uint32_t colour);
    // Refused (false) when the position or depth is not finite or the position lies closer
    // than LabelSpacing to a stored label. Past 10000 labels the oldest 1000 go.
    bool AddDepthLabel(double x, double y, double depth);
    void ClearDepthLabels();
    // Refused when the position is not finite; capped like the depth labels.
    bool AddEventLabel(double x, double y, int number);
    void ClearEventLabels();
    void SetCurrentDepth(double depth, double depthLow, bool valid);
    void SetCurrentSpeed(double knots, bool valid);
    // Next corner; the remainder keeps the sign, so a negative value stays in the default
    // corner.
    void ToggleDepthSpeedDisplayMode();
    void ToggleGGAOverlayPosition();
    void SetHeadingValid(bool valid);

    // The measure starts with a distance of 0 and keeps the last bearing until updated.
    void StartDistanceMeasure(double x, double y);
    // Ignored unless a measure is on.
    void UpdateDistanceMeasure(double x, double y, double distance, double bearing);
    void EndDistanceMeasure();

    // ---- Stubs of the control's interface -------------------------------------------------
    bool MetafileSave(const QString& fileName);
    bool MetafileToClipboard();
    void PrintView(int, const QString&);
    int ViewDialogShow(int, int32_t);

    // ---- Fields ---------------------------------------------------------------------------
    // The tables the model owns. The names further down (Layers, CurrentLayer, Fonts,
    // SelectedIds, ...) are the control's own and refer into them.
    CanvasLayerTable LayerTable;
    CanvasFontTable FontTable;
    CanvasSelection Selection;

    // World window (public: the main window stores and restores it).
    double PlanWorldLeft = 0.0;
    double PlanWorldRight = 1000.0;
    double PlanWorldTop = 1000.0;
    double PlanWorldBottom = 0.0;

    std::vector<std::unique_ptr<TTLayer>>& Layers = LayerTable.Layers;
    // Layer that receives shapes drawn with the mouse.
    int& CurrentLayer = LayerTable.CurrentLayer;
    int& NextLayerId = LayerTable.NextLayerId;
    // Layer the drawing-exchange reader is filling.
    int& DxfLayerId = LayerTable.DxfLayerId;

    ShapeStore Shapes;
    int32_t NextShapeId = 1;
    int32_t ShapeCount = 0;
    std::vector<std::unique_ptr<TTBlock>> Blocks;

    std::vector<TTFont>& Fonts = FontTable.Fonts;
    int& CurrentFont = FontTable.CurrentFont;
    int& DefaultTextAlign = FontTable.DefaultTextAlign;
    int& DefaultTextJustify = FontTable.DefaultTextJustify;

    // Tool state of the mouse and keyboard.
    int ToolMode = 0;
    bool KeepToolMode = false;
    bool DeleteKeyEnabled = false;

    // Grid (painted with the shapes).
    bool GridVisible = false;
    bool GridAutoScale = true;
    double GridSpacingX = 100.0;
    double GridSpacingY = 100.0;
    uint32_t GridColor = 0xC0C0C0;
    // 0 under the shapes, 1 over them, anything else no grid.
    int GridOnTop = 0;

    bool RubberBandActive = false;
    bool DrawingActive = false;
    bool SkipNextLeftPress = false;
    double AnchorX = 0.0;
    double AnchorY = 0.0;
    double CursorX = 0.0;
    double CursorY = 0.0;
    int LastMouseX = 0;
    int LastMouseY = 0;
    bool PanActive = false;
    bool DragZoomActive = false;
    TPoint PressPoint;
    // The polyline, polygon, spline or arc being drawn; owned until it joins the store.
    std::unique_ptr<TTPolyline> PendingPolyline;

    // Ids of the selected shapes in the order they were selected (an id may stand twice).
    std::vector<int32_t>& SelectedIds = Selection.SelectedIds;

    uint32_t BackColor = 0xFFFFFF;
    // The back buffer no longer shows the drawing and must be rebuilt at the next paint. Shapes
    // added or deleted (the vessel symbol and the track at every tick) do not set it: the
    // store marks where it changed (ShapeStore::ChangedFrom), and the paint redraws from there.
    bool NeedsRedraw = true;
    // Is anything the back buffer shows out of date?
    bool BackBufferStale() const {
        return NeedsRedraw || Shapes.ChangedFrom() != ShapeStore::NoChange;
    }
    // The layer replaced at every map tick (the vessel symbol). The back buffer keeps the shapes
    // painted before its first shape; that shape and all after it in paint order are painted
    // over a copy at every paint, so replacing them never rebuilds the buffer. -1: none.
    int LiveLayerId = -1;

    double LastPressX = 0.0;
    double LastPressY = 0.0;

    // Distance measure.
    bool Measuring = false;
    double MeasureStartX = 0.0;
    double MeasureStartY = 0.0;
    double MeasureEndX = 0.0;
    double MeasureEndY = 0.0;
    double MeasureDistance = 0.0;
    double MeasureBearing = 0.0;

    // Overlays.
    std::vector<DepthLabel> DepthLabels;
    bool LabelsVisible = true;
    double LabelSpacing = 10.0;
    QString LabelFontName = QStringLiteral("Arial");
    int LabelFontSize = 12;
    uint32_t LabelColor = 0;
    std::vector<EventLabel> EventLabels;
    double CurrentDepth = 0.0;
    double CurrentDepthLow = 0.0;
    bool DepthValid = false;
    double CurrentSpeed = 0.0;
    bool SpeedValid = false;
    int DepthSpeedDisplayMode = 0;
    int GGAOverlayPosition = 0;
    bool HeadingValid = true;

    // Events of the control, raised by the mouse tools (never by the operations above).
    std::function<void(int16_t shapeType, int32_t shapeNumber)> OnShapeNumberSelected;
    std::function<void(int16_t shift, double x, double y, double magnitude, double angle)>
        OnWorldMouseMove;
    std::function<void(int16_t button, int16_t shift, int16_t action, double x, double y)>
        OnWorldMouseDown;
    std::function<void(int16_t shapeType, double x, double y)> OnDrawBegin;
    std::function<void(int16_t shapeType, double x, double y)> OnDrawEnd;

    // Client size in pixels; the control keeps it in step with its own.
    int ClientWidth = 400;
    int ClientHeight = 300;

    // Layer names the selection and the route drawing rely on.
    static const QString RouteLayerName;
    static const QString SelectPolyLayerName;

    // Screen cursors the tools show.
    static constexpr int DefaultCursor = 0;
    static constexpr int CrossCursor = -3;
    static constexpr int SizeAllCursor = -22;

protected:
    // The mouse tools invalidate and set cursors the way the control itself does.
    friend class CanvasToolController;

    // Asks for a paint without rebuilding the back buffer (the overlays are redrawn).
    virtual void InvalidateControl() {}
    virtual void SetScreenCursor(int cursor) { (void)cursor; }
    // Marks the back buffer stale and asks for a paint.
    void RepaintControl();

private:
    TTLayer* LayerForNewShape(int layer);
    int32_t AddNewShape(std::unique_ptr<TTShape> shape);
    void DeleteShapesWhere(const std::function<bool(const TTShape&)>& picks, size_t from = 0);
    size_t DeleteSelectedFlagged();

    // The id-based attribute accessors: a missing id reads the fallback and writes nothing;
    // a write that reaches a shape marks the back buffer stale.
    template <typename T, typename Field>
    T ShapeValue(int32_t id, Field TTShape::*field, T fallback) const {
        const TTShape* shape = FindShape(id);
        return shape ? static_cast<T>(shape->*field) : fallback;
    }
    template <typename Field, typename Value>
    void SetShapeValue(int32_t id, Field TTShape::*field, const Value& value) {
        if (TTShape* shape = FindShape(id)) {
            shape->*field = value;
            NeedsRedraw = true;
        }
    }
    // The same for the layer table, by layer id.
    template <typename T, typename Field>
    T LayerValue(int layer, Field TTLayer::*field, T fallback) const {
        const TTLayer* found = FindLayer(layer);
        return found ? static_cast<T>(found->*field) : fallback;
    }
    template <typename Field, typename Value>
    void SetLayerValue(int layer, Field TTLayer::*field, const Value& value) {
        if (TTLayer* found = FindLayer(layer)) {
            found->*field = value;
            NeedsRedraw = true;
        }
    }

    struct CommittedPolyline {
        int LayerId = 0;
        std::vector<TPointF> Points;
    };
    std::optional<CommittedPolyline> LastCommittedPolyline;

    // The layer CadClearShapes emptied last: no shape of it lies before the store's
    // LayerClear mark, so clearing it again (the vessel at every tick) looks only from there.
    // -1 once a stored shape may have been moved onto a layer in place.
    int EmptiedLayer = -1;
};
