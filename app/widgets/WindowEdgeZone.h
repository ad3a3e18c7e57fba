#pragma once

#include <Qt>

// The edges of a borderless window by which it is resized: a band of `zone` pixels along each
// side, corners first. The codes are those of the system's hit test: 13 top-left, 14 top-right,
// 16 bottom-left, 17 bottom-right, 10 left, 11 right, 12 top, 15 bottom; 0 elsewhere.
namespace WindowEdgeZone {
constexpr int Width = 6;
constexpr int None = 0;

int CodeAt(int x, int y, int width, int height, int zone = Width);
Qt::Edges EdgesOf(int code);
// The sizing cursor a zone shows; the arrow elsewhere.
Qt::CursorShape CursorOf(int code);
} // namespace WindowEdgeZone
