#pragma once

#include <QColor>

#include <cstdint>

// Colours are kept as 0x00BBGGRR (red in the low byte), as the settings store them; Qt's own
// colour type only where something is painted or picked.
QColor ColorFromBgr(uint32_t bgr);
uint32_t BgrFromColor(const QColor& color);
