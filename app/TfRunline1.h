#pragma once

#include <QWidget>

// Plans survey lines from a route drawn on the map.
// For now the window is created in its place at start with its name and caption; its controls
// and handlers come with its own work.
class TfRunline1 : public QWidget {
    Q_OBJECT
public:
    explicit TfRunline1(QWidget* parent = nullptr);
};

extern TfRunline1* fRunline1;
