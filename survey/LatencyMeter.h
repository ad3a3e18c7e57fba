#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// How long the map tick takes, measured on the clock's millisecond ticks (never on the time of
// day, which jumps at every minute and at midnight). The count and the average run for the
// whole program: Stop and Start and hiding the latency window reset nothing.
class LatencyMeter {
public:
    // The tick begins; only a measurement begun here is ended by Finish.
    void Start(uint64_t tick);
    // The tick ends: counts it, sets the current latency and updates the running average.
    // Returns false (and changes nothing) when no measurement was begun.
    bool Finish(uint64_t tick);

    int LatencyCount = 0;
    int LatencyCurrent = 0;
    double LatencyAverage = 0;

    // The tolerance the operator types: a whole number of milliseconds from 1 to 60000.
    static std::optional<int> ParseTolerance(std::string_view text);
    // A latency is within tolerance when it is below it; equal is too slow.
    static bool WithinTolerance(int latency, int tolerance) { return latency < tolerance; }

private:
    std::optional<uint64_t> started_;
};
