#include "app/ntrip/RtcmReportCommand.h"

#include "app/ntrip/TfRTCMParsing.h"
#include "platform/Clock.h"
#include "platform/WindowStacking.h"
#include "positioning/rtcm/RtcmBaseStationLog.h"
#include "positioning/rtcm/RtcmCaptureWalk.h"
#include "positioning/rtcm/RtcmReport.h"

#include <cmath>

namespace {

constexpr size_t MinimumCaptureSize = 6; // the smallest frame

bool IsNewStation(const RtcmLastBaseStation& last, int32_t id, double latitude, double longitude) {
    return id != last.LastBaseId || (last.LastBaseLatitude == 0 && last.LastBaseLongitude == 0) ||
           std::fabs(latitude - last.LastBaseLatitude) > 0.00001 ||
           std::fabs(longitude - last.LastBaseLongitude) > 0.00001;
}

void Log(const std::function<void(const std::string&)>& addLogLine, const std::string& text) {
    if (addLogLine)
        addLogLine(text);
}

} // namespace

void MakeRtcmReport(const std::optional<std::string>& capture, const RtcmVesselPosition& vessel,
                    RtcmLastBaseStation& last,
                    const std::function<void(const std::string&)>& addLogLine,
                    int standardOffsetMinutes) {
    if (!capture || capture->size() < MinimumCaptureSize) {
        Log(addLogLine, "No RTCM data to parse");
        return;
    }
    if (!fRTCMParsing)
        fRTCMParsing = new TfRTCMParsing();
    fRTCMParsing->ClearReport();
    WindowStacking::showInFront(fRTCMParsing);

    const std::string& captured = *capture;
    RtcmReportContext context;
    context.noted = Clock::now();
    context.standardOffsetMinutes = standardOffsetMinutes;
    context.vesselLatitude = vessel.latitude;
    context.vesselLongitude = vessel.longitude;
    context.vesselAltitude = vessel.altitude;
    context.manualPosition = vessel.manualPosition;

    const RtcmCaptureSummary summary = WalkRtcmCapture(captured);
    for (const std::string& line : BuildRtcmReportLines(captured, summary, context))
        fRTCMParsing->AddReportLine(line);

    if (!summary.positionValid)
        return;
    const Wgs84Position& position = summary.position;
    if (!IsNewStation(last, summary.stationId, position.latitude, position.longitude))
        return;
    Log(addLogLine, BaseStationLogLine(summary.stationId, position));
    last.LastBaseId = summary.stationId;
    last.LastBaseLatitude = position.latitude;
    last.LastBaseLongitude = position.longitude;
    last.LastBaseHeight = position.height;
}
