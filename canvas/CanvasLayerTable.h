#pragma once

#include "canvas/TTLayer.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

// The canvas's layer table: the layers in the order they were opened, found by id or by name,
// and the layer that receives shapes drawn with the mouse. A fresh table holds "Default"
// (id 0), current.
class CanvasLayerTable {
public:
    static const QString DefaultName;

    CanvasLayerTable();
    CanvasLayerTable(const CanvasLayerTable&) = delete;
    CanvasLayerTable& operator=(const CanvasLayerTable&) = delete;

    // Id of the layer with that name, created when missing; it becomes the current layer.
    int Open(const QString& name);
    // Id of the first layer with exactly that name (case-sensitive, no trimming), -1 when none.
    int FindByName(const QString& name) const;
    TTLayer* Find(int id) const;
    // Ids of every layer with exactly that name (names need not be unique).
    std::vector<int32_t> IdsNamed(const QString& name) const;
    // The fresh table again: "Default" alone, ids from 0.
    void Reset();

    std::vector<std::unique_ptr<TTLayer>> Layers;
    int CurrentLayer = 0;
    int NextLayerId = 0;
    // Layer the drawing-exchange reader is filling.
    int DxfLayerId = 0;
};
