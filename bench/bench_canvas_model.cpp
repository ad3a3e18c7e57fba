#include "canvas/CanvasModel.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <numbers>
#include <random>

namespace {

constexpr int32_t MillionShapes = 1000000;

// A survey area of 10 km x 10 km in projected coordinates, filled with soundings.
std::unique_ptr<CanvasModel> CanvasWithPoints(int count, int layer = 0) {
    auto canvas = std::make_unique<CanvasModel>();
    if (layer != 0)
        layer = canvas->LayerOpen("track_fix");
    std::mt19937 random(12345);
    std::uniform_real_distribution<double> east(500000.0, 510000.0);
    std::uniform_real_distribution<double> north(4500000.0, 4510000.0);
    for (int i = 0; i < count; ++i)
        canvas->DrawPoint(east(random), north(random), layer);
    canvas->WorldSet(500000.0, 4510000.0, 510000.0, 4500000.0);
    canvas->ClientWidth = 1920;
    canvas->ClientHeight = 1080;
    return canvas;
}

// A 50-vertex star over the middle of the area, about a fifth of it.
std::vector<TPointF> StarPolygon() {
    std::vector<TPointF> polygon;
    for (int i = 0; i < 50; ++i) {
        const double angle = i * 2.0 * std::numbers::pi / 50.0;
        const double radius = i % 2 == 0 ? 3000.0 : 2000.0;
        polygon.push_back(
            {505000.0 + radius * std::cos(angle), 4505000.0 + radius * std::sin(angle)});
    }
    return polygon;
}

void BM_CreateMillionShapesAndTouchEachWithFourAccessors(benchmark::State& state) {
    for (auto _ : state) {
        CanvasModel canvas;
        for (int32_t i = 0; i < MillionShapes; ++i)
            canvas.DrawPoint(i * 0.5, i * 0.25, 0);
        int64_t sum = 0;
        for (int32_t id = 1; id <= MillionShapes; ++id) {
            canvas.SetShapePenFg(id, static_cast<uint32_t>(id));
            sum += canvas.GetShapePenFg(id);
            canvas.SetShapePenWidth(id, 2);
            sum += canvas.GetShapeOnLayer(id);
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_CreateMillionShapesAndTouchEachWithFourAccessors)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

void BM_TouchMillionShapesWithFourAccessors(benchmark::State& state) {
    auto canvas = CanvasWithPoints(MillionShapes);
    for (auto _ : state) {
        int64_t sum = 0;
        for (int32_t id = 1; id <= MillionShapes; ++id) {
            canvas->SetShapePenFg(id, static_cast<uint32_t>(id));
            sum += canvas->GetShapePenFg(id);
            canvas->SetShapePenWidth(id, 2);
            sum += canvas->GetShapeOnLayer(id);
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_TouchMillionShapesWithFourAccessors)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ClearLayerOfMillionShapesHalfSelected(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto canvas = CanvasWithPoints(MillionShapes, 1);
        const int layer = canvas->LayerFindByName("track_fix");
        for (int32_t id = 1; id <= MillionShapes; id += 2)
            canvas->ShapeSelect(id, true);
        state.ResumeTiming();
        canvas->CadClearShapes(layer);
        benchmark::DoNotOptimize(canvas->ShapeCount);
        state.PauseTiming();
        canvas.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ClearLayerOfMillionShapesHalfSelected)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SelectAllShapesInFiftyVertexPolygonOverMillionPoints(benchmark::State& state) {
    auto canvas = CanvasWithPoints(MillionShapes);
    const std::vector<TPointF> polygon = StarPolygon();
    for (auto _ : state) {
        canvas->SelectAllShapesInPolygon(polygon);
        benchmark::DoNotOptimize(canvas->SelectedIds.size());
    }
    state.counters["selected"] = static_cast<double>(canvas->SelectedIds.size());
}
BENCHMARK(BM_SelectAllShapesInFiftyVertexPolygonOverMillionPoints)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

void BM_SelectTracksInFiftyVertexPolygonOverMillionPoints(benchmark::State& state) {
    auto canvas = CanvasWithPoints(MillionShapes, 1);
    const std::vector<int32_t> layers = {canvas->LayerFindByName("track_fix")};
    const std::vector<TPointF> polygon = StarPolygon();
    for (auto _ : state) {
        canvas->SelectShapesInPolygon(polygon, layers);
        benchmark::DoNotOptimize(canvas->SelectedIds.size());
    }
    state.counters["selected"] = static_cast<double>(canvas->SelectedIds.size());
}
BENCHMARK(BM_SelectTracksInFiftyVertexPolygonOverMillionPoints)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

// The worst case of a pick: a point where nothing lies, so every shape is tested.
void BM_GetShapeAtOverMillionShapesMissingAll(benchmark::State& state) {
    auto canvas = CanvasWithPoints(MillionShapes);
    for (auto _ : state)
        benchmark::DoNotOptimize(canvas->GetShapeAt(0.0, 0.0));
}
BENCHMARK(BM_GetShapeAtOverMillionShapesMissingAll)->Unit(benchmark::kMillisecond);

void BM_GetShapeAtOverMillionMixedShapesMissingAll(benchmark::State& state) {
    CanvasModel canvas;
    canvas.ClientWidth = 1920;
    std::mt19937 random(7);
    std::uniform_real_distribution<double> coordinate(1000.0, 9000.0);
    for (int32_t i = 0; i < MillionShapes; ++i) {
        const double x = coordinate(random);
        const double y = coordinate(random);
        switch (i % 4) {
        case 0:
            canvas.DrawPoint(x, y, 0);
            break;
        case 1:
            canvas.DrawLine(x, y, x + 5, y + 5, 0);
            break;
        case 2:
            canvas.DrawPolyline({{x, y}, {x + 3, y}, {x + 3, y + 3}}, 0, false);
            break;
        default:
            canvas.DrawCircle(x, y, 2, 0);
            break;
        }
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(canvas.GetShapeAt(0.0, 0.0));
}
BENCHMARK(BM_GetShapeAtOverMillionMixedShapesMissingAll)->Unit(benchmark::kMillisecond);

void BM_MemoryPerPointShape(benchmark::State& state) {
    double bytesPerShape = 0.0;
    for (auto _ : state) {
        malloc_trim(0);
        const size_t before = mallinfo2().uordblks;
        auto canvas = CanvasWithPoints(MillionShapes);
        const size_t after = mallinfo2().uordblks;
        bytesPerShape = static_cast<double>(after - before) / MillionShapes;
        benchmark::DoNotOptimize(canvas->ShapeCount);
    }
    state.counters["bytes_per_point"] = bytesPerShape;
}
BENCHMARK(BM_MemoryPerPointShape)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
