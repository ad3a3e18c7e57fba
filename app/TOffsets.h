#pragma once

#include <QWidget>

// Survey set-up: offsets, sound velocity, tide and the survey's names; starts acquisition.
// For now the window is created in its place at start with its name and caption; its controls
// and handlers come with its own work.
class TOffsets : public QWidget {
    Q_OBJECT
public:
    explicit TOffsets(QWidget* parent = nullptr);
};

extern TOffsets* Offsets;
