#pragma once

class QTimer;
class TTavrinCanvas;

// What the navigation settings reach outside themselves: the map their widths and colours go
// to, the map tick their update rate sets, and whether the program is closing (the closing
// reports an unwritable settings file once for every window). The main window answers.
class NavigationSettingsLinks {
public:
    virtual ~NavigationSettingsLinks() = default;
    // Null while there is no map.
    virtual TTavrinCanvas* Map() = 0;
    // Null while there is no main window.
    virtual QTimer* MapTimer() = 0;
    virtual bool ClosingProgram() = 0;
};
