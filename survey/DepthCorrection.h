#pragma once

#include "survey/SounderLineReader.h"

#include <optional>
#include <string>
#include <vector>

// raw x velocity / 1500 + draft: the sounder measures with 1500 m/s, the water has its own.
double CorrectDepth(double rawDepth, double velocity, double draft);

// The line of a sound velocity column (one velocity per whole metre, line i for i metres) for a
// raw depth: rounded half up to whole metres and clamped to the column, so a depth beyond the
// column reads its deepest line and no depth converts out of the int range.
size_t ProfileLineIndex(double rawDepth, size_t lineCount);

struct CorrectedDepths {
    double TrueHigh = 0;
    double TrueLow = 0;
    double VelocityHigh = 0; // the velocity applied to the high-frequency depth
    double VelocityLow = 0;
};

// No sea is deeper: a depth beyond this, either way, is a fault of the line or of its correction.
inline constexpr double kDeepestSeaMetres = 12000.0;

// The corrected depths can be logged and drawn: they, their velocities and their elevations
// (`tide` minus the depth) are finite, and no depth is deeper than any sea nor as far above the
// transducer. A raw depth of 1e308 is finite, but times the velocity it is not.
bool CorrectedDepthsUsable(const CorrectedDepths& depths, double tide);

// Corrects the depths of a valid line for the draft and the sound velocity: the single velocity,
// or the velocity column while a profile is in use. A depth the type does not carry stays 0.
// A profile line that is not a number, or an empty column, does not stop the survey: the last
// good profile velocity is used (the single velocity before any), and `profileFault()` says so
// until a lookup succeeds again.
class DepthCorrector {
public:
    CorrectedDepths correct(SounderType type, const SounderReading& reading,
                            double singleVelocity, double draft,
                            const std::vector<std::string>* profileColumn);

    bool profileFault() const { return profileFault_; }
    void reset() {
        lastGoodProfileVelocity_.reset();
        profileFault_ = false;
    }

private:
    double profileVelocity(double rawDepth, double singleVelocity,
                           const std::vector<std::string>& column);

    std::optional<double> lastGoodProfileVelocity_;
    bool profileFault_ = false;
};
