#include "canvas/VesselSymbol.h"

#include "canvas/CanvasModel.h"

#include <algorithm>
#include <cmath>
#include <numbers>

VesselSymbolGeometry VesselSymbolAt(const VesselShape& shape, double easting, double northing,
                                    double gridHeadingDeg) {
    VesselSymbolGeometry g;
    const double h = gridHeadingDeg * std::numbers::pi / 180.0;
    const double half = std::numbers::pi / 2;
    g.PX = easting;
    g.PY = northing;
    g.FX = easting + shape.BowLength * std::sin(h);
    g.FY = northing + shape.BowLength * std::cos(h);
    g.RX = easting + shape.SideLength * std::sin(h + half);
    g.RY = northing + shape.SideLength * std::cos(h + half);
    g.QX = easting + shape.SideLength * std::sin(h - half);
    g.QY = northing + shape.SideLength * std::cos(h - half);
    g.Lines = {WorldSegment{g.PX, g.PY, g.FX, g.FY}, WorldSegment{g.PX, g.PY, g.RX, g.RY},
               WorldSegment{g.PX, g.PY, g.QX, g.QY}, WorldSegment{g.FX, g.FY, g.RX, g.RY},
               WorldSegment{g.FX, g.FY, g.QX, g.QY}};
    const int count = std::clamp(shape.CircleCount, 0, MaxVesselCircles);
    g.CircleRadii.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        g.CircleRadii.push_back(shape.FirstRadius + i * shape.CircleStep);
    return g;
}

void DrawVesselSymbol(CanvasModel& canvas, int layerId, const VesselShape& shape, double easting,
                      double northing, double gridHeadingDeg, uint32_t penColor, int penWidth) {
    // Only a layer that exists: an id the canvas does not know (-1, or one left over from a
    // drawing that was replaced) would clear every shape, or pile the symbol up on "Default"
    // a tick at a time.
    if (!canvas.FindLayer(layerId))
        return;
    canvas.CadClearShapes(layerId);
    if (easting == 0 && northing == 0)
        return;
    for (const double value : {easting, northing, gridHeadingDeg, shape.CircleStep,
                               shape.FirstRadius, shape.SideLength, shape.BowLength}) {
        if (!std::isfinite(value))
            return;
    }
    // The layer is empty now, but setting its pen walks every shape of the map to recolour
    // the layer's own: a day's track at every tick. Only a changed setting needs it.
    if (canvas.GetLayerPenFg(layerId) != penColor)
        canvas.SetLayerPenFg(layerId, penColor);
    if (canvas.GetLayerPenWidth(layerId) != penWidth)
        canvas.SetLayerPenWidth(layerId, penWidth);
    const VesselSymbolGeometry g = VesselSymbolAt(shape, easting, northing, gridHeadingDeg);
    for (const WorldSegment& line : g.Lines)
        canvas.DrawLine(line.X1, line.Y1, line.X2, line.Y2, layerId);
    for (const double radius : g.CircleRadii)
        canvas.DrawCircle(g.PX, g.PY, radius, layerId);
}
