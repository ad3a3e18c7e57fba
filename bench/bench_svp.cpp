// The sound velocity profile: building the column from a realistic cast (tests/survey/data/
// cast_default.txt: 10,000 samples, a soak, a down-cast to 200 m with heave, readings in air),
// goal below 5 ms for the three steps together; the extract step runs beside plain sscanf over
// the same lines with the same format. Then the graph editor: a drag move (velocity changed,
// the point's grid row rewritten, the whole 700 x 500 paint box repainted) with 201 and 12,001
// points, goal below 16 ms at p99 (one frame), beside the paint of an empty graph (axes and
// grid only) of the same size; a typed velocity of 1e9 painted; and the window's round trip of
// a 10,000-line averaged list (load, grid filled, written back) as a figure.
#include "app/sound_velocity/ProfileGraphPainter.h"
#include "app/sound_velocity/TfSVPGraph.h"
#include "bench/QtBenchmarkMain.h"

#include "survey/ProfileGraphModel.h"
#include "survey/SoundVelocityFiles.h"
#include "survey/SoundVelocityProfile.h"

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

const std::vector<std::string>& Cast() {
    static const std::vector<std::string> lines = [] {
        std::vector<std::string> read;
        std::string error;
        if (!SoundVelocityFiles::ReadTextLines(BENCH_CAST_FILE, read, error))
            std::fprintf(stderr, "cannot read the cast: %s\n", error.c_str());
        return read;
    }();
    return lines;
}

// OK to the question about implausible velocities: the readings in air are skipped.
bool AnswerOk(const std::string&) {
    return true;
}

std::vector<std::string> Extracted() {
    return ExtractSoundVelocities(Cast(), DefaultSvpSearchString, true, true, AnswerOk).extracted;
}

void BM_SvpExtract_Cast(benchmark::State& state) {
    size_t values = 0;
    for (auto _ : state) {
        const SvpExtractResult result =
            ExtractSoundVelocities(Cast(), DefaultSvpSearchString, true, true, AnswerOk);
        values = result.extracted.size();
        benchmark::DoNotOptimize(result.extracted.data());
    }
    state.counters["lines"] = double(Cast().size());
    state.counters["values"] = double(values);
}

// The peer: the C library's scanner with the same format over the same lines, storing the two
// numbers and nothing else (no checks, no output lines).
void BM_SvpExtract_PlainSscanf(benchmark::State& state) {
    size_t values = 0;
    for (auto _ : state) {
        values = 0;
        for (const std::string& line : Cast()) {
            double sv = 0, depth = 0;
            if (std::sscanf(line.c_str(), "%*23s %lf,%lf", &sv, &depth) == 2)
                ++values;
            benchmark::DoNotOptimize(sv);
            benchmark::DoNotOptimize(depth);
        }
    }
    state.counters["values"] = double(values);
}

void BM_SvpAverage_Cast(benchmark::State& state) {
    const std::vector<std::string> extracted = Extracted();
    for (auto _ : state) {
        const std::vector<std::string> averaged =
            AverageSoundVelocities(extracted, DefaultSvpMaxDepth);
        benchmark::DoNotOptimize(averaged.data());
    }
}

void BM_SvpColumn_Cast(benchmark::State& state) {
    const std::vector<std::string> averaged =
        AverageSoundVelocities(Extracted(), DefaultSvpMaxDepth);
    for (auto _ : state) {
        const SvpColumnResult result = BuildVelocityColumn(averaged, DefaultSvpMaxDepth, true);
        benchmark::DoNotOptimize(result.column.data());
    }
}

// The three steps as the operator runs them, one after the other.
void BM_SvpBuildAllSteps_Cast(benchmark::State& state) {
    bool ok = false;
    for (auto _ : state) {
        const SvpExtractResult extracted =
            ExtractSoundVelocities(Cast(), DefaultSvpSearchString, true, true, AnswerOk);
        const std::vector<std::string> averaged =
            AverageSoundVelocities(extracted.extracted, DefaultSvpMaxDepth);
        const SvpColumnResult column = BuildVelocityColumn(averaged, DefaultSvpMaxDepth, true);
        ok = column.ok;
        benchmark::DoNotOptimize(column.column.data());
    }
    if (!ok)
        state.SkipWithError("the cast gave no column");
}

// An averaged list of `count` points, one per metre, with a thermocline and a little noise.
std::vector<std::string> ProfileLines(int count) {
    std::vector<std::string> lines;
    lines.reserve(size_t(count));
    for (int k = 0; k < count; ++k) {
        const double v =
            1510 + 14 * (1 - std::tanh((k % 400 - 30) / 10.0)) + 0.3 * std::sin(k * 1.7);
        char line[64];
        std::snprintf(line, sizeof line, "%d,%.2f,%d", k, v, 40 + k % 7);
        lines.emplace_back(line);
    }
    return lines;
}

// Times each iteration on its own and reports the slowest percent as "p99_ms".
class FrameTimes {
public:
    void Add(std::chrono::steady_clock::time_point begin) {
        times_.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin)
                .count());
    }
    void Report(benchmark::State& state) {
        if (times_.empty())
            return;
        std::sort(times_.begin(), times_.end());
        state.counters["p99_ms"] =
            times_[std::min(times_.size() - 1, size_t(std::ceil(double(times_.size()) * 0.99)))];
        state.counters["max_ms"] = times_.back();
    }

private:
    std::vector<double> times_;
};

// Repaints the whole 700 x 500 paint box each iteration; `beforePaint` is the editor's work
// that comes with the repaint. Each repaint is timed on its own.
void TimeRepaints(benchmark::State& state, ProfileGraphModel& model, int dragIndex,
                  const std::function<void()>& beforePaint = {}) {
    QImage image(model.Width, model.Height, QImage::Format_RGB32);
    FrameTimes frames;
    for (auto _ : state) {
        const auto begin = std::chrono::steady_clock::now();
        if (beforePaint)
            beforePaint();
        QPainter painter(&image);
        ProfileGraphPainter(painter, model).Paint(dragIndex, false);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
        frames.Add(begin);
    }
    frames.Report(state);
}

// A drag move as the editor makes it: the velocity under the pointer taken, the point's grid
// row rewritten as text, the whole paint box repainted.
void BM_GraphDragRepaint_700x500(benchmark::State& state) {
    ProfileGraphModel model;
    model.LoadPoints(ProfileLines(int(state.range(0))));
    const int dragged = int(model.Points.size() / 2);
    const int x0 = model.SVToX(model.Points[size_t(dragged)].SV);
    int step = 0;
    TimeRepaints(state, model, dragged, [&] {
        model.DragTo(dragged, x0 + (step++ % 40) - 20);
        const std::vector<std::string> row = model.GridRow(size_t(dragged));
        benchmark::DoNotOptimize(row.data());
    });
}

// The peer: the same paint box with no points (white, grid, axes, title).
void BM_GraphEmptyRepaint_700x500(benchmark::State& state) {
    ProfileGraphModel model;
    model.LoadPoints({});
    TimeRepaints(state, model, -1);
}

// A velocity of 1e9 typed into the grid: the grid lines stay near 200, the paint one frame.
void BM_GraphTypedHugeVelocityRepaint_700x500(benchmark::State& state) {
    ProfileGraphModel model;
    model.GridToPoints({{"0", "1500.00", "1"}, {"10", "1e9", "1"}, {"20", "1510.00", "1"}});
    TimeRepaints(state, model, -1);
}

// The editor's round trip of a 10,000-line averaged list: loaded (points, view, grid rows),
// written back as lines.
void BM_GraphWindowRoundTrip_10000Lines(benchmark::State& state) {
    const std::vector<std::string> lines = ProfileLines(10000);
    TfSVPGraph editor;
    size_t written = 0;
    for (auto _ : state) {
        editor.LoadPoints(lines);
        const std::vector<std::string> back = editor.WritePoints();
        written = back.size();
        benchmark::DoNotOptimize(back.data());
    }
    if (written != lines.size())
        state.SkipWithError("the round trip lost lines");
}

BENCHMARK(BM_SvpExtract_Cast)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SvpExtract_PlainSscanf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SvpAverage_Cast)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SvpColumn_Cast)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SvpBuildAllSteps_Cast)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GraphDragRepaint_700x500)
    ->Arg(201)
    ->Arg(12001)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0);
BENCHMARK(BM_GraphEmptyRepaint_700x500)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_GraphTypedHugeVelocityRepaint_700x500)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_GraphWindowRoundTrip_10000Lines)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return RunWidgetBenchmarks(argc, argv);
}
