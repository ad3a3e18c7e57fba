#pragma once

#include <QWidget>

// Realtime data: the GNSS status box and the large depth read-outs.
// For now the window is created in its place at start with its name and caption; its controls
// and handlers come with its own work.
class TfRealtime : public QWidget {
    Q_OBJECT
public:
    explicit TfRealtime(QWidget* parent = nullptr);
};

extern TfRealtime* fRealtime;
