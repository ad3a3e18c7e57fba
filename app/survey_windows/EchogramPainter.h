#pragma once

class QImage;
class QPainter;
struct EchogramPlan;

// Carries out an echogram plan: background, bars with their red seabed, the profile line, the
// dotted grid with its labels and the yellow depth box.
//
// The window repaints whole at every sounding, and a painter call per bar and per seabed line
// costs more than the pixels it sets; so the background and the bars are written as rows of
// pixels into `barImage` (kept by the caller between paints, a band of rows as wide as the
// plan, remade when that changes), put on the painter's device a band at a time with
// drawImage, and the rest is drawn over them by the painter. The pixels are those
// PaintEchogramWithPainter sets; where they could differ (a scaled or rotated painter, a
// device that is not a 32-bit image, a plan the model would not make) it is
// PaintEchogramWithPainter that paints.
void PaintEchogram(QPainter& painter, const EchogramPlan& plan, QImage& barImage);

// The same picture with every part drawn by the painter.
void PaintEchogramWithPainter(QPainter& painter, const EchogramPlan& plan);
