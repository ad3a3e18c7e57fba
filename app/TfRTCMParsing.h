#pragma once

#include <QWidget>

// The report of decoded RTCM corrections.
// For now the window is created in its place at start with its name and caption; its controls
// and handlers come with its own work.
class TfRTCMParsing : public QWidget {
    Q_OBJECT
public:
    explicit TfRTCMParsing(QWidget* parent = nullptr);
};

extern TfRTCMParsing* fRTCMParsing;
