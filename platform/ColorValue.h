#pragma once

#include <QColor>

#include <cstdint>

// Colours are kept as 0x00BBGGRR (red in the low byte), as the settings store them; Qt's own
// colour type only where something is painted or picked.
QColor ColorFromBgr(uint32_t bgr);
uint32_t BgrFromColor(const QColor& color);

// Text needs this contrast against what lies behind it to be read.
constexpr double ReadableTextContrast = 4.5;

// WCAG contrast ratio of two colours, 1 (none) to 21 (black on white).
double ContrastRatio(const QColor& a, const QColor& b);
// Whether text on this colour should be light.
bool IsDarkColour(const QColor& colour);
// `designed` when it reaches `minimum` against `background`; otherwise the same hue made lighter
// (on a dark background) or darker (on a light one) until it does.
QColor ReadableOn(const QColor& designed, const QColor& background,
                  double minimum = ReadableTextContrast);
// The same for colours kept as 0x00BBGGRR.
uint32_t ReadableBgr(uint32_t designed, uint32_t background);
