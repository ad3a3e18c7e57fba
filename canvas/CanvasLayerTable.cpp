#include "canvas/CanvasLayerTable.h"

const QString CanvasLayerTable::DefaultName = QStringLiteral("Default");

CanvasLayerTable::CanvasLayerTable() {
    Open(DefaultName);
}

int CanvasLayerTable::Open(const QString& name) {
    const int found = FindByName(name);
    if (found >= 0) {
        CurrentLayer = found;
        return found;
    }
    auto layer = std::make_unique<TTLayer>();
    layer->Id = NextLayerId++;
    layer->Name = name;
    const int id = layer->Id;
    Layers.push_back(std::move(layer));
    CurrentLayer = id;
    return id;
}

int CanvasLayerTable::FindByName(const QString& name) const {
    for (const auto& layer : Layers)
        if (layer->Name == name)
            return layer->Id;
    return -1;
}

TTLayer* CanvasLayerTable::Find(int id) const {
    for (const auto& layer : Layers)
        if (layer->Id == id)
            return layer.get();
    return nullptr;
}

std::vector<int32_t> CanvasLayerTable::IdsNamed(const QString& name) const {
    std::vector<int32_t> ids;
    for (const auto& layer : Layers)
        if (layer->Name == name)
            ids.push_back(layer->Id);
    return ids;
}

void CanvasLayerTable::Reset() {
    Layers.clear();
    NextLayerId = 0;
    Open(DefaultName);
}
