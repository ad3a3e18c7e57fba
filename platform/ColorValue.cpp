#include "platform/ColorValue.h"

QColor ColorFromBgr(uint32_t bgr) {
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

uint32_t BgrFromColor(const QColor& color) {
    return uint32_t(color.red()) | (uint32_t(color.green()) << 8) |
           (uint32_t(color.blue()) << 16);
}
