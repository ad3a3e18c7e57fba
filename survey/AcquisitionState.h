#pragma once

#include <cstdint>
#include <string>

// What the acquisition handlers hand each other during a run: the GNSS line handler, the
// sounder line handler, the map tick and the echogram read the newest values here, all on the
// user-interface thread. Ticks are Clock::tickCount() milliseconds (64-bit, never wrapping).
struct AcquisitionState {
    bool AcquisitionRunning = false;
    // The GNSS port opened at Start. A flag, not the tick: a clock reading 0 must not keep the
    // map from starting.
    bool GnssStarted = false;
    uint64_t GnssStartTick = 0;
    // Start with the sensor enabled; 0 disables the silence watch.
    uint64_t AcquisitionStartTick = 0;
    uint64_t LastSensorTick = 0;
    bool SensorSilenceReported = false;
    bool EchogramActive = false;

    double VesselLatitude = 0;
    double VesselLongitude = 0;
    double VesselAltitude = 0;
    double GyroHeading = 1e-9;
    double SpeedKnots = 0;
    double AntennaHeight = 0;
    double RtkTide = 0;

    // The set-up values in use: taken at Start, refreshed by GNSS lines while the set-up
    // window is hidden.
    double CopiedOffsetA = 0;
    double CopiedSoundVelocity = 0;
    double CopiedOffsetC = 0;
    double CopiedTideHeight = 0;

    double VesselEasting = 0;
    double VesselNorthing = 0;
    double GridConvergence = 1e-9;
    double GridHeading = 1e-9;
    int CurrentFixQuality = 0;
    std::string OverlayStatusText;

    double TrueDepthHigh = 0;
    double TrueDepthLow = 0;
    bool NewDepthPending = false;

    // The fix quality the realtime window's GNSS box was last coloured with.
    int PreviousFixQuality = 0;
};
