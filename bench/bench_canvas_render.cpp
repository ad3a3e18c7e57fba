// Painting the map at 1920 x 1080 offscreen: back-buffer rebuilds of large maps at full extent
// and zoomed in, an overlay-only paint with 10,000 depth labels, and the map tick's repaint of
// a day's track with the vessel redrawn.
#include "bench/QtBenchmarkMain.h"
#include "canvas/CanvasRenderer.h"
#include "canvas/MapDisplaySettings.h"
#include "canvas/TTavrinCanvas.h"

#include <QApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>
#include <numbers>
#include <random>

namespace {

constexpr int Width = 1920;
constexpr int Height = 1080;
// A survey area of 10 km x 5.6 km in projected coordinates.
constexpr double East0 = 500000.0;
constexpr double North0 = 4500000.0;
constexpr double AreaWidth = 10000.0;
constexpr double AreaHeight = 5625.0;

std::unique_ptr<TTavrinCanvas> NewCanvas() {
    auto canvas = std::make_unique<TTavrinCanvas>();
    canvas->resize(Width, Height);
    canvas->Resize(Width, Height);
    return canvas;
}

// 70 % soundings (points), 25 % track segments (lines), 2.5 % polylines of 8 vertices and
// 2.5 % texts, on four layers with their own colours.
std::unique_ptr<TTavrinCanvas> MixedMap(int count) {
    auto canvas = NewCanvas();
    const int soundings = canvas->LayerOpen("soundings");
    canvas->SetLayerPenFg(soundings, 0xFF0000);
    const int track = canvas->LayerOpen("track_fix");
    canvas->SetLayerPenFg(track, 0x00A000);
    const int contours = canvas->LayerOpen("contours");
    canvas->SetLayerPenFg(contours, 0x404040);
    const int names = canvas->LayerOpen("names");
    std::mt19937 random(12345);
    std::uniform_real_distribution<double> east(East0, East0 + AreaWidth);
    std::uniform_real_distribution<double> north(North0, North0 + AreaHeight);
    std::uniform_real_distribution<double> step(-25.0, 25.0);
    std::uniform_int_distribution<int> kind(0, 999);
    double trackX = East0 + AreaWidth / 2;
    double trackY = North0 + AreaHeight / 2;
    for (int i = 0; i < count; ++i) {
        const int k = kind(random);
        if (k < 700) {
            canvas->DrawPoint(east(random), north(random), soundings);
        } else if (k < 950) {
            // A random walk, as a boat's track is.
            const double nextX = std::clamp(trackX + step(random), East0, East0 + AreaWidth);
            const double nextY = std::clamp(trackY + step(random), North0, North0 + AreaHeight);
            canvas->DrawLine(trackX, trackY, nextX, nextY, track);
            trackX = nextX;
            trackY = nextY;
        } else if (k < 975) {
            std::vector<std::pair<double, double>> points;
            double x = east(random);
            double y = north(random);
            for (int v = 0; v < 8; ++v) {
                points.emplace_back(x, y);
                x += step(random) * 4;
                y += step(random) * 4;
            }
            canvas->DrawPolyline(points, contours, false);
        } else {
            canvas->TextAdd(names, "Buoy", east(random), north(random), 0);
        }
    }
    canvas->WorldExtents();
    return canvas;
}

TTavrinCanvas& CachedMap(int count) {
    static std::map<int, std::unique_ptr<TTavrinCanvas>> maps;
    auto& slot = maps[count];
    if (!slot)
        slot = MixedMap(count);
    return *slot;
}

void ZoomToOnePercent(TTavrinCanvas& canvas) {
    canvas.WorldExtents();
    const double cx = (canvas.PlanWorldLeft + canvas.PlanWorldRight) / 2;
    const double cy = (canvas.PlanWorldTop + canvas.PlanWorldBottom) / 2;
    const double halfWidth = canvas.GetWorldWidth() * 0.01 / 2;
    const double halfHeight = canvas.GetWorldHeight() * 0.01 / 2;
    canvas.WorldSet(cx - halfWidth, cy + halfHeight, cx + halfWidth, cy - halfHeight);
}

// Args: number of shapes, 0 full extent or 1 zoomed to 1 % of the width.
void BM_RebuildBackBuffer(benchmark::State& state) {
    TTavrinCanvas& canvas = CachedMap(static_cast<int>(state.range(0)));
    if (state.range(1) == 0)
        canvas.WorldExtents();
    else
        ZoomToOnePercent(canvas);
    QImage buffer;
    for (auto _ : state) {
        canvas.NeedsRedraw = true;
        CanvasRenderer::UpdateBackBuffer(canvas, buffer);
        benchmark::DoNotOptimize(buffer.constBits());
    }
    state.SetLabel(state.range(1) == 0 ? "full extent" : "zoomed to 1 %");
}
BENCHMARK(BM_RebuildBackBuffer)
    ->Args({100000, 0})
    ->Args({100000, 1})
    ->Args({1000000, 0})
    ->Args({1000000, 1})
    ->Unit(benchmark::kMillisecond);

// Overlays over an unchanged back buffer: 10,000 depth labels over the whole view, the
// readout, the status box and the scale bar.
void BM_OverlayOnlyPaintWithTenThousandDepthLabels(benchmark::State& state) {
    auto canvas = NewCanvas();
    canvas->WorldSet(East0, North0 + AreaHeight, East0 + AreaWidth, North0);
    canvas->SetDepthLabelSettings(true, 1.0, "Arial", 12, 0);
    std::mt19937 random(7);
    std::uniform_real_distribution<double> east(East0, East0 + AreaWidth);
    std::uniform_real_distribution<double> north(North0, North0 + AreaHeight);
    std::uniform_real_distribution<double> depth(2.0, 40.0);
    while (canvas->DepthLabels.size() < 10000)
        canvas->AddDepthLabel(east(random), north(random), depth(random));
    canvas->SetCurrentDepth(12.34, 0, true);
    canvas->SetCurrentSpeed(4.2, true);
    OverlayStatusText = "GGA 4 Sats:14 HDOP:0.7 THdg:123.4";
    CurrentFixQuality = 4;
    canvas->RenderFrame(); // the back buffer is built once
    for (auto _ : state) {
        const QImage& frame = canvas->RenderFrame();
        benchmark::DoNotOptimize(frame.constBits());
    }
    OverlayStatusText.clear();
}
BENCHMARK(BM_OverlayOnlyPaintWithTenThousandDepthLabels)->Unit(benchmark::kMillisecond);

// The map tick during a long survey: 50,000 track segments on the map, the vessel symbol
// cleared and drawn again, and a full repaint (rebuild and overlays) every tick.
void BM_TrackAndVesselRedrawnEveryTick(benchmark::State& state) {
    auto canvas = NewCanvas();
    const int track = canvas->LayerOpen("track_fix");
    canvas->SetLayerPenFg(track, 0x00A000);
    canvas->SetLayerPenWidth(track, 2);
    const int vessel = canvas->LayerOpen("~~Tavrin Vessel");
    std::mt19937 random(3);
    std::uniform_real_distribution<double> step(-3.0, 3.0);
    double x = East0 + 5000;
    double y = North0 + 2800;
    for (int i = 0; i < 50000; ++i) {
        const double nx = x + 1.0 + step(random) * 0.2;
        const double ny = y + step(random);
        canvas->DrawLine(x, y, nx, ny, track);
        x = nx;
        y = ny;
    }
    canvas->WorldExtents();
    canvas->SetCurrentDepth(8.5, 0, true);
    canvas->SetCurrentSpeed(4.0, true);
    double heading = 0.0;
    for (auto _ : state) {
        heading += 0.01;
        canvas->CadClearShapes(vessel);
        const double bx = x + 10 * std::sin(heading);
        const double by = y + 10 * std::cos(heading);
        canvas->DrawLine(x, y, bx, by, vessel);
        for (int ring = 1; ring <= 3; ++ring)
            canvas->DrawCircle(x, y, ring * 5.0, vessel);
        canvas->Refresh();
        const QImage& frame = canvas->RenderFrame();
        benchmark::DoNotOptimize(frame.constBits());
    }
}
BENCHMARK(BM_TrackAndVesselRedrawnEveryTick)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return RunWidgetBenchmarks(argc, argv);
}
