#pragma once

#include "tests/support/PaintedTextContrast.h"

#include "canvas/MapDisplaySettings.h"
#include "canvas/RenderPlan.h"
#include "canvas/TTavrinCanvas.h"

#include <QImage>
#include <QRect>

#include <string>
#include <vector>

// Every kind of text the map draws over its background, each painted on its own on the map as
// it stands (its background, the colours chosen for it), and how far its ink stands out from
// what lies right behind it on the painted frame.
struct MapTextReading {
    std::string Kind;
    double Contrast = 1.0;
};

inline std::vector<MapTextReading> MapTextContrasts(TTavrinCanvas& map) {
    const std::string savedStatus = OverlayStatusText;
    const int savedQuality = CurrentFixQuality;
    const int w = map.ClientWidth;
    const int h = map.ClientHeight;
    // One world metre a pixel, y up, so labels land where they are put.
    map.WorldSet(0, h, w, 0);
    map.SetDepthLabelSettings(true, map.LabelSpacing, map.LabelFontName, map.LabelFontSize,
                              map.LabelColor);
    map.ClearDepthLabels();
    map.ClearEventLabels();
    map.SetCurrentDepth(0, 0, false);
    map.SetCurrentSpeed(0, false);
    map.SetHeadingValid(true);
    map.GGAOverlayPosition = 0;
    map.DepthSpeedDisplayMode = 0;
    OverlayStatusText.clear();
    const QImage bare = map.RenderFrame().copy();

    std::vector<MapTextReading> readings;
    // A text drawn straight on the map: the area it changed and a little around it.
    const auto onMap = [&](const std::string& kind) {
        const QImage frame = map.RenderFrame().copy();
        const QRect area = ChangedArea(frame, bare).adjusted(-2, -2, 2, 2);
        readings.push_back({kind, area.isEmpty() ? 1.0 : PaintedTextContrast(frame, area)});
    };
    // A text in a box of its own: inside the box's frame and rounded corners.
    const auto inBox = [&](const std::string& kind, const QImage& without) {
        const QImage frame = map.RenderFrame().copy();
        const QRect area = ChangedArea(frame, without).adjusted(4, 4, -4, -4);
        readings.push_back({kind, area.isEmpty() ? 1.0 : PaintedTextContrast(frame, area)});
    };

    map.AddDepthLabel(w / 3.0, h / 2.0, 12.3);
    onMap("depth label");
    map.ClearDepthLabels();
    map.AddEventLabel(2 * w / 3.0, h / 2.0, 7);
    onMap("event label");
    map.ClearEventLabels();

    map.SetCurrentDepth(12.34, 0, true);
    inBox("depth read-out", bare);
    map.SetCurrentDepth(0, 0, false);
    map.SetCurrentSpeed(6.2, true);
    inBox("speed read-out", bare);
    map.SetCurrentSpeed(0, false);

    const std::pair<int, const char*> fixes[] = {{0, "status box, no fix"},
                                                 {2, "status box, DGPS"},
                                                 {4, "status box, RTK fixed"},
                                                 {5, "status box, RTK float"}};
    OverlayStatusText = "GGA Sats:12 HDOP:0.8 THdg:123.4";
    for (const auto& [quality, kind] : fixes) {
        CurrentFixQuality = quality;
        map.Refresh();
        inBox(kind, bare);
    }
    // The heading part, marked when the heading is not valid: its own box inside the status box.
    CurrentFixQuality = 4;
    map.Refresh();
    const QImage headingValid = map.RenderFrame().copy();
    map.SetHeadingValid(false);
    {
        const QImage frame = map.RenderFrame().copy();
        const QRect area = ChangedArea(frame, headingValid);
        readings.push_back({"status box, heading not valid",
                            area.isEmpty() ? 1.0 : PaintedTextContrast(frame, area)});
    }
    map.SetHeadingValid(true);
    OverlayStatusText.clear();
    map.Refresh();

    // The scale bar's label, under the bar and inside the bar's box.
    const ScaleBarPlan plan = PlanScaleBar(map.GetWorldWidth(), w);
    if (plan.Visible) {
        const int x0 = w - plan.Length - 20;
        const int y0 = h - 8 - 20 - 15;
        readings.push_back(
            {"scale bar",
             PaintedTextContrast(map.RenderFrame(), QRect(x0 - 2, y0 + 9, plan.Length + 4, 17))});
    } else {
        readings.push_back({"scale bar", 1.0});
    }

    OverlayStatusText = savedStatus;
    CurrentFixQuality = savedQuality;
    map.Refresh();
    return readings;
}
