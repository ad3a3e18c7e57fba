#pragma once

#include <QWidget>

// The sound velocity profile of the survey.
// For now the window is created in its place at start with its name and caption; its controls
// and handlers come with its own work.
class TfSVP : public QWidget {
    Q_OBJECT
public:
    explicit TfSVP(QWidget* parent = nullptr);
};

extern TfSVP* fSVP;
