#pragma once

#include <QWidget>

class QToolButton;

// Realtime data: the GNSS status box and the large depth read-outs.
// For now the window is created in its place at start with its name and caption, and its
// button that opens the day's folder; its other controls and handlers come with its own work.
class TfRealtime : public QWidget {
    Q_OBJECT
public:
    explicit TfRealtime(QWidget* parent = nullptr);

    QToolButton* btOpenLogFolder = nullptr;
    // Opens the day's folder in the desktop's file manager, making it when it is missing.
    void btOpenLogFolderClick();
};

extern TfRealtime* fRealtime;
