#pragma once

#include <QWidget>

#include <functional>

class QPainter;

// A plain drawing surface whose owner paints it and answers its mouse: each event is handed to
// the owner's handler inside the error boundary, so a failing handler reports and the event
// loop goes on. Mouse positions are in the box's own pixels.
class TPaintBox : public QWidget {
    Q_OBJECT
public:
    explicit TPaintBox(QWidget* parent = nullptr);

    std::function<void(QPainter&)> OnPaint;
    std::function<void(Qt::MouseButton, int x, int y)> OnMouseDown;
    std::function<void(int x, int y)> OnMouseMove;
    std::function<void(Qt::MouseButton, int x, int y)> OnMouseUp;
    std::function<void()> OnDblClick;
    std::function<void()> OnResize;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
};
