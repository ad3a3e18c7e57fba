#include "canvas/CanvasInputCodes.h"

int16_t ShiftCodeOf(Qt::KeyboardModifiers modifiers) {
    int16_t code = 0;
    if (modifiers & Qt::ShiftModifier)
        code |= 1;
    if (modifiers & Qt::ControlModifier)
        code |= 2;
    if (modifiers & Qt::AltModifier)
        code |= 4;
    return code;
}

std::optional<int16_t> ButtonCodeOf(Qt::MouseButton button) {
    switch (button) {
    case Qt::LeftButton:
        return 1;
    case Qt::RightButton:
        return 2;
    case Qt::MiddleButton:
        return 4;
    default:
        return std::nullopt;
    }
}

int KeyCodeOf(int qtKey) {
    switch (qtKey) {
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Delete:
        return 46;
    default:
        return 0;
    }
}
