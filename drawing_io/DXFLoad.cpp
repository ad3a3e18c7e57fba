#include "drawing_io/DXFLoad.h"

#include "canvas/CanvasModel.h"
#include "canvas/TTLine.h"
#include "canvas/TTText.h"
#include "drawing_io/DxfDrawingReader.h"
#include "drawing_io/DxfText.h"
#include "platform/CodePageCodec.h"
#include "platform/Dialogs.h"
#include "platform/FileIO.h"

#include <QFile>
#include <QLoggingCategory>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <numbers>
#include <sys/stat.h>
#include <unistd.h>

namespace {

Q_LOGGING_CATEGORY(DxfLog, "tavrin.dxf")

// How the texts of a file are decoded: UTF-8 from AC1021 (2007) on, else the code page the
// header names, else the codec's rule (UTF-8 when valid, else the system code page).
class DxfTextDecoder {
public:
    explicit DxfTextDecoder(const DxfStaging& staging)
        : Utf8_(staging.AcadVersion >= "AC1021"),
          Codec_(staging.CodePage.empty() ? std::string_view(CodePageCodec::SystemCodePage)
                                          : std::string_view(staging.CodePage)) {}

    std::string ToUtf8(std::string_view raw) const {
        return Utf8_ ? std::string(raw) : Codec_.ToUtf8(raw);
    }

private:
    bool Utf8_;
    CodePageCodec Codec_;
};

bool IsBlank(const std::string& text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; });
}

std::unique_ptr<TTLine> MakeLine(double x1, double y1, double x2, double y2) {
    auto line = std::make_unique<TTLine>();
    line->Type = ShapeType::Line;
    line->X1 = x1;
    line->Y1 = y1;
    line->X2 = x2;
    line->Y2 = y2;
    line->PenFg = 0;
    line->PenWidth = 1;
    line->UpdateBounds();
    return line;
}

// Puts the staged drawing onto the canvas in one step; returns the shapes made.
int64_t Commit(CanvasModel& canvas, DxfStaging& staging, const QString& layerName) {
    const int existing = canvas.LayerFindByName(layerName);
    if (existing >= 0) {
        canvas.CadClearShapes(existing);
        std::erase_if(canvas.Blocks, [existing](const std::unique_ptr<TTBlock>& block) {
            return block->LayerId == existing;
        });
    }
    const int layerId = canvas.LayerOpen(layerName);
    canvas.DxfLayerId = layerId;
    TTLayer* layer = canvas.FindLayer(layerId);
    layer->Locked = 1;
    layer->Visible = true;
    if (staging.LayerColour)
        layer->PenFg = *staging.LayerColour;

    const DxfTextDecoder decoder(staging);
    for (const DxfStaging::Block& staged : staging.Blocks) {
        auto block = std::make_unique<TTBlock>();
        block->Name = QString::fromUtf8(decoder.ToUtf8(staged.Name));
        block->BaseX = staged.BaseX;
        block->BaseY = staged.BaseY;
        block->LayerId = layerId;
        block->Shapes.reserve(staged.Lines.size());
        for (const DxfStaging::BlockLine& line : staged.Lines)
            block->Shapes.push_back(MakeLine(line.X1, line.Y1, line.X2, line.Y2));
        canvas.Blocks.push_back(std::move(block));
    }

    int64_t made = 0;
    const auto append = [&](std::unique_ptr<TTShape> shape) {
        shape->Id = canvas.NextShapeId++;
        shape->LayerId = layerId;
        canvas.AppendShape(std::move(shape));
        ++made;
    };
    for (DxfStaging::Item& item : staging.Items) {
        if (!item.Shape) {
            const DxfStaging::Insert& insert = staging.Inserts[static_cast<size_t>(item.Extra)];
            const DxfStaging::Block* block = staging.FindBlock(insert.BlockName);
            if (!block)
                continue;
            const double angle = insert.Rotation * std::numbers::pi / 180.0;
            const double c = std::cos(angle);
            const double s = std::sin(angle);
            const int colour = AciToColor(insert.Colour);
            const auto place = [&](double x, double y, double& outX, double& outY) {
                const double dx = (x - block->BaseX) * insert.ScaleX;
                const double dy = (y - block->BaseY) * insert.ScaleY;
                outX = dx * c - dy * s + insert.X;
                outY = dx * s + dy * c + insert.Y;
            };
            for (const DxfStaging::BlockLine& line : block->Lines) {
                double x1, y1, x2, y2;
                place(line.X1, line.Y1, x1, y1);
                place(line.X2, line.Y2, x2, y2);
                auto copy = MakeLine(x1, y1, x2, y2);
                if (!copy->IsFinite())
                    continue;
                copy->PenFg = colour >= 0 ? static_cast<uint32_t>(colour) : 0;
                append(std::move(copy));
            }
            continue;
        }
        std::unique_ptr<TTShape> shape = std::move(item.Shape);
        if (shape->Class() == ShapeClass::Text) {
            std::string& raw = staging.Texts[static_cast<size_t>(item.Extra)];
            const std::string text = StripMTextCodes(decoder.ToUtf8(raw));
            std::string().swap(raw);
            if (IsBlank(text))
                continue;
            auto* textShape = static_cast<TTText*>(shape.get());
            textShape->DisplayText = QString::fromUtf8(text);
            textShape->Text = textShape->DisplayText;
            textShape->UpdateBounds();
        }
        if (item.Pen & DxfStaging::ColourOfLayer)
            shape->PenFg = layer->PenFg;
        shape->PenWidth = (item.Pen & DxfStaging::WidthOfLayer) ? layer->PenWidth : 1;
        append(std::move(shape));
    }
    canvas.WorldExtents();
    canvas.Refresh();
    return made;
}

bool Refuse(DxfLoadReport* report, const std::string& reason, bool show) {
    if (report) {
        *report = DxfLoadReport{};
        report->Reason = reason;
    }
    if (show)
        Dialogs::showError(QString::fromStdString(reason));
    return false;
}

bool LoadFrom(CanvasModel& canvas, DxfPairReader& reader, const QString& fileName,
              DxfLoadReport* report, const DxfLoadOptions& options) {
    const QString layerName = DxfLayerName(fileName);
    // The debug lines name the target layer as the commit will leave it.
    const int existing = canvas.LayerFindByName(layerName);
    const int targetId = existing >= 0 ? existing : canvas.NextLayerId;
    const CodePageCodec traceCodec;
    const auto trace = [&](std::string_view layer) {
        qCDebug(DxfLog).noquote().nospace()
            << "DXF LINE: layer='" << QString::fromUtf8(traceCodec.ToUtf8(layer))
            << "' lid=" << targetId << " visible=Y locked=Y";
    };

    DxfStaging staging;
    ImportBudget budget(fileName.mid(fileName.lastIndexOf(QLatin1Char('/')) + 1).toStdString(),
                        options.MaxImportBytes);
    DxfDrawingReader drawing(reader, staging, options.MaxShapes, budget, trace);
    const bool show = options.ShowMessages;
    switch (drawing.Read()) {
    case DxfDrawingReader::Failure::None:
        break;
    case DxfDrawingReader::Failure::Binary:
        return Refuse(report, "DXF load failed: binary DXF files are not supported", show);
    case DxfDrawingReader::Failure::LineTooLong:
        return Refuse(
            report, "DXF load failed: line " + std::to_string(reader.LineNumber()) + " is too long",
            show);
    case DxfDrawingReader::Failure::ReadError:
        return Refuse(report, "DXF load failed: the file could not be read", show);
    case DxfDrawingReader::Failure::NoEntities:
        return Refuse(report, "DXF load failed: ENTITIES section not found", show);
    case DxfDrawingReader::Failure::TooManyShapes:
        return Refuse(report,
                      "DXF load failed: the drawing makes more than " +
                          std::to_string(options.MaxShapes) + " shapes",
                      show);
    case DxfDrawingReader::Failure::OverBudget:
        return Refuse(report, "DXF load failed: " + budget.Refusal(), show);
    }
    const auto truncationNote = [](int64_t count) {
        return "DXF file is truncated: " + std::to_string(count) + " shapes read before its end";
    };
    // A cut-off file that gave nothing must not wipe what an earlier load put on the layer.
    if (staging.Truncated && staging.ShapeCount == 0) {
        const bool refused = Refuse(report, truncationNote(0), show);
        if (report)
            report->Truncated = true;
        return refused;
    }

    const int64_t made = Commit(canvas, staging, layerName);
    if (report) {
        *report = DxfLoadReport{};
        report->Loaded = made > 0;
        report->Committed = true;
        report->ShapesMade = made;
        report->Truncated = staging.Truncated;
        if (staging.Truncated)
            report->Reason = truncationNote(made);
        else if (made == 0)
            report->Reason = "the drawing holds no shape this program reads";
    }
    if (staging.Truncated && show)
        Dialogs::showWarning(QString::fromStdString(truncationNote(made)));
    return made > 0;
}

} // namespace

QString DxfLayerName(const QString& fileName) {
    const qsizetype slash = fileName.lastIndexOf(QLatin1Char('/'));
    return QStringLiteral("_dxf_") + fileName.mid(slash + 1);
}

int GetOrCreateDXFLayer(const CanvasModel& canvas, const std::string& layerName) {
    (void)layerName;
    return canvas.DxfLayerId;
}

bool DXFLoad(CanvasModel& canvas, const QString& fileName, DxfLoadReport* report,
             const DxfLoadOptions& options) {
    const QByteArray path = QFile::encodeName(fileName);
    std::string openError;
    const int fd = OpenRegularFileForReading(path.toStdString(), &openError);
    if (fd < 0)
        return Refuse(report, "DXF load failed: " + openError, false);
    DxfPairReader reader(fd);
    const bool loaded = LoadFrom(canvas, reader, fileName, report, options);
    ::close(fd);
    return loaded;
}

bool DXFLoadReplace(CanvasModel& canvas, const QString& fileName, DxfLoadReport* report,
                    const DxfLoadOptions& options) {
    return DXFLoad(canvas, fileName, report, options);
}

bool DXFLoadBytes(CanvasModel& canvas, std::string_view bytes, const QString& fileName,
                  DxfLoadReport* report, const DxfLoadOptions& options) {
    DxfPairReader reader(bytes);
    return LoadFrom(canvas, reader, fileName, report, options);
}
