#pragma once

#include <cstdint>
#include <optional>
#include <string>

// What the acquisition handlers of the main window hand to each other: Start and Stop, the
// GNSS and sounder line handlers, the map tick, the echogram timer and event marks. Everything
// runs on the user-interface thread and reads the newest values; nothing is queued.
// Ticks are Clock::tickCount() milliseconds; a tick that has not been taken is empty, never 0.
struct AcquisitionState {
    // Acquisition has been started (the Start/Stop toggle), apart from the button's pressed
    // state, which follows the GNSS port.
    bool AcquisitionRunning = false;
    // Taken right after the GNSS port opened; the GNSS line handler switches the map timer on
    // only while it is set.
    std::optional<uint64_t> GnssStartTick;
    // Taken by Start with the sensor enabled: the silence reference before the first sounder
    // line. Empty, the silence watch is off.
    std::optional<uint64_t> AcquisitionStartTick;
    // Time of the last sounder line.
    std::optional<uint64_t> LastSensorTick;
    // The sounder's silence has been reported once in this silent spell.
    bool SensorSilenceReported = false;
    // The echogram window has been brought up by sounder data.
    bool EchogramActive = false;

    // Last GGA position, signed decimal degrees, and its altitude (m).
    double VesselLatitude = 0;
    double VesselLongitude = 0;
    double VesselAltitude = 0;
    // Heading from the gyro sentence, degrees.
    double GyroHeading = 1e-9;
    // Speed over ground for the map's readout, knots.
    double SpeedKnots = 0;
    // Ellipsoidal height of the antenna with an RTK fix (m), and that height minus the antenna
    // height above water (m).
    double AntennaHeight = 0;
    double RtkTide = 0;
    // Copies of the accepted set-up: transducer draft, sound velocity, antenna height above
    // water and manual tide.
    double CopiedOffsetA = 0;
    double CopiedSoundVelocity = 0;
    double CopiedOffsetC = 0;
    double CopiedTideHeight = 0;
    // Grid position and heading of the last map tick.
    double VesselEasting = 0;
    double VesselNorthing = 0;
    double GridHeading = 1e-9;
    // GGA fix quality at the last map tick and the one-line GNSS status the map draws.
    int CurrentFixQuality = 0;
    std::string OverlayStatusText;
    // Corrected depths of the last sounding (m).
    double TrueDepthHigh = 0;
    double TrueDepthLow = 0;
    // A new depth waits for the echogram.
    bool NewDepthPending = false;
};

// The one acquisition state of the program.
extern AcquisitionState Acquisition;
