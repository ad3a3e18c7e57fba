#pragma once

#include <QPoint>

#include <optional>

class TTavrinSerialGPS;

// What the NTRIP window reaches outside itself: the GNSS receiver's port, which the corrections
// go to and the vessel position comes from, and the main window it opens over. The main
// window answers.
class NtripWindowLinks {
public:
    virtual ~NtripWindowLinks() = default;
    // Null while there is none.
    virtual TTavrinSerialGPS* GnssPort() = 0;
    // The centre of the main window's frame; none while there is no main window.
    virtual std::optional<QPoint> MainWindowCentre() = 0;
};
