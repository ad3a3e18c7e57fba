// DXF import beside an independent reader (GDAL's ogr2ogr), and DXF export beside a plain
// buffered fwrite loop writing the same bytes.
#include "canvas/CanvasModel.h"
#include "canvas/TTText.h"
#include "drawing_io/DXFLoad.h"
#include "drawing_io/DXFSave.h"
#include "platform/ProcessMemory.h"

#include <QLoggingCategory>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <malloc.h>
#include <string>
#include <unistd.h>

namespace {

const std::string BigFile = std::filesystem::temp_directory_path() / "tavrin_bench_big_r12.dxf";
const std::string ExportFile = std::filesystem::temp_directory_path() / "tavrin_bench_export.dxf";

bool EnsureBigFile() {
    if (std::filesystem::exists(BigFile))
        return true;
    const std::string command =
        "/usr/bin/python3 " BENCH_SOURCE_DIR "/make_big_r12.py '" + BigFile + "'";
    return std::system(command.c_str()) == 0;
}

void BM_DxfImport500kLines(benchmark::State& state) {
    QLoggingCategory::setFilterRules(QStringLiteral("tavrin.dxf.debug=false"));
    if (!EnsureBigFile()) {
        state.SkipWithError("cannot write the input with make_big_r12.py");
        return;
    }
    double overhead = 0;
    for (auto _ : state) {
        CanvasModel canvas;
        // What the previous round freed goes back to the system first, so that the peak
        // measures this load alone.
        malloc_trim(0);
        ResetPeakResident();
        DxfLoadReport report;
        DXFLoad(canvas, QString::fromStdString(BigFile), &report);
        const long peak = ProcessStatusKb("VmHWM");
        const long after = ProcessStatusKb("VmRSS");
        overhead = std::max(overhead, double(peak - after) / 1024.0);
        if (report.ShapesMade != 500000)
            state.SkipWithError("the file did not load whole");
    }
    state.counters["peak_minus_after_MB"] = overhead;
    state.counters["MB"] = double(std::filesystem::file_size(BigFile)) / 1e6;
}
BENCHMARK(BM_DxfImport500kLines)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Ogr2OgrCsvOfTheSameFile(benchmark::State& state) {
    if (!EnsureBigFile()) {
        state.SkipWithError("cannot write the input with make_big_r12.py");
        return;
    }
    const std::string command = "ogr2ogr -f CSV /vsistdout/ '" + BigFile + "' >/dev/null";
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("ogr2ogr failed (make deps installs gdal-bin)");
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
}
BENCHMARK(BM_Ogr2OgrCsvOfTheSameFile)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(3);

// A million shapes: lines, points, texts and polylines in turn.
const CanvasModel& MillionShapes() {
    static CanvasModel* canvas = [] {
        auto* made = new CanvasModel;
        const int layer = made->LayerOpen("survey");
        for (int i = 0; i < 1000000; ++i) {
            const double x = 500000 + (i % 1000) * 10.0;
            const double y = 4500000 + (i / 1000) * 10.0;
            switch (i % 4) {
            case 0:
                made->DrawLine(x, y, x + 5, y + 5, layer);
                break;
            case 1:
                made->DrawPoint(x, y, layer);
                break;
            case 2:
                made->TextAdd(layer, QStringLiteral("12.34"), x, y, 0);
                break;
            default:
                made->DrawPolyline({{x, y}, {x + 3, y}, {x + 3, y + 3}}, layer, false);
                break;
            }
        }
        return made;
    }();
    return *canvas;
}

void BM_DxfExportMillionShapes(benchmark::State& state) {
    const CanvasModel& canvas = MillionShapes();
    for (auto _ : state) {
        std::string error;
        if (!DXFSave(canvas, QString::fromStdString(ExportFile), &error))
            state.SkipWithError(error.c_str());
    }
    state.counters["MB"] = double(std::filesystem::file_size(ExportFile)) / 1e6;
}
BENCHMARK(BM_DxfExportMillionShapes)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_PlainFwriteOfTheSameBytes(benchmark::State& state) {
    std::string bytes;
    DXFWrite(MillionShapes(), [&bytes](std::string_view piece) {
        bytes += piece;
        return true;
    });
    // One fwrite per line, as a hand-written exporter would do it.
    std::vector<std::string_view> lines;
    for (size_t start = 0; start < bytes.size();) {
        const size_t end = bytes.find('\n', start) + 1;
        lines.emplace_back(bytes.data() + start, end - start);
        start = end;
    }
    for (auto _ : state) {
        std::FILE* file = std::fopen(ExportFile.c_str(), "wb");
        for (const std::string_view line : lines)
            std::fwrite(line.data(), 1, line.size(), file);
        std::fflush(file);
        ::fsync(fileno(file));
        std::fclose(file);
    }
}
BENCHMARK(BM_PlainFwriteOfTheSameBytes)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
