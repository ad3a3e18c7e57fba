#pragma once

#include "survey/EchogramModel.h"

#include <QImage>
#include <QRect>
#include <QWidget>

// The echogram: the last soundings as a strip chart in a small borderless window that stays on
// top. It is moved by dragging its body and resized by dragging its edges and corners.
class EchogramWindowLinks;
class TfWaterfal : public QWidget {
    Q_OBJECT
public:
    explicit TfWaterfal(EchogramWindowLinks* links = nullptr, QWidget* parent = nullptr);

    // The main window's echogram tick.
    EchogramWindowLinks* const Links;

    // Entries kept and drawn (1..200) and the echogram timer's period (20..1000 ms), from
    // [ECHOGRAM]; read at creation and at every showing.
    int DataWidth = 50;
    int Interval = 100;
    bool Dragging = false;
    int DragStartX = 0;
    int DragStartY = 0;

    // The depth history; it outlives hiding, Stop and Start.
    EchogramModel History;
    // The scale used while there are too few depths to scale by (m).
    double FallbackTop = EchogramLimits::FallbackTop;
    double FallbackBottom = EchogramLimits::FallbackBottom;

    // What the window shows now.
    EchogramPlan CurrentPlan() const;

    void FormShow();
    void FormCloseQuery();
    void FormMouseDown(QMouseEvent* event);
    void FormMouseMove(QMouseEvent* event);
    void FormMouseUp(QMouseEvent* event);

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void readSettings();

    // The band of rows the background and bars are written into at each paint; remade only
    // when the window's size changes.
    QImage barImage_;
    bool dataWidthReported_ = false;
    bool intervalReported_ = false;
    // Resizing by hand where the system cannot (no window manager): the edges held, where the
    // press was and the geometry then.
    Qt::Edges resizeEdges_;
    QPoint resizeStart_;
    QRect resizeGeometry_;
};

extern TfWaterfal* fWaterfal;

// Appends `depth` to the echogram's history and redraws it, unless no entry changed (the same
// depth over a strip of it). Nothing happens, and the history is not touched, while the window
// is hidden or has no area.
void DrawEchogram(double depth, double fallbackTop, double fallbackBottom, int count);
