#pragma once

#include <QWidget>

class QGroupBox;
class QTimer;
class QLabel;
class QToolBar;
class QToolButton;
class RealtimeWindowLinks;

// Realtime data: the GNSS status box and the large depth read-outs, written by the acquisition
// handlers of the main window, and a tool bar with the compact view, the zoom buttons, the day
// folder and the survey set-up window.
class TfRealtime : public QWidget {
    Q_OBJECT
public:
    explicit TfRealtime(RealtimeWindowLinks* links = nullptr, QWidget* parent = nullptr);

    // The main window, the device settings and the set-up, as far as the window reaches them.
    RealtimeWindowLinks* const Links;

    QToolBar* ToolBar1 = nullptr;
    // Its image index records the view: 0 normal, 1 compact (the main window reads it).
    QToolButton* btHide = nullptr;
    QToolButton* ToolButton2 = nullptr; // clicks the main window's Zoomin
    QToolButton* ToolButton3 = nullptr; // clicks the main window's Zoomout
    QToolButton* btOpenLogFolder = nullptr;
    QToolButton* btShowOffsets = nullptr;

    QGroupBox* GPSGroupBox = nullptr;
    QLabel* Fixed = nullptr;
    QLabel* Speed = nullptr;
    QLabel* SatelliteLabel = nullptr;
    QLabel* LAntennaH = nullptr;
    QLabel* LTideHt = nullptr;
    QGroupBox* DepthFrameHi = nullptr;
    QLabel* lDepthHi = nullptr;
    QGroupBox* DepthFrameLo = nullptr;
    QLabel* lDepthLo = nullptr;

    // The client heights: the status box alone (Start without the sensor), with the high
    // frequency depth, with both depths.
    static constexpr int HeightWithoutDepths = 191;
    static constexpr int HeightWithHighDepth = 289;
    static constexpr int HeightWithBothDepths = 387;

    int btHideImageIndex() const { return hideImageIndex_; }
    void SetbtHideImageIndex(int index);

    // Colours a box's background (clLime, clRed, ... as the handlers give them).
    static void SetBoxColour(QGroupBox* box, const QColor& colour);

    // Fires once, 10 s after creation, and is freed then.
    QTimer* Timer1 = nullptr;
    // Shows the low-frequency depth frame and makes the client area 387 high; nothing when it
    // is shown already.
    void ShowLowFreqFrame();
    // Hides it and makes the client area 289 high; nothing when it is hidden already.
    void HideLowFreqFrame();
    // The stored sounder type's format takes effect once the program has settled.
    void Timer1Timer();

    void FormShow();
    void btHideClick();
    void ToolButton2Click();
    void ToolButton3Click();
    void btOpenLogFolderClick();
    void btShowOffsetsClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    int hideImageIndex_ = 0;
};

extern TfRealtime* fRealtime;
