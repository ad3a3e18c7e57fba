#pragma once

#include <cstdint>
#include <functional>

struct EchogramBar;
struct EchogramPlan;
class QImage;

// The echogram's colours as 32-bit pixels (0xAARRGGBB, opaque): the background, the water
// over the seabed and the seabed line.
namespace EchogramColours {
constexpr std::uint32_t Background = 0xfff0f8ffu;
constexpr std::uint32_t Water = 0xff64b4ffu;
constexpr std::uint32_t Seabed = 0xffff0000u;
} // namespace EchogramColours

// A block of pixels: columns Left..Right-1, rows Top..Bottom-1 (empty when either is empty).
struct EchogramPixelBlock {
    int Left = 0;
    int Right = 0;
    int Top = 0;
    int Bottom = 0;
    bool Empty() const { return Left >= Right || Top >= Bottom; }
};

// The pixels a non-antialiased QPainter sets for a bar's seabed line, a 3-pixel flat-capped
// red pen from (X0, Y) to (X1, Y), in a Width x Height image. Mostly rows Y-1..Y+1 and columns
// X0..X1-1, but not always: the raster engine widens the line by a ratio of its length, so a
// long line along the top edge loses its second row to rounding. The figures are worked out
// the way the engine works them out, in the same order, so they round alike. Only for bars
// BarsWritableAsRows accepts: the engine cuts a line crossing the image's sides another way.
EchogramPixelBlock SeabedPixels(const EchogramBar& bar, int width, int height);

// Whether every bar lies where SeabedPixels is known to match the painter (0 <= X0 < X1 <=
// Width, 0 <= Y <= Height) and the bars stand side by side from left to right, each seabed
// over its own bar's columns: as the model's plans always are.
bool BarsWritableAsRows(const EchogramPlan& plan);

// Writes the background, each bar's water and its seabed as rows of pixels: the pixels the
// painter sets filling the background and then each bar and its seabed line. The rows go into
// `band` (Width wide, Format_RGB32, one row high at least) as many at a time as it holds; each
// full stretch is handed to `put` with the row of the echogram it begins at and its height
// before the band is written again. Only for plans BarsWritableAsRows accepts.
void WriteEchogramBars(QImage& band, const EchogramPlan& plan,
                       const std::function<void(int top, int rows)>& put);
