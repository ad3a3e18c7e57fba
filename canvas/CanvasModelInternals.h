#pragma once

#include "canvas/TTPolyline.h"
#include "canvas/TTShape.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <vector>

// Small checks the sources of the canvas model share.
namespace canvas_model {

inline bool AllFinite(std::initializer_list<double> values) {
    return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

inline TTPolyline* AsPolyline(TTShape* shape) {
    return shape && shape->Class() == ShapeClass::Polyline ? static_cast<TTPolyline*>(shape)
                                                           : nullptr;
}

inline bool ListHas(const std::vector<int32_t>& list, int32_t value) {
    return std::find(list.begin(), list.end(), value) != list.end();
}

} // namespace canvas_model
