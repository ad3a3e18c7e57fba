#pragma once

#include <QString>

#include <cstdint>
#include <string>
#include <string_view>

class CanvasModel;

// Reading ASCII DXF drawings onto the map.
//
// A drawing goes onto a layer of its own, "_dxf_" followed by the file name, whatever layers
// the file names; the layer becomes current, visible and locked, and the view fits the
// drawing. The whole file is read before the map changes: a file that cannot be read, is
// binary, has no ENTITIES section, holds an over-long line or too many shapes leaves layers,
// shapes, blocks and view exactly as they were (and shows why for the last four).

struct DxfLoadReport {
    // At least one shape was added.
    bool Loaded = false;
    // The map changed: the target layer was emptied and refilled.
    bool Committed = false;
    // Why nothing was loaded; empty when the load went through.
    std::string Reason;
    int64_t ShapesMade = 0;
    // The file ended inside its ENTITIES section; what was read before is on the map.
    bool Truncated = false;
};

struct DxfLoadOptions {
    // Shapes one load may make, the copies of inserted blocks included.
    int64_t MaxShapes = 10'000'000;
    // The import budget's limit (drawing_io/ImportBudget.h); 0 takes the machine's share.
    uint64_t MaxImportBytes = 0;
    // Show failures and the truncation note through the dialog facade.
    bool ShowMessages = true;
};

// True when at least one shape was added to the map.
bool DXFLoad(CanvasModel& canvas, const QString& fileName, DxfLoadReport* report = nullptr,
             const DxfLoadOptions& options = {});
// The import command's name for the same load.
bool DXFLoadReplace(CanvasModel& canvas, const QString& fileName, DxfLoadReport* report = nullptr,
                    const DxfLoadOptions& options = {});
// The same load from bytes in memory; `fileName` names the target layer.
bool DXFLoadBytes(CanvasModel& canvas, std::string_view bytes, const QString& fileName,
                  DxfLoadReport* report = nullptr, const DxfLoadOptions& options = {});

// The layer every entity goes to: the canvas's DxfLayerId, whatever the entity's layer name.
int GetOrCreateDXFLayer(const CanvasModel& canvas, const std::string& layerName);

// "_dxf_" followed by the file name without its folder.
QString DxfLayerName(const QString& fileName);
