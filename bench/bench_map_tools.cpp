// The map tools at survey scale: the draw end of a selection polygon over a million shapes and
// the Delete of what it selected, and the run-line generator on a long zig-zag route.

#include "app/main_window/TFNav.h"
#include "app/program/ProgramStart.h"
#include "app/runlines/TfRunline1.h"

#include "canvas/TTPolyline.h"
#include "canvas/TTavrinCanvas.h"

#include "platform/AppPaths.h"
#include "platform/DataPaths.h"

#include <QApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <chrono>
#include <cmath>
#include <numbers>
#include <random>

namespace {

double peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

// A million shapes over 10 km x 10 km: points, lines and short polylines on the three track
// layers, the user layer and "Default".
void fillMixedShapes(TTavrinCanvas* canvas) {
    canvas->CadClearShapes(-1);
    const int layers[] = {TrackFixLayerId, TrackFloatLayerId, TrackNoFixLayerId, UserShapeLayerId,
                          0};
    std::mt19937 random(12345);
    std::uniform_real_distribution<double> east(500000.0, 510000.0);
    std::uniform_real_distribution<double> north(4500000.0, 4510000.0);
    for (int i = 0; i < 1000000; ++i) {
        const int layer = layers[i % 5];
        const double x = east(random);
        const double y = north(random);
        switch (i % 3) {
        case 0:
            canvas->DrawPoint(x, y, layer);
            break;
        case 1:
            canvas->DrawLine(x, y, x + 5, y + 5, layer);
            break;
        default:
            canvas->DrawPolyline({{x, y}, {x + 3, y}, {x + 3, y + 3}}, layer, false);
            break;
        }
    }
}

// The operator's 50-vertex star over the middle of the area, committed as the polygon tool
// commits it on the selection polygon's layer.
void commitStarPolygon(TTavrinCanvas* canvas) {
    int layer = canvas->LayerFindByName(CanvasModel::SelectPolyLayerName);
    if (layer == -1)
        layer = canvas->LayerOpen(CanvasModel::SelectPolyLayerName);
    canvas->CurrentLayer = layer;
    for (int i = 0; i < 50; ++i) {
        const double angle = i * 2.0 * std::numbers::pi / 50.0;
        const double radius = i % 2 == 0 ? 3000.0 : 2000.0;
        const double x = 505000.0 + radius * std::cos(angle);
        const double y = 4505000.0 + radius * std::sin(angle);
        if (i == 0)
            canvas->StartPendingPolyline(6, x, y);
        else
            canvas->PendingPolyline->AddPoint(x, y);
    }
    canvas->CommitPendingPolyline();
}

void BM_SelectionPolygonDrawEnd(benchmark::State& state) {
    const bool tracks = state.range(0) == 1;
    TTavrinCanvas* canvas = FNav->fcad;
    fillMixedShapes(canvas);
    int selected = 0;
    for (auto _ : state) {
        state.PauseTiming();
        commitStarPolygon(canvas);
        SelectTracksMode = tracks;
        SelectShapesMode = !tracks;
        state.ResumeTiming();
        FNav->fcadDrawEnd(6, 0, 0);
        selected = canvas->SelectedShapeCount();
    }
    state.counters["selected"] = selected;
    state.SetLabel(tracks ? "tracks" : "shapes");
}
BENCHMARK(BM_SelectionPolygonDrawEnd)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);

// The peer: the canvas's own selection over the same shapes, without the main window's steps.
void BM_CanvasSelectionAlone(benchmark::State& state) {
    TTavrinCanvas* canvas = FNav->fcad;
    fillMixedShapes(canvas);
    commitStarPolygon(canvas);
    std::vector<TPointF> polygon;
    for (const auto& [x, y] : canvas->GetLastPolylinePoints())
        polygon.push_back({x, y});
    for (auto _ : state)
        canvas->SelectAllShapesInPolygon(polygon);
    state.counters["selected"] = canvas->SelectedShapeCount();
}
BENCHMARK(BM_CanvasSelectionAlone)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_DeleteSelected(benchmark::State& state) {
    TTavrinCanvas* canvas = FNav->fcad;
    int deleted = 0;
    for (auto _ : state) {
        state.PauseTiming();
        fillMixedShapes(canvas);
        commitStarPolygon(canvas);
        SelectShapesMode = true;
        FNav->fcadDrawEnd(6, 0, 0);
        const int before = canvas->ShapeCount;
        state.ResumeTiming();
        FNav->bDelSelectedClick();
        deleted = before - canvas->ShapeCount;
    }
    state.counters["deleted"] = deleted;
}
BENCHMARK(BM_DeleteSelected)->Unit(benchmark::kMillisecond)->Iterations(3);

// 1,000 vertices, 100-m segments zig-zagging east.
std::vector<std::pair<double, double>> zigZagRoute() {
    std::vector<std::pair<double, double>> route;
    for (int i = 0; i < 1000; ++i)
        route.emplace_back(500000.0 + i * 80.0, 4500000.0 + (i % 2) * 60.0);
    return route;
}

void setUpRunlines(bool perpendicular, const char* spacing, const char* length) {
    FNav->fcad->CadClearShapes(-1);
    fRunline1->rbPerpendicular->setChecked(perpendicular);
    fRunline1->rbParallel->setChecked(!perpendicular);
    fRunline1->eSpacing->blockSignals(true);
    fRunline1->eLength->blockSignals(true);
    fRunline1->eSpacing->setText(QString::fromLatin1(spacing));
    fRunline1->eLength->setText(QString::fromLatin1(length));
    fRunline1->eSpacing->blockSignals(false);
    fRunline1->eLength->blockSignals(false);
    fRunline1->RoutePoints = zigZagRoute();
    fRunline1->RouteReady = true;
}

void BM_RunlinesPerpendicular(benchmark::State& state) {
    setUpRunlines(true, "10.5", "100");
    for (auto _ : state)
        fRunline1->GenerateRunlines();
    state.counters["lines"] = FNav->fcad->ShapeCount - 1;
}
BENCHMARK(BM_RunlinesPerpendicular)->Unit(benchmark::kMillisecond);

void BM_RunlinesParallelFirst(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        setUpRunlines(false, "10", "49990");
        state.ResumeTiming();
        fRunline1->GenerateRunlines();
    }
    state.counters["lines"] = FNav->fcad->ShapeCount - 1;
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_RunlinesParallelFirst)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_RunlinesParallelRegeneration(benchmark::State& state) {
    setUpRunlines(false, "10", "49990");
    fRunline1->GenerateRunlines();
    for (auto _ : state)
        fRunline1->GenerateRunlines();
    state.counters["lines"] = FNav->fcad->ShapeCount - 1;
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_RunlinesParallelRegeneration)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_RunlinesFullExtentBackBuffer(benchmark::State& state) {
    setUpRunlines(false, "10", "49990");
    fRunline1->GenerateRunlines();
    TTavrinCanvas* canvas = FNav->fcad;
    canvas->resize(1920, 1080);
    canvas->WorldExtents();
    for (auto _ : state) {
        canvas->NeedsRedraw = true;
        const QImage& frame = canvas->RenderFrame();
        benchmark::DoNotOptimize(frame.constBits());
    }
}
BENCHMARK(BM_RunlinesFullExtentBackBuffer)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // The program's windows with a private data root and settings file.
    QTemporaryDir home;
    setenv("HOME", home.path().toLocal8Bit().constData(), 1);
    QApplication application(argc, argv);
    AppPaths::setApplicationFolder(home.path().toStdString());
    BuildDataPaths();
    CreateApplicationWindows();
    EnsureStandardLayers(FNav->fcad);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    DestroyApplicationWindows();
    return 0;
}
