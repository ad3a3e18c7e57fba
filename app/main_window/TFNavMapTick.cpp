// The map tick and the event marks: what the surveyor sees of the vessel, drawn from the
// position record of the last GGA (projected when it arrived), never from a position that was
// not received.
#include "app/devices/TFGPS.h"
#include "app/main_window/TFNav.h"
#include "app/main_window/TStatusBar.h"
#include "app/ntrip/TfrmNTRIPSettings.h"
#include "app/settings_windows/TFShape.h"
#include "app/settings_windows/TNavset.h"
#include "app/survey_windows/AcquisitionSession.h"
#include "app/survey_windows/TOffsets.h"
#include "app/survey_windows/TfLatency.h"
#include "app/survey_windows/TfRealtime.h"
#include "app/widgets/HandlerBinding.h"
#include "canvas/MapDisplaySettings.h"
#include "canvas/TTLayer.h"
#include "canvas/TTavrinCanvas.h"
#include "canvas/VesselSymbol.h"
#include "platform/AppPaths.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/ErrorBoundary.h"
#include "platform/EventLog.h"
#include "platform/NumberText.h"
#include "platform/RepeatedErrorGuard.h"
#include "positioning/gnss/TavrinSerialGPS.h"
#include "survey/EventMark.h"
#include "survey/LatencyMeter.h"
#include "survey/MapStatusText.h"
#include "survey/TrackRecorder.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QTimer>

// What the tick keeps for the whole run of the program.
struct MapTickRun {
    TrackRecorder Track;
    LatencyMeter Latency;
    RepeatedErrorGuard Guard{QStringLiteral("Map tick")};
    uint64_t SeenGnssStart = 0;
    bool HadPosition = false;
};

namespace {

const QString VesselLayerName = QStringLiteral("~~Tavrin Vessel");

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

// The vessel layer's id, looked up again when the kept one no longer names the vessel layer
// (a replacing load renumbers layers): a stale id must never clear the operator's shapes.
int CurrentVesselLayer(CanvasModel& canvas) {
    const TTLayer* layer = canvas.FindLayer(VesselLayerId);
    if (!layer || layer->Name != VesselLayerName)
        VesselLayerId = canvas.LayerFindByName(VesselLayerName);
    return VesselLayerId;
}

} // namespace

void TFNav::BindMapTickHandlers() {
    MapTick = std::make_shared<MapTickRun>();
    BindClick(btEventAdd, this, &TFNav::btEventAddClick);
    BindClick(btEventReset, this, &TFNav::btEventResetClick);
    BindAction(MarkEvent1, this, &TFNav::btEventAddClick);
    // The timer's slot is bound by the acquisition; the tick runs inside its own guard so a
    // failing step is told once per spell, not at every tick.
}

void TFNav::tMapTimer() {
    if (!MapTick || !Acquisition || !fcad)
        return;
    MapTickRun& run = *MapTick;
    run.Guard.run([this, &run] {
        AcquisitionState& state = Acquisition->State();
        const PositionRecord& record = Acquisition->Core().Position;
        const uint64_t now = Clock::tickCount();

        // 1. Latency start.
        const bool latencyShown = fLatency && fLatency->isVisible();
        if (latencyShown)
            run.Latency.Start(now);

        const int quality = ZGPS1 ? ZGPS1->GetFixQuality() : 0;
        const int satellites = ZGPS1 ? ZGPS1->GetSatellites() : 0;
        const bool current = IsCurrentPosition(record, now);

        // A new run, or the first position after a spell without one, starts a new track chain.
        if (state.GnssStartTick != run.SeenGnssStart) {
            run.SeenGnssStart = state.GnssStartTick;
            run.Track.BreakChain();
        }
        if (!current && run.HadPosition)
            run.Track.BreakChain();
        run.HadPosition = current;

        // 2. The caster gets the position only while there is one.
        if (current && frmNTRIPSettings)
            frmNTRIPSettings->UpdateVesselPosition(record.Latitude, record.Longitude, record.Altitude);

        // 3. Realtime labels.
        const bool setupShown = Offsets && Offsets->isVisible();
        const std::string tide = TideLabelText(setupShown, state.RtkTide);
        if (fRealtime) {
            fRealtime->Fixed->setText(QString::number(quality));
            fRealtime->LAntennaH->setText(Text(FormatFixed(state.AntennaHeight, 2, 20)));
            fRealtime->LTideHt->setText(Text(tide));
            fRealtime->SatelliteLabel->setText(QString::number(satellites));
        }

        // 4. The status line the canvas draws.
        StatusLineValues line;
        line.fixQuality = quality;
        line.speedLabel = fRealtime ? fRealtime->Speed->text().toStdString() : std::string();
        line.satellites = satellites;
        line.antennaHeight = state.AntennaHeight;
        line.tideLabel = tide;
        line.sensorEnabled = FGPS && FGPS->SensorEnabled->isChecked();
        line.trueDepthHigh = state.TrueDepthHigh;
        state.OverlayStatusText = StatusLineText(line);
        state.CurrentFixQuality = quality;
        const bool statusChanged =
            OverlayStatusText != state.OverlayStatusText || CurrentFixQuality != quality;
        OverlayStatusText = state.OverlayStatusText;
        CurrentFixQuality = quality;
        // The map repaints what changed; a tick that changed nothing visible paints nothing.
        if (statusChanged)
            fcad->RefreshChanged();

        if (current) {
            // 7, 8. The grid position and heading of the fix the record holds.
            state.VesselEasting = record.Easting;
            state.VesselNorthing = record.Northing;
            state.GridConvergence = record.Convergence;
            const bool gyro = FGPS && FGPS->GyroEnabled->isChecked();
            const double course = ZGPS1 ? double(ZGPS1->GetCourse()) : 0.0;
            state.GridHeading = (gyro ? state.GyroHeading : course) + record.Convergence;

            // 9. Follow the vessel, or only repaint. A pan moves every pixel of the map; without
            // one, the paint rebuilds only what changed: the vessel layer and the newest track
            // are painted over the kept image of the layers under them.
            const double panX =
                state.VesselEasting - (fcad->PlanWorldLeft + fcad->PlanWorldRight) / 2;
            const double panY =
                state.VesselNorthing - (fcad->PlanWorldTop + fcad->PlanWorldBottom) / 2;
            if (FollowVessel && (panX != 0 || panY != 0))
                fcad->WorldPan(panX, panY);
            else
                fcad->RefreshChanged();

            // 10, 11. The vessel symbol.
            const NavigationSettings navigation = Navset ? Navset->Settings() : NavigationSettings();
            const VesselShape shape = FShape ? FShape->Shape() : VesselShape();
            fcad->LiveLayerId = CurrentVesselLayer(*fcad);
            DrawVesselSymbol(*fcad, fcad->LiveLayerId, shape, state.VesselEasting,
                             state.VesselNorthing, state.GridHeading, navigation.VesselColor,
                             navigation.VesselWidth);

            // 12. Status panels 0 and 1.
            if (sStatusBar && sStatusBar->PanelCount() >= 3) {
                const QString dms = Text(PositionDmsText(record.Latitude, record.Longitude));
                const QString grid = Text(GridPositionText(state.VesselEasting, state.VesselNorthing));
                // A text is measured only when it changes: laying it out costs more than the
                // rest of the tick's panels.
                const QFontMetrics metrics(sStatusBar->font());
                if (sStatusBar->PanelText(0) != dms) {
                    sStatusBar->SetPanelText(0, dms);
                    sStatusBar->SetPanelWidth(0, metrics.horizontalAdvance(dms) + 20);
                }
                if (sStatusBar->PanelText(1) != grid) {
                    sStatusBar->SetPanelText(1, grid);
                    sStatusBar->SetPanelWidth(1, metrics.horizontalAdvance(grid) + 20);
                }
            }

            // 13. The track. The layer follows the quality of the fix the point comes from.
            run.Track.Offer(*fcad, state.VesselEasting, state.VesselNorthing, record.FixQuality,
                            TrackSettingsOf(navigation));

            // 14. The depth label.
            if (ShowDepthLabels && state.TrueDepthHigh > 0) {
                fcad->SetDepthLabelSettings(ShowDepthLabels, DepthLabelSpacing,
                                            Text(DepthLabelFontName), DepthLabelFontSize,
                                            DepthLabelColor);
                fcad->AddDepthLabel(state.VesselEasting, state.VesselNorthing, state.TrueDepthHigh);
            }
        }

        // 15. Read-outs.
        if (FGPS && FGPS->SensorEnabled->isChecked()) {
            // The frame's own shown state, set with the sounder type: the realtime window itself
            // is hidden at start and in the compact view, and the map shows the depth all the same.
            const bool lowShown = fRealtime && !fRealtime->DepthFrameLo->isHidden();
            fcad->SetCurrentDepth(state.TrueDepthHigh, lowShown ? state.TrueDepthLow : 0, true);
        }
        fcad->SetCurrentSpeed(state.SpeedKnots, true);

        // 16. Latency end, in milliseconds of the clock.
        if (latencyShown && run.Latency.Finish(Clock::tickCount()))
            fLatency->ShowLatency(run.Latency);
    });
}

void TFNav::btEventAddClick() {
    if (!fcad)
        return;
    EventMarkValues values;
    if (Acquisition) {
        const AcquisitionState& state = Acquisition->State();
        values.easting = state.VesselEasting;
        values.northing = state.VesselNorthing;
        values.gridHeading = Acquisition->Core().Position.HasGga ? state.GridHeading : 0.0;
    }
    if (fRealtime) {
        values.depthHigh = fRealtime->lDepthHi->text().toStdString();
        values.depthLow = fRealtime->lDepthLo->text().toStdString();
    }
    const EventMarkResult result = AddEventMark(*fcad, AppPaths::settingsFile(), EventsLogPath(), values);
    if (!result.error.empty())
        Dialogs::showError(Text(result.error));
}

void TFNav::btEventResetClick() {
    if (!Dialogs::confirmYesNo(QStringLiteral("Event ID will restart from 1 again. Continue?")))
        return;
    if (!ResetEventNumber(AppPaths::settingsFile(), EventsLogPath()))
        Dialogs::showError(QStringLiteral("Unable to write to ") + AppPaths::settingsFile());
}
