// The vessel symbol as the map tick redraws it: the vessel layer cleared, the symbol drawn
// at the circle cap (100 circles) and a full 1920 x 1080 frame rendered. The tick has 200 ms
// by default; the symbol's share should stay well under 10 ms. The geometry alone is measured
// beside it.
#include "bench/QtBenchmarkMain.h"
#include "canvas/TTavrinCanvas.h"
#include "canvas/VesselSymbol.h"

#include <QApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

constexpr int Width = 1920;
constexpr int Height = 1080;
constexpr double East0 = 500000.0;
constexpr double North0 = 4500000.0;

void BM_VesselSymbolAtTheCircleCapRedrawnAndRendered(benchmark::State& state) {
    TTavrinCanvas canvas;
    canvas.resize(Width, Height);
    canvas.Resize(Width, Height);
    // 2 km across, about a metre per pixel.
    canvas.WorldSet(East0 - 1000, North0 + 562.5, East0 + 1000, North0 - 562.5);
    const int vessel = canvas.LayerOpen(QStringLiteral("~~Tavrin Vessel"));
    // Circle step in metres and pen width from the arguments.
    const VesselShape shape{MaxVesselCircles, double(state.range(0)), 10, 10, 100};
    const int penWidth = int(state.range(1));
    double heading = 0;
    for (auto _ : state) {
        heading += 1;
        DrawVesselSymbol(canvas, vessel, shape, East0 + heading * 0.01, North0, heading, 0x800000,
                         penWidth);
        const QImage& frame = canvas.RenderFrame();
        benchmark::DoNotOptimize(frame.constBits());
    }
    state.counters["shapes"] = canvas.ShapeCount;
}
BENCHMARK(BM_VesselSymbolAtTheCircleCapRedrawnAndRendered)
    ->ArgNames({"step_m", "pen"})
    ->Args({2, 1})   // circles up to 208 m (200 pixels), thin pen
    ->Args({2, 2})   // the same with the designed pen width
    ->Args({10, 1})  // the designed step: outer circles up to 1 km, beyond the view
    ->Args({10, 2})
    ->Unit(benchmark::kMillisecond);

// The same frame with the vessel layer empty: what the symbol adds is the difference.
void BM_EmptyFrameRendered(benchmark::State& state) {
    TTavrinCanvas canvas;
    canvas.resize(Width, Height);
    canvas.Resize(Width, Height);
    canvas.WorldSet(East0 - 1000, North0 + 562.5, East0 + 1000, North0 - 562.5);
    for (auto _ : state) {
        canvas.Refresh();
        const QImage& frame = canvas.RenderFrame();
        benchmark::DoNotOptimize(frame.constBits());
    }
}
BENCHMARK(BM_EmptyFrameRendered)->Unit(benchmark::kMillisecond);

void BM_VesselSymbolGeometryAtTheCircleCap(benchmark::State& state) {
    const VesselShape shape{MaxVesselCircles, 10, 10, 10, 100};
    double heading = 0;
    for (auto _ : state) {
        heading += 1;
        const VesselSymbolGeometry g = VesselSymbolAt(shape, East0, North0, heading);
        benchmark::DoNotOptimize(g.CircleRadii.data());
    }
}
BENCHMARK(BM_VesselSymbolGeometryAtTheCircleCap)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    return RunWidgetBenchmarks(argc, argv);
}
