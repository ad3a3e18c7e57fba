#pragma once

#include <cstdint>
#include <optional>

// The sounder watch of the echogram tick: a sounder that has sent nothing for more than
// 5000 ms is reported once per silent spell, measured from Start while no line has come yet.
class SensorSilenceWatch {
public:
    static constexpr uint64_t SilenceMs = 5000;

    // True when the silence is to be reported now. `startTick` empty: the watch is off (before
    // the first Start, after Stop); `lastLineTick` empty: no line since Start.
    static bool SilenceToReport(std::optional<uint64_t> startTick,
                                std::optional<uint64_t> lastLineTick, bool alreadyReported,
                                uint64_t now);
};
