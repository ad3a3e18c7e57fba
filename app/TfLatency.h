#pragma once

#include <QWidget>

// How long the map tick takes.
// For now the window is created in its place at start with its name and caption; its controls
// and handlers come with its own work.
class TfLatency : public QWidget {
    Q_OBJECT
public:
    explicit TfLatency(QWidget* parent = nullptr);
};

extern TfLatency* fLatency;
