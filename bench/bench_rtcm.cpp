// The correction stream is scanned on the user-interface thread for every received block, and
// the report walks the whole capture: both must stay cheap even on hostile data.
#include "positioning/rtcm/RtcmCaptureWalk.h"
#include "positioning/rtcm/RtcmStreamScanner.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>

namespace {

// Random bytes: the usual look of observation messages.
std::string RandomBlock(size_t size) {
    std::mt19937 random(42);
    std::string block(size, '\0');
    for (char& c : block)
        c = static_cast<char>(random() & 0xFF);
    return block;
}

// Nothing but preambles announcing long station messages: every position is a candidate whose
// parity has to be checked.
std::string HostileBlock(size_t size) {
    const std::string header = "\xD3\x03\xFF\x3E\xD0";
    std::string block;
    while (block.size() < size)
        block += header;
    block.resize(size);
    return block;
}

void ScanBlock(benchmark::State& state, const std::string& block) {
    RtcmLastBaseStation last;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ScanRtcmBlockForBaseStations(
            reinterpret_cast<const uint8_t*>(block.data()), block.size(), last, nullptr));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(block.size()));
}

void WalkCapture(benchmark::State& state, const std::string& capture) {
    for (auto _ : state)
        benchmark::DoNotOptimize(WalkRtcmCapture(capture).totalFrames);
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(capture.size()));
}

void BM_ScanRandomBlock(benchmark::State& state) {
    ScanBlock(state, RandomBlock(4095));
}
void BM_ScanHostileBlock(benchmark::State& state) {
    ScanBlock(state, HostileBlock(4095));
}
void BM_WalkRandomCapture(benchmark::State& state) {
    WalkCapture(state, RandomBlock(8192));
}
void BM_WalkHostileCapture(benchmark::State& state) {
    WalkCapture(state, HostileBlock(8192));
}

} // namespace

BENCHMARK(BM_ScanRandomBlock);
BENCHMARK(BM_ScanHostileBlock);
BENCHMARK(BM_WalkRandomCapture);
BENCHMARK(BM_WalkHostileCapture);
BENCHMARK_MAIN();
