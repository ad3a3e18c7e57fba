#include "survey/LatencyMeter.h"

#include "platform/NumberText.h"

#include <algorithm>
#include <limits>

void LatencyMeter::Start(uint64_t tick) {
    started_ = tick;
}

bool LatencyMeter::Finish(uint64_t tick) {
    if (!started_)
        return false;
    const uint64_t elapsed = tick >= *started_ ? tick - *started_ : 0;
    started_.reset();
    LatencyCurrent = int(std::min<uint64_t>(elapsed, std::numeric_limits<int>::max()));
    if (LatencyCount < std::numeric_limits<int>::max())
        ++LatencyCount;
    LatencyAverage = ((LatencyCount - 1) * LatencyAverage + LatencyCurrent) / double(LatencyCount);
    return true;
}

std::optional<int> LatencyMeter::ParseTolerance(std::string_view text) {
    int value = 0;
    if (!ParseInteger(text, value) || value < 1 || value > 60000)
        return std::nullopt;
    return value;
}
