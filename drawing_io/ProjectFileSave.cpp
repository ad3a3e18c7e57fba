#include "drawing_io/ProjectFile.h"
#include "drawing_io/ProjectFileText.h"

#include "canvas/CanvasModel.h"
#include "canvas/TTArc.h"
#include "canvas/TTCircle.h"
#include "canvas/TTEllipse.h"
#include "canvas/TTLine.h"
#include "canvas/TTPoint.h"
#include "canvas/TTPolyline.h"
#include "canvas/TTRectangle.h"
#include "canvas/TTText.h"

#include "platform/AtomicFileWriter.h"
#include "platform/Clock.h"
#include "platform/NumberText.h"

#include <QFile>

#include <zlib.h>

#include <charconv>
#include <new>
#include <vector>

namespace {

// Text is handed to the compressor in pieces of about this size, so a save holds neither the
// whole text nor the whole compressed file.
constexpr size_t TextChunkBytes = 256 * 1024;
constexpr size_t OutputChunkBytes = 256 * 1024;

class ProjectBodyWriter {
public:
    explicit ProjectBodyWriter(AtomicFileWriter& file) : file_(file), output_(OutputChunkBytes) {}
    ~ProjectBodyWriter() {
        if (started_)
            deflateEnd(&stream_);
    }

    bool Start() {
        // The default level, a 15-bit window and memory level 8: the zlib header 78 9C.
        if (deflateInit2(&stream_, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15, 8,
                         Z_DEFAULT_STRATEGY) != Z_OK) {
            error_ = "the compressor cannot start";
            return false;
        }
        started_ = true;
        return file_.Write("WJT1") || Failed();
    }

    std::string& Text() { return text_; }

    // Compresses what the text holds once it has grown past a chunk.
    bool Drain() { return text_.size() < TextChunkBytes || Compress(Z_NO_FLUSH); }
    bool Finish() { return Compress(Z_FINISH); }
    const std::string& Error() const { return error_; }

private:
    bool Failed() {
        error_ = file_.Error();
        return false;
    }

    bool Compress(int flush) {
        stream_.next_in = reinterpret_cast<Bytef*>(text_.data());
        stream_.avail_in = static_cast<uInt>(text_.size());
        int status = Z_OK;
        do {
            stream_.next_out = output_.data();
            stream_.avail_out = static_cast<uInt>(output_.size());
            status = deflate(&stream_, flush);
            if (status == Z_STREAM_ERROR) {
                error_ = "the compressor failed";
                return false;
            }
            const size_t produced = output_.size() - stream_.avail_out;
            if (produced > 0 &&
                !file_.Write({reinterpret_cast<const char*>(output_.data()), produced}))
                return Failed();
        } while (stream_.avail_out == 0 || (flush == Z_FINISH && status != Z_STREAM_END));
        text_.clear();
        return true;
    }

    AtomicFileWriter& file_;
    z_stream stream_{};
    bool started_ = false;
    std::string text_;
    std::vector<Bytef> output_;
    std::string error_;
};

void Real(std::string& out, double value) {
    out += ' ';
    AppendPrintfFixed(out, value, 6);
}

void Integer(std::string& out, int64_t value) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out += ' ';
    out.append(buffer, result.ptr);
}

// Colours are written as the signed 32-bit value they are stored as.
void Colour(std::string& out, uint32_t colour) {
    Integer(out, static_cast<int32_t>(colour));
}

void Pen(std::string& out, const TTShape& shape) {
    Integer(out, shape.LayerId);
    Colour(out, shape.PenFg);
    Integer(out, shape.PenWidth);
}

// The font name is one word; a name the reader would split or miss is written as "0", the
// reader's "no font name", so that the text after it stays in place.
void FontName(std::string& out, const QString& name) {
    out += ' ';
    const bool oneWord = !name.isEmpty() && !name.contains(QLatin1Char(' ')) &&
                         !name.contains(QLatin1Char('\t')) && !name.contains(QLatin1Char('\r')) &&
                         !name.contains(QLatin1Char('\n'));
    if (oneWord)
        AppendFileText(out, name);
    else
        out += '0';
}

std::string Stamp(const LocalDateTime& t) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%d-%02d-%02d %02d:%02d:%02d.%02d", t.year, t.month,
                  t.day, t.hour, t.minute, t.second, t.millisecond / 10);
    return buffer;
}

// One record for a shape; false for a shape the format has no record for.
bool AppendShape(std::string& out, const TTShape& shape) {
    const int type = shape.Type;
    switch (shape.Class()) {
    case ShapeClass::Line: {
        if (type != ShapeType::Line)
            return false;
        const auto& line = static_cast<const TTLine&>(shape);
        out += "LINE";
        Real(out, line.X1);
        Real(out, line.Y1);
        Real(out, line.X2);
        Real(out, line.Y2);
        Pen(out, shape);
        break;
    }
    case ShapeClass::Circle: {
        if (type != ShapeType::Circle)
            return false;
        const auto& circle = static_cast<const TTCircle&>(shape);
        out += "CIRCLE";
        Real(out, circle.CenterX);
        Real(out, circle.CenterY);
        Real(out, circle.Radius);
        Pen(out, shape);
        break;
    }
    case ShapeClass::Point: {
        if (type != ShapeType::Point)
            return false;
        const auto& point = static_cast<const TTPoint&>(shape);
        out += "POINT";
        Real(out, point.X);
        Real(out, point.Y);
        Pen(out, shape);
        Real(out, point.Z);
        break;
    }
    case ShapeClass::Text: {
        if (type != ShapeType::Text)
            return false;
        const auto& text = static_cast<const TTText&>(shape);
        out += "TEXT";
        Real(out, text.X);
        Real(out, text.Y);
        Integer(out, shape.LayerId);
        Integer(out, text.FontIndex);
        Colour(out, shape.PenFg);
        Real(out, text.Height);
        Real(out, text.Rotation);
        Integer(out, text.Bold ? 1 : 0);
        Integer(out, text.Italic ? 1 : 0);
        FontName(out, text.FontName);
        out += ' ';
        AppendFileText(out, text.DisplayText);
        break;
    }
    case ShapeClass::Polyline: {
        const auto& polyline = static_cast<const TTPolyline&>(shape);
        if (type == ShapeType::Spline)
            out += "SPLINE";
        else if (type == ShapeType::ThreePointArc)
            out += "ARC3P";
        else if (type == ShapeType::Polyline || type == ShapeType::Polygon)
            out += polyline.Closed ? "POLYGON" : "POLYLINE";
        else
            return false;
        Integer(out, shape.LayerId);
        Integer(out, static_cast<int64_t>(polyline.Points.size()));
        Colour(out, shape.PenFg);
        Integer(out, shape.PenWidth);
        for (const TPointF& vertex : polyline.Points) {
            out += '\n';
            AppendPrintfFixed(out, vertex.X, 6);
            Real(out, vertex.Y);
        }
        break;
    }
    case ShapeClass::Rectangle: {
        if (type != ShapeType::Rectangle)
            return false;
        const auto& rectangle = static_cast<const TTRectangle&>(shape);
        out += "RECTANGLE";
        Real(out, rectangle.X1);
        Real(out, rectangle.Y1);
        Real(out, rectangle.X2);
        Real(out, rectangle.Y2);
        Pen(out, shape);
        Colour(out, shape.BrushFg);
        Integer(out, shape.BrushStyle);
        Real(out, rectangle.ExtraValue);
        break;
    }
    case ShapeClass::Ellipse: {
        if (type != ShapeType::Ellipse && type != ShapeType::EllipseTool)
            return false;
        const auto& ellipse = static_cast<const TTEllipse&>(shape);
        out += "ELLIPSE";
        Real(out, ellipse.X1);
        Real(out, ellipse.Y1);
        Real(out, ellipse.X2);
        Real(out, ellipse.Y2);
        Pen(out, shape);
        break;
    }
    case ShapeClass::Arc: {
        // The arc made by the drawing operation and by the reader: without its own record it
        // would be lost at every save.
        if (type != ShapeType::ThreePointArc)
            return false;
        const auto& arc = static_cast<const TTArc&>(shape);
        out += "ARC";
        Real(out, arc.X1);
        Real(out, arc.Y1);
        Real(out, arc.X2);
        Real(out, arc.Y2);
        Real(out, arc.X3);
        Real(out, arc.Y3);
        Pen(out, shape);
        break;
    }
    }
    out += '\n';
    return true;
}

ProjectFileResult Save(const CanvasModel& canvas, const std::string& path) {
    ProjectFileResult result;
    AtomicFileWriter file(path);
    if (!file.Open()) {
        result.Reason = file.Error();
        return result;
    }
    ProjectBodyWriter body(file);
    if (!body.Start()) {
        result.Reason = body.Error();
        return result;
    }

    std::string& out = body.Text();
    out += "# Tavrin Helm Suite - WJT\n# Written by Tavrin SD\n# Created on: ";
    out += Stamp(Clock::now());
    out += "\n#\nWORLD";
    Real(out, canvas.PlanWorldLeft);
    Real(out, canvas.PlanWorldRight);
    Real(out, canvas.PlanWorldBottom);
    Real(out, canvas.PlanWorldTop);
    out += '\n';
    for (const auto& layer : canvas.Layers) {
        const size_t before = out.size();
        out += "LAYER ";
        AppendFileText(out, layer->Name);
        if (out.size() - before > DrawingFileMaxLineBytes) {
            result.Reason = "a layer name is longer than " +
                            std::to_string(DrawingFileMaxLineBytes >> 20) +
                            " MiB, more than a project file can hold; nothing was saved";
            return result;
        }
        out += '\n';
        if (!body.Drain()) {
            result.Reason = body.Error();
            return result;
        }
    }
    for (const auto& shape : canvas.Shapes) {
        // A coordinate that is not finite would be written as "nan" and refused on reading.
        if (!shape->IsFinite()) {
            ++result.SkippedShapes;
            continue;
        }
        const size_t before = out.size();
        if (!AppendShape(out, *shape))
            out.resize(before);
        // What is saved must open again: a record line longer than the reader takes would
        // refuse the whole file, every other shape with it.
        const size_t recordEnd = out.find('\n', before);
        if (recordEnd != std::string::npos && recordEnd - before > DrawingFileMaxLineBytes) {
            result.Reason = "a text of the drawing is longer than " +
                            std::to_string(DrawingFileMaxLineBytes >> 20) +
                            " MiB, more than a project file can hold; nothing was saved";
            return result;
        }
        if (!body.Drain()) {
            result.Reason = body.Error();
            return result;
        }
    }
    if (!body.Finish() || !file.Commit()) {
        result.Reason = body.Error().empty() ? file.Error() : body.Error();
        return result;
    }
    result.Ok = true;
    return result;
}

} // namespace

ProjectFileResult CadSave(const CanvasModel& canvas, const QString& fileName, int) {
    try {
        return Save(canvas, QFile::encodeName(fileName).toStdString());
    } catch (const std::bad_alloc&) {
        ProjectFileResult result;
        result.Reason = "there is not enough memory to write the drawing";
        return result;
    }
}
