#pragma once

#include "canvas/CanvasModel.h"

#include <QString>

// How many shapes lie on the layer of that name; none when there is no such layer.
inline int ShapesOnLayer(const CanvasModel& canvas, const QString& layerName) {
    const int layer = canvas.LayerFindByName(layerName);
    if (layer < 0)
        return 0;
    int count = 0;
    for (const auto& shape : canvas.Shapes)
        count += shape->LayerId == layer ? 1 : 0;
    return count;
}
