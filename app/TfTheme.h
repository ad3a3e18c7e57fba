#pragma once

#include <QWidget>

// Chooses the visual style of the whole user interface.
// For now the window is created in its place at start with its name and caption; its controls
// and handlers come with its own work.
class TfTheme : public QWidget {
    Q_OBJECT
public:
    explicit TfTheme(QWidget* parent = nullptr);
};

extern TfTheme* fTheme;
