#pragma once

#include "canvas/CanvasModel.h"
#include "canvas/TTPolyline.h"
#include "platform/ScriptedDialogs.h"

#include <QFile>
#include <QString>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

// Small DXF files written in the tests themselves, and what a test compares of the map.

// Pairs as DXF lines with bare LF ends: {{0, "LINE"}, {10, "1"}} -> "0\nLINE\n10\n1\n".
inline std::string DxfPairs(std::initializer_list<std::pair<int, std::string>> pairs) {
    std::string out;
    for (const auto& [code, value] : pairs)
        out += std::to_string(code) + "\n" + value + "\n";
    return out;
}

inline std::string DxfSection(const std::string& name, const std::string& body) {
    return "0\nSECTION\n2\n" + name + "\n" + body + "0\nENDSEC\n";
}

inline std::string DxfFile(const std::string& entities, const std::string& before = {}) {
    return before + DxfSection("ENTITIES", entities) + "0\nEOF\n";
}

inline std::string ReadFixture(const QString& name) {
    QFile file(QStringLiteral(TEST_DATA_DIR "/dxf/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll().toStdString();
}

// The texts of the messages the scripted dialogs showed.
inline std::vector<QString> ShownMessages(const ScriptedDialogs& dialogs) {
    std::vector<QString> texts;
    for (const auto& shown : dialogs.messages)
        texts.push_back(shown.text);
    return texts;
}

inline std::vector<const TTShape*> ShapesOnLayer(const CanvasModel& canvas, int layer) {
    std::vector<const TTShape*> shapes;
    for (const auto& shape : canvas.Shapes)
        if (shape->LayerId == layer)
            shapes.push_back(shape.get());
    return shapes;
}

inline const TTPolyline& AsPolyline(const TTShape* shape) {
    return *static_cast<const TTPolyline*>(shape);
}

// Everything a failed load must leave as it was.
struct CanvasSnapshot {
    explicit CanvasSnapshot(const CanvasModel& canvas) {
        for (const auto& layer : canvas.Layers)
            Layers.push_back(std::to_string(layer->Id) + "|" + layer->Name.toStdString() + "|" +
                             std::to_string(layer->PenFg) + "|" + std::to_string(layer->Visible) +
                             "|" + std::to_string(layer->Locked));
        for (const auto& shape : canvas.Shapes)
            Shapes.push_back({shape->Id, shape->LayerId, shape->Type});
        for (const auto& block : canvas.Blocks)
            Blocks.push_back(block->Name.toStdString() + "|" +
                             std::to_string(block->Shapes.size()));
        View = {canvas.PlanWorldLeft, canvas.PlanWorldRight, canvas.PlanWorldTop,
                canvas.PlanWorldBottom};
        State = {canvas.DxfLayerId, canvas.CurrentLayer, canvas.NextLayerId, canvas.NextShapeId};
    }
    bool operator==(const CanvasSnapshot&) const = default;

    std::vector<std::string> Layers;
    std::vector<std::vector<int32_t>> Shapes;
    std::vector<std::string> Blocks;
    std::vector<double> View;
    std::vector<int> State;
};
