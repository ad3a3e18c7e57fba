// Every sounder line is scanned on the user-interface thread with the operator's format: the
// program's restricted scanner, side by side with the C library's sscanf on the same lines.
// sscanf appears here only as the yardstick; the program never hands it a format.
#include "platform/ScanFormat.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

namespace {

struct Sample {
    const char* name;
    const char* format;
    const char* line;
};

const Sample Samples[] = {
    {"TavrinSMT", "%*8s,%lf,%lf", "$TVSMT01,12.34,12.50"},
    {"NmeaDPT", "%*6s,%lf", "$SDDPT,12.3,0.5*6A"},
    {"NmeaDBT", "%*6s,%*lf,%*1s,%lf", "$SDDBT,40.5,f,12.34,M,6.7,F*32"},
    {"TavrinXdrHI", "%*8s,%lf", "$XDRHI01,15.75"},
    {"OdcHI", "%*42s,%lf", "ODC-ECHOTRAC-HI-0000000000-000000000-00001,23.45"},
    {"TavrinXdrLO", "%*8s,%*lf,%*8s,%lf", "$XDRHL01,15.75,$XDRLO01,16.50"},
    {"TavrinXdrHL", "%*8s,%lf,%*8s,%lf", "$XDRHL01,15.75,$XDRLO01,16.50"},
};

void Restricted(benchmark::State& state, const Sample& sample) {
    // The handler passes the format's text for every line, as read from the settings window.
    const std::string format = sample.format;
    const std::string line = sample.line;
    double values[ScanFormat::MaxNumbers];
    for (auto _ : state) {
        benchmark::DoNotOptimize(ScanSounderLine(line, format, values));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()));
}

void LibrarySscanf(benchmark::State& state, const Sample& sample) {
    const std::string format = sample.format;
    const std::string line = sample.line;
    double values[4];
    for (auto _ : state) {
        benchmark::DoNotOptimize(std::sscanf(line.c_str(), format.c_str(), &values[0],
                                             &values[1], &values[2], &values[3]));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()));
}

int Register() {
    for (const Sample& sample : Samples) {
        benchmark::RegisterBenchmark((std::string("ScanSounderLine/") + sample.name).c_str(),
                                     Restricted, sample);
        benchmark::RegisterBenchmark((std::string("sscanf/") + sample.name).c_str(),
                                     LibrarySscanf, sample);
    }
    return 0;
}

const int registered = Register();

} // namespace

BENCHMARK_MAIN();
