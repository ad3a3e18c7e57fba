// Conversions per second of the position chain (WGS 84 -> local datum -> transverse Mercator):
// GeodeticToGrid through its text interface, the numeric core, and PROJ doing the same pipeline
// on the same points, in one run.
#include "platform/NumberText.h"
#include "positioning/geodesy/GeodesyDatumChain.h"
#include "positioning/geodesy/GeodesyText.h"
#include "positioning/geodesy/GeodesyTransverseMercator.h"
#include "positioning/geodesy/LambertModule.h"

#include <benchmark/benchmark.h>
#include <proj.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// A local datum on the International ellipsoid, parameters from the local datum to WGS 84.
const std::string kDatum = "6378137.0  0.0033528106647474  0.0  0.0  0.0  0.0  0.0  0.0  0.0 "
                           "6378388 0.003367003367003367 1.2 -0.8 -0.3 0.6 -84.12 -101.75 -129.33";
const std::string kProjection = "30 0 1 500000 0";
const std::string kEllipsoid = "6378137.0 0.0033528106647474 6378388 0.003367003367003367";
const char* kProjPipeline =
    "+proj=pipeline +step +proj=cart +a=6378137 +f=0.0033528106647474 "
    "+step +inv +proj=helmert +exact +convention=coordinate_frame +s=1.2 +rx=-0.8 +ry=-0.3 "
    "+rz=0.6 +x=-84.12 +y=-101.75 +z=-129.33 "
    "+step +inv +proj=cart +a=6378388 +f=0.003367003367003367 "
    "+step +proj=tmerc %s +lon_0=30 +lat_0=0 +k_0=1 +x_0=500000 +y_0=0 +a=6378388 "
    "+f=0.003367003367003367";

struct Point {
    double latitude;
    double longitude;
};

// Fixed pseudo-random positions within 3 degrees of the central meridian.
const std::vector<Point>& Points() {
    static const std::vector<Point> points = [] {
        std::vector<Point> p;
        unsigned state = 12345;
        auto next = [&state] {
            state = state * 1103515245u + 12345u;
            return static_cast<double>((state >> 8) & 0xFFFF) / 65535.0;
        };
        for (int i = 0; i < 1024; ++i)
            p.push_back({36.0 + 6.0 * next(), 27.0 + 6.0 * next()});
        return p;
    }();
    return points;
}

const std::vector<std::string>& PointTexts() {
    static const std::vector<std::string> texts = [] {
        std::vector<std::string> t;
        for (const Point& p : Points())
            t.push_back(FormatFixed(p.latitude, 9) + " " + FormatFixed(p.longitude, 9));
        return t;
    }();
    return texts;
}

struct Core {
    geodesy::GeodesyDatumChain chain;
    geodesy::GeodesyTransverseMercator projection;
};

Core MakeCore() {
    geodesy::Ellipsoid source, target;
    geodesy::SevenParameters forward, reverse;
    geodesy::TransverseMercatorParameters tm;
    geodesy::Ellipsoid projectionEllipsoid;
    ReadDatumParameterText(kDatum, source, forward, target, reverse);
    ReadTransverseMercatorText(kProjection, tm);
    ReadProjectionEllipsoidText(kEllipsoid, projectionEllipsoid);
    return {geodesy::GeodesyDatumChain(source, forward, target, reverse),
            geodesy::GeodesyTransverseMercator(projectionEllipsoid, tm)};
}

void BM_GeodeticToGridText(benchmark::State& state) {
    const auto& texts = PointTexts();
    std::size_t i = 0;
    for (auto _ : state) {
        std::string grid = GeodeticToGrid(texts[i], kDatum, kProjection, kEllipsoid);
        benchmark::DoNotOptimize(grid);
        i = (i + 1) % texts.size();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GeodeticToGridText);

// The same with a parameter text that differs from the previous call's (a blank more or less),
// so that every call reads and prepares its parameters anew.
void BM_GeodeticToGridTextNewParametersEveryCall(benchmark::State& state) {
    const auto& texts = PointTexts();
    const std::string datums[2] = {kDatum, kDatum + " "};
    std::size_t i = 0;
    for (auto _ : state) {
        std::string grid = GeodeticToGrid(texts[i], datums[i & 1], kProjection, kEllipsoid);
        benchmark::DoNotOptimize(grid);
        i = (i + 1) % texts.size();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GeodeticToGridTextNewParametersEveryCall);

void BM_NumericCore(benchmark::State& state) {
    const Core core = MakeCore();
    const auto& points = Points();
    std::size_t i = 0;
    for (auto _ : state) {
        geodesy::GeodeticPoint local;
        double easting = 0, northing = 0;
        core.chain.toTargetGeodetic({points[i].latitude, points[i].longitude, 0}, local);
        core.projection.project(local.latitude, local.longitude, easting, northing);
        benchmark::DoNotOptimize(easting);
        benchmark::DoNotOptimize(northing);
        i = (i + 1) % points.size();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_NumericCore);

// PROJ, one point per call (as a map tick converts one fix), and the largest difference from
// our numeric core over all points as a counter.
void ProjOnePoint(benchmark::State& state, const char* algorithm) {
    PJ_CONTEXT* context = proj_context_create();
    char definition[1024];
    std::snprintf(definition, sizeof definition, kProjPipeline, algorithm);
    PJ* pipeline = proj_create(context, definition);
    if (pipeline == nullptr) {
        state.SkipWithError("PROJ pipeline not created");
        proj_context_destroy(context);
        return;
    }
    const auto& points = Points();
    const Core core = MakeCore();
    double largest = 0;
    for (const Point& p : points) {
        const PJ_COORD out = proj_trans(
            pipeline, PJ_FWD, proj_coord(proj_torad(p.longitude), proj_torad(p.latitude), 0, 0));
        geodesy::GeodeticPoint local;
        double easting = 0, northing = 0;
        core.chain.toTargetGeodetic({p.latitude, p.longitude, 0}, local);
        core.projection.project(local.latitude, local.longitude, easting, northing);
        largest = std::fmax(
            largest, std::fmax(std::fabs(out.xy.x - easting), std::fabs(out.xy.y - northing)));
    }
    std::size_t i = 0;
    for (auto _ : state) {
        const PJ_COORD out = proj_trans(
            pipeline, PJ_FWD,
            proj_coord(proj_torad(points[i].longitude), proj_torad(points[i].latitude), 0, 0));
        benchmark::DoNotOptimize(out);
        i = (i + 1) % points.size();
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["max_diff_mm"] = largest * 1000.0;
    proj_destroy(pipeline);
    proj_context_destroy(context);
}

void BM_ProjExactTransverseMercator(benchmark::State& state) {
    ProjOnePoint(state, "+algo=poder_engsager");
}
BENCHMARK(BM_ProjExactTransverseMercator);

void BM_ProjSeriesTransverseMercator(benchmark::State& state) {
    ProjOnePoint(state, "+approx");
}
BENCHMARK(BM_ProjSeriesTransverseMercator);

// PROJ over a whole array per call, its fastest way.
void BM_ProjExactTransverseMercatorArray(benchmark::State& state) {
    PJ_CONTEXT* context = proj_context_create();
    char definition[1024];
    std::snprintf(definition, sizeof definition, kProjPipeline, "+algo=poder_engsager");
    PJ* pipeline = proj_create(context, definition);
    const auto& points = Points();
    std::vector<PJ_COORD> coordinates(points.size());
    for (auto _ : state) {
        for (std::size_t i = 0; i < points.size(); ++i)
            coordinates[i] =
                proj_coord(proj_torad(points[i].longitude), proj_torad(points[i].latitude), 0, 0);
        proj_trans_array(pipeline, PJ_FWD, coordinates.size(), coordinates.data());
        benchmark::DoNotOptimize(coordinates.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(points.size()));
    proj_destroy(pipeline);
    proj_context_destroy(context);
}
BENCHMARK(BM_ProjExactTransverseMercatorArray);

void BM_TMScaleOrConvergence(benchmark::State& state) {
    const auto& points = Points();
    std::size_t i = 0;
    for (auto _ : state) {
        long double gamma =
            TMScaleOrConvergence("GrdConv", 6378388, 0.003367003367003367, points[i].latitude,
                                 points[i].longitude, 30, 0, 1, 500000, 0);
        benchmark::DoNotOptimize(gamma);
        i = (i + 1) % points.size();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TMScaleOrConvergence);

void BM_LambertTwoParallels(benchmark::State& state) {
    const double degree = 3.141592653589793 / 180;
    SetLambert2Parameters(6378388, 0.003367003367003367, 39 * degree, 30 * degree, 37 * degree,
                          41 * degree, 500000, 1000000);
    const auto& points = Points();
    std::size_t i = 0;
    for (auto _ : state) {
        double easting = 0, northing = 0;
        GeodeticToLambert2(points[i].latitude * degree, points[i].longitude * degree, easting,
                           northing);
        benchmark::DoNotOptimize(easting);
        i = (i + 1) % points.size();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LambertTwoParallels);

} // namespace

BENCHMARK_MAIN();
