#pragma once

#include <QWidget>

// The echogram: the last soundings as a strip chart.
// For now the window is created in its place at start with its name and caption; its controls
// and handlers come with its own work.
class TfWaterfal : public QWidget {
    Q_OBJECT
public:
    explicit TfWaterfal(QWidget* parent = nullptr);
};

extern TfWaterfal* fWaterfal;
