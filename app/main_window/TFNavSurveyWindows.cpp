#include "app/main_window/TFNav.h"

#include "app/survey_windows/TOffsets.h"
#include "app/survey_windows/TfLatency.h"
#include "app/survey_windows/TfRealtime.h"

#include "platform/ErrorBoundary.h"
#include "platform/RepeatedErrorGuard.h"
#include "platform/WindowStacking.h"

#include <QAction>
#include <QTimer>

#include <memory>

void TFNav::BindSurveyWindows() {
    // A timer tick that keeps failing is reported once per spell, not at every tick.
    auto echogramGuard = std::make_shared<RepeatedErrorGuard>(QStringLiteral("Echogram"));
    connect(tEchogram, &QTimer::timeout, this,
            [this, echogramGuard] { echogramGuard->run([this] { tEchogramTimer(); }); });
    const auto bind = [this](QAction* action, void (TFNav::*handler)()) {
        connect(action, &QAction::triggered, this,
                [this, handler] { ErrorBoundary::run([this, handler] { (this->*handler)(); }); });
    };
    bind(Echogram1, &TFNav::Echogram1Click);
    bind(mRealtimeWindow1, &TFNav::mRealtimeWindow1Click);
    bind(LatencyWatchSet1, &TFNav::LatencyWatchSet1Click);
    bind(OffsetsandValues1, &TFNav::OffsetsandValues1Click);
}

void TFNav::mRealtimeWindow1Click() {
    WindowStacking::showInFront(fRealtime);
}

void TFNav::LatencyWatchSet1Click() {
    WindowStacking::showInFront(fLatency);
}

void TFNav::OffsetsandValues1Click() {
    WindowStacking::showInFront(Offsets);
}
