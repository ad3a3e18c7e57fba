#pragma once

#include "canvas/CanvasGeometry.h"
#include "canvas/ShapeStore.h"

#include <cstdint>
#include <vector>

// The selection list: the ids of the selected shapes in the order they were selected (an id
// may stand twice), kept beside each shape's own Selected flag, and the polygon selections
// that fill it.
class CanvasSelection {
public:
    // Sets the shape's flag and appends its id.
    void Add(TTShape& shape);
    // Clears the flag of every shape and empties the list.
    void Clear(const ShapeStore& shapes);
    // Takes the ids of deleted shapes out of the list.
    void Forget(const std::vector<int32_t>& ids);

    // Even-odd rule; a point on a left edge is inside, one on a right edge is not.
    static bool PointInPolygon(double x, double y, const std::vector<TPointF>& polygon);
    // Track selection: adds the shapes of the listed layers with an end, a vertex or (other
    // shapes) the middle of their bounds inside the polygon.
    void AddInPolygon(const ShapeStore& shapes, const std::vector<TPointF>& polygon,
                      const std::vector<int32_t>& layers);
    // Shape selection: adds the shapes of every layer but `skippedLayer` with a defining point
    // inside the polygon.
    void AddAllInPolygon(const ShapeStore& shapes, const std::vector<TPointF>& polygon,
                         int skippedLayer);

    std::vector<int32_t> SelectedIds;
};
