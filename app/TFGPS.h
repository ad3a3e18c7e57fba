#pragma once

#include <QWidget>

// Device settings: both serial ports, the sounder format, geodetic and display settings.
// For now the window is created in its place at start with its name and caption; its controls
// and handlers come with its own work.
class TFGPS : public QWidget {
    Q_OBJECT
public:
    explicit TFGPS(QWidget* parent = nullptr);
};

extern TFGPS* FGPS;
