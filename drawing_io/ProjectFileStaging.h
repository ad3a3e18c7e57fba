#pragma once

#include "canvas/TTShape.h"

#include <QHashFunctions>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class CanvasModel;
class ImportBudget;

// The records of a project file applied to a copy of what the canvas would become, so that a
// file found damaged halfway changes nothing: layers are looked up by name in a hash table (a
// file of a hundred thousand layers does not go quadratic), shapes are built aside, and
// Commit hands both to the canvas at the end.
//
// Lines, texts and circles follow the canvas's own creation operations: they take their
// layer's pen (circles also its brush), and a layer id that names no layer puts them on
// "Default". The file's k-th "LAYER" record is the layer id k of its shape records; it is
// mapped to the id the layer gets on the canvas, so an adding load puts every shape on its
// own layer whatever the canvas already holds.
class ProjectFileStaging {
public:
    // `replace`: the drawing starts again from the layer "Default" alone.
    // Every shape and vertex is charged to `budget` before it is staged.
    ProjectFileStaging(const CanvasModel& canvas, bool replace, ImportBudget& budget);

    // Takes one line of the text (without its line feed). False when the file must be
    // refused; Error() says why.
    bool TakeLine(std::string_view line);
    // Called after the last line: false when a polyline still waits for vertices.
    bool Finish();
    // Hands the staged drawing to the canvas.
    void Commit(CanvasModel& canvas);

    // Records applied: layers, world windows and shapes (a keyword line whose fields do not
    // read is no record).
    size_t RecordCount() const { return records_; }
    size_t ShapeCount() const { return shapes_.size(); }
    const std::string& Error() const { return error_; }

private:
    struct LayerPen {
        uint32_t PenFg = 0;
        int PenWidth = 1;
        uint32_t BrushFg = 0xFFFFFF;
        uint8_t BrushStyle = 1;
    };

    bool TakeRecord(std::string_view line);
    bool TakeVertex(std::string_view line);
    bool Stage(std::unique_ptr<TTShape> shape, uint64_t bytes);
    int OpenLayer(const QString& name);
    // The canvas id for a layer id of a shape record, or nullopt when it names no layer the
    // file has opened (an adding load) .
    std::optional<int> MapLayer(int64_t stored) const;
    // The layer a creation operation would draw on: the stored one when it exists, else
    // "Default".
    int CreationLayer(int64_t stored);
    // The layer of a shape built directly: the stored id mapped, or "Default" in an adding
    // load when the id names no layer of the file.
    int DirectLayer(int64_t stored);

    bool replace_;
    ImportBudget& budget_;

    std::unordered_map<QString, int> layerByName_;
    std::unordered_map<int, LayerPen> penByLayer_;
    std::vector<QString> newLayers_;
    int nextLayerId_ = 0;
    std::vector<int> fileLayers_;
    std::optional<int> currentLayer_;

    // Fonts and text defaults of the canvas, for texts.
    struct FontEntry {
        QString Name;
        int Size = 10;
        bool Bold = false;
        bool Italic = false;
    };
    std::vector<FontEntry> fonts_;
    int textAlign_ = 0;
    int textJustify_ = 0;

    double world_[4];
    bool worldChanged_ = false;

    std::vector<std::unique_ptr<TTShape>> shapes_;
    size_t records_ = 0;
    size_t lineNumber_ = 0;

    // A polyline still taking its vertex lines.
    class TTPolyline* pending_ = nullptr;
    int64_t verticesLeft_ = 0;
    size_t pendingLine_ = 0;

    std::string error_;
};
