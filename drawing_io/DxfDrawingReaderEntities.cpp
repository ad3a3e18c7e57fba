// The entities of a DXF file turned into staged shapes.
#include "drawing_io/DxfDrawingReader.h"

#include "canvas/TTArc.h"
#include "canvas/TTCircle.h"
#include "canvas/TTEllipse.h"
#include "canvas/TTLine.h"
#include "canvas/TTPoint.h"
#include "canvas/TTPolyline.h"
#include "canvas/TTRectangle.h"
#include "canvas/TTText.h"
#include "drawing_io/DxfText.h"
#include "drawing_io/ImportBudget.h"

#include <algorithm>

#include <cmath>
#include <numbers>

namespace {

constexpr double Pi = std::numbers::pi;

// The largest of the shapes without texts or vertex lists.
constexpr size_t SimpleShapeBytes =
    std::max({sizeof(TTLine), sizeof(TTCircle), sizeof(TTPoint), sizeof(TTArc), sizeof(TTEllipse),
              sizeof(TTRectangle)});

std::unique_ptr<TTPolyline> MakePolyline(int32_t type, bool closed) {
    auto polyline = std::make_unique<TTPolyline>();
    polyline->Type = type;
    polyline->Closed = closed;
    return polyline;
}

} // namespace

void DxfDrawingReader::Stage(std::unique_ptr<TTShape> shape, int colourNumber, uint8_t penRule,
                             int32_t extra) {
    if (!Finite_ || !shape->IsFinite())
        return;
    const int colour = AciToColor(colourNumber);
    if (colour >= 0)
        shape->PenFg = static_cast<uint32_t>(colour);
    else
        penRule |= DxfStaging::ColourOfLayer;
    shape->UpdateBounds();
    uint64_t bytes = sizeof(DxfStaging::Item);
    if (const auto* polyline = dynamic_cast<const TTPolyline*>(shape.get())) {
        bytes += ImportBudget::ShapeBytes(sizeof(TTPolyline)) +
                 polyline->Points.size() * ImportBudget::VertexBytes;
    } else if (shape->Class() == ShapeClass::Text && extra >= 0) {
        // The text as the file holds it, then as the shape shows it.
        const size_t length = Staging_.Texts[static_cast<size_t>(extra)].size();
        bytes += ImportBudget::ShapeBytes(sizeof(TTText)) + length + ImportBudget::TextBytes(length);
    } else {
        bytes += ImportBudget::ShapeBytes(SimpleShapeBytes);
    }
    Budget_.Charge(bytes);
    Staging_.Items.push_back({std::move(shape), extra, penRule});
    ++Staging_.ShapeCount;
}

bool DxfDrawingReader::ReadEntity(const std::string& type) {
    Finite_ = true;
    if (type == "LINE")
        return ReadLine();
    if (type == "CIRCLE")
        return ReadCircle();
    if (type == "ARC")
        return ReadArc();
    if (type == "ELLIPSE")
        return ReadEllipse();
    if (type == "SOLID" || type == "TRACE")
        return ReadSolid();
    if (type == "POINT")
        return ReadPoint();
    if (type == "SPLINE")
        return ReadSpline();
    if (type == "TEXT")
        return ReadText(false);
    if (type == "MTEXT")
        return ReadText(true);
    if (type == "LWPOLYLINE")
        return ReadLwPolyline();
    if (type == "POLYLINE")
        return ReadPolyline();
    if (type == "INSERT")
        return ReadInsert();
    // Everything else, SEQEND and HATCH among them, is passed over pair by pair.
    return SkipRecord();
}

bool DxfDrawingReader::ReadLine() {
    std::string layer = "0";
    int colour = -1;
    auto line = std::make_unique<TTLine>();
    line->Type = ShapeType::Line;
    const bool more =
        ReadFields(&colour, {{10, &line->X1}, {20, &line->Y1}, {11, &line->X2}, {21, &line->Y2}},
                   [&](int code, std::string_view value) {
                       if (code == 8)
                           layer = value;
                   });
    if (!more)
        return false;
    if (Staging_.ShapeCount < 5 && LineTrace_)
        LineTrace_(layer);
    Stage(std::move(line), colour, DxfStaging::WidthOfLayer);
    return true;
}

bool DxfDrawingReader::ReadCircle() {
    int colour = -1;
    auto circle = std::make_unique<TTCircle>();
    circle->Type = ShapeType::Circle;
    if (!ReadFields(&colour,
                    {{10, &circle->CenterX}, {20, &circle->CenterY}, {40, &circle->Radius}}))
        return false;
    Stage(std::move(circle), colour, DxfStaging::WidthOfLayer);
    return true;
}

bool DxfDrawingReader::ReadArc() {
    int colour = -1;
    double cx = 0.0, cy = 0.0, r = 0.0, start = 0.0, end = 0.0;
    if (!ReadFields(&colour, {{10, &cx}, {20, &cy}, {40, &r}, {50, &start}, {51, &end}}))
        return false;
    double sweep = end - start;
    if (sweep < 0)
        sweep += 360.0;
    auto arc = MakePolyline(ShapeType::Polyline, false);
    arc->Points.reserve(21);
    for (int i = 0; i <= 20; ++i) {
        const double a = (start + i * sweep / 20.0) * Pi / 180.0;
        arc->Points.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
    }
    Stage(std::move(arc), colour, DxfStaging::OwnPen);
    return true;
}

bool DxfDrawingReader::ReadEllipse() {
    int colour = -1;
    double cx = 0.0, cy = 0.0, mx = 0.0, my = 0.0, ratio = 1.0, start = 0.0, end = 2.0 * Pi;
    if (!ReadFields(
            &colour,
            {{10, &cx}, {20, &cy}, {11, &mx}, {21, &my}, {40, &ratio}, {41, &start}, {42, &end}}))
        return false;
    // Parameters run counter-clockwise: an end below the start passes through 2 pi.
    if (end < start)
        end += 2.0 * Pi;
    const bool closed = std::fabs(end - start) >= 6.2731853071795864;
    const double a = std::sqrt(mx * mx + my * my);
    const double rot = std::atan2(my, mx);
    const double c = std::cos(rot);
    const double s = std::sin(rot);
    auto ellipse = MakePolyline(closed ? ShapeType::Polygon : ShapeType::Polyline, closed);
    ellipse->Points.reserve(37);
    for (int i = 0; i <= 36; ++i) {
        const double t = start + (end - start) * i / 36.0;
        const double px = a * std::cos(t);
        const double py = a * ratio * std::sin(t);
        ellipse->Points.push_back({cx + px * c - py * s, cy + px * s + py * c});
    }
    Stage(std::move(ellipse), colour, DxfStaging::OwnPen);
    return true;
}

bool DxfDrawingReader::ReadSolid() {
    int colour = -1;
    double x[4] = {0, 0, 0, 0};
    double y[4] = {0, 0, 0, 0};
    if (!ReadFields(&colour, {{10, &x[0]},
                              {20, &y[0]},
                              {11, &x[1]},
                              {21, &y[1]},
                              {12, &x[2]},
                              {22, &y[2]},
                              {13, &x[3]},
                              {23, &y[3]}}))
        return false;
    // Corners 3 and 4 are numbered across the outline: it runs 1, 2, 4, 3.
    auto solid = MakePolyline(ShapeType::Polygon, true);
    solid->Points.push_back({x[0], y[0]});
    solid->Points.push_back({x[1], y[1]});
    solid->Points.push_back({x[3], y[3]});
    if (!(x[2] == x[3] && y[2] == y[3]))
        solid->Points.push_back({x[2], y[2]});
    Stage(std::move(solid), colour, DxfStaging::OwnPen);
    return true;
}

bool DxfDrawingReader::ReadPoint() {
    auto point = std::make_unique<TTPoint>();
    point->Type = ShapeType::Point;
    point->PointSize = 3;
    // A point's own colour is not read: it takes the layer's.
    if (!ReadFields(nullptr, {{10, &point->X}, {20, &point->Y}}))
        return false;
    Stage(std::move(point), -1, DxfStaging::ColourOfLayer | DxfStaging::WidthOfLayer);
    return true;
}

bool DxfDrawingReader::ReadSpline() {
    int colour = -1;
    int flags = 0;
    std::vector<double> xs;
    std::vector<double> ys;
    const bool more = ReadFields(&colour, {}, [&](int code, std::string_view value) {
        if (code == 70)
            flags = DxfInteger(value, 0);
        else if (code == 10)
            xs.push_back(Real(value));
        else if (code == 20)
            ys.push_back(Real(value));
    });
    if (!more)
        return false;
    if (xs.size() < 2 || xs.size() != ys.size())
        return true;
    const bool closed = (flags & 1) != 0;
    auto spline = MakePolyline(closed ? ShapeType::Polygon : ShapeType::Polyline, closed);
    spline->Points.reserve(xs.size());
    for (size_t i = 0; i < xs.size(); ++i)
        spline->Points.push_back({xs[i], ys[i]});
    Stage(std::move(spline), colour, DxfStaging::OwnPen);
    return true;
}

bool DxfDrawingReader::ReadText(bool multiLine) {
    auto text = std::make_unique<TTText>();
    text->Type = ShapeType::Text;
    text->FontIndex = -1;
    text->Align = 0;
    text->Justify = 2;
    text->FontName = QStringLiteral("Arial");
    double height = 2.5;
    std::string value1;
    // A long multi-line text comes as 250-character chunks in group 3, then its tail in 1.
    // The chunks keep their blanks: a word may end right at a chunk's end.
    std::string chunks;
    const bool more =
        ReadFields(nullptr, {{10, &text->X}, {20, &text->Y}, {40, &height}, {50, &text->Rotation}},
                   [&](int code, std::string_view value) {
                       if (code == 1)
                           value1 = value;
                       else if (code == 3 && multiLine)
                           chunks += Reader_.RawValue();
                   });
    if (!more)
        return false;
    text->Height = height > 0.1 ? height : 2.5;
    std::string whole = chunks + value1;
    if (whole.empty())
        return true;
    Staging_.Texts.push_back(std::move(whole));
    Stage(std::move(text), -1, DxfStaging::ColourOfLayer,
          static_cast<int32_t>(Staging_.Texts.size() - 1));
    return true;
}

bool DxfDrawingReader::ReadLwPolyline() {
    int colour = -1;
    int flags = 0;
    double pendingX = 0.0;
    bool xPending = false;
    auto polyline = MakePolyline(ShapeType::Polyline, false);
    const bool more = ReadFields(&colour, {}, [&](int code, std::string_view value) {
        if (code == 70) {
            flags = DxfInteger(value, 0);
        } else if (code == 10) {
            pendingX = Real(value);
            xPending = true;
        } else if (code == 20 && xPending) {
            polyline->Points.push_back({pendingX, Real(value)});
            xPending = false;
        }
    });
    if (!more)
        return false;
    if (polyline->Points.size() < 2)
        return true;
    if (flags & 1) {
        polyline->Type = ShapeType::Polygon;
        polyline->Closed = true;
    }
    Stage(std::move(polyline), colour, DxfStaging::OwnPen);
    return true;
}

bool DxfDrawingReader::ReadPolyline() {
    int colour = -1;
    int flags = 0;
    bool more = ReadFields(&colour, {}, [&](int code, std::string_view value) {
        if (code == 70)
            flags = DxfInteger(value, 0);
    });
    if (!more)
        return false;
    auto polyline = MakePolyline(ShapeType::Polyline, false);
    while (Reader_.Value() == "VERTEX") {
        double x = 0.0, y = 0.0;
        int vertexFlags = 0;
        more = ReadFields(nullptr, {{10, &x}, {20, &y}}, [&](int code, std::string_view value) {
            if (code == 70)
                vertexFlags = DxfInteger(value, 0);
        });
        if (!more)
            return false;
        // A polyface face record (flag 128 without 64) holds vertex numbers, not a position.
        const bool faceRecord = (vertexFlags & 128) != 0 && (vertexFlags & 64) == 0;
        if (!faceRecord)
            polyline->Points.push_back({x, y});
    }
    if (Reader_.Value() == "SEQEND")
        more = SkipRecord();
    if (polyline->Points.size() >= 2) {
        if (flags & 1) {
            polyline->Type = ShapeType::Polygon;
            polyline->Closed = true;
        }
        Stage(std::move(polyline), colour, DxfStaging::OwnPen);
    }
    return more;
}

bool DxfDrawingReader::ReadInsert() {
    DxfStaging::Insert insert;
    const bool more = ReadFields(&insert.Colour,
                                 {{10, &insert.X},
                                  {20, &insert.Y},
                                  {41, &insert.ScaleX},
                                  {42, &insert.ScaleY},
                                  {50, &insert.Rotation}},
                                 [&](int code, std::string_view value) {
                                     if (code == 2)
                                         insert.BlockName = value;
                                 });
    if (!more)
        return false;
    if (!Finite_)
        return true;
    // Copies of a block already read count against the cap at once; the others once every
    // block is known.
    if (const DxfStaging::Block* block = Staging_.FindBlock(insert.BlockName)) {
        Staging_.ShapeCount += static_cast<int64_t>(block->Lines.size());
        ChargeInsertCopies(block->Lines.size());
        insert.Charged = true;
    }
    Budget_.Charge(sizeof(DxfStaging::Insert) + sizeof(DxfStaging::Item) + insert.BlockName.size());
    Staging_.Inserts.push_back(std::move(insert));
    Staging_.Items.push_back(
        {nullptr, static_cast<int32_t>(Staging_.Inserts.size() - 1), DxfStaging::OwnPen});
    return true;
}
