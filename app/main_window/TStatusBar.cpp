#include "app/main_window/TStatusBar.h"

#include <algorithm>

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

TStatusBar::TStatusBar(QWidget* parent) : QWidget(parent) {
    setFixedHeight(18);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void TStatusBar::SetPanelCount(int count, int width) {
    panels_.assign(size_t(std::max(count, 0)), Panel{QString(), width});
    update();
}

QString TStatusBar::PanelText(int index) const {
    if (index < 0 || index >= PanelCount())
        return {};
    return panels_[size_t(index)].text;
}

void TStatusBar::SetPanelText(int index, const QString& text) {
    if (index < 0 || index >= PanelCount())
        return;
    Panel& panel = panels_[size_t(index)];
    // The map tick writes the panels five times a second: a text that stays asks for no paint,
    // and a new one repaints its own panel.
    if (panel.text == text)
        return;
    panel.text = text;
    update(PanelReach(index));
}

int TStatusBar::PanelWidth(int index) const {
    if (index < 0 || index >= PanelCount())
        return 0;
    return panels_[size_t(index)].width;
}

void TStatusBar::SetPanelWidth(int index, int width) {
    if (index < 0 || index >= PanelCount())
        return;
    Panel& panel = panels_[size_t(index)];
    const int wanted = std::max(width, 0);
    if (panel.width == wanted)
        return;
    // The panels from this one on move; those before it stay where they are.
    const int left = std::min(PanelReach(index).left(), PanelLeft(index) + wanted - 5);
    panel.width = wanted;
    update(QRect(QPoint(left, 0), QPoint(this->width() - 1, height() - 1)));
}

int TStatusBar::PanelLeft(int index) const {
    int left = 0;
    for (int i = 0; i < index && i < PanelCount(); ++i)
        left += panels_[size_t(i)].width;
    return left;
}

QSize TStatusBar::sizeHint() const {
    return QSize(PanelLeft(PanelCount()), 18);
}

QRect TStatusBar::PanelReach(int index) const {
    if (index < 0 || index >= PanelCount())
        return {};
    const int left = PanelLeft(index);
    const bool last = index == PanelCount() - 1;
    const int width = last ? std::max(this->width() - left, 0) : panels_[size_t(index)].width;
    // The bevel and the text's clip of a panel narrower than them turn over and reach back
    // into the panel before.
    const int reachLeft = std::min(left, left + width - 5);
    const int reachRight = std::max(left + width - 1, left + 3);
    return QRect(QPoint(reachLeft, 0), QPoint(reachRight, height() - 1));
}

void TStatusBar::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRegion& dirty = event->region();
    const QColor light = palette().color(QPalette::Light);
    const QColor dark = palette().color(QPalette::Mid);
    int left = 0;
    for (int i = 0; i < PanelCount(); ++i) {
        const bool last = i == PanelCount() - 1;
        const int width = last ? std::max(this->width() - left, 0) : panels_[size_t(i)].width;
        // A panel that paints nothing in the region asked for is not laid out again.
        if (!dirty.intersects(PanelReach(i))) {
            left += width;
            continue;
        }
        const QRect cell(left, 0, width - 2, height() - 1);
        painter.setPen(dark);
        painter.drawLine(cell.topLeft(), cell.topRight());
        painter.drawLine(cell.topLeft(), cell.bottomLeft());
        painter.setPen(light);
        painter.drawLine(cell.bottomLeft(), cell.bottomRight());
        painter.drawLine(cell.topRight(), cell.bottomRight());
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(cell.adjusted(3, 0, -2, 0), Qt::AlignVCenter | Qt::AlignLeft,
                         panels_[size_t(i)].text);
        left += width;
    }
}

void TStatusBar::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    if (releaseEndsDoubleClick_) {
        releaseEndsDoubleClick_ = false;
        return;
    }
    clickPosition_ = event->position().toPoint();
    if (rect().contains(clickPosition_))
        emit Click();
}

void TStatusBar::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        releaseEndsDoubleClick_ = true;
        clickPosition_ = event->position().toPoint();
        emit DblClick();
    }
}
