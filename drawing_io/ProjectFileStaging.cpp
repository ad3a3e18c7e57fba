#include "drawing_io/ProjectFileStaging.h"
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

#include "platform/NumberText.h"

#include <limits>

namespace {

const QString DefaultLayer = QStringLiteral("Default");

// Memory a staged shape takes beyond its own object: the allocation, its slot in the shape
// table and its entry in the id index.
constexpr uint64_t ShapeOverheadBytes = 64;
// A vertex, with room for the vector's growth.
constexpr uint64_t VertexBytes = sizeof(TPointF) * 3 / 2;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// The fields of a record, read word by word. Once a field is missing or does not parse, it
// and every later field keep their defaults, so each reader below stops at the first refusal.
class RecordFields {
public:
    explicit RecordFields(std::string_view rest) : rest_(rest) {}

    std::string_view Word() {
        size_t start = 0;
        while (start < rest_.size() && IsBlank(rest_[start]))
            ++start;
        size_t end = start;
        while (end < rest_.size() && !IsBlank(rest_[end]))
            ++end;
        const std::string_view word = rest_.substr(start, end - start);
        rest_.remove_prefix(end);
        return word;
    }

    bool Real(double& value) {
        if (!good_)
            return false;
        good_ = ParseNumber(Word(), value);
        return good_;
    }

    bool Integer(int& value) {
        if (!good_)
            return false;
        good_ = ParseInteger(Word(), value);
        return good_;
    }

    // Colours are stored as signed 32-bit numbers.
    bool Colour(uint32_t& value) {
        int number = 0;
        if (!Integer(number))
            return false;
        value = static_cast<uint32_t>(number);
        return true;
    }

    // One word; an empty one (the line ends) counts as missing.
    bool OneWord(std::string_view& value) {
        if (!good_)
            return false;
        value = Word();
        good_ = !value.empty();
        return good_;
    }

    // What follows the last word read, with its first blank dropped.
    std::string_view RestAfterBlank() const {
        if (!good_)
            return {};
        return !rest_.empty() && rest_.front() == ' ' ? rest_.substr(1) : rest_;
    }

private:
    std::string_view rest_;
    bool good_ = true;
};

template <typename Shape> std::unique_ptr<Shape> NewShape(int32_t type, int layer) {
    auto shape = std::make_unique<Shape>();
    shape->Type = type;
    shape->LayerId = layer;
    return shape;
}

uint64_t TextBytes(const QString& text) {
    return static_cast<uint64_t>(text.size()) * sizeof(QChar);
}

} // namespace

ProjectFileStaging::ProjectFileStaging(const CanvasModel& canvas, bool replace,
                                       uint64_t maxShapeBytes)
    : replace_(replace), maxShapeBytes_(maxShapeBytes) {
    if (replace) {
        // The canvas's fresh start: "Default" alone, with id 0, current.
        layerByName_.emplace(DefaultLayer, 0);
        penByLayer_.emplace(0, LayerPen{});
        nextLayerId_ = 1;
        currentLayer_ = 0;
    } else {
        // The first layer of a name or id is the one the canvas finds.
        for (const auto& layer : canvas.Layers) {
            layerByName_.emplace(layer->Name, layer->Id);
            penByLayer_.emplace(layer->Id, LayerPen{layer->PenFg, layer->PenWidth,
                                                    layer->BrushFg, layer->BrushStyle});
        }
        nextLayerId_ = canvas.NextLayerId;
    }
    for (const TTFont& font : canvas.Fonts)
        fonts_.push_back({font.Name, font.Size, font.Bold, font.Italic});
    textAlign_ = canvas.DefaultTextAlign;
    textJustify_ = canvas.DefaultTextJustify;
    world_[0] = canvas.PlanWorldLeft;
    world_[1] = canvas.PlanWorldRight;
    world_[2] = canvas.PlanWorldBottom;
    world_[3] = canvas.PlanWorldTop;
}

int ProjectFileStaging::OpenLayer(const QString& name) {
    const auto [found, added] = layerByName_.emplace(name, nextLayerId_);
    if (added) {
        penByLayer_.emplace(nextLayerId_, LayerPen{});
        newLayers_.push_back(name);
        ++nextLayerId_;
    }
    currentLayer_ = found->second;
    return found->second;
}

std::optional<int> ProjectFileStaging::MapLayer(int64_t stored) const {
    if (stored >= 0 && stored < static_cast<int64_t>(fileLayers_.size()))
        return fileLayers_[static_cast<size_t>(stored)];
    // A replacing load numbers the layers as the file does, so an id the file has not (yet)
    // opened keeps its value, as it always has.
    if (replace_)
        return static_cast<int>(stored);
    return std::nullopt;
}

int ProjectFileStaging::CreationLayer(int64_t stored) {
    const std::optional<int> mapped = MapLayer(stored);
    if (mapped && penByLayer_.count(*mapped))
        return *mapped;
    return OpenLayer(DefaultLayer);
}

int ProjectFileStaging::DirectLayer(int64_t stored) {
    const std::optional<int> mapped = MapLayer(stored);
    return mapped ? *mapped : OpenLayer(DefaultLayer);
}

bool ProjectFileStaging::Stage(std::unique_ptr<TTShape> shape, uint64_t bytes) {
    shapeBytes_ += bytes + ShapeOverheadBytes;
    if (shapeBytes_ > maxShapeBytes_) {
        error_ = "the drawing needs more memory than this computer can give it (more than " +
                 std::to_string(maxShapeBytes_ >> 20) + " MiB)";
        return false;
    }
    shape->UpdateBounds();
    shapes_.push_back(std::move(shape));
    ++records_;
    return true;
}

bool ProjectFileStaging::TakeLine(std::string_view line) {
    ++lineNumber_;
    if (pending_)
        return TakeVertex(line);
    if (line.empty() || line.front() == '#')
        return true;
    return TakeRecord(line);
}

bool ProjectFileStaging::TakeVertex(std::string_view line) {
    // Every announced line is a vertex line, whatever it holds; one that does not begin with
    // two numbers adds nothing.
    RecordFields fields(line);
    double x = 0;
    double y = 0;
    if (fields.Real(x) && fields.Real(y)) {
        shapeBytes_ += VertexBytes;
        if (shapeBytes_ > maxShapeBytes_) {
            error_ = "the drawing needs more memory than this computer can give it (more than " +
                     std::to_string(maxShapeBytes_ >> 20) + " MiB)";
            return false;
        }
        pending_->Points.push_back({x, y});
    }
    if (--verticesLeft_ == 0) {
        pending_->UpdateBounds();
        pending_ = nullptr;
    }
    return true;
}

bool ProjectFileStaging::Finish() {
    if (pending_) {
        error_ = "the file ends inside the polyline of line " + std::to_string(pendingLine_) +
                 ": " + std::to_string(verticesLeft_) + " of its points are missing";
        return false;
    }
    return true;
}

bool ProjectFileStaging::TakeRecord(std::string_view line) {
    size_t start = 0;
    while (start < line.size() && IsBlank(line[start]))
        ++start;
    size_t end = start;
    while (end < line.size() && !IsBlank(line[end]))
        ++end;
    const std::string_view keyword = line.substr(start, end - start);
    const std::string_view rest = line.substr(end);
    RecordFields fields(rest);

    if (keyword == "LAYER") {
        const std::string_view name = !rest.empty() && rest.front() == ' ' ? rest.substr(1) : rest;
        fileLayers_.push_back(OpenLayer(DecodeFileText(name)));
        ++records_;
        return true;
    }
    if (keyword == "WORLD") {
        for (double& edge : world_) {
            double value = 0;
            if (!fields.Real(value))
                break;
            edge = value;
            if (!worldChanged_)
                ++records_;
            worldChanged_ = true;
        }
        return true;
    }
    if (keyword == "LINE") {
        double x1, y1, x2, y2;
        int layer = 0;
        if (!(fields.Real(x1) && fields.Real(y1) && fields.Real(x2) && fields.Real(y2) &&
              fields.Integer(layer)))
            return true;
        uint32_t colour = 0;
        int width = 1;
        fields.Colour(colour) && fields.Integer(width);
        const int owner = CreationLayer(layer);
        const LayerPen& pen = penByLayer_[owner];
        auto shape = NewShape<TTLine>(ShapeType::Line, owner);
        shape->X1 = x1;
        shape->Y1 = y1;
        shape->X2 = x2;
        shape->Y2 = y2;
        shape->PenFg = colour != 0 ? colour : pen.PenFg;
        shape->PenWidth = colour != 0 ? width : pen.PenWidth;
        return Stage(std::move(shape), sizeof(TTLine));
    }
    if (keyword == "CIRCLE") {
        double cx, cy, radius;
        int layer = 0;
        if (!(fields.Real(cx) && fields.Real(cy) && fields.Real(radius) && fields.Integer(layer)))
            return true;
        uint32_t colour = 0;
        int width = 1;
        fields.Colour(colour) && fields.Integer(width);
        const int owner = CreationLayer(layer);
        const LayerPen& pen = penByLayer_[owner];
        auto shape = NewShape<TTCircle>(ShapeType::Circle, owner);
        shape->CenterX = cx;
        shape->CenterY = cy;
        shape->Radius = radius;
        shape->PenFg = colour != 0 ? colour : pen.PenFg;
        shape->PenWidth = colour != 0 ? width : pen.PenWidth;
        shape->BrushFg = pen.BrushFg;
        shape->BrushStyle = pen.BrushStyle;
        return Stage(std::move(shape), sizeof(TTCircle));
    }
    if (keyword == "TEXT") {
        double x, y;
        int layer = 0;
        int fontIndex = 0;
        if (!(fields.Real(x) && fields.Real(y) && fields.Integer(layer) &&
              fields.Integer(fontIndex)))
            return true;
        uint32_t colour = 0;
        double height = 10.0;
        double rotation = 0.0;
        int bold = 0;
        int italic = 0;
        std::string_view fontName;
        fields.Colour(colour) && fields.Real(height) && fields.Real(rotation) &&
            fields.Integer(bold) && fields.Integer(italic) && fields.OneWord(fontName);
        const std::string_view text = fields.RestAfterBlank();

        const int owner = CreationLayer(layer);
        auto shape = NewShape<TTText>(ShapeType::Text, owner);
        shape->X = x;
        shape->Y = y;
        shape->DisplayText = DecodeFileText(text);
        shape->Text = shape->DisplayText;
        shape->FontIndex = fontIndex;
        shape->Align = textAlign_;
        shape->Justify = textJustify_;
        shape->PenFg = colour != 0 ? colour : penByLayer_[owner].PenFg;
        if (fontIndex >= 0 && fontIndex < static_cast<int>(fonts_.size()))
            shape->FontName = fonts_[static_cast<size_t>(fontIndex)].Name;
        if (!fontName.empty() && fontName != "0")
            shape->FontName = DecodeFileText(fontName);
        shape->Height = height;
        shape->Rotation = rotation;
        shape->Bold = bold != 0;
        shape->Italic = italic != 0;
        const uint64_t bytes = sizeof(TTText) + TextBytes(shape->DisplayText) +
                               TextBytes(shape->FontName);
        return Stage(std::move(shape), bytes);
    }
    if (keyword == "POINT") {
        double x, y;
        int layer = 0;
        if (!(fields.Real(x) && fields.Real(y) && fields.Integer(layer)))
            return true;
        uint32_t colour = 0;
        int width = 1;
        double z = 0.0;
        fields.Colour(colour) && fields.Integer(width) && fields.Real(z);
        auto shape = NewShape<TTPoint>(ShapeType::Point, DirectLayer(layer));
        shape->X = x;
        shape->Y = y;
        shape->Z = z;
        shape->PointSize = 3;
        shape->PenFg = colour;
        shape->PenWidth = width;
        return Stage(std::move(shape), sizeof(TTPoint));
    }
    const bool polyline = keyword == "POLYLINE";
    const bool polygon = keyword == "POLYGON";
    const bool spline = keyword == "SPLINE";
    const bool arc3p = keyword == "ARC3P";
    if (polyline || polygon || spline || arc3p) {
        int layer = 0;
        int count = 0;
        if (!(fields.Integer(layer) && fields.Integer(count)))
            return true;
        uint32_t colour = 0;
        int width = 1;
        fields.Colour(colour) && fields.Integer(width);
        const int32_t type = spline  ? ShapeType::Spline
                             : arc3p ? ShapeType::ThreePointArc
                             : polygon ? ShapeType::Polygon
                                       : ShapeType::Polyline;
        auto shape = NewShape<TTPolyline>(type, DirectLayer(layer));
        shape->Closed = polygon;
        if (colour != 0) {
            shape->PenFg = colour;
            shape->PenWidth = width;
        }
        // The count only says how many lines follow; the vertices are taken one by one as
        // they come, so a count the file cannot back allocates nothing.
        TTPolyline* added = shape.get();
        if (!Stage(std::move(shape), sizeof(TTPolyline)))
            return false;
        if (count > 0) {
            pending_ = added;
            verticesLeft_ = count;
            pendingLine_ = lineNumber_;
        }
        return true;
    }
    if (keyword == "RECTANGLE") {
        double x1, y1, x2, y2;
        int layer = 0;
        if (!(fields.Real(x1) && fields.Real(y1) && fields.Real(x2) && fields.Real(y2) &&
              fields.Integer(layer)))
            return true;
        uint32_t colour = 0;
        int width = 1;
        uint32_t brush = 0;
        int brushStyle = 0;
        double z = 0.0;
        fields.Colour(colour) && fields.Integer(width) && fields.Colour(brush) &&
            fields.Integer(brushStyle) && fields.Real(z);
        auto shape = NewShape<TTRectangle>(ShapeType::Rectangle, DirectLayer(layer));
        shape->X1 = x1;
        shape->Y1 = y1;
        shape->X2 = x2;
        shape->Y2 = y2;
        shape->ExtraValue = z;
        shape->Rounded = false;
        shape->CornerRadius = 10.0;
        shape->PenFg = colour;
        shape->PenWidth = width;
        shape->BrushFg = brush;
        shape->BrushStyle = static_cast<uint8_t>(brushStyle);
        return Stage(std::move(shape), sizeof(TTRectangle));
    }
    if (keyword == "ELLIPSE") {
        double x1, y1, x2, y2;
        int layer = 0;
        if (!(fields.Real(x1) && fields.Real(y1) && fields.Real(x2) && fields.Real(y2) &&
              fields.Integer(layer)))
            return true;
        uint32_t colour = 0;
        int width = 1;
        fields.Colour(colour) && fields.Integer(width);
        auto shape = NewShape<TTEllipse>(ShapeType::Ellipse, DirectLayer(layer));
        shape->X1 = x1;
        shape->Y1 = y1;
        shape->X2 = x2;
        shape->Y2 = y2;
        if (colour != 0) {
            shape->PenFg = colour;
            shape->PenWidth = width;
        }
        return Stage(std::move(shape), sizeof(TTEllipse));
    }
    if (keyword == "ARC") {
        double x1, y1, x2, y2, x3, y3;
        int layer = 0;
        if (!(fields.Real(x1) && fields.Real(y1) && fields.Real(x2) && fields.Real(y2) &&
              fields.Real(x3) && fields.Real(y3) && fields.Integer(layer)))
            return true;
        uint32_t colour = 0;
        int width = 1;
        fields.Colour(colour) && fields.Integer(width);
        auto shape = NewShape<TTArc>(ShapeType::ThreePointArc, DirectLayer(layer));
        shape->X1 = x1;
        shape->Y1 = y1;
        shape->X2 = x2;
        shape->Y2 = y2;
        shape->X3 = x3;
        shape->Y3 = y3;
        if (colour != 0) {
            shape->PenFg = colour;
            shape->PenWidth = width;
        }
        return Stage(std::move(shape), sizeof(TTArc));
    }
    // Any other first word, a lowercase keyword among them, is not a record.
    return true;
}

void ProjectFileStaging::Commit(CanvasModel& canvas) {
    if (replace_) {
        canvas.ClearDrawingState();
        canvas.ResetDrawing();
    }
    // The new layers as the canvas's LayerOpen makes them, without its search by name for
    // each: the staging has already found every name.
    for (const QString& name : newLayers_) {
        auto layer = std::make_unique<TTLayer>();
        layer->Id = canvas.NextLayerId++;
        layer->Name = name;
        canvas.Layers.push_back(std::move(layer));
    }
    for (auto& shape : shapes_) {
        shape->Id = canvas.NextShapeId++;
        canvas.AppendShape(std::move(shape));
    }
    shapes_.clear();
    if (worldChanged_) {
        canvas.PlanWorldLeft = world_[0];
        canvas.PlanWorldRight = world_[1];
        canvas.PlanWorldBottom = world_[2];
        canvas.PlanWorldTop = world_[3];
    }
    if (currentLayer_)
        canvas.CurrentLayer = *currentLayer_;
    canvas.Refresh();
}
