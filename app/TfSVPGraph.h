#pragma once

#include <QWidget>

// Graph editor of the averaged sound velocity profile.
// For now the window is created in its place at start with its name and caption; its controls
// and handlers come with its own work.
class TfSVPGraph : public QWidget {
    Q_OBJECT
public:
    explicit TfSVPGraph(QWidget* parent = nullptr);
};

extern TfSVPGraph* fSVPGraph;
