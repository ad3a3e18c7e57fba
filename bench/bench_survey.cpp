// The survey's two hot paths, each beside its reference in one run:
// - a GNSS line read, parsed by the port's parser, projected onto the grid and stored, beside
//   PROJ's proj_trans of the same pipeline on the same points;
// - a sounder line read, corrected and written to both survey logs, beside a bare
//   open/append/close of the same bytes.
#include "platform/ManualClock.h"
#include "positioning/gnss/NmeaFix.h"
#include "positioning/gnss/NmeaParser.h"
#include "survey/AcquisitionCore.h"
#include "survey/SurveyLogRows.h"
#include "tools/devsim/DeviceScript.h"
#include "tools/surveysim/ExampleDatum.h"

#include <benchmark/benchmark.h>
#include <proj.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {


const char* kProjPipeline =
    "+proj=pipeline +step +proj=cart +ellps=WGS84 +step +inv +proj=helmert "
    "+convention=coordinate_frame +exact +x=-84.1 +y=-101.8 +z=-129.7 +rx=-1.2 +ry=0.8 +rz=-2.1 "
    "+s=3.5 +step +inv +proj=cart +a=6378388 +rf=297 +step +proj=tmerc +lon_0=33 +k=0.9996 "
    "+x_0=500000 +a=6378388 +rf=297";

struct Fix {
    double latitude, longitude;
    std::string gga;
};

const std::vector<Fix>& Fixes() {
    static const std::vector<Fix> fixes = [] {
        std::vector<Fix> f;
        for (int i = 0; i < 1024; ++i) {
            const double latitude = 40.5 + (i % 97) * 0.0007;
            const double longitude = 32.4 + (i % 89) * 0.013;
            char ns, ew, body[200];
            const std::string lat = NmeaCoordinate(latitude, false, &ns);
            const std::string lon = NmeaCoordinate(longitude, true, &ew);
            std::snprintf(body, sizeof body, "GPGGA,101010.%02d,%s,%c,%s,%c,4,12,0.8,%.3f,M,36.2,M,,",
                          i % 100, lat.c_str(), ns, lon.c_str(), ew, 38.0 + i * 0.001);
            f.push_back({latitude, longitude, NmeaSentence(body)});
        }
        return f;
    }();
    return fixes;
}

int ScanWithSscanf(const std::string& format, const std::string& line, double* out, bool*) {
    const int n = std::sscanf(line.c_str(), format.c_str(), &out[0], &out[1], &out[2], &out[3]);
    return n < 0 ? 0 : n;
}

std::string TempFolder() {
    char folder[] = "/tmp/bench_survey_XXXXXX";
    return mkdtemp(folder) ? folder : "/tmp";
}

// A run on the example datum with its logs in a temporary folder, on a clock that stands
// still (every position stays current).
struct BenchRun {
    ManualClock clock{{2024, 5, 3, 10, 0, 0, 0}, 1000};
    std::string folder = TempFolder();
    AcquisitionCore core{{}, {}, ScanWithSscanf};
    BenchRun() {
        Clock::install(&clock);
        core.BeginRun({0.4, 1530, 1.5, 0.35}, *GeodeticSnapshot::Take(ExampleLocalDatum()),
                      folder + "/c.csv", folder + "/x.csv");
    }
    ~BenchRun() {
        core.EndRun();
        Clock::install(nullptr);
        std::filesystem::remove_all(folder);
    }
};

void BM_GnssLineReadParsedProjectedStored(benchmark::State& state) {
    BenchRun run;
    AcquisitionCore& core = run.core;
    NmeaFix fix;
    NmeaParser parser(fix);
    const auto& fixes = Fixes();
    size_t i = 0;
    for (auto _ : state) {
        const std::string& line = fixes[i++ % fixes.size()].gga;
        core.GnssLine(line, nullptr);
        parser.DispatchSentence(line);
        core.GgaApplied(fix.Latitude, fix.Longitude, fix.Altitude, fix.FixQuality, false,
                        fix.Course);
        benchmark::DoNotOptimize(core.Position.Easting);
    }
}
BENCHMARK(BM_GnssLineReadParsedProjectedStored)->Repetitions(5)->DisplayAggregatesOnly(true);

void BM_ProjTransSamePipeline(benchmark::State& state) {
    PJ_CONTEXT* context = proj_context_create();
    PJ* pipeline = proj_create(context, kProjPipeline);
    const auto& fixes = Fixes();
    size_t i = 0;
    for (auto _ : state) {
        const Fix& f = fixes[i++ % fixes.size()];
        const PJ_COORD in = proj_coord(proj_torad(f.longitude), proj_torad(f.latitude), 0, 0);
        const PJ_COORD out = proj_trans(pipeline, PJ_FWD, in);
        benchmark::DoNotOptimize(out);
    }
    proj_destroy(pipeline);
    proj_context_destroy(context);
}
BENCHMARK(BM_ProjTransSamePipeline)->Repetitions(5)->DisplayAggregatesOnly(true);

void BM_SounderLineBothRowsWritten(benchmark::State& state) {
    BenchRun run;
    AcquisitionCore& core = run.core;
    core.GgaApplied(40.5, 33.1, 38, 4, false, 0);
    const SounderLineInput dbt{"NMEA DBT", "%*6s,%*lf,%*1s,%lf", nullptr};
    const std::string line = NmeaSentence("SDDBT,40.49,f,12.345,M,6.75,F");
    for (auto _ : state) {
        const auto outcome = core.SounderLine(line, dbt);
        benchmark::DoNotOptimize(outcome.Logged);
    }
}
BENCHMARK(BM_SounderLineBothRowsWritten)->Repetitions(5)->DisplayAggregatesOnly(true);

void BM_BareOpenAppendCloseSameBytes(benchmark::State& state) {
    const std::string folder = TempFolder();
    SurveyLogRow row;
    row.Time = {2024, 5, 3, 10, 0, 0, 0};
    row.Latitude = 40.5;
    row.Longitude = 33.1;
    row.Easting = 508473.39;
    row.Northing = 4483259.53;
    row.TrueDepthHigh = 12.99;
    row.RawDepthHigh = 12.345;
    row.MessageFormat = "NMEA DBT";
    const std::string survey = SurveyLogLine(row);
    const std::string xyz = SimpleXyzLine(row);
    const std::string surveyPath = folder + "/c.csv";
    const std::string xyzPath = folder + "/x.csv";
    for (auto _ : state) {
        for (const auto& [path, bytes] : {std::pair{&surveyPath, &survey}, std::pair{&xyzPath, &xyz}}) {
            const int fd = ::open(path->c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
            benchmark::DoNotOptimize(::write(fd, bytes->data(), bytes->size()));
            ::close(fd);
        }
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_BareOpenAppendCloseSameBytes)->Repetitions(5)->DisplayAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
