#include "canvas/CanvasModel.h"

#include "canvas/CanvasModelInternals.h"
#include "canvas/TTArc.h"
#include "canvas/TTCircle.h"
#include "canvas/TTEllipse.h"
#include "canvas/TTLine.h"
#include "canvas/TTPoint.h"
#include "canvas/TTRectangle.h"
#include "canvas/TTText.h"

#include <algorithm>

using canvas_model::AllFinite;
using canvas_model::AsPolyline;

// ---- Creating shapes ------------------------------------------------------------------------

TTLayer* CanvasModel::LayerForNewShape(int layer) {
    if (TTLayer* found = FindLayer(layer))
        return found;
    return FindLayer(LayerOpen(CanvasLayerTable::DefaultName));
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
    if (const TTFont* font = FontTable.Find(fontIndex)) {
        shape->FontName = font->Name;
        shape->Height = font->Size;
        shape->Bold = font->Bold;
        shape->Italic = font->Italic;
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
    EmptiedLayer = -1;
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
