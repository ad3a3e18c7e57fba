#pragma once

#include <QWidget>

class QLabel;
class QTimer;
class TFGPS;

// The echo sounder's battery value, carried in its "Tavrin SMT" lines. Visible from start;
// it takes itself off the screen, for the rest of the run, once another sounder type is
// selected in the device settings window.
class TfJoystick : public QWidget {
    Q_OBJECT
public:
    explicit TfJoystick(const TFGPS* deviceSettings = nullptr, QWidget* parent = nullptr);

    // The device settings, whose sounder type keeps the window on the screen.
    const TFGPS* const DeviceSettings;

    // The battery text; empty until the first value arrives. The only battery state.
    QLabel* pBattery = nullptr;
    // 1 s, from creation to destruction.
    QTimer* Timer1 = nullptr;

    void Timer1Timer();
    // For the sounder's line handler: the value in fixed notation with 2 decimals, no unit.
    void ShowBatteryValue(double value);
};

extern TfJoystick* fJoystick;
