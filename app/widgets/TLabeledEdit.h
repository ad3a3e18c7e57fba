#pragma once

#include <QLineEdit>

class QLabel;

// An edit with its caption in a label just above it. The label lives beside the edit in the
// same parent, so the window's caption walk finds it like any other label.
class TLabeledEdit : public QLineEdit {
    Q_OBJECT
public:
    TLabeledEdit(const QString& caption, QWidget* parent);

    // Places the edit at (x, y) with the given size and its label right above it.
    void Place(int x, int y, int width, int height);

    QLabel* EditLabel = nullptr;
};
