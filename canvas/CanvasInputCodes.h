#pragma once

#include <Qt>

#include <cstdint>
#include <optional>

// The codes the map tools and the canvas events use for Qt's input values.

// Sum of 1 (Shift), 2 (Ctrl) and 4 (Alt).
int16_t ShiftCodeOf(Qt::KeyboardModifiers modifiers);

// 1 left, 2 right, 4 middle; nothing for the back, forward and other extra buttons, which the
// tools ignore (a thumb button must not start a pan).
std::optional<int16_t> ButtonCodeOf(Qt::MouseButton button);

// 27 for Escape, 46 for Delete, 0 for any key the tools do not act on.
int KeyCodeOf(int qtKey);
