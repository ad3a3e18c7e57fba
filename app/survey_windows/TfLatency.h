#pragma once

#include <QWidget>

class LatencyMeter;
class QGroupBox;
class QLineEdit;

// How long the map tick takes: the last tick, the running average and the tolerance the
// operator sets; the box turns red when a tick is not faster than the tolerance.
class TfLatency : public QWidget {
    Q_OBJECT
public:
    explicit TfLatency(QWidget* parent = nullptr);

    QGroupBox* gLatency = nullptr;
    QLineEdit* eCurrentLatency = nullptr;  // written by the map tick
    QLineEdit* eLatencyAveraged = nullptr; // written by the map tick
    QLineEdit* eLatencyTol = nullptr;

    // Writes the meter's current latency and average into the two edits.
    void ShowLatency(const LatencyMeter& meter);

    void FormCreate();
    void eLatencyTolChange();
    void eCurrentLatencyChange();
};

extern TfLatency* fLatency;
