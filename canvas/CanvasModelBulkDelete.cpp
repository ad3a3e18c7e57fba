#include "canvas/CanvasModel.h"

#include <unordered_set>

void CanvasModel::ShapesDelete(const std::vector<int32_t>& ids) {
    if (ids.empty())
        return;
    const std::unordered_set<int32_t> doomed(ids.begin(), ids.end());
    DeleteShapesWhere([&doomed](const TTShape& shape) { return doomed.count(shape.Id) > 0; });
    ShapeCount = static_cast<int32_t>(Shapes.size());
    NeedsRedraw = true;
}
