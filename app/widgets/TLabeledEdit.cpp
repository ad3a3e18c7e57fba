#include "app/widgets/TLabeledEdit.h"

#include <QLabel>

#include <algorithm>

TLabeledEdit::TLabeledEdit(const QString& caption, QWidget* parent) : QLineEdit(parent) {
    EditLabel = new QLabel(caption, parent);
}

void TLabeledEdit::Place(int x, int y, int width, int height) {
    setGeometry(x, y, width, height);
    const int labelHeight = EditLabel->sizeHint().height();
    // A caption longer than the edit keeps its words (a translation can be longer).
    const int labelWidth = std::max(width, EditLabel->sizeHint().width());
    EditLabel->setGeometry(x, y - labelHeight - 2, labelWidth, labelHeight);
}
