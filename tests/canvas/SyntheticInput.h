#pragma once

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>

// Qt input events made up and sent straight to a widget, as the window system would deliver
// them (no display needed: events sent this way reach hidden widgets under offscreen too).
class SyntheticInput {
public:
    explicit SyntheticInput(QWidget& target) : Target(target) {}

    void Mouse(QEvent::Type type, Qt::MouseButton button, int px, int py,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        const Qt::MouseButtons held =
            type == QEvent::MouseButtonRelease ? Qt::MouseButtons() : Qt::MouseButtons(button);
        QMouseEvent event(type, QPointF(px, py), QPointF(px, py), button, held, modifiers);
        QApplication::sendEvent(&Target, &event);
    }
    void Press(Qt::MouseButton button, int px, int py,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        Mouse(QEvent::MouseButtonPress, button, px, py, modifiers);
    }
    void Release(Qt::MouseButton button, int px, int py) {
        Mouse(QEvent::MouseButtonRelease, button, px, py);
    }
    void Click(Qt::MouseButton button, int px, int py,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        Press(button, px, py, modifiers);
        Release(button, px, py);
    }
    void Move(int px, int py, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QMouseEvent event(QEvent::MouseMove, QPointF(px, py), QPointF(px, py), Qt::NoButton,
                          Qt::NoButton, modifiers);
        QApplication::sendEvent(&Target, &event);
    }
    void Wheel(int px, int py, QPoint angleDelta) {
        QWheelEvent event(QPointF(px, py), QPointF(px, py), QPoint(), angleDelta, Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&Target, &event);
    }
    void Key(int qtKey) {
        QKeyEvent event(QEvent::KeyPress, qtKey, Qt::NoModifier);
        QApplication::sendEvent(&Target, &event);
    }

private:
    QWidget& Target;
};
