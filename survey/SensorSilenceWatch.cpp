#include "survey/SensorSilenceWatch.h"

bool SensorSilenceWatch::SilenceToReport(std::optional<uint64_t> startTick,
                                         std::optional<uint64_t> lastLineTick, bool alreadyReported,
                                         uint64_t now) {
    if (alreadyReported || !startTick)
        return false;
    const uint64_t reference = lastLineTick ? *lastLineTick : *startTick;
    return now > reference && now - reference > SilenceMs;
}
