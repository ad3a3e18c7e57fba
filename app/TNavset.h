#pragma once

#include <QWidget>

// Navigation display settings: track, vessel and depth-alert values read by the map tick.
// For now the window is created in its place at start with its name and caption; its controls
// and handlers come with its own work.
class TNavset : public QWidget {
    Q_OBJECT
public:
    explicit TNavset(QWidget* parent = nullptr);
};

extern TNavset* Navset;
