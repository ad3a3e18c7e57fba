#pragma once

#include "canvas/CanvasModel.h"
#include "canvas/TTArc.h"
#include "canvas/TTCircle.h"
#include "canvas/TTEllipse.h"
#include "canvas/TTLine.h"
#include "canvas/TTPoint.h"
#include "canvas/TTPolyline.h"
#include "canvas/TTRectangle.h"
#include "canvas/TTText.h"

#include <QFile>
#include <QString>

#include <zlib.h>

#include <cstdio>
#include <iomanip>
#include <memory>
#include <optional>
#include <sstream>
#include <string>

namespace project_file_test {

inline std::string ReadBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

inline bool WriteBytes(const QString& path, const std::string& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
           static_cast<qint64>(bytes.size());
}

// The text body of a project file: the zlib stream after "WJT1" inflated. Nothing when the
// stream does not end properly or bytes follow it.
inline std::optional<std::string> InflateBody(const std::string& file) {
    if (file.size() < 4 || file.compare(0, 4, "WJT1") != 0)
        return std::nullopt;
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return std::nullopt;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(file.data() + 4));
    stream.avail_in = static_cast<uInt>(file.size() - 4);
    std::string text;
    char block[65536];
    int status = Z_OK;
    while (status == Z_OK) {
        stream.next_out = reinterpret_cast<Bytef*>(block);
        stream.avail_out = sizeof block;
        status = inflate(&stream, Z_NO_FLUSH);
        text.append(block, sizeof block - stream.avail_out);
    }
    const bool whole = status == Z_STREAM_END && stream.avail_in == 0;
    inflateEnd(&stream);
    if (!whole)
        return std::nullopt;
    return text;
}

// A zlib stream of `text` at `level`, after "WJT1".
inline std::string Compress(const std::string& text, int level = Z_DEFAULT_COMPRESSION) {
    uLongf size = compressBound(static_cast<uLong>(text.size()));
    std::string out(size, '\0');
    compress2(reinterpret_cast<Bytef*>(out.data()), &size,
              reinterpret_cast<const Bytef*>(text.data()), static_cast<uLong>(text.size()), level);
    out.resize(size);
    return "WJT1" + out;
}

// Reals in full (17 significant digits), or with `fixedDecimals` after the point as the
// project file writes them.
inline void SetRealFormat(std::ostringstream& out, int fixedDecimals) {
    if (fixedDecimals >= 0)
        out << std::fixed << std::setprecision(fixedDecimals);
    else
        out.precision(17);
}

// Everything the project file carries and more of one shape, the id left out.
inline std::string DescribeShape(const TTShape& shape, int fixedDecimals = -1) {
    std::ostringstream out;
    SetRealFormat(out, fixedDecimals);
    out << "type " << shape.Type << " layer " << shape.LayerId << " pen "
        << static_cast<int32_t>(shape.PenFg) << "/" << shape.PenWidth << " brush "
        << static_cast<int32_t>(shape.BrushFg) << "/" << int(shape.BrushStyle)
        << (shape.Visible ? "" : " hidden") << (shape.Selected ? " selected" : "") << ":";
    switch (shape.Class()) {
    case ShapeClass::Line: {
        const auto& s = static_cast<const TTLine&>(shape);
        out << " line " << s.X1 << " " << s.Y1 << " " << s.X2 << " " << s.Y2;
        break;
    }
    case ShapeClass::Circle: {
        const auto& s = static_cast<const TTCircle&>(shape);
        out << " circle " << s.CenterX << " " << s.CenterY << " " << s.Radius;
        break;
    }
    case ShapeClass::Point: {
        const auto& s = static_cast<const TTPoint&>(shape);
        out << " point " << s.X << " " << s.Y << " z " << s.Z << " size " << s.PointSize;
        break;
    }
    case ShapeClass::Text: {
        const auto& s = static_cast<const TTText&>(shape);
        out << " text " << s.X << " " << s.Y << " font " << s.FontIndex << " "
            << s.FontName.toStdString() << " h " << s.Height << " r " << s.Rotation
            << (s.Bold ? " bold" : "") << (s.Italic ? " italic" : "") << " ["
            << s.DisplayText.toStdString() << "]";
        break;
    }
    case ShapeClass::Polyline: {
        const auto& s = static_cast<const TTPolyline&>(shape);
        out << " polyline" << (s.Closed ? " closed" : "");
        for (const TPointF& p : s.Points)
            out << " " << p.X << "," << p.Y;
        break;
    }
    case ShapeClass::Rectangle: {
        const auto& s = static_cast<const TTRectangle&>(shape);
        out << " rectangle " << s.X1 << " " << s.Y1 << " " << s.X2 << " " << s.Y2 << " z "
            << s.ExtraValue << (s.Rounded ? " rounded" : "");
        break;
    }
    case ShapeClass::Ellipse: {
        const auto& s = static_cast<const TTEllipse&>(shape);
        out << " ellipse " << s.X1 << " " << s.Y1 << " " << s.X2 << " " << s.Y2;
        break;
    }
    case ShapeClass::Arc: {
        const auto& s = static_cast<const TTArc&>(shape);
        out << " arc " << s.X1 << " " << s.Y1 << " " << s.X2 << " " << s.Y2 << " " << s.X3
            << " " << s.Y3;
        break;
    }
    }
    return out.str();
}

// The whole drawing state a load may change, as one text.
inline std::string Fingerprint(const CanvasModel& canvas) {
    std::ostringstream out;
    out.precision(17);
    out << "world " << canvas.PlanWorldLeft << " " << canvas.PlanWorldRight << " "
        << canvas.PlanWorldBottom << " " << canvas.PlanWorldTop << "\ncurrent "
        << canvas.CurrentLayer << " next " << canvas.NextLayerId << "/" << canvas.NextShapeId
        << " count " << canvas.ShapeCount << "\nselected";
    for (int32_t id : canvas.SelectedIds)
        out << " " << id;
    out << "\n";
    for (const auto& layer : canvas.Layers)
        out << "layer " << layer->Id << " [" << layer->Name.toStdString() << "] "
            << layer->PenFg << "/" << layer->PenWidth << " action " << layer->Action << "\n";
    for (const auto& shape : canvas.Shapes)
        out << "#" << shape->Id << " " << DescribeShape(*shape) << "\n";
    return out.str();
}

// What a save writes of the canvas: the world window, the layers and the shapes with their
// ids, reals as the file writes them (six decimals); no selection, current layer or counters.
inline std::string DrawingDump(const CanvasModel& canvas) {
    std::ostringstream out;
    SetRealFormat(out, 6);
    out << "world " << canvas.PlanWorldLeft << " " << canvas.PlanWorldRight << " "
        << canvas.PlanWorldBottom << " " << canvas.PlanWorldTop << "\n";
    for (const auto& layer : canvas.Layers)
        out << "layer " << layer->Id << " [" << layer->Name.toStdString() << "] "
            << layer->PenFg << "/" << layer->PenWidth << " action " << layer->Action << "\n";
    for (const auto& shape : canvas.Shapes)
        out << "#" << shape->Id << " " << DescribeShape(*shape, 6) << "\n";
    return out.str();
}

// Appends a shape built by hand, as the readers do.
template <typename Shape>
Shape* AddShape(CanvasModel& canvas, int32_t type, int layer, uint32_t colour = 0,
                int width = 1) {
    auto shape = std::make_unique<Shape>();
    shape->Type = type;
    shape->LayerId = layer;
    shape->PenFg = colour;
    shape->PenWidth = width;
    shape->Id = canvas.NextShapeId++;
    Shape* added = shape.get();
    canvas.AppendShape(std::move(shape));
    added->UpdateBounds();
    return added;
}

// The small drawing of the golden body: three layers (one with blanks, one with Turkish
// letters) and one shape of every kind.
inline void BuildSmallDrawing(CanvasModel& canvas) {
    canvas.PlanWorldLeft = -12.5;
    canvas.PlanWorldRight = 987.25;
    canvas.PlanWorldBottom = 4499000.123456;
    canvas.PlanWorldTop = 4500000.654321;
    const int vessel = canvas.LayerOpen(QStringLiteral("~~Tavrin Vessel"));
    const int turkish = canvas.LayerOpen(QString::fromUtf8("Türkçe şişe"));

    const int32_t line = canvas.DrawLine(1, 2, 3.5, 4.25, 0);
    canvas.SetShapePenFg(line, 0x0000FF);
    canvas.SetShapePenWidth(line, 2);
    canvas.DrawCircle(500000.5, 4500000.123456, 12, vessel);

    auto* point = AddShape<TTPoint>(canvas, ShapeType::Point, turkish, 0xFF000008u, 3);
    point->X = 512345.678901;
    point->Y = 4512345.123456;
    point->Z = -12.34;

    const int32_t text =
        canvas.TextAdd(turkish, QString::fromUtf8("   derinlik\nşişe 12,5 m"), 10, 20, -1);
    canvas.SetShapePenFg(text, 0x008000);
    auto* label = static_cast<TTText*>(canvas.FindShape(text));
    label->Height = 2.5;
    label->Rotation = 45;
    label->Bold = true;

    AddShape<TTPolyline>(canvas, ShapeType::Polyline, 0, 0x800000, 2);
    auto* polygon = AddShape<TTPolyline>(canvas, ShapeType::Polygon, vessel, 0xFF00FF, 1);
    polygon->Closed = true;
    for (const auto& [x, y] : {std::pair{0.0, 0.0}, {10.0, 0.0}, {10.0, 10.0}})
        polygon->AddPoint(x, y);
    auto* spline = AddShape<TTPolyline>(canvas, ShapeType::Spline, 0, 0x00FFFF, 1);
    spline->AddPoint(1, 1);
    spline->AddPoint(2, 3);
    auto* arc3p = AddShape<TTPolyline>(canvas, ShapeType::ThreePointArc, 0, 0x0000FF, 1);
    for (const auto& [x, y] : {std::pair{0.0, 0.0}, {5.0, 5.0}, {10.0, 0.0}})
        arc3p->AddPoint(x, y);

    auto* rectangle = AddShape<TTRectangle>(canvas, ShapeType::Rectangle, vessel, 0x404040, 2);
    rectangle->X1 = -5;
    rectangle->Y1 = -6;
    rectangle->X2 = 7;
    rectangle->Y2 = 8;
    rectangle->BrushFg = 0x00FF00;
    rectangle->BrushStyle = 0;
    rectangle->ExtraValue = 3.25;

    auto* ellipse = AddShape<TTEllipse>(canvas, ShapeType::EllipseTool, 0, 0x123456, 4);
    ellipse->X1 = 100;
    ellipse->Y1 = 200;
    ellipse->X2 = 300;
    ellipse->Y2 = 400;
    ellipse->UpdateBounds();

    const int32_t arc = canvas.DrawThreePointArc(0, 0, 1, 1, 2, 0, turkish);
    canvas.SetShapePenFg(arc, 0x654321);
    canvas.SetShapePenWidth(arc, 3);
    canvas.CurrentLayer = 0;
}

} // namespace project_file_test
