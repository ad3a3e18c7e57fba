#pragma once

#include "canvas/CanvasModel.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

// Hooks all five canvas events and keeps what they were raised with, in order.
struct RecordedEvent {
    std::string Name;
    int A = 0; // Button, Shift or ShapeType, by event
    int B = 0; // Shift, or ShapeNumber
    int C = 0; // Action
    double X = 0.0;
    double Y = 0.0;
    double Magnitude = 0.0;
    double Angle = 0.0;
};

class ToolEventRecorder {
public:
    explicit ToolEventRecorder(CanvasModel& canvas) {
        canvas.OnWorldMouseDown = [this](int16_t button, int16_t shift, int16_t action, double x,
                                         double y) {
            Events.push_back({"WorldMouseDown", button, shift, action, x, y});
        };
        canvas.OnWorldMouseMove = [this](int16_t shift, double x, double y, double magnitude,
                                         double angle) {
            Events.push_back({"WorldMouseMove", shift, 0, 0, x, y, magnitude, angle});
        };
        canvas.OnDrawBegin = [this](int16_t type, double x, double y) {
            Events.push_back({"DrawBegin", type, 0, 0, x, y});
        };
        canvas.OnDrawEnd = [this](int16_t type, double x, double y) {
            Events.push_back({"DrawEnd", type, 0, 0, x, y});
        };
        canvas.OnShapeNumberSelected = [this](int16_t type, int32_t id) {
            Events.push_back({"ShapeNumberSelected", type, id});
        };
    }

    int Count(const std::string& name) const {
        return static_cast<int>(std::count_if(Events.begin(), Events.end(),
                                              [&](const auto& e) { return e.Name == name; }));
    }
    const RecordedEvent& Last(const std::string& name) const {
        static const RecordedEvent none;
        auto it = std::find_if(Events.rbegin(), Events.rend(),
                               [&](const auto& e) { return e.Name == name; });
        return it == Events.rend() ? none : *it;
    }
    // Names of the events other than moves, in order.
    std::vector<std::string> Sequence() const {
        std::vector<std::string> names;
        for (const auto& e : Events)
            if (e.Name != "WorldMouseMove")
                names.push_back(e.Name);
        return names;
    }

    std::vector<RecordedEvent> Events;
};
