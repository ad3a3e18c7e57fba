#include "app/TLabeledEdit.h"

#include <QLabel>

TLabeledEdit::TLabeledEdit(const QString& caption, QWidget* parent) : QLineEdit(parent) {
    EditLabel = new QLabel(caption, parent);
}

void TLabeledEdit::Place(int x, int y, int width, int height) {
    setGeometry(x, y, width, height);
    const int labelHeight = EditLabel->sizeHint().height();
    EditLabel->setGeometry(x, y - labelHeight - 2, width, labelHeight);
}
