#pragma once

#include <QEvent>
#include <QObject>

#include <cstdint>

// Counts the paint events of the widgets it is installed on (as their event filter), so a
// test can tell a window that painted from one that only changed its data.
class PaintCounter : public QObject {
public:
    uint64_t paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};
