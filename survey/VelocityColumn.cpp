#include "survey/VelocityColumn.h"

#include "platform/NumberText.h"

#include <cmath>
#include <string_view>

VelocityColumn VelocityColumn::FromLines(const std::vector<std::string>& lines, std::string* error)
{
    VelocityColumn column;
    std::vector<double> values;
    values.reserve(lines.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string_view text = lines[i];
        while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ')
            text.remove_prefix(1);
        while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ')
            text.remove_suffix(1);
        double v = 0;
        if (!ParseNumber(text, v) || !(v > 1300.0 && v < 1700.0)) {
            if (error)
                *error = "line " + std::to_string(i) + " of the velocity column (\"" +
                         std::string(text.substr(0, 40)) + "\") is not a velocity between 1300 and 1700";
            return column;
        }
        values.push_back(v);
    }
    if (values.empty()) {
        if (error)
            *error = "the velocity column is empty";
        return column;
    }
    column.velocities_ = std::move(values);
    return column;
}

VelocityColumn::Lookup VelocityColumn::velocityAt(double rawDepth) const
{
    Lookup result;
    if (velocities_.empty()) {
        result.clamped = true;
        return result;
    }
    const double last = static_cast<double>(velocities_.size() - 1);
    double index = std::trunc(rawDepth + 0.5);
    if (!(rawDepth + 0.5 >= 0.0)) { // nearest line above the surface; also NaN
        index = 0.0;
        result.clamped = true;
    } else if (index > last) {
        index = last;
        result.clamped = true;
    }
    result.line = static_cast<int>(index);
    result.velocity = velocities_[static_cast<size_t>(result.line)];
    return result;
}
