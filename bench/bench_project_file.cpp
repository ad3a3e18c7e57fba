// Project file save and load over a survey-sized drawing, each beside its peer: raw deflate of
// the same text at the same level for the save, inflate plus number parsing of the same text
// for the load. Also the first load in a fresh process and the peak memory of processes that
// load, save or only build the drawing.

#include "drawing_io/ProjectFile.h"

#include "canvas/CanvasModel.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include <zlib.h>

#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

constexpr int ShapeCount = 1000000;

// 40 % lines, 30 % points, 20 % texts, 10 % polylines of 10 vertices, from a fixed seed, in a
// 10 km square of UTM coordinates.
void BuildSurveyDrawing(CanvasModel& canvas) {
    canvas.LayerOpen(QStringLiteral("Default"));
    const int soundings = canvas.LayerOpen(QStringLiteral("soundings"));
    const int lines = canvas.LayerOpen(QStringLiteral("run lines"));
    std::mt19937 random(20250307);
    std::uniform_real_distribution<double> east(500000.0, 510000.0);
    std::uniform_real_distribution<double> north(4500000.0, 4510000.0);
    std::uniform_real_distribution<double> step(-20.0, 20.0);
    std::uniform_int_distribution<int> kind(0, 9);
    for (int i = 0; i < ShapeCount; ++i) {
        const int k = kind(random);
        const double x = east(random);
        const double y = north(random);
        if (k < 4) {
            canvas.DrawLine(x, y, x + step(random), y + step(random), lines);
        } else if (k < 7) {
            canvas.DrawPoint(x, y, soundings);
        } else if (k < 9) {
            char depth[16];
            std::snprintf(depth, sizeof depth, "%.2f", 5.0 + (i % 4000) / 100.0);
            canvas.TextAdd(soundings, QString::fromLatin1(depth), x, y, -1);
        } else {
            std::vector<std::pair<double, double>> vertices;
            double px = x;
            double py = y;
            for (int v = 0; v < 10; ++v) {
                vertices.emplace_back(px, py);
                px += step(random);
                py += step(random);
            }
            canvas.DrawPolyline(vertices, lines, false);
        }
    }
    canvas.WorldSet(500000.0, 4510000.0, 510000.0, 4500000.0);
}

struct Fixture {
    QTemporaryDir dir;
    QString file;
    std::string text;       // the body
    std::string compressed; // the file
};

Fixture& Shared() {
    static Fixture* fixture = [] {
        auto* f = new Fixture;
        f->file = f->dir.filePath(QStringLiteral("survey.wjt"));
        CanvasModel canvas;
        BuildSurveyDrawing(canvas);
        if (!CadSave(canvas, f->file).Ok)
            std::abort();
        QFile file(f->file);
        file.open(QIODevice::ReadOnly);
        const QByteArray bytes = file.readAll();
        f->compressed.assign(bytes.constData(), static_cast<size_t>(bytes.size()));
        z_stream stream{};
        inflateInit(&stream);
        stream.next_in = reinterpret_cast<Bytef*>(f->compressed.data() + 4);
        stream.avail_in = static_cast<uInt>(f->compressed.size() - 4);
        std::vector<char> block(1 << 16);
        int status = Z_OK;
        while (status == Z_OK) {
            stream.next_out = reinterpret_cast<Bytef*>(block.data());
            stream.avail_out = static_cast<uInt>(block.size());
            status = inflate(&stream, Z_NO_FLUSH);
            f->text.append(block.data(), block.size() - stream.avail_out);
        }
        inflateEnd(&stream);
        return f;
    }();
    return *fixture;
}

void BM_SaveProjectFile(benchmark::State& state) {
    CanvasModel canvas;
    BuildSurveyDrawing(canvas);
    Fixture& f = Shared();
    const QString path = f.dir.filePath(QStringLiteral("save.wjt"));
    for (auto _ : state) {
        if (!CadSave(canvas, path).Ok)
            state.SkipWithError("save failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.text.size()));
    state.counters["text_MB"] = static_cast<double>(f.text.size()) / 1e6;
    state.counters["file_MB"] = static_cast<double>(f.compressed.size()) / 1e6;
}

// The peer of the save: deflate of the same text at the same level, in memory.
void BM_RawDeflateOfTheSameText(benchmark::State& state) {
    Fixture& f = Shared();
    std::vector<Bytef> out(1 << 18);
    for (auto _ : state) {
        z_stream stream{};
        deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY);
        stream.next_in = reinterpret_cast<Bytef*>(f.text.data());
        stream.avail_in = static_cast<uInt>(f.text.size());
        int status = Z_OK;
        while (status != Z_STREAM_END) {
            stream.next_out = out.data();
            stream.avail_out = static_cast<uInt>(out.size());
            status = deflate(&stream, Z_FINISH);
        }
        benchmark::DoNotOptimize(stream.total_out);
        deflateEnd(&stream);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.text.size()));
}

void BM_LoadProjectFile(benchmark::State& state) {
    Fixture& f = Shared();
    for (auto _ : state) {
        auto canvas = std::make_unique<CanvasModel>();
        if (!CadLoad(*canvas, f.file).Ok)
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(canvas->Shapes.size());
        // Freeing the drawing is not part of the load.
        state.PauseTiming();
        canvas.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.text.size()));
}

// The peer of the load: inflate the file and convert every number of its text.
void BM_InflateAndParseTheSameText(benchmark::State& state) {
    Fixture& f = Shared();
    std::vector<char> block(1 << 16);
    for (auto _ : state) {
        z_stream stream{};
        inflateInit(&stream);
        stream.next_in = reinterpret_cast<Bytef*>(f.compressed.data() + 4);
        stream.avail_in = static_cast<uInt>(f.compressed.size() - 4);
        double sum = 0;
        std::string carry;
        int status = Z_OK;
        while (status == Z_OK) {
            stream.next_out = reinterpret_cast<Bytef*>(block.data());
            stream.avail_out = static_cast<uInt>(block.size());
            status = inflate(&stream, Z_NO_FLUSH);
            carry.append(block.data(), block.size() - stream.avail_out);
            const size_t last = carry.rfind('\n');
            if (last == std::string::npos)
                continue;
            const char* p = carry.data();
            const char* end = carry.data() + last;
            while (p < end) {
                while (p < end && (*p == ' ' || *p == '\n'))
                    ++p;
                double value = 0;
                const auto result = std::from_chars(p, end, value);
                if (result.ec == std::errc())
                    sum += value;
                while (p < end && *p != ' ' && *p != '\n')
                    ++p;
            }
            carry.erase(0, last + 1);
        }
        inflateEnd(&stream);
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.text.size()));
}

// Runs this program again as a child doing one task; its peak memory in KiB and the
// milliseconds it reports.
struct ChildRun {
    long peakKiB = -1;
    double milliseconds = -1;
};

ChildRun RunChild(const char* task, const QString& file) {
    ChildRun run;
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return run;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    const std::string path = file.toStdString();
    char* argv[] = {const_cast<char*>("/proc/self/exe"), const_cast<char*>("--child"),
                    const_cast<char*>(task), const_cast<char*>(path.c_str()), nullptr};
    pid_t child = 0;
    const int spawned = posix_spawn(&child, "/proc/self/exe", &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (spawned != 0) {
        close(pipeFds[0]);
        return run;
    }
    std::string output;
    char buffer[256];
    ssize_t n = 0;
    while ((n = read(pipeFds[0], buffer, sizeof buffer)) > 0)
        output.append(buffer, static_cast<size_t>(n));
    close(pipeFds[0]);
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) == child && WIFEXITED(status) &&
        WEXITSTATUS(status) == 0) {
        run.peakKiB = usage.ru_maxrss;
        run.milliseconds = std::strtod(output.c_str(), nullptr);
    }
    return run;
}

int ChildMain(const std::string& task, const char* file) {
    const auto start = std::chrono::steady_clock::now();
    CanvasModel canvas;
    bool ok = true;
    if (task == "build") {
        BuildSurveyDrawing(canvas);
    } else if (task == "load") {
        ok = CadLoad(canvas, QString::fromLocal8Bit(file)).Ok;
    } else if (task == "save") {
        BuildSurveyDrawing(canvas);
        ok = CadSave(canvas, QString::fromLocal8Bit(file)).Ok;
    }
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::printf("%.1f\n", ms);
    return ok ? 0 : 1;
}

// Measured before anything big is built here: a spawned child's peak memory starts from the
// parent's when the parent is already large.
struct FreshProcessRuns {
    ChildRun save, build, load;
};
FreshProcessRuns FreshRuns;

void MeasureFreshProcesses(const QString& file) {
    FreshRuns.save = RunChild("save", file); // also writes the file the load reads
    FreshRuns.build = RunChild("build", file);
    FreshRuns.load = RunChild("load", file);
}

void BM_FreshProcessFirstLoadAndPeakMemory(benchmark::State& state) {
    // The work ran in the children at start; this only reports it.
    for (auto _ : state)
        benchmark::ClobberMemory();
    const FreshProcessRuns r = FreshRuns;
    state.counters["first_load_ms"] = r.load.milliseconds;
    state.counters["build_peak_MiB"] = r.build.peakKiB / 1024.0;
    state.counters["load_peak_MiB"] = r.load.peakKiB / 1024.0;
    state.counters["save_peak_MiB"] = r.save.peakKiB / 1024.0;
    state.counters["load_minus_build_MiB"] = (r.load.peakKiB - r.build.peakKiB) / 1024.0;
    state.counters["save_minus_build_MiB"] = (r.save.peakKiB - r.build.peakKiB) / 1024.0;
}

} // namespace

BENCHMARK(BM_SaveProjectFile)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_RawDeflateOfTheSameText)->Unit(benchmark::kMillisecond)->Iterations(1)
    ->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_LoadProjectFile)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_InflateAndParseTheSameText)->Unit(benchmark::kMillisecond)->Iterations(1)
    ->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_FreshProcessFirstLoadAndPeakMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv) {
    if (argc >= 4 && std::strcmp(argv[1], "--child") == 0)
        return ChildMain(argv[2], argv[3]);
    QTemporaryDir fresh;
    MeasureFreshProcesses(fresh.filePath(QStringLiteral("fresh.wjt")));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
