// A day of surveying on the map: 864,000 fixes (10 Hz for 24 h along 1 km lines at 5 kn)
// through the track recorder, beside the same number of plain line adds; and one map tick with
// its paint of the 1920 x 1080 main window with that day's track on the map, beside a paint of
// the same map without the tick. The tick has 200 ms; the goals for tick and paint are a
// median below 1 ms and the worst below a frame (16 ms).
#include "DaySurvey.h"
#include "MapPaintCounter.h"
#include "ProgramBenchmarkMain.h"

#include "app/main_window/TFNav.h"
#include "app/program/ProgramStart.h"
#include "app/settings_windows/TNavset.h"
#include "app/survey_windows/AcquisitionSession.h"
#include "canvas/CanvasModel.h"
#include "canvas/TTavrinCanvas.h"
#include "platform/Clock.h"
#include "platform/ProcessMemory.h"
#include "settings/NavigationSettings.h"
#include "survey/TrackRecorder.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using DaySurvey::FixesPerDay;
using DaySurvey::GridFix;
constexpr double East0 = 500000;
constexpr double North0 = 4500000;

GridFix DayFix(int i) {
    return DaySurvey::Fix(i, East0, North0);
}

void OpenTrackLayers(CanvasModel& canvas) {
    for (const char* name : {"track_fix", "track_float", "track_nofix"})
        canvas.LayerOpen(QString::fromLatin1(name));
}

// Resident set size in megabytes, now.
double ResidentMegabytes() {
    return double(ProcessStatusKb("VmRSS")) / 1024.0;
}

// ---- A day of fixes through the track recorder ---------------------------------------------

// Arg: the track distance in metres (0: every fix is a track point, the cap thins the track).
void BM_DayOfFixesThroughTheTrackRecorder(benchmark::State& state) {
    TrackSettings settings;
    settings.distance = double(state.range(0));
    settings.asLines = true;
    size_t shapes = 0, recorded = 0;
    double seconds = 0, rss = 0;
    for (auto _ : state) {
        state.PauseTiming();
        {
            CanvasModel canvas;
            OpenTrackLayers(canvas);
            TrackRecorder recorder;
            state.ResumeTiming();
            const auto begin = std::chrono::steady_clock::now();
            for (int i = 0; i < FixesPerDay; ++i) {
                const GridFix fix = DayFix(i);
                recorder.Offer(canvas, fix.east, fix.north, fix.quality, settings);
            }
            seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
            state.PauseTiming();
            shapes = canvas.Shapes.size();
            recorded = recorder.ShapeCount();
            rss = ResidentMegabytes();
        }
        state.ResumeTiming();
    }
    state.counters["fixes"] = FixesPerDay;
    state.counters["ns_per_fix"] = seconds * 1e9 / (double(FixesPerDay) * state.iterations());
    state.counters["shapes"] = double(shapes);
    state.counters["recorder_shapes"] = double(recorded);
    state.counters["rss_MB"] = rss;
}
BENCHMARK(BM_DayOfFixesThroughTheTrackRecorder)
    ->ArgName("track_distance_m")
    ->Arg(20)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// Peer: the same number of segments added to the model directly, no recorder, no cap.
void BM_DayOfPlainLineAdds(benchmark::State& state) {
    size_t shapes = 0;
    double seconds = 0, rss = 0;
    for (auto _ : state) {
        state.PauseTiming();
        {
            CanvasModel canvas;
            OpenTrackLayers(canvas);
            const int layer = canvas.LayerFindByName(QStringLiteral("track_fix"));
            state.ResumeTiming();
            const auto begin = std::chrono::steady_clock::now();
            GridFix previous = DayFix(0);
            for (int i = 1; i < FixesPerDay; ++i) {
                const GridFix fix = DayFix(i);
                canvas.DrawLine(fix.east, fix.north, previous.east, previous.north, layer);
                previous = fix;
            }
            seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
            state.PauseTiming();
            shapes = canvas.Shapes.size();
            rss = ResidentMegabytes();
        }
        state.ResumeTiming();
    }
    state.counters["ns_per_fix"] = seconds * 1e9 / (double(FixesPerDay) * state.iterations());
    state.counters["shapes"] = double(shapes);
    state.counters["rss_MB"] = rss;
}
BENCHMARK(BM_DayOfPlainLineAdds)->Unit(benchmark::kMillisecond)->Iterations(3);

// ---- One tick and its paint of the main window -------------------------------------------

constexpr int TicksMeasured = 300;

MapPaintCounter MapPaints;

// The program's windows with the main window at 1920 x 1080 and a day's track recorded at
// `distance` with the pen the tick draws with, for one benchmark; closed again after it.
class ProgramWithADaysTrack {
public:
    explicit ProgramWithADaysTrack(int distance) {
        CreateApplicationWindows();
        FNav->fcad->installEventFilter(&MapPaints);
        FNav->resize(1920, 1080);
        FNav->show();
        QApplication::processEvents();
        TrackSettings settings = TrackSettingsOf(Navset->Settings());
        settings.distance = distance;
        DaySurvey::LayTrack(*FNav->fcad, settings, East0, North0);
    }
    ~ProgramWithADaysTrack() { DestroyApplicationWindows(); }
    ProgramWithADaysTrack(const ProgramWithADaysTrack&) = delete;
    ProgramWithADaysTrack& operator=(const ProgramWithADaysTrack&) = delete;
};

void GiveFix(const GridFix& fix) {
    PositionRecord& record = FNav->Acquisition->Core().Position;
    record.HasGga = true;
    record.Latitude = 40.6;
    record.Longitude = 33.1;
    record.Projected = true;
    record.Easting = fix.east;
    record.Northing = fix.north;
    record.FixQuality = fix.quality;
    record.GgaTick = Clock::tickCount();
}

// Sets the view: 2 km across around the vessel (args[1] == 0) or the whole day (1).
void SetView(int mode, const GridFix& at) {
    TTavrinCanvas& canvas = *FNav->fcad;
    if (mode == 0) {
        const double halfWidth = 1000;
        const double halfHeight = halfWidth * canvas.height() / std::max(1, canvas.width());
        canvas.WorldSet(at.east - halfWidth, at.north + halfHeight, at.east + halfWidth,
                        at.north - halfHeight);
    } else {
        canvas.WorldExtents();
    }
    FollowVessel = mode == 0;
}

// The tick only invalidates; the event loop then paints what changed (the map, the status bar)
// and nothing else: the map composes its frame in one pass and Qt shows it in the next.
void PaintAsTheEventLoopDoes() {
    const int before = MapPaints.paints;
    for (int pass = 0; pass < 3 && MapPaints.paints == before; ++pass)
        QApplication::processEvents();
}

void ReportPercentiles(benchmark::State& state, std::vector<double>& milliseconds) {
    std::sort(milliseconds.begin(), milliseconds.end());
    const auto at = [&](double q) {
        return milliseconds[std::min(milliseconds.size() - 1, size_t(q * milliseconds.size()))];
    };
    state.counters["map_paints_per_run"] = double(MapPaints.paints) / double(milliseconds.size());
    state.counters["p50_ms"] = at(0.50);
    state.counters["p95_ms"] = at(0.95);
    state.counters["max_ms"] = milliseconds.back();
    state.counters["shapes"] = double(FNav->fcad->Shapes.size());
    state.counters["rss_MB"] = ResidentMegabytes();
    state.counters["canvas_w"] = FNav->fcad->width();
    state.counters["canvas_h"] = FNav->fcad->height();
}

// Args: track distance (20 or 0), view (0 following in 2 km, 1 full extent).
void BM_MapTickAndPaintWithADaysTrack(benchmark::State& state) {
    const ProgramWithADaysTrack program(int(state.range(0)));
    int i = FixesPerDay - TicksMeasured * 2;
    SetView(int(state.range(1)), DayFix(i));
    std::vector<double> milliseconds, tickOnly;
    MapPaints.paints = 0;
    for (auto _ : state) {
        // Two fixes a tick: 200 ms at 10 Hz.
        i += 2;
        GiveFix(DayFix(i % FixesPerDay));
        const auto begin = std::chrono::steady_clock::now();
        FNav->tMapTimer();
        const auto ticked = std::chrono::steady_clock::now();
        PaintAsTheEventLoopDoes();
        const auto end = std::chrono::steady_clock::now();
        milliseconds.push_back(std::chrono::duration<double, std::milli>(end - begin).count());
        tickOnly.push_back(std::chrono::duration<double, std::milli>(ticked - begin).count());
    }
    std::sort(tickOnly.begin(), tickOnly.end());
    state.counters["tick_p95_ms"] = tickOnly[tickOnly.size() * 95 / 100];
    ReportPercentiles(state, milliseconds);
}
// Track distance 20 (the default) and 0 (every fix, up to the recorder's cap); following the
// vessel in a 2 km view and the whole day in view.
void DaysAndViews(benchmark::internal::Benchmark* benchmark) {
    benchmark->ArgNames({"track_distance_m", "full_extent"});
    for (const int distance : {20, 0})
        for (const int fullExtent : {0, 1})
            benchmark->Args({distance, fullExtent});
    benchmark->Unit(benchmark::kMillisecond)->Iterations(TicksMeasured);
}
BENCHMARK(BM_MapTickAndPaintWithADaysTrack)->Apply(DaysAndViews);

// Peer: the same map and view painted without the tick; the back buffer rebuilt as after every
// tick (Refresh), so the difference is what the tick itself costs. Both paint through the
// event loop, as the program does after a tick.
void BM_MapPaintWithoutTheTick(benchmark::State& state) {
    const ProgramWithADaysTrack program(int(state.range(0)));
    SetView(int(state.range(1)), DayFix(FixesPerDay - 1));
    std::vector<double> milliseconds;
    MapPaints.paints = 0;
    for (auto _ : state) {
        const auto begin = std::chrono::steady_clock::now();
        FNav->fcad->Refresh();
        PaintAsTheEventLoopDoes();
        const auto end = std::chrono::steady_clock::now();
        milliseconds.push_back(std::chrono::duration<double, std::milli>(end - begin).count());
    }
    ReportPercentiles(state, milliseconds);
}
BENCHMARK(BM_MapPaintWithoutTheTick)->Apply(DaysAndViews);

} // namespace

int main(int argc, char** argv) {
    return RunProgramBenchmarks(argc, argv);
}
