#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Which parts of a frame a paint wrote to. Twice: the boxes themselves, for putting back what
// lay beneath at the cost of what was drawn; and tiles of TileSize pixels, coarse enough that
// the area shown again on the screen is a few dozen rectangles however many shapes drew (a
// frame whose vessel, labels and read-outs lie far apart is shown as a few small areas instead
// of the whole client). A marked tile may hold unchanged pixels, an unmarked one never holds a
// written pixel.
class TouchedTiles {
public:
    static constexpr int TileSize = 16;
    // Past this many boxes the tiles stand in for them.
    static constexpr size_t MaximumBoxes = 16384;

    // A box in pixels, edges included.
    struct Box {
        int Left, Top, Right, Bottom;
    };

    // Nothing marked on a surface of `width` by `height` pixels.
    void Reset(int width, int height);
    // The whole surface.
    void MarkAll();
    // The box (any corner order), clipped to the surface.
    void Mark(int left, int top, int right, int bottom);
    // Adds what the other marked; one of a surface of another size marks everything.
    void Unite(const TouchedTiles& other);

    bool Empty() const { return Count_ == 0; }
    bool All() const { return Count_ == Marked_.size(); }
    int Width() const { return Width_; }
    int Height() const { return Height_; }

    // The marked tiles as boxes, clipped to the surface: runs of tiles along bands of rows of
    // tiles marked alike, bands in order from the top, runs from the left.
    std::vector<Box> Tiles() const;
    // Boxes that hold every marked pixel: the boxes marked, or the tiles when there were too
    // many of them or everything was marked. They may overlap.
    std::vector<Box> Pixels() const;

private:
    int Width_ = 0;
    int Height_ = 0;
    int Columns_ = 0;
    int Rows_ = 0;
    std::vector<uint8_t> Marked_;
    size_t Count_ = 0;
    std::vector<Box> Boxes_;
    bool BoxesKept_ = true;
};
