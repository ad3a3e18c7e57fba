#pragma once

class QPainter;
struct EchogramPlan;

// Carries out an echogram plan: background, bars with their red seabed, the profile line, the
// dotted grid with its labels and the yellow depth box.
void PaintEchogram(QPainter& painter, const EchogramPlan& plan);
