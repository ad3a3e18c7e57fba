#include "app/widgets/TUpDown.h"

#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

TUpDown::TUpDown(QLineEdit* associate, int min, int max, int increment, QWidget* parent)
    : QWidget(parent), Associate(associate), Min(min), Max(max), Increment(increment) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    UpButton = new QToolButton(this);
    UpButton->setArrowType(Qt::UpArrow);
    DownButton = new QToolButton(this);
    DownButton->setArrowType(Qt::DownArrow);
    for (QToolButton* button : {UpButton, DownButton}) {
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        layout->addWidget(button);
    }
    connect(UpButton, &QToolButton::clicked, this, &TUpDown::StepUp);
    connect(DownButton, &QToolButton::clicked, this, &TUpDown::StepDown);
}

void TUpDown::StepUp() {
    Step(Increment);
}

void TUpDown::StepDown() {
    Step(-Increment);
}

void TUpDown::Step(int delta) {
    // In 64 bits: a last value near the ends of int must not overflow on its way to the bounds.
    const long long next = std::clamp<long long>(static_cast<long long>(Position) + delta, Min, Max);
    Position = static_cast<int>(next);
    Associate->setText(QString::number(Position));
}
