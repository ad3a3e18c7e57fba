#include "canvas/CanvasModel.h"

#include "canvas/RenderPlan.h"

#include "canvas/TTArc.h"
#include "canvas/TTCircle.h"
#include "canvas/TTEllipse.h"
#include "canvas/TTLine.h"
#include "canvas/TTPoint.h"
#include "canvas/TTRectangle.h"
#include "canvas/TTText.h"
#include "platform/NumberText.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <unordered_set>

const QString CanvasModel::RouteLayerName = QStringLiteral("Tavrin_Route");
const QString CanvasModel::SelectPolyLayerName = QStringLiteral("Tavrin_SelectPoly");

namespace {

const QString DefaultLayerName = QStringLiteral("Default");

bool AllFinite(std::initializer_list<double> values) {
    return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

TTPolyline* AsPolyline(TTShape* shape) {
    return shape && shape->Class() == ShapeClass::Polyline ? static_cast<TTPolyline*>(shape)
                                                           : nullptr;
}

// The polygon test of the selections: a bounding-box check first, since most shapes of a large
// drawing lie far outside the drawn polygon, then the even-odd rule.
class PolygonTest {
public:
    explicit PolygonTest(const std::vector<TPointF>& polygon) : Polygon(polygon) {
        for (const TPointF& p : polygon) {
            MinX = std::min(MinX, p.X);
            MaxX = std::max(MaxX, p.X);
            MinY = std::min(MinY, p.Y);
            MaxY = std::max(MaxY, p.Y);
        }
    }
    bool operator()(double x, double y) const {
        // Outside the box no edge is crossed an odd number of times.
        if (x < MinX || x > MaxX || y < MinY || y > MaxY)
            return false;
        return CanvasModel::PointInPolygon(x, y, Polygon);
    }

private:
    const std::vector<TPointF>& Polygon;
    double MinX = std::numeric_limits<double>::infinity();
    double MaxX = -std::numeric_limits<double>::infinity();
    double MinY = std::numeric_limits<double>::infinity();
    double MaxY = -std::numeric_limits<double>::infinity();
};

bool AnyVertexInside(const TTPolyline& polyline, const PolygonTest& inside) {
    return std::any_of(polyline.Points.begin(), polyline.Points.end(),
                       [&inside](const TPointF& p) { return inside(p.X, p.Y); });
}

bool ListHas(const std::vector<int32_t>& list, int32_t value) {
    return std::find(list.begin(), list.end(), value) != list.end();
}

} // namespace

CanvasModel::CanvasModel() {
    LayerOpen(DefaultLayerName);
    Fonts.push_back(TTFont{});
}

CanvasModel::~CanvasModel() = default;

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

void CanvasModel::RepaintControl() {
    NeedsRedraw = true;
    InvalidateControl();
}

// ---- Layers and fonts -----------------------------------------------------------------------

int CanvasModel::LayerOpen(const QString& name) {
    const int found = LayerFindByName(name);
    if (found >= 0) {
        CurrentLayer = found;
        return found;
    }
    auto layer = std::make_unique<TTLayer>();
    layer->Id = NextLayerId++;
    layer->Name = name;
    const int id = layer->Id;
    Layers.push_back(std::move(layer));
    CurrentLayer = id;
    return id;
}

int CanvasModel::LayerFindByName(const QString& name) const {
    for (const auto& layer : Layers)
        if (layer->Name == name)
            return layer->Id;
    return -1;
}

TTLayer* CanvasModel::FindLayer(int id) const {
    for (const auto& layer : Layers)
        if (layer->Id == id)
            return layer.get();
    return nullptr;
}

void CanvasModel::LayerCopy(int source, int target, int mode) {
    if (mode == 1)
        for (const auto& shape : Shapes)
            if (shape->LayerId == source)
                shape->LayerId = target;
    NeedsRedraw = true;
}

void CanvasModel::LayerSelectShapes(int layer, bool add) {
    if (!add)
        ClearSelection();
    for (const auto& shape : Shapes) {
        if (shape->LayerId != layer)
            continue;
        shape->Selected = true;
        SelectedIds.push_back(shape->Id);
    }
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
    TTFont font;
    const qsizetype comma = spec.indexOf(QLatin1Char(','));
    if (comma < 0) {
        font.Name = spec;
    } else {
        font.Name = spec.left(comma);
        const QString rest = spec.mid(comma + 1);
        const qsizetype second = rest.indexOf(QLatin1Char(','));
        const QString sizeText = second < 0 ? rest : rest.left(second);
        int size = 0;
        font.Size = ParseInteger(sizeText, size) ? size : 10;
        if (second >= 0) {
            const QString flags = rest.mid(second + 1).toUpper();
            font.Bold = flags.contains(QLatin1Char('B'));
            font.Italic = flags.contains(QLatin1Char('I'));
        }
    }
    if (font.Name.toUpper() == QLatin1String("TXT"))
        font.Name = QStringLiteral("Arial");
    Fonts.push_back(font);
    CurrentFont = static_cast<int>(Fonts.size()) - 1;
    return CurrentFont;
}

void CanvasModel::CadFontBehaviorReset() {
    DefaultTextAlign = 0;
    DefaultTextJustify = 0;
}

void CanvasModel::LayerFontBehaviorReset(int) {}

void CanvasModel::ShapeFontBehaviorReset(int32_t) {}

// ---- Creating shapes ------------------------------------------------------------------------

TTLayer* CanvasModel::LayerForNewShape(int layer) {
    if (TTLayer* found = FindLayer(layer))
        return found;
    return FindLayer(LayerOpen(DefaultLayerName));
}

int32_t CanvasModel::AddNewShape(std::unique_ptr<TTShape> shape) {
    shape->UpdateBounds();
    shape->Id = NextShapeId++;
    const int32_t id = shape->Id;
    AppendShape(std::move(shape));
    return id;
}

TTShape* CanvasModel::AppendShape(std::unique_ptr<TTShape> shape) {
    TTShape* added = Shapes.Append(std::move(shape));
    ShapeCount = static_cast<int32_t>(Shapes.size());
    NeedsRedraw = true;
    return added;
}

int32_t CanvasModel::DrawLine(double x1, double y1, double x2, double y2, int layer) {
    if (!AllFinite({x1, y1, x2, y2}))
        return -1;
    const TTLayer* owner = LayerForNewShape(layer);
    auto line = std::make_unique<TTLine>();
    line->Type = ShapeType::Line;
    line->LayerId = owner->Id;
    line->X1 = x1;
    line->Y1 = y1;
    line->X2 = x2;
    line->Y2 = y2;
    line->PenFg = owner->PenFg;
    line->PenWidth = owner->PenWidth;
    return AddNewShape(std::move(line));
}

int32_t CanvasModel::DrawCircle(double cx, double cy, double radius, int layer) {
    if (!AllFinite({cx, cy, radius}))
        return -1;
    const TTLayer* owner = LayerForNewShape(layer);
    auto circle = std::make_unique<TTCircle>();
    circle->Type = ShapeType::Circle;
    circle->LayerId = owner->Id;
    circle->CenterX = cx;
    circle->CenterY = cy;
    circle->Radius = radius;
    circle->PenFg = owner->PenFg;
    circle->PenWidth = owner->PenWidth;
    circle->BrushFg = owner->BrushFg;
    circle->BrushStyle = owner->BrushStyle;
    return AddNewShape(std::move(circle));
}

int32_t CanvasModel::DrawRectangle(double x1, double y1, double x2, double y2, int layer) {
    if (!AllFinite({x1, y1, x2, y2}))
        return -1;
    const TTLayer* owner = LayerForNewShape(layer);
    auto rectangle = std::make_unique<TTRectangle>();
    rectangle->Type = ShapeType::Rectangle;
    rectangle->LayerId = owner->Id;
    rectangle->X1 = x1;
    rectangle->Y1 = y1;
    rectangle->X2 = x2;
    rectangle->Y2 = y2;
    rectangle->Rounded = false;
    rectangle->CornerRadius = 10.0;
    rectangle->PenFg = owner->PenFg;
    rectangle->PenWidth = owner->PenWidth;
    rectangle->BrushFg = owner->BrushFg;
    rectangle->BrushStyle = owner->BrushStyle;
    return AddNewShape(std::move(rectangle));
}

int32_t CanvasModel::DrawPoint(double x, double y, int layer) {
    if (!AllFinite({x, y}))
        return -1;
    const TTLayer* owner = LayerForNewShape(layer);
    auto point = std::make_unique<TTPoint>();
    point->Type = ShapeType::Point;
    point->LayerId = owner->Id;
    point->X = x;
    point->Y = y;
    point->Z = 0.0;
    point->PointSize = 3;
    point->PenFg = owner->PenFg;
    point->PenWidth = owner->PenWidth;
    return AddNewShape(std::move(point));
}

int32_t CanvasModel::DrawTwoPointEllipse(double x1, double y1, double x2, double y2, int layer) {
    if (!AllFinite({x1, y1, x2, y2}))
        return -1;
    const TTLayer* owner = LayerForNewShape(layer);
    auto ellipse = std::make_unique<TTEllipse>();
    ellipse->Type = ShapeType::Ellipse;
    ellipse->LayerId = owner->Id;
    ellipse->X1 = x1;
    ellipse->Y1 = y1;
    ellipse->X2 = x2;
    ellipse->Y2 = y2;
    ellipse->PenFg = owner->PenFg;
    ellipse->PenWidth = owner->PenWidth;
    return AddNewShape(std::move(ellipse));
}

int32_t CanvasModel::DrawThreePointArc(double x1, double y1, double x2, double y2, double x3,
                                       double y3, int layer) {
    if (!AllFinite({x1, y1, x2, y2, x3, y3}))
        return -1;
    const TTLayer* owner = LayerForNewShape(layer);
    auto arc = std::make_unique<TTArc>();
    arc->Type = ShapeType::ThreePointArc;
    arc->LayerId = owner->Id;
    arc->X1 = x1;
    arc->Y1 = y1;
    arc->X2 = x2;
    arc->Y2 = y2;
    arc->X3 = x3;
    arc->Y3 = y3;
    arc->PenFg = owner->PenFg;
    arc->PenWidth = owner->PenWidth;
    return AddNewShape(std::move(arc));
}

int32_t CanvasModel::TextAdd(int layer, const QString& text, double x, double y, int fontIndex) {
    if (!AllFinite({x, y}))
        return -1;
    const TTLayer* owner = LayerForNewShape(layer);
    auto shape = std::make_unique<TTText>();
    shape->Type = ShapeType::Text;
    shape->LayerId = owner->Id;
    shape->X = x;
    shape->Y = y;
    shape->DisplayText = text;
    shape->Text = text;
    shape->Rotation = 0.0;
    shape->Height = 10.0;
    shape->FontName = QStringLiteral("Arial");
    shape->FontIndex = fontIndex;
    shape->PenFg = owner->PenFg;
    shape->Align = DefaultTextAlign;
    shape->Justify = DefaultTextJustify;
    if (fontIndex >= 0 && fontIndex < static_cast<int>(Fonts.size())) {
        const TTFont& font = Fonts[static_cast<size_t>(fontIndex)];
        shape->FontName = font.Name;
        shape->Height = font.Size;
        shape->Bold = font.Bold;
        shape->Italic = font.Italic;
    }
    // The bounds are computed once the height is final, so that culling sees the real size.
    return AddNewShape(std::move(shape));
}

int32_t CanvasModel::DrawPolyline(const std::vector<std::pair<double, double>>& points, int layer,
                                  bool closed) {
    if (points.size() < 2)
        return -1;
    for (const auto& [x, y] : points)
        if (!AllFinite({x, y}))
            return -1;
    const TTLayer* owner = LayerForNewShape(layer);
    auto polyline = std::make_unique<TTPolyline>();
    polyline->Type = closed ? ShapeType::Polygon : ShapeType::Polyline;
    polyline->Closed = closed;
    polyline->LayerId = owner->Id;
    polyline->Points.reserve(points.size());
    for (const auto& [x, y] : points)
        polyline->Points.push_back({x, y});
    polyline->PenFg = owner->PenFg;
    polyline->PenWidth = owner->PenWidth;
    polyline->PenStyle = owner->PenStyle;
    polyline->BrushFg = owner->BrushFg;
    polyline->BrushStyle = owner->BrushStyle;
    return AddNewShape(std::move(polyline));
}

int32_t CanvasModel::ShapeAdd(int, int) {
    return -1;
}

// ---- Shape attributes -----------------------------------------------------------------------

int16_t CanvasModel::GetShapeType(int32_t id) const {
    const TTShape* shape = FindShape(id);
    return shape ? static_cast<int16_t>(shape->Type) : int16_t{0};
}

int CanvasModel::GetShapePenWidth(int32_t id) const {
    return ShapeValue<int>(id, &TTShape::PenWidth, 1);
}

void CanvasModel::SetShapePenWidth(int32_t id, int width) {
    SetShapeValue(id, &TTShape::PenWidth, width);
}

uint32_t CanvasModel::GetShapePenFg(int32_t id) const {
    return ShapeValue<uint32_t>(id, &TTShape::PenFg, 0);
}

void CanvasModel::SetShapePenFg(int32_t id, uint32_t color) {
    SetShapeValue(id, &TTShape::PenFg, color);
}

int CanvasModel::GetShapePenStyle(int32_t id) const {
    return ShapeValue<int>(id, &TTShape::PenStyle, 0);
}

void CanvasModel::SetShapePenStyle(int32_t id, int style) {
    SetShapeValue(id, &TTShape::PenStyle, style);
}

uint32_t CanvasModel::GetShapeBrushFg(int32_t id) const {
    return ShapeValue<uint32_t>(id, &TTShape::BrushFg, 0xFFFFFF);
}

void CanvasModel::SetShapeBrushFg(int32_t id, uint32_t color) {
    SetShapeValue(id, &TTShape::BrushFg, color);
}

int CanvasModel::GetShapeBrushStyle(int32_t id) const {
    return ShapeValue<int>(id, &TTShape::BrushStyle, 0);
}

void CanvasModel::SetShapeBrushStyle(int32_t id, int style) {
    if (TTShape* shape = FindShape(id)) {
        shape->BrushStyle = static_cast<uint8_t>(style & 0xFF);
        NeedsRedraw = true;
    }
}

int CanvasModel::GetShapeBrushMode(int32_t id) const {
    return ShapeValue<int>(id, &TTShape::BrushMode, 0);
}

void CanvasModel::SetShapeBrushMode(int32_t id, int mode) {
    SetShapeValue(id, &TTShape::BrushMode, mode);
}

int CanvasModel::GetShapeOnLayer(int32_t id) const {
    return ShapeValue<int>(id, &TTShape::LayerId, -1);
}

bool CanvasModel::GetShapeIsSelected(int32_t id) const {
    return ShapeValue<bool>(id, &TTShape::Selected, false);
}

QString CanvasModel::GetShapeText(int32_t id) const {
    return ShapeValue<QString>(id, &TTShape::Text, QString());
}

void CanvasModel::SetShapeText(int32_t id, const QString& text) {
    SetShapeValue(id, &TTShape::Text, text);
}

QString CanvasModel::GetShapeNotes(int32_t id) const {
    return ShapeValue<QString>(id, &TTShape::Notes, QString());
}

void CanvasModel::SetShapeNotes(int32_t id, const QString& notes) {
    // Notes are never painted: the back buffer stays valid.
    if (TTShape* shape = FindShape(id))
        shape->Notes = notes;
}

int32_t CanvasModel::GetShapeZOrder(int32_t id) const {
    return ShapeValue<int32_t>(id, &TTShape::ZOrder, 0);
}

void CanvasModel::SetShapeZOrder(int32_t id, int32_t order) {
    SetShapeValue(id, &TTShape::ZOrder, order);
}

int CanvasModel::GetShapeTextAlign(int32_t id) const {
    const TTShape* shape = FindShape(id);
    return shape && shape->Class() == ShapeClass::Text ? static_cast<const TTText*>(shape)->Align
                                                       : 0;
}

void CanvasModel::SetShapeTextAlign(int32_t id, int align) {
    TTShape* shape = FindShape(id);
    if (!shape || shape->Class() != ShapeClass::Text)
        return;
    static_cast<TTText*>(shape)->Align = align;
    NeedsRedraw = true;
}

int CanvasModel::GetShapeTextJustify(int32_t id) const {
    const TTShape* shape = FindShape(id);
    return shape && shape->Class() == ShapeClass::Text ? static_cast<const TTText*>(shape)->Justify
                                                       : 0;
}

void CanvasModel::SetShapeTextJustify(int32_t id, int justify) {
    TTShape* shape = FindShape(id);
    if (!shape || shape->Class() != ShapeClass::Text)
        return;
    static_cast<TTText*>(shape)->Justify = justify;
    NeedsRedraw = true;
}

int CanvasModel::GetShapePointSize(int32_t id) const {
    const TTShape* shape = FindShape(id);
    return shape && shape->Class() == ShapeClass::Point
               ? static_cast<const TTPoint*>(shape)->PointSize
               : 0;
}

void CanvasModel::SetShapePointSize(int32_t id, int size) {
    TTShape* shape = FindShape(id);
    if (!shape || shape->Class() != ShapeClass::Point)
        return;
    static_cast<TTPoint*>(shape)->PointSize = size;
    // The bounds grow with the size; culling and fitting read them.
    shape->UpdateBounds();
    NeedsRedraw = true;
}

// ---- Finding, order and transforms ----------------------------------------------------------

TTShape* CanvasModel::FindShape(int32_t id) const {
    return Shapes.Find(id);
}

int32_t CanvasModel::GetShapeAt(double x, double y) const {
    // A control without width counts as one pixel wide, as in the screen-to-world transform.
    const double width = ClientWidth > 0 ? ClientWidth : 1;
    const double worldPerPixel = (PlanWorldRight - PlanWorldLeft) / width;
    for (size_t i = Shapes.size(); i-- > 0;) {
        const TTShape* shape = Shapes[i];
        if (!shape->Visible)
            continue;
        const int penWidth = shape->PenWidth <= 0 ? 1 : shape->PenWidth;
        const double tolerance = worldPerPixel * std::max(penWidth, 3);
        if (shape->HitTest(x, y, tolerance))
            return shape->Id;
    }
    return -1;
}

int32_t CanvasModel::ShapeHitTest(double x, double y) const {
    return GetShapeAt(x, y);
}

void CanvasModel::ShapeToLayer(int32_t id, int layer) {
    SetShapeValue(id, &TTShape::LayerId, layer);
}

void CanvasModel::ShapeToFront(int32_t id) {
    Shapes.MoveToFront(id);
    NeedsRedraw = true;
}

void CanvasModel::ShapeToBack(int32_t id) {
    Shapes.MoveToBack(id);
    NeedsRedraw = true;
}

void CanvasModel::ShapeZOrderJump(int32_t id, int32_t jump) {
    if (jump > 0)
        ShapeToFront(id);
    else if (jump < 0)
        ShapeToBack(id);
}

void CanvasModel::ShapeTranslate(int32_t id, double dx, double dy) {
    TTShape* shape = FindShape(id);
    if (!shape || !AllFinite({dx, dy}))
        return;
    shape->Translate(dx, dy);
    NeedsRedraw = true;
}

void CanvasModel::ShapeScale(int32_t id, double cx, double cy, double sx, double sy) {
    TTShape* shape = FindShape(id);
    if (!shape || !AllFinite({cx, cy, sx, sy}))
        return;
    shape->Scale(sx, sy, cx, cy);
    NeedsRedraw = true;
}

void CanvasModel::ShapeRotate(int32_t id, double angle, double cx, double cy) {
    TTShape* shape = FindShape(id);
    if (!shape || !AllFinite({angle, cx, cy}))
        return;
    shape->Rotate(angle, cx, cy);
    NeedsRedraw = true;
}

void CanvasModel::ShapeReflect(int32_t id, int axis, double cx, double cy) {
    const double sx = axis == 0 ? -1.0 : 1.0;
    const double sy = axis == 1 ? -1.0 : 1.0;
    ShapeScale(id, cx, cy, sx, sy);
}

double CanvasModel::ShapePointGetX(int32_t id, int index) const {
    const TTPolyline* polyline = AsPolyline(FindShape(id));
    return polyline ? polyline->GetPointX(index) : 0.0;
}

double CanvasModel::ShapePointGetY(int32_t id, int index) const {
    const TTPolyline* polyline = AsPolyline(FindShape(id));
    return polyline ? polyline->GetPointY(index) : 0.0;
}

void CanvasModel::ShapePointSet(int32_t id, int index, double x, double y) {
    TTPolyline* polyline = AsPolyline(FindShape(id));
    if (!polyline || !AllFinite({x, y}))
        return;
    polyline->SetPoint(index, x, y);
    NeedsRedraw = true;
}

void CanvasModel::ShapePointInsert(int32_t id, int index, double x, double y) {
    TTPolyline* polyline = AsPolyline(FindShape(id));
    if (!polyline || !AllFinite({x, y}) || index < 0 || index > polyline->PointCount())
        return;
    polyline->Points.insert(polyline->Points.begin() + index, TPointF{x, y});
    polyline->UpdateBounds();
    NeedsRedraw = true;
}

void CanvasModel::ShapePointDelete(int32_t id, int index) {
    TTPolyline* polyline = AsPolyline(FindShape(id));
    if (!polyline || index < 0 || index >= polyline->PointCount())
        return;
    polyline->Points.erase(polyline->Points.begin() + index);
    polyline->UpdateBounds();
    NeedsRedraw = true;
}

int CanvasModel::ShapePointCount(int32_t id) const {
    const TTPolyline* polyline = AsPolyline(FindShape(id));
    return polyline ? polyline->PointCount() : 0;
}

// ---- Deleting -------------------------------------------------------------------------------

void CanvasModel::ForgetSelectedIds(const std::vector<int32_t>& ids) {
    if (ids.empty() || SelectedIds.empty())
        return;
    // One pass over the selection list against a bitmap of the deleted ids: clearing a layer
    // of a million shapes must not search the list once per shape.
    int32_t highest = 0;
    for (int32_t id : ids)
        highest = std::max(highest, id);
    std::vector<bool> deleted(static_cast<size_t>(highest) + 1, false);
    std::unordered_set<int32_t> others;
    for (int32_t id : ids) {
        if (id > 0)
            deleted[static_cast<size_t>(id)] = true;
        else
            others.insert(id);
    }
    std::erase_if(SelectedIds, [&](int32_t id) {
        if (id > 0)
            return id <= highest && deleted[static_cast<size_t>(id)];
        return others.count(id) > 0;
    });
}

void CanvasModel::DeleteShapesWhere(const std::function<bool(const TTShape&)>& picks) {
    if (SelectedIds.empty()) {
        Shapes.DeleteIf(picks);
    } else {
        std::vector<int32_t> deleted;
        Shapes.DeleteIf([&](const TTShape& shape) {
            if (!picks(shape))
                return false;
            deleted.push_back(shape.Id);
            return true;
        });
        ForgetSelectedIds(deleted);
    }
    ShapeCount = static_cast<int32_t>(Shapes.size());
}

void CanvasModel::CadClearShapes(int layer) {
    if (layer == -1) {
        Shapes.Clear();
        SelectedIds.clear();
        NextShapeId = 1;
        ShapeCount = 0;
    } else {
        DeleteShapesWhere([layer](const TTShape& shape) { return shape.LayerId == layer; });
    }
    RepaintControl();
}

void CanvasModel::LayerClear(int layer) {
    CadClearShapes(layer);
}

void CanvasModel::CadClearShapesByLayerName(const QString& name) {
    std::vector<int32_t> layers;
    for (const auto& layer : Layers)
        if (layer->Name == name)
            layers.push_back(layer->Id);
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
    Layers.clear();
    NextLayerId = 0;
    LayerOpen(DefaultLayerName);
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
    if (TTShape* shape = FindShape(id)) {
        shape->Selected = true;
        SelectedIds.push_back(id);
    }
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
    for (const auto& shape : Shapes) {
        shape->Selected = true;
        SelectedIds.push_back(shape->Id);
    }
    NeedsRedraw = true;
}

void CanvasModel::CadDeselectShapes() {
    ClearSelection();
    NeedsRedraw = true;
}

void CanvasModel::ClearSelection() {
    for (const auto& shape : Shapes)
        shape->Selected = false;
    SelectedIds.clear();
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
    for (const auto& shape : Shapes) {
        if (!ListHas(layers, shape->LayerId))
            continue;
        shape->Selected = true;
        SelectedIds.push_back(shape->Id);
    }
    InvalidateControl();
}

bool CanvasModel::PointInPolygon(double x, double y, const std::vector<TPointF>& polygon) {
    bool inside = false;
    const size_t n = polygon.size();
    if (n == 0)
        return false;
    size_t j = n - 1;
    for (size_t i = 0; i < n; ++i) {
        const double xi = polygon[i].X;
        const double yi = polygon[i].Y;
        const double xj = polygon[j].X;
        const double yj = polygon[j].Y;
        if ((yi > y) != (yj > y)) {
            const double xc = (xj - xi) * (y - yi) / (yj - yi) + xi;
            if (x < xc)
                inside = !inside;
        }
        j = i;
    }
    return inside;
}

void CanvasModel::SelectShapesInPolygon(const std::vector<TPointF>& polygon,
                                        const std::vector<int32_t>& layers) {
    ClearSelection();
    if (polygon.size() < 3 || layers.empty())
        return;
    try {
        const PolygonTest inside(polygon);
        for (const auto& shape : Shapes) {
            if (!ListHas(layers, shape->LayerId))
                continue;
            bool found = false;
            switch (shape->Class()) {
            case ShapeClass::Line: {
                const auto& line = static_cast<const TTLine&>(*shape);
                found = inside(line.X1, line.Y1) || inside(line.X2, line.Y2);
                break;
            }
            case ShapeClass::Polyline:
                found = AnyVertexInside(static_cast<const TTPolyline&>(*shape), inside);
                break;
            case ShapeClass::Point: {
                const auto& point = static_cast<const TTPoint&>(*shape);
                found = inside(point.X, point.Y);
                break;
            }
            default:
                found =
                    inside((shape->MinX + shape->MaxX) / 2.0, (shape->MinY + shape->MaxY) / 2.0);
                break;
            }
            if (found) {
                shape->Selected = true;
                SelectedIds.push_back(shape->Id);
            }
        }
    } catch (...) {
        // The track selection is a convenience: a failure leaves what was selected so far.
    }
    InvalidateControl();
}

void CanvasModel::SelectAllShapesInPolygon(const std::vector<TPointF>& polygon) {
    ClearSelection();
    if (polygon.size() < 3)
        return;
    const int selectPolyLayer = LayerFindByName(SelectPolyLayerName);
    const PolygonTest inside(polygon);
    for (const auto& shape : Shapes) {
        if (selectPolyLayer >= 0 && shape->LayerId == selectPolyLayer)
            continue;
        bool found = false;
        switch (shape->Class()) {
        case ShapeClass::Point: {
            const auto& point = static_cast<const TTPoint&>(*shape);
            found = inside(point.X, point.Y);
            break;
        }
        case ShapeClass::Line: {
            const auto& line = static_cast<const TTLine&>(*shape);
            found = inside(line.X1, line.Y1) || inside(line.X2, line.Y2);
            break;
        }
        case ShapeClass::Polyline:
            found = AnyVertexInside(static_cast<const TTPolyline&>(*shape), inside);
            break;
        case ShapeClass::Rectangle: {
            const auto& r = static_cast<const TTRectangle&>(*shape);
            found = inside(r.X1, r.Y1) || inside(r.X2, r.Y2) || inside(r.X1, r.Y2) ||
                    inside(r.X2, r.Y1) || inside((r.X1 + r.X2) / 2.0, (r.Y1 + r.Y2) / 2.0);
            break;
        }
        case ShapeClass::Circle: {
            const auto& circle = static_cast<const TTCircle&>(*shape);
            found = inside(circle.CenterX, circle.CenterY);
            break;
        }
        case ShapeClass::Ellipse: {
            const auto& e = static_cast<const TTEllipse&>(*shape);
            found = inside((e.X1 + e.X2) / 2.0, (e.Y1 + e.Y2) / 2.0);
            break;
        }
        case ShapeClass::Text: {
            const auto& text = static_cast<const TTText&>(*shape);
            found = inside(text.X, text.Y);
            break;
        }
        case ShapeClass::Arc: {
            const auto& arc = static_cast<const TTArc&>(*shape);
            found = inside(arc.X1, arc.Y1) || inside(arc.X2, arc.Y2) || inside(arc.X3, arc.Y3);
            break;
        }
        }
        if (found) {
            shape->Selected = true;
            SelectedIds.push_back(shape->Id);
        }
    }
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

// ---- Overlays and distance measure ----------------------------------------------------------

void CanvasModel::SetDepthLabelSettings(bool show, double minSpacing, const QString& fontName,
                                        int fontSize, uint32_t colour) {
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
    CurrentDepth = depth;
    CurrentDepthLow = depthLow;
    DepthValid = valid;
    InvalidateControl();
}

void CanvasModel::SetCurrentSpeed(double knots, bool valid) {
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
