// A capture of the correction stream into the block scanner, the capture walk and the report,
// as raw bytes and re-framed with a correct CRC-24Q so that the decoders are reached.
// Properties: every stored value is finite and in range; the ECEF and geographic blocks come
// from the same plausible station; no report line holds a control character.

#include "fuzz/FuzzProperty.h"
#include "fuzz/FuzzTemporaryFolder.h"
#include "platform/DataPaths.h"
#include "positioning/rtcm/RtcmCaptureWalk.h"
#include "positioning/rtcm/RtcmFrame.h"
#include "positioning/rtcm/RtcmReport.h"
#include "positioning/rtcm/RtcmStreamScanner.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <string>

namespace {

void CheckCapture(const std::string& capture) {
    const RtcmCaptureSummary summary = WalkRtcmCapture(capture);
    if (summary.positionValid) {
        FUZZ_PROPERTY(IsPlausibleStationVector(summary.x, summary.y, summary.z));
        const Wgs84Position& p = summary.position;
        FUZZ_PROPERTY(std::isfinite(p.latitude) && std::fabs(p.latitude) <= 90);
        FUZZ_PROPERTY(std::isfinite(p.longitude) && std::fabs(p.longitude) <= 180);
        // Inside the plausible shell the height lies within a thousand kilometres of the
        // ellipsoid, also on the polar axis.
        FUZZ_PROPERTY(std::isfinite(p.height) && std::fabs(p.height) < 1000000);
        const Wgs84Position again = StationEcefToWgs84(summary.x, summary.y, summary.z);
        FUZZ_PROPERTY(again.latitude == p.latitude && again.longitude == p.longitude);
    }
    FUZZ_PROPERTY(std::isfinite(summary.antennaHeight) && summary.antennaHeight >= 0);
    FUZZ_PROPERTY(summary.damagedFrames >= 0 && summary.totalFrames >= 0);

    RtcmReportContext context;
    context.vesselLatitude = 40.8;
    context.vesselLongitude = 28.75;
    for (const std::string& line : BuildRtcmReportLines(capture, summary, context))
        for (const char c : line)
            FUZZ_PROPERTY(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F);

    RtcmLastBaseStation last;
    ScanRtcmBlockForBaseStations(reinterpret_cast<const uint8_t*>(capture.data()),
                                 capture.size(), last, [](const std::string& line) {
                                     for (const char c : line)
                                         FUZZ_PROPERTY(static_cast<unsigned char>(c) >= 0x20);
                                 });
}

// Messages of fuzzer-chosen lengths and bytes, each in a frame with a correct CRC-24Q. Station
// messages are steered towards the plausible shell now and then so that positions come out.
std::string Reframe(FuzzedDataProvider& provider) {
    std::string capture;
    while (provider.remaining_bytes() > 0) {
        const size_t length = provider.ConsumeIntegralInRange<size_t>(0, 60);
        std::string message = provider.ConsumeBytesAsString(length);
        std::string frame = "\xd3";
        frame += static_cast<char>((message.size() >> 8) & 0x03);
        frame += static_cast<char>(message.size() & 0xFF);
        frame += message;
        const uint32_t crc =
            RtcmCrc24q(reinterpret_cast<const uint8_t*>(frame.data()), frame.size());
        frame += static_cast<char>((crc >> 16) & 0xFF);
        frame += static_cast<char>((crc >> 8) & 0xFF);
        frame += static_cast<char>(crc & 0xFF);
        capture += frame;
    }
    return capture;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // A base station found in a capture is logged to the day's events log: a folder of the
    // run's own, not the working folder (the repository under make fuzz).
    LogFolder = MakeFuzzFolder("fuzz_rtcm_capture") + "/";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CheckCapture(std::string(reinterpret_cast<const char*>(data), size));
    FuzzedDataProvider provider(data, size);
    CheckCapture(Reframe(provider));
    return 0;
}
