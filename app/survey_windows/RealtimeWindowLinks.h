#pragma once

#include <string>

// What the realtime window asks of the rest of the program: the sounder type's delayed run in
// the device settings, the main window's compact view and zoom, the GNSS raw log's file and the
// set-up window. The main window answers.
class RealtimeWindowLinks {
public:
    virtual ~RealtimeWindowLinks() = default;
    // The run of the sounder type a little after start (not an operator's pick).
    virtual void DelayedSounderTypeRun() = 0;
    // The main window's menus, tool bars and status bar back, or hidden (the compact view).
    virtual void RestoreChrome() = 0;
    virtual void HideChrome() = 0;
    virtual void ZoomIn() = 0;
    virtual void ZoomOut() = 0;
    // The GNSS port's raw log file; empty when there is none.
    virtual std::string GnssLogFileName() = 0;
    virtual void ShowSetUp() = 0;
};
