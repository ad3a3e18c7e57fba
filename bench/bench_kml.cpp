// KML import beside an independent reader (GDAL's ogr2ogr, in the same run over the same files),
// the XYZ import route at two sizes with its memory per line, and the import budget refusing a
// file of 1 GB. The larger of each pair is twice the smaller: its time
// shown as a multiple of the smaller's ("x_of_half") tells whether the reader stays linear.
#include "app/main_window/ImportCommand.h"
#include "canvas/CanvasModel.h"
#include "drawing_io/ImportBudget.h"
#include "drawing_io/TTavrinKMZLoader.h"
#include "drawing_io/XyzImportReader.h"
#include "platform/Dialogs.h"
#include "platform/ProcessMemory.h"
#include "platform/ScriptedDialogs.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <malloc.h>
#include <map>
#include <string>

namespace {

const std::filesystem::path TempFolder = std::filesystem::temp_directory_path();

std::string KmlFile(int placemarks) {
    const std::string path =
        TempFolder / ("tavrin_bench_kml_" + std::to_string(placemarks) + ".kml");
    if (std::filesystem::exists(path))
        return path;
    const std::string command = "/usr/bin/python3 " BENCH_SOURCE_DIR "/make_kml.py '" + path +
                                "' " + std::to_string(placemarks);
    return std::system(command.c_str()) == 0 ? path : std::string();
}

// Soundings as a survey exports them: easting, northing, depth.
std::string XyzFile(int lines) {
    const std::string path = TempFolder / ("tavrin_bench_xyz_" + std::to_string(lines) + ".xyz");
    if (std::filesystem::exists(path))
        return path;
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (!file)
        return {};
    for (int i = 0; i < lines; ++i)
        std::fprintf(file, "%.3f %.3f %.2f\n", 416000.0 + (i % 1000) * 2.5,
                     4542000.0 + (i / 1000) * 2.5, 5.0 + (i % 377) * 0.05);
    return std::fclose(file) == 0 ? path : std::string();
}

// Messages of the Import command go to a script instead of a window, for as long as it lives.
class TestDialogs {
public:
    TestDialogs() { Dialogs::install(&script_); }
    ~TestDialogs() { Dialogs::install(nullptr); }
    std::string LastMessage() const {
        return script_.messages.empty() ? std::string()
                                        : script_.messages.back().text.toStdString();
    }

private:
    ScriptedDialogs script_;
};

// Mean seconds per round of each benchmark run so far, by name and size.
std::map<std::string, double>& MeanSeconds() {
    static std::map<std::string, double> seconds;
    return seconds;
}

// Seconds `work` takes on the wall clock (ogr2ogr runs in a child process).
template <typename Work> double WallSeconds(Work work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Runs the rounds, each returning the seconds it measured, records their mean under `name` and,
// for the doubled size, reports it as a multiple of the smaller size's.
template <typename Round>
void TimeRounds(benchmark::State& state, const std::string& name, int smaller, Round round) {
    double total = 0;
    for (auto _ : state) {
        const double seconds = round();
        state.SetIterationTime(seconds);
        total += seconds;
    }
    const double mean = total / double(state.iterations());
    MeanSeconds()[name + "/" + std::to_string(state.range(0))] = mean;
    const auto half = MeanSeconds().find(name + "/" + std::to_string(smaller));
    if (state.range(0) == 2 * smaller && half != MeanSeconds().end())
        state.counters["x_of_half"] = mean / half->second;
}

// What the loader's records occupy on the heap, a malloc header counted per block.
double RecordMebibytes(const TTavrinKMZLoader& loader) {
    constexpr size_t BlockHeader = 16;
    auto text = [](const std::string& s) {
        return s.capacity() > 15 ? s.capacity() + 1 + BlockHeader : 0;
    };
    size_t bytes = loader.Placemarks.capacity() * sizeof(TKMLPlacemark) + BlockHeader;
    for (const TKMLPlacemark& placemark : loader.Placemarks) {
        bytes += text(placemark.Name) + text(placemark.Description);
        bytes += placemark.Geometries.capacity() * sizeof(TKMLGeometry) + BlockHeader;
        for (const TKMLGeometry& geometry : placemark.Geometries)
            bytes += geometry.Points.capacity() * sizeof(TKMLPoint) + BlockHeader;
    }
    return double(bytes) / (1024.0 * 1024.0);
}

size_t PointCount(const TTavrinKMZLoader& loader) {
    size_t points = 0;
    for (const TKMLPlacemark& placemark : loader.Placemarks)
        for (const TKMLGeometry& geometry : placemark.Geometries)
            points += geometry.Points.size();
    return points;
}

// Each benchmark runs at a size and at twice that size, timed by the rounds themselves.
void KmlSizes(benchmark::internal::Benchmark* b) {
    b->Arg(40000)->Arg(80000)->Unit(benchmark::kMillisecond)->UseManualTime();
}
void XyzSizes(benchmark::internal::Benchmark* b) {
    b->Arg(250000)->Arg(500000)->Unit(benchmark::kMillisecond)->UseManualTime();
}

void BM_Ogr2OgrCsv(benchmark::State& state) {
    const std::string path = KmlFile(int(state.range(0)));
    if (path.empty()) {
        state.SkipWithError("cannot write the input with make_kml.py");
        return;
    }
    const std::string command = "ogr2ogr -f CSV /vsistdout/ '" + path + "' >/dev/null";
    TimeRounds(state, "ogr2ogr", 40000, [&] {
        return WallSeconds([&] {
            if (std::system(command.c_str()) != 0)
                state.SkipWithError("ogr2ogr failed (make deps installs gdal-bin)");
        });
    });
    state.counters["MB"] = double(std::filesystem::file_size(path)) / 1e6;
}
BENCHMARK(BM_Ogr2OgrCsv)->Apply(KmlSizes)->Iterations(3);

// The loader's whole work for an import (load, then every point projected again) with a
// callback that does nothing: the reader's own cost. The peak resident growth during the load
// is measured against the file plus the records it leaves plus 16 MB.
void BM_KmlLoadNoOpCallback(benchmark::State& state) {
    const std::string path = KmlFile(int(state.range(0)));
    if (path.empty()) {
        state.SkipWithError("cannot write the input with make_kml.py");
        return;
    }
    double peakGrowthMib = 0, recordsMib = 0;
    size_t points = 0;
    TimeRounds(state, "kml_noop", 40000, [&] {
        // What the previous round freed goes back to the system first, so that the peak
        // measures this load alone.
        malloc_trim(0);
        ResetPeakResident();
        const long before = ProcessStatusKb("VmRSS");
        TTavrinKMZLoader loader;
        loader.OnProject = [](double, double, double&, double&) {};
        const double seconds = WallSeconds([&] {
            if (!loader.LoadFromFile(path))
                state.SkipWithError(("the file did not load: " + loader.LastError).c_str());
            loader.ProjectAllPoints();
        });
        peakGrowthMib = std::max(peakGrowthMib, double(ProcessStatusKb("VmHWM") - before) / 1024.0);
        recordsMib = RecordMebibytes(loader);
        points = PointCount(loader);
        return seconds;
    });
    const double fileMib = double(std::filesystem::file_size(path)) / (1024.0 * 1024.0);
    state.counters["points"] = double(points);
    state.counters["peak_growth_MiB"] = peakGrowthMib;
    state.counters["file_plus_records_plus_16_MiB"] = fileMib + recordsMib + 16;
    state.counters["records_MiB"] = recordsMib;
    state.counters["peak_within"] = peakGrowthMib <= fileMib + recordsMib + 16 ? 1 : 0;
    const auto ogr = MeanSeconds().find("ogr2ogr/" + std::to_string(state.range(0)));
    if (ogr != MeanSeconds().end())
        state.counters["x_of_ogr2ogr"] =
            MeanSeconds()["kml_noop/" + std::to_string(state.range(0))] / ogr->second;
}
BENCHMARK(BM_KmlLoadNoOpCallback)->Apply(KmlSizes)->Iterations(5);

// WGS 84 with zero shifts, transverse Mercator on 30 E: what a survey off Istanbul uses.
GeodeticEditTexts IstanbulEdits() {
    GeodeticEditTexts edits;
    edits.edSMA = "6378137.0";
    edits.edIF = "0.0033528106647474";
    edits.edPPM = edits.edRX = edits.edRY = edits.edRZ = "0";
    edits.edSX = edits.edSY = edits.edSZ = "0";
    edits.edCM = "30";
    edits.edRL = "0";
    edits.edSF = "1";
    edits.edFE = "500000";
    edits.edFN = "0";
    return edits;
}

ImportCommand MakeImportCommand(CanvasModel& canvas) {
    ImportCommand::Services services;
    services.Canvas = &canvas;
    services.GeodeticEdits = IstanbulEdits;
    services.FileTime = FileModificationTimeNs;
    services.EventsLog = [] { return (TempFolder / "tavrin_bench_import_events.log").string(); };
    return ImportCommand(services);
}

// Rounds of the Import command on `path`, each onto a new map; returns the shapes it made.
size_t TimeImportRounds(benchmark::State& state, const std::string& name, int smaller,
                        const std::string& path) {
    size_t shapes = 0;
    TimeRounds(state, name, smaller, [&] {
        malloc_trim(0); // every round starts from memory the system gives afresh
        CanvasModel canvas;
        ImportCommand command = MakeImportCommand(canvas);
        const double seconds = WallSeconds([&] { command.Run(QString::fromStdString(path)); });
        shapes = canvas.Shapes.size();
        return seconds;
    });
    return shapes;
}

// The whole KML import onto a layer with the geodetic conversion of every point (the edits read
// and prepared once per import, each point converted once), as a multiple of ogr2ogr's time on
// the same file.
void BM_KmlImportGeodeticCallback(benchmark::State& state) {
    const std::string path = KmlFile(int(state.range(0)));
    if (path.empty()) {
        state.SkipWithError("cannot write the input with make_kml.py");
        return;
    }
    const size_t shapes = TimeImportRounds(state, "kml_import", 40000, path);
    TTavrinKMZLoader loader;
    loader.LoadFromFile(path);
    const double points = double(PointCount(loader));
    state.counters["shapes"] = double(shapes);
    state.counters["points_per_s"] =
        benchmark::Counter(points * double(state.iterations()), benchmark::Counter::kIsRate);
    const auto ogr = MeanSeconds().find("ogr2ogr/" + std::to_string(state.range(0)));
    if (ogr != MeanSeconds().end())
        state.counters["x_of_ogr2ogr"] =
            MeanSeconds()["kml_import/" + std::to_string(state.range(0))] / ogr->second;
}
BENCHMARK(BM_KmlImportGeodeticCallback)->Apply(KmlSizes)->Iterations(3);

// The XYZ reader alone, and the whole XYZ import (a point and a depth label per line).
void BM_XyzReader(benchmark::State& state) {
    const std::string path = XyzFile(int(state.range(0)));
    size_t accepted = 0;
    TimeRounds(state, "xyz_reader", 250000, [&] {
        return WallSeconds([&] {
            ReadXyzImportFile(
                path, [](const XyzImportPoint& point) { benchmark::DoNotOptimize(point); },
                &accepted);
        });
    });
    if (accepted != size_t(state.range(0)))
        state.SkipWithError("not every line was read");
    state.counters["lines_per_s"] = benchmark::Counter(
        double(state.range(0)) * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_XyzReader)->Apply(XyzSizes)->Iterations(5);

// The whole XYZ import, with the peak resident growth per line beside the import budget's
// estimate of it (which must not fall below what the route really takes).
void BM_XyzImportRoute(benchmark::State& state) {
    const std::string path = XyzFile(int(state.range(0)));
    malloc_trim(0);
    ResetPeakResident();
    const long before = ProcessStatusKb("VmRSS");
    const size_t shapes = TimeImportRounds(state, "xyz_import", 250000, path);
    const double growth = double(ProcessStatusKb("VmHWM") - before) * 1024.0;
    state.counters["shapes"] = double(shapes);
    state.counters["lines_per_s"] = benchmark::Counter(
        double(state.range(0)) * double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["peak_bytes_per_line"] = growth / double(state.range(0));
    state.counters["budget_bytes_per_line"] = double(XyzImportCostPerPoint());
}
BENCHMARK(BM_XyzImportRoute)->Apply(XyzSizes)->Iterations(5);

// A sounding list of 1 GB, sparse past its first megabyte of lines, given to the Import
// command: the budget must refuse it from its first block, without reading the rest.
void BM_XyzImportBudgetRefusesAGigabyte(benchmark::State& state) {
    const std::filesystem::path path = TempFolder / "tavrin_bench_xyz_1GB.xyz";
    {
        std::FILE* file = std::fopen(path.c_str(), "w");
        if (!file) {
            state.SkipWithError("cannot write the input");
            return;
        }
        for (int i = 0; i < 40000; ++i)
            std::fprintf(file, "%.1f %.1f %.1f\n", 416000.0 + (i % 1000) * 2.5,
                         4542000.0 + (i / 1000) * 2.5, 5.0 + (i % 377) * 0.1);
        std::fclose(file);
        std::filesystem::resize_file(path, uint64_t(1) << 30);
    }
    std::string message;
    size_t shapes = 0;
    for (auto _ : state) {
        CanvasModel canvas;
        ImportCommand command = MakeImportCommand(canvas);
        TestDialogs dialogs;
        const double seconds =
            WallSeconds([&] { command.Run(QString::fromStdString(path.string())); });
        state.SetIterationTime(seconds);
        shapes = canvas.Shapes.size();
        message = dialogs.LastMessage();
    }
    std::filesystem::remove(path);
    if (shapes != 0 || message.find("is not imported") == std::string::npos)
        state.SkipWithError(("the file was not refused: " + message).c_str());
    ImportBudget budget(path.string());
    state.counters["limit_GB"] = double(budget.LimitBytes()) / 1e9;
    state.SetLabel(message.substr(message.find(": its shapes")));
}
BENCHMARK(BM_XyzImportBudgetRefusesAGigabyte)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(5);

} // namespace

BENCHMARK_MAIN();
