#include "survey/DepthCorrection.h"

#include "survey/FieldNumber.h"

#include <cmath>

double CorrectDepth(double rawDepth, double velocity, double draft) {
    return rawDepth * velocity / 1500.0 + draft;
}

bool CorrectedDepthsUsable(const CorrectedDepths& depths, double tide) {
    for (const double depth : {depths.TrueHigh, depths.TrueLow}) {
        if (!std::isfinite(depth) || !std::isfinite(tide - depth) ||
            std::fabs(depth) > kDeepestSeaMetres)
            return false;
    }
    return std::isfinite(depths.VelocityHigh) && std::isfinite(depths.VelocityLow);
}

size_t ProfileLineIndex(double rawDepth, size_t lineCount) {
    if (lineCount == 0)
        return 0;
    const double rounded = std::trunc(rawDepth + 0.5);
    if (!(rounded > 0))
        return 0;
    if (rounded >= double(lineCount - 1))
        return lineCount - 1;
    return size_t(rounded);
}

double DepthCorrector::profileVelocity(double rawDepth, double singleVelocity,
                                       const std::vector<std::string>& column) {
    double velocity = 0;
    if (!column.empty()) {
        const std::string& text = column[ProfileLineIndex(rawDepth, column.size())];
        if (ReadFieldNumber(text, velocity) && velocity > 0) {
            lastGoodProfileVelocity_ = velocity;
            return velocity;
        }
    }
    profileFault_ = true;
    return lastGoodProfileVelocity_.value_or(singleVelocity);
}

CorrectedDepths DepthCorrector::correct(SounderType type, const SounderReading& reading,
                                        double singleVelocity, double draft,
                                        const std::vector<std::string>* profileColumn) {
    CorrectedDepths depths;
    if (!reading.Valid)
        return depths;
    const bool high = SounderCarriesHigh(type);
    const bool low = SounderCarriesLow(type);
    if (profileColumn) {
        profileFault_ = false;
        if (low)
            depths.VelocityLow = profileVelocity(reading.RawLow, singleVelocity, *profileColumn);
        if (high)
            depths.VelocityHigh = profileVelocity(reading.RawHigh, singleVelocity, *profileColumn);
    } else {
        depths.VelocityLow = low ? singleVelocity : 0;
        depths.VelocityHigh = high ? singleVelocity : 0;
    }
    if (high)
        depths.TrueHigh = CorrectDepth(reading.RawHigh, depths.VelocityHigh, draft);
    if (low)
        depths.TrueLow = CorrectDepth(reading.RawLow, depths.VelocityLow, draft);
    return depths;
}
