#pragma once

#include <QWidget>

class QFrame;
class QTimer;

// Realtime data: the GNSS status box and the large depth read-outs.
// For now the window is created in its place at start with its name and caption, the
// low-frequency depth frame and the delayed sounder type change; its other controls and
// handlers come with its own work.
class TfRealtime : public QWidget {
    Q_OBJECT
public:
    explicit TfRealtime(QWidget* parent = nullptr);

    // The low-frequency depth read-out of the dual-frequency sounder types.
    QFrame* LowFreqFrame = nullptr;
    // Fires once, 10 s after creation, and is freed then.
    QTimer* Timer1 = nullptr;

    // Shows the frame and makes the client area 387 high; nothing when it is shown already.
    void ShowLowFreqFrame();
    // Hides the frame and makes the client area 289 high; nothing when it is hidden already.
    void HideLowFreqFrame();
    // The stored sounder type's format takes effect once the program has settled.
    void Timer1Timer();
};

extern TfRealtime* fRealtime;
