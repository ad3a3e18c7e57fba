#pragma once

class QTimer;
class TTavrinCanvas;
class TTavrinSerialGPS;

// What the device settings reach outside themselves: the map their display page draws on, the
// screenshot timer, the two ports, the port monitor's pause and the realtime window's frame for
// slow sounders. The main window answers (MainWindowLinks); without links the window works on
// its own pages only.
class DeviceSettingsLinks {
public:
    virtual ~DeviceSettingsLinks() = default;
    // Null while there is no map.
    virtual TTavrinCanvas* Map() = 0;
    // Null while there is no main window.
    virtual QTimer* ScreenshotTimer() = 0;
    // The GNSS receiver's port, or the sounder's; null while there is none.
    virtual TTavrinSerialGPS* Port(bool gnss) = 0;
    // The monitor pages show the ports' lines only while active; a press on a page holds them.
    virtual bool PortMonitorActive() = 0;
    virtual void SetPortMonitorActive(bool active) = 0;
    // The realtime window's frame for sounders that report at a low frequency.
    virtual void ShowLowFrequencyFrame(bool shown) = 0;
};
