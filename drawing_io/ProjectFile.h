#pragma once

#include "drawing_io/DrawingLineLimit.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <string>

class CanvasModel;

// The map's own drawing file (".wjt"): the four bytes "WJT1" followed by one zlib stream of a
// text body, one record per line: the world window, the layer names in id order and every
// shape in paint order. A file without the four bytes is read as the plain text body.

// What a save or a load came to. `Reason` says in a sentence why it failed (UTF-8), ready to
// be shown to the operator.
struct ProjectFileResult {
    bool Ok = false;
    std::string Reason;
    // Shapes the save left out because a coordinate or size was not finite.
    size_t SkippedShapes = 0;
    explicit operator bool() const { return Ok; }
};

// Bounds on what one load may take in; a file past any of them is refused whole.
struct ProjectLoadLimits {
    // Text after inflating (about twelve times a drawing of a million shapes).
    uint64_t MaxTextBytes = uint64_t(1) << 30;
    // One line of the text.
    size_t MaxLineBytes = DrawingFileMaxLineBytes;
    // Memory the loaded shapes may take before they join the canvas, estimated from what has
    // been read (the import budget, drawing_io/ImportBudget.h); 0 means its machine share.
    uint64_t MaxShapeBytes = 0;
};

// Writes the whole drawing to `fileName`, replacing the file only once the new one is complete
// and on disk: on any failure the old file stays as it was and no temporary file is left. The
// canvas is not changed. `unused` is kept for the callers' sake.
ProjectFileResult CadSave(const CanvasModel& canvas, const QString& fileName, int unused = -1);

// Reads a project file into the canvas. Mode 0 replaces the drawing; any other mode adds the
// file's layers (found by name, else created) and shapes to it. The file is read and checked
// completely before the canvas changes: a missing, unreadable, truncated, damaged or oversized
// file, or one without a single record, leaves the canvas exactly as it was.
ProjectFileResult CadLoad(CanvasModel& canvas, const QString& fileName, int unused1 = -1,
                          int unused2 = -1, int mode = 0, const ProjectLoadLimits& limits = {});
