#pragma once

#include <QFont>
#include <QGroupBox>
#include <QImage>
#include <QString>

class QStyle;

// A group box that keeps the picture of its own face (background, frame and caption) and
// paints a change of a child from it. A label in a group box is not opaque: each new text of
// it repaints the box under it, and the style lays out the frame's image and the caption again
// every time. The picture is taken just after the box painted itself whole, and taken again
// after the next whole paint whenever anything it shows may differ: the size, the caption, the
// palette, the font, the style, the enabled or the active state.
class KeptFaceGroupBox : public QGroupBox {
public:
    explicit KeptFaceGroupBox(const QString& title, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool faceIsCurrent() const;
    void makeFace();

    QImage face_;
    bool faceWanted_ = false;
    bool makingFace_ = false;
    // What the kept face was made with.
    QString title_;
    qint64 paletteKey_ = 0;
    QFont font_;
    const QStyle* style_ = nullptr;
    bool enabled_ = false;
    bool active_ = false;
    qreal ratio_ = 0;
};
