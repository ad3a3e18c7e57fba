#pragma once

#include <QWidget>

// The numbers of the vessel symbol that the map tick draws.
// For now the window is created in its place at start with its name and caption; its controls
// and handlers come with its own work.
class TFShape : public QWidget {
    Q_OBJECT
public:
    explicit TFShape(QWidget* parent = nullptr);
};

extern TFShape* FShape;
