#pragma once

#include <QEvent>
#include <QObject>

// Counts the paints a widget gets (installed as its event filter), so a benchmark can show
// that what it timed really painted.
class MapPaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};
