#pragma once

#include <string>
#include <vector>

// The velocity column as the sounder reads it: line k holds the mean sound velocity from the
// surface to k m. Valid only when every line is a finite number strictly between 1300 and 1700,
// so a half-typed or corrupt column is never used to correct a sounding.
class VelocityColumn {
public:
    struct Lookup {
        double velocity = 0;
        int line = 0;
        bool clamped = false; // the raw depth lay above line 0 or below the last line
    };

    VelocityColumn() = default;
    // Parses the lines; an invalid column keeps no velocities and `error` says why.
    static VelocityColumn FromLines(const std::vector<std::string>& lines, std::string* error = nullptr);

    bool valid() const { return !velocities_.empty(); }
    int lineCount() const { return static_cast<int>(velocities_.size()); }
    int maxDepth() const { return lineCount() - 1; }

    // The line trunc(raw + 0.5) (12.5 reads 13, 12.49 reads 12), clamped to the column.
    Lookup velocityAt(double rawDepth) const;

private:
    std::vector<double> velocities_;
};
