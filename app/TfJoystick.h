#pragma once

#include <QWidget>

// The echo sounder's battery value.
// For now the window is created in its place at start with its name and caption; its controls
// and handlers come with its own work.
class TfJoystick : public QWidget {
    Q_OBJECT
public:
    explicit TfJoystick(QWidget* parent = nullptr);
};

extern TfJoystick* fJoystick;
