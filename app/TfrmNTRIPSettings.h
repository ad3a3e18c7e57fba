#pragma once

#include <QWidget>

// The NTRIP client's settings, connection and log.
// For now the window is created in its place at start with its name and caption; its controls
// and handlers come with its own work.
class TfrmNTRIPSettings : public QWidget {
    Q_OBJECT
public:
    explicit TfrmNTRIPSettings(QWidget* parent = nullptr);
};

extern TfrmNTRIPSettings* frmNTRIPSettings;
