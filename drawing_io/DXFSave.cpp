#include "drawing_io/DXFSave.h"
#include "drawing_io/DrawingLineLimit.h"

#include "canvas/CanvasModel.h"
#include "canvas/TTCircle.h"
#include "canvas/TTEllipse.h"
#include "canvas/TTLine.h"
#include "canvas/TTPoint.h"
#include "canvas/TTPolyline.h"
#include "canvas/TTRectangle.h"
#include "canvas/TTText.h"
#include "platform/AtomicFileWriter.h"
#include "platform/CodePageCodec.h"

#include <QFile>

#include <charconv>
#include <cmath>
#include <unordered_map>
#include <unordered_set>

namespace {

constexpr size_t ChunkSize = size_t(1) << 16;

class DxfWriter {
public:
    explicit DxfWriter(const DxfSink& sink) : Sink_(sink) { Buffer_.reserve(ChunkSize * 2); }

    void Group(int code, std::string_view value) {
        char digits[16];
        const auto end = std::to_chars(digits, digits + sizeof digits, code).ptr;
        Buffer_.append(digits, static_cast<size_t>(end - digits));
        Buffer_ += "\r\n";
        Buffer_ += value;
        Buffer_ += "\r\n";
        if (Buffer_.size() >= ChunkSize)
            Flush();
    }

    // Fixed notation, six decimals, no exponent; never "-0.000000".
    void Real(int code, double value) {
        char text[400];
        auto [end, ec] =
            std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 6);
        if (ec != std::errc()) {
            Group(code, "0.000000");
            return;
        }
        std::string_view written(text, static_cast<size_t>(end - text));
        if (written.front() == '-' && written.find_first_not_of("-0.") == std::string_view::npos)
            written.remove_prefix(1);
        Group(code, written);
    }

    void Integer(int code, long long value) {
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        Group(code, std::string_view(digits, static_cast<size_t>(end - digits)));
    }

    // A name or text in the file's code page, on one line.
    std::string Encode(const QString& text) const {
        QByteArray utf8 = text.toUtf8();
        // A raw line end would split the pair and every reader would lose the file's thread.
        for (char& c : utf8)
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
                c = ' ';
        return Codec_.FromUtf8(std::string_view(utf8.constData(), size_t(utf8.size())));
    }

    // A text longer than a line any drawing reader of the program takes stops the writing:
    // the export would not read back.
    void Text(int code, const QString& text) {
        const std::string encoded = Encode(text);
        if (encoded.size() > DrawingFileMaxLineBytes) {
            Ok_ = false;
            TextTooLong_ = true;
            return;
        }
        Group(code, encoded);
    }
    bool TextTooLong() const { return TextTooLong_; }

    // The type and layer that open every entity.
    void Entity(std::string_view type, std::string_view layer) {
        Group(0, type);
        Group(8, layer);
    }

    // A point of the plan: x under `code`, y under code + 10, z "0.0" under code + 20.
    void Point(int code, double x, double y) {
        Real(code, x);
        Real(code + 10, y);
        Group(code + 20, "0.0");
    }

    void Vertex(std::string_view layer, double x, double y) {
        Entity("VERTEX", layer);
        Point(10, x, y);
    }

    bool Flush() {
        if (Ok_ && !Buffer_.empty())
            Ok_ = Sink_(Buffer_);
        Buffer_.clear();
        return Ok_;
    }

    bool Ok() const { return Ok_; }

private:
    const DxfSink& Sink_;
    std::string Buffer_;
    CodePageCodec Codec_;
    bool Ok_ = true;
    bool TextTooLong_ = false;
};

void WriteShape(DxfWriter& out, const TTShape& shape, std::string_view layer) {
    switch (shape.Type) {
    case ShapeType::Line:
        if (shape.Class() == ShapeClass::Line) {
            const auto& line = static_cast<const TTLine&>(shape);
            out.Entity("LINE", layer);
            out.Point(10, line.X1, line.Y1);
            out.Point(11, line.X2, line.Y2);
        }
        break;
    case ShapeType::Circle:
        if (shape.Class() == ShapeClass::Circle) {
            const auto& circle = static_cast<const TTCircle&>(shape);
            out.Entity("CIRCLE", layer);
            out.Point(10, circle.CenterX, circle.CenterY);
            out.Real(40, circle.Radius);
        }
        break;
    case ShapeType::Point:
        if (shape.Class() == ShapeClass::Point) {
            const auto& point = static_cast<const TTPoint&>(shape);
            out.Entity("POINT", layer);
            out.Point(10, point.X, point.Y);
        }
        break;
    case ShapeType::Text:
        if (shape.Class() == ShapeClass::Text) {
            const auto& text = static_cast<const TTText&>(shape);
            out.Entity("TEXT", layer);
            out.Point(10, text.X, text.Y);
            out.Real(40, text.Height > 0 ? text.Height : 2.5);
            out.Text(1, text.DisplayText);
            if (text.Rotation != 0)
                out.Real(50, text.Rotation);
        }
        break;
    case ShapeType::Rectangle:
        if (shape.Class() == ShapeClass::Rectangle) {
            const auto& box = static_cast<const TTRectangle&>(shape);
            out.Entity("POLYLINE", layer);
            out.Group(66, "1");
            out.Group(70, "1");
            out.Vertex(layer, box.X1, box.Y1);
            out.Vertex(layer, box.X2, box.Y1);
            out.Vertex(layer, box.X2, box.Y2);
            out.Vertex(layer, box.X1, box.Y2);
            out.Entity("SEQEND", layer);
        }
        break;
    case ShapeType::Ellipse:
        if (shape.Class() == ShapeClass::Ellipse) {
            const auto& ellipse = static_cast<const TTEllipse&>(shape);
            // The circle of the mean half-axis stands in for the ellipse.
            const double cx = (ellipse.X1 + ellipse.X2) / 2;
            const double cy = (ellipse.Y1 + ellipse.Y2) / 2;
            const double radius =
                (std::fabs(ellipse.X2 - ellipse.X1) / 2 + std::fabs(ellipse.Y2 - ellipse.Y1) / 2) /
                2;
            // Huge corners can overflow the centre or the radius.
            if (!std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(radius))
                break;
            out.Entity("CIRCLE", layer);
            out.Point(10, cx, cy);
            out.Real(40, radius);
        }
        break;
    case ShapeType::Polyline:
    case ShapeType::Polygon:
        if (shape.Class() == ShapeClass::Polyline) {
            const auto& polyline = static_cast<const TTPolyline&>(shape);
            if (polyline.Points.empty())
                break;
            out.Entity("POLYLINE", layer);
            out.Group(66, "1");
            out.Group(70, polyline.Closed ? "1" : "0");
            for (const TPointF& point : polyline.Points)
                out.Vertex(layer, point.X, point.Y);
            out.Entity("SEQEND", layer);
        }
        break;
    default:
        break;
    }
}

} // namespace

bool DXFWrite(const CanvasModel& canvas, const DxfSink& sink, std::string* reason) {
    DxfWriter out(sink);
    const auto failed = [&out, reason] {
        if (reason && out.TextTooLong())
            *reason = "a text of the drawing is longer than " +
                      std::to_string(DrawingFileMaxLineBytes >> 20) +
                      " MiB, more than a drawing file can hold";
        return false;
    };
    const auto extent = [](double value) { return std::isfinite(value) ? value : 0.0; };
    out.Group(0, "SECTION");
    out.Group(2, "HEADER");
    out.Group(9, "$ACADVER");
    out.Group(1, "AC1009");
    // Without it CAD programs read the names and texts in a code page of their own choosing.
    out.Group(9, "$DWGCODEPAGE");
    out.Group(3, "ANSI_1254");
    out.Group(9, "$INSBASE");
    out.Group(10, "0.0");
    out.Group(20, "0.0");
    out.Group(30, "0.0");
    out.Group(9, "$EXTMIN");
    out.Point(10, extent(canvas.PlanWorldLeft), extent(canvas.PlanWorldBottom));
    out.Group(9, "$EXTMAX");
    out.Point(10, extent(canvas.PlanWorldRight), extent(canvas.PlanWorldTop));
    out.Group(0, "ENDSEC");

    // Layers in the order the shapes first use them, hidden shapes included.
    std::vector<int32_t> layerIds;
    std::unordered_set<int32_t> seen;
    for (const auto& shape : canvas.Shapes)
        if (seen.insert(shape->LayerId).second)
            layerIds.push_back(shape->LayerId);

    // Each layer name is encoded once, not once per shape.
    std::unordered_map<int32_t, std::string> names;
    out.Group(0, "SECTION");
    out.Group(2, "TABLES");
    out.Group(0, "TABLE");
    out.Group(2, "LAYER");
    out.Integer(70, static_cast<long long>(layerIds.size()));
    for (const int32_t id : layerIds) {
        const TTLayer* layer = canvas.FindLayer(id);
        if (!layer)
            continue;
        const std::string& name = names.emplace(id, out.Encode(layer->Name)).first->second;
        out.Group(0, "LAYER");
        out.Group(2, name);
        out.Group(70, "0");
        out.Group(62, "7");
        out.Group(6, "CONTINUOUS");
    }
    out.Group(0, "ENDTAB");
    out.Group(0, "ENDSEC");

    out.Group(0, "SECTION");
    out.Group(2, "ENTITIES");
    static const std::string DefaultLayer = "0";
    for (const auto& shape : canvas.Shapes) {
        if (!out.Ok())
            return failed();
        if (!shape->Visible || !shape->IsFinite())
            continue;
        const auto name = names.find(shape->LayerId);
        WriteShape(out, *shape, name == names.end() ? DefaultLayer : name->second);
    }
    out.Group(0, "ENDSEC");
    out.Group(0, "EOF");
    return out.Flush() || failed();
}

bool DXFSave(const CanvasModel& canvas, const QString& fileName, std::string* error) {
    // Dropped without a commit, the writer removes its temporary file: the old export stays.
    AtomicFileWriter file(QFile::encodeName(fileName).toStdString());
    if (!file.Open()) {
        if (error)
            *error = file.Error();
        return false;
    }
    std::string reason;
    const bool written =
        DXFWrite(canvas, [&file](std::string_view bytes) { return file.Write(bytes); }, &reason);
    if (written && file.Commit())
        return true;
    if (error)
        *error = !reason.empty()            ? reason
                 : file.Error().empty() ? "the drawing could not be written"
                                        : file.Error();
    return false;
}
