#include "canvas/CanvasModel.h"

#include "canvas/CanvasModelInternals.h"
#include "canvas/RenderPlan.h"

#include <algorithm>
#include <optional>

using canvas_model::AllFinite;

// ---- World window and view ------------------------------------------------------------------

WorldView CanvasModel::View() const {
    WorldView view;
    view.Left = PlanWorldLeft;
    view.Right = PlanWorldRight;
    view.Top = PlanWorldTop;
    view.Bottom = PlanWorldBottom;
    view.Width = ClientWidth;
    view.Height = ClientHeight;
    return view;
}

void CanvasModel::SetView(const WorldView& view) {
    PlanWorldLeft = view.Left;
    PlanWorldRight = view.Right;
    PlanWorldTop = view.Top;
    PlanWorldBottom = view.Bottom;
}

void CanvasModel::WorldToScreen(double x, double y, int& sx, int& sy) const {
    View().WorldToScreen(x, y, sx, sy);
}

void CanvasModel::ScreenToWorld(int sx, int sy, double& x, double& y) const {
    View().ScreenToWorld(sx, sy, x, y);
}

double CanvasModel::GetWorldWidth() const {
    return PlanWorldRight - PlanWorldLeft;
}

double CanvasModel::GetWorldHeight() const {
    return PlanWorldTop - PlanWorldBottom;
}

int CanvasModel::WorldToAbsX(double x) const {
    int sx = 0;
    int sy = 0;
    WorldToScreen(x, 0.0, sx, sy);
    return sx;
}

int CanvasModel::WorldToAbsY(double y) const {
    int sx = 0;
    int sy = 0;
    WorldToScreen(0.0, y, sx, sy);
    return sy;
}

void CanvasModel::WorldZoom(int, double factor, double cx, double cy) {
    WorldView view = View();
    if (!view.Zoom(factor, cx, cy))
        return;
    SetView(view);
    RepaintControl();
}

void CanvasModel::WorldPan(double dx, double dy) {
    if (!AllFinite({dx, dy}))
        return;
    PlanWorldLeft += dx;
    PlanWorldRight += dx;
    PlanWorldBottom += dy;
    PlanWorldTop += dy;
    RepaintControl();
}

void CanvasModel::WorldSet(double left, double top, double right, double bottom) {
    if (!AllFinite({left, top, right, bottom}))
        return;
    PlanWorldLeft = left;
    PlanWorldTop = top;
    PlanWorldRight = right;
    PlanWorldBottom = bottom;
    RepaintControl();
}

void CanvasModel::WorldExtents() {
    constexpr double Limit = 1e15;
    std::optional<WorldView::Extent> extent;
    for (const auto& shape : Shapes) {
        if (!shape->Visible)
            continue;
        // Written so that a nan bound fails the test too.
        if (!(shape->MinX >= -Limit && shape->MinY >= -Limit && shape->MaxX <= Limit &&
              shape->MaxY <= Limit))
            continue;
        if (shape->MinX > shape->MaxX || shape->MinY > shape->MaxY)
            continue;
        if (!extent) {
            extent = WorldView::Extent{shape->MinX, shape->MinY, shape->MaxX, shape->MaxY};
            continue;
        }
        extent->MinX = std::min(extent->MinX, shape->MinX);
        extent->MinY = std::min(extent->MinY, shape->MinY);
        extent->MaxX = std::max(extent->MaxX, shape->MaxX);
        extent->MaxY = std::max(extent->MaxY, shape->MaxY);
    }
    WorldView view = View();
    view.Fit(extent);
    SetView(view);
    RepaintControl();
}

void CanvasModel::Resize(int width, int height) {
    WorldView view = View();
    view.Resize(width, height);
    SetView(view);
    ClientWidth = width;
    ClientHeight = height;
    NeedsRedraw = true;
}

void CanvasModel::SetBackColor(uint32_t color) {
    if (color == BackColor)
        return;
    BackColor = color;
    RepaintControl();
}

uint32_t CanvasModel::GetContrastColor(uint32_t color) const {
    return ContrastColor(color, BackColor);
}

void CanvasModel::Refresh() {
    RepaintControl();
}

void CanvasModel::Update() {
    RepaintControl();
}

CanvasModel::BackBufferFields CanvasModel::ShownFields() const {
    return {PlanWorldLeft, PlanWorldRight, PlanWorldTop, PlanWorldBottom, BackColor,
            GridVisible,   GridAutoScale,  GridSpacingX, GridSpacingY,    GridColor,
            GridOnTop};
}

void CanvasModel::RefreshChanged() {
    if (ShownFields() != BuiltFields)
        NeedsRedraw = true;
    InvalidateControl();
}

// ---- Overlays and distance measure ----------------------------------------------------------

void CanvasModel::SetDepthLabelSettings(bool show, double minSpacing, const QString& fontName,
                                        int fontSize, uint32_t colour) {
    // The map tick passes them with every depth label: only a change is worth a paint.
    if (LabelsVisible == show && LabelSpacing == minSpacing && LabelFontName == fontName &&
        LabelFontSize == fontSize && LabelColor == colour)
        return;
    LabelsVisible = show;
    LabelSpacing = minSpacing;
    LabelFontName = fontName;
    LabelFontSize = fontSize;
    LabelColor = colour;
    InvalidateControl();
}

bool CanvasModel::AddDepthLabel(double x, double y, double depth) {
    if (!AllFinite({x, y, depth}))
        return false;
    if (!DepthLabelFarEnough(DepthLabels, x, y, LabelSpacing))
        return false;
    DepthLabels.push_back({x, y, depth});
    TrimLabelList(DepthLabels);
    InvalidateControl();
    return true;
}

void CanvasModel::ClearDepthLabels() {
    DepthLabels.clear();
    InvalidateControl();
}

bool CanvasModel::AddEventLabel(double x, double y, int number) {
    if (!AllFinite({x, y}))
        return false;
    EventLabels.push_back({x, y, number});
    TrimLabelList(EventLabels);
    InvalidateControl();
    return true;
}

void CanvasModel::ClearEventLabels() {
    EventLabels.clear();
    InvalidateControl();
}

void CanvasModel::SetCurrentDepth(double depth, double depthLow, bool valid) {
    // Set at every map tick; the readout is repainted only when it changed.
    if (CurrentDepth == depth && CurrentDepthLow == depthLow && DepthValid == valid)
        return;
    CurrentDepth = depth;
    CurrentDepthLow = depthLow;
    DepthValid = valid;
    InvalidateControl();
}

void CanvasModel::SetCurrentSpeed(double knots, bool valid) {
    if (CurrentSpeed == knots && SpeedValid == valid)
        return;
    CurrentSpeed = knots;
    SpeedValid = valid;
    InvalidateControl();
}

void CanvasModel::ToggleDepthSpeedDisplayMode() {
    DepthSpeedDisplayMode = (DepthSpeedDisplayMode + 1) % 4;
    InvalidateControl();
}

void CanvasModel::ToggleGGAOverlayPosition() {
    GGAOverlayPosition = (GGAOverlayPosition + 1) % 4;
    InvalidateControl();
}

void CanvasModel::SetHeadingValid(bool valid) {
    if (HeadingValid == valid)
        return;
    HeadingValid = valid;
    InvalidateControl();
}

void CanvasModel::StartDistanceMeasure(double x, double y) {
    Measuring = true;
    MeasureStartX = MeasureEndX = x;
    MeasureStartY = MeasureEndY = y;
    MeasureDistance = 0.0;
    InvalidateControl();
}

void CanvasModel::UpdateDistanceMeasure(double x, double y, double distance, double bearing) {
    if (!Measuring)
        return;
    MeasureEndX = x;
    MeasureEndY = y;
    MeasureDistance = distance;
    MeasureBearing = bearing;
    InvalidateControl();
}

void CanvasModel::EndDistanceMeasure() {
    Measuring = false;
    InvalidateControl();
}
