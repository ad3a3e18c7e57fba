#include "drawing_io/ProjectFileStaging.h"
#include "drawing_io/ProjectFileText.h"
#include "drawing_io/ImportBudget.h"

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
    return ImportBudget::TextBytes(static_cast<size_t>(text.size()));
}

} // namespace

ProjectFileStaging::ProjectFileStaging(const CanvasModel& canvas, bool replace,
                                       ImportBudget& budget)
    : replace_(replace), budget_(budget) {
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
    if (!budget_.Charge(ImportBudget::ShapeBytes(bytes))) {
        error_ = budget_.Refusal();
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
        if (!budget_.Charge(ImportBudget::VertexBytes)) {
            error_ = budget_.Refusal();
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

namespace {

// The reals a shape record starts with, then its layer id: all required.
bool Geometry(RecordFields& fields, double* values, int count, int& layer) {
    for (int i = 0; i < count; ++i)
        if (!fields.Real(values[i]))
            return false;
    return fields.Integer(layer);
}

// Colour [0] and width [1], which most records may leave out.
struct RecordPen {
    uint32_t Colour = 0;
    int Width = 1;
};

RecordPen OptionalPen(RecordFields& fields) {
    RecordPen pen;
    fields.Colour(pen.Colour) && fields.Integer(pen.Width);
    return pen;
}

// Colour 0 means that the record gives no pen: the shape keeps what it has.
void ApplyGivenPen(TTShape& shape, const RecordPen& pen) {
    if (pen.Colour != 0) {
        shape.PenFg = pen.Colour;
        shape.PenWidth = pen.Width;
    }
}

int32_t PolylineType(std::string_view keyword) {
    if (keyword == "POLYLINE")
        return ShapeType::Polyline;
    if (keyword == "POLYGON")
        return ShapeType::Polygon;
    if (keyword == "SPLINE")
        return ShapeType::Spline;
    if (keyword == "ARC3P")
        return ShapeType::ThreePointArc;
    return 0;
}

} // namespace

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
    double v[6];
    int layer = 0;

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
        if (!Geometry(fields, v, 4, layer))
            return true;
        const RecordPen given = OptionalPen(fields);
        const int owner = CreationLayer(layer);
        auto shape = NewShape<TTLine>(ShapeType::Line, owner);
        shape->X1 = v[0], shape->Y1 = v[1], shape->X2 = v[2], shape->Y2 = v[3];
        shape->PenFg = penByLayer_[owner].PenFg;
        shape->PenWidth = penByLayer_[owner].PenWidth;
        ApplyGivenPen(*shape, given);
        return Stage(std::move(shape), sizeof(TTLine));
    }
    if (keyword == "CIRCLE") {
        if (!Geometry(fields, v, 3, layer))
            return true;
        const RecordPen given = OptionalPen(fields);
        const int owner = CreationLayer(layer);
        const LayerPen& pen = penByLayer_[owner];
        auto shape = NewShape<TTCircle>(ShapeType::Circle, owner);
        shape->CenterX = v[0], shape->CenterY = v[1], shape->Radius = v[2];
        shape->PenFg = pen.PenFg;
        shape->PenWidth = pen.PenWidth;
        shape->BrushFg = pen.BrushFg;
        shape->BrushStyle = pen.BrushStyle;
        ApplyGivenPen(*shape, given);
        return Stage(std::move(shape), sizeof(TTCircle));
    }
    if (keyword == "TEXT") {
        int fontIndex = 0;
        if (!(Geometry(fields, v, 2, layer) && fields.Integer(fontIndex)))
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
        shape->X = v[0];
        shape->Y = v[1];
        shape->DisplayText = DecodeFileText(text);
        shape->Text = shape->DisplayText;
        shape->FontIndex = fontIndex;
        shape->Align = textAlign_;
        shape->Justify = textJustify_;
        // A text takes only the colour, never the width.
        shape->PenFg = colour != 0 ? colour : penByLayer_[owner].PenFg;
        if (fontIndex >= 0 && fontIndex < static_cast<int>(fonts_.size()))
            shape->FontName = fonts_[static_cast<size_t>(fontIndex)].Name;
        // A word holding a carriage return is no name the writer could have written (it would
        // read as two words once the return is a blank): it names no font, as "0" does.
        if (!fontName.empty() && fontName != "0" && fontName.find('\r') == std::string_view::npos)
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
        if (!Geometry(fields, v, 2, layer))
            return true;
        RecordPen pen;
        double z = 0.0;
        fields.Colour(pen.Colour) && fields.Integer(pen.Width) && fields.Real(z);
        auto shape = NewShape<TTPoint>(ShapeType::Point, DirectLayer(layer));
        shape->X = v[0], shape->Y = v[1], shape->Z = z;
        shape->PointSize = 3;
        // Points take the record's pen in every case, black included.
        shape->PenFg = pen.Colour;
        shape->PenWidth = pen.Width;
        return Stage(std::move(shape), sizeof(TTPoint));
    }
    if (const int32_t type = PolylineType(keyword)) {
        int count = 0;
        if (!(fields.Integer(layer) && fields.Integer(count)))
            return true;
        auto shape = NewShape<TTPolyline>(type, DirectLayer(layer));
        shape->Closed = type == ShapeType::Polygon;
        ApplyGivenPen(*shape, OptionalPen(fields));
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
        if (!Geometry(fields, v, 4, layer))
            return true;
        RecordPen pen;
        uint32_t brush = 0;
        int brushStyle = 0;
        double z = 0.0;
        fields.Colour(pen.Colour) && fields.Integer(pen.Width) && fields.Colour(brush) &&
            fields.Integer(brushStyle) && fields.Real(z);
        auto shape = NewShape<TTRectangle>(ShapeType::Rectangle, DirectLayer(layer));
        shape->X1 = v[0], shape->Y1 = v[1], shape->X2 = v[2], shape->Y2 = v[3];
        shape->ExtraValue = z;
        shape->Rounded = false;
        shape->CornerRadius = 10.0;
        // Rectangles take the record's pen and brush in every case, black included.
        shape->PenFg = pen.Colour;
        shape->PenWidth = pen.Width;
        shape->BrushFg = brush;
        shape->BrushStyle = static_cast<uint8_t>(brushStyle);
        return Stage(std::move(shape), sizeof(TTRectangle));
    }
    if (keyword == "ELLIPSE") {
        if (!Geometry(fields, v, 4, layer))
            return true;
        auto shape = NewShape<TTEllipse>(ShapeType::Ellipse, DirectLayer(layer));
        shape->X1 = v[0], shape->Y1 = v[1], shape->X2 = v[2], shape->Y2 = v[3];
        ApplyGivenPen(*shape, OptionalPen(fields));
        return Stage(std::move(shape), sizeof(TTEllipse));
    }
    if (keyword == "ARC") {
        if (!Geometry(fields, v, 6, layer))
            return true;
        auto shape = NewShape<TTArc>(ShapeType::ThreePointArc, DirectLayer(layer));
        shape->X1 = v[0], shape->Y1 = v[1], shape->X2 = v[2], shape->Y2 = v[3];
        shape->X3 = v[4], shape->Y3 = v[5];
        ApplyGivenPen(*shape, OptionalPen(fields));
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
