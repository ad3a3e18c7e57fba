#include "app/main_window/TFNav.h"

#include "app/survey_windows/SurveyStateAccess.h"
#include "app/survey_windows/TfWaterfal.h"

#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/WindowStacking.h"

#include "positioning/gnss/TavrinSerialGPS.h"

#include "survey/SensorSilenceWatch.h"

namespace {

// The state keeps 0 for a tick not taken.
std::optional<uint64_t> Taken(uint64_t tick) {
    return tick ? std::optional<uint64_t>(tick) : std::nullopt;
}

} // namespace

void TFNav::tEchogramTimer() {
    AcquisitionState& state = SurveyAcquisitionState();
    if (SensorSilenceWatch::SilenceToReport(Taken(state.AcquisitionStartTick),
                                            Taken(state.LastSensorTick),
                                            state.SensorSilenceReported, Clock::tickCount())) {
        state.SensorSilenceReported = true;
        if (fWaterfal)
            fWaterfal->hide();
        state.EchogramActive = false;
        ZSENSORTimeout(this);
    }
    if (fWaterfal && fWaterfal->isVisible() && state.NewDepthPending && ZSENSOR &&
        ZSENSOR->Connected)
        DrawEchogram(state.TrueDepthHigh, EchogramLimits::FallbackTop,
                     EchogramLimits::FallbackBottom, fWaterfal->DataWidth);
    state.NewDepthPending = false;
}

void TFNav::Echogram1Click() {
    if (ZSENSOR && ZSENSOR->Connected) {
        WindowStacking::showInFront(fWaterfal);
        return;
    }
    Dialogs::showMessage(
        QStringLiteral("Sensor is not connected. Connect sensor to view waterfall."));
}
