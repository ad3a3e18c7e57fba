#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

// Two small arrow buttons beside an edit. The arrows step the field's last accepted value
// (Position, which the window keeps) by Increment, within Min and Max, and write the result
// into the edit as plain digits; the edit's own change handler takes it from there.
class TUpDown : public QWidget {
    Q_OBJECT
public:
    TUpDown(QLineEdit* associate, int min, int max, int increment, QWidget* parent);

    void StepUp();
    void StepDown();

    QLineEdit* Associate;
    int Min;
    int Max;
    int Increment;
    int Position = 0;
    QToolButton* UpButton = nullptr;
    QToolButton* DownButton = nullptr;

private:
    void Step(int delta);
};
