#pragma once

#include <QString>

class QLabel;

// The caption of a label as the form designer wrote it. A label without a buddy shows its text
// as it stands, while buttons, group boxes and menus read "&&" as "&": so a label keeps its
// caption ("Save && Exit") beside the text it shows ("Save & Exit"), and the translation walk
// reads and writes captions, never the shown text.
QString CaptionOf(const QLabel* label);
void SetCaption(QLabel* label, const QString& caption);
