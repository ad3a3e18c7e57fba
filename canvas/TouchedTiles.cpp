#include "canvas/TouchedTiles.h"

#include <algorithm>

void TouchedTiles::Reset(int width, int height) {
    Width_ = std::max(width, 0);
    Height_ = std::max(height, 0);
    Columns_ = (Width_ + TileSize - 1) / TileSize;
    Rows_ = (Height_ + TileSize - 1) / TileSize;
    Marked_.assign(static_cast<size_t>(Columns_) * static_cast<size_t>(Rows_), 0);
    Count_ = 0;
    Boxes_.clear();
    BoxesKept_ = true;
}

void TouchedTiles::MarkAll() {
    std::fill(Marked_.begin(), Marked_.end(), uint8_t{1});
    Count_ = Marked_.size();
    Boxes_.clear();
    BoxesKept_ = false;
}

void TouchedTiles::Mark(int left, int top, int right, int bottom) {
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
    if (right < 0 || bottom < 0 || left >= Width_ || top >= Height_)
        return;
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, Width_ - 1);
    bottom = std::min(bottom, Height_ - 1);
    if (BoxesKept_) {
        if (Boxes_.size() < MaximumBoxes) {
            Boxes_.push_back({left, top, right, bottom});
        } else {
            Boxes_.clear();
            BoxesKept_ = false;
        }
    }
    const int firstColumn = left / TileSize;
    const int lastColumn = right / TileSize;
    const int firstRow = top / TileSize;
    const int lastRow = bottom / TileSize;
    for (int row = firstRow; row <= lastRow; ++row) {
        uint8_t* tile = &Marked_[static_cast<size_t>(row) * Columns_ + firstColumn];
        for (int column = firstColumn; column <= lastColumn; ++column, ++tile) {
            Count_ += *tile == 0;
            *tile = 1;
        }
    }
}

void TouchedTiles::Unite(const TouchedTiles& other) {
    if (other.Width_ != Width_ || other.Height_ != Height_) {
        MarkAll();
        return;
    }
    for (size_t i = 0; i < Marked_.size(); ++i) {
        Count_ += Marked_[i] == 0 && other.Marked_[i] != 0;
        Marked_[i] |= other.Marked_[i];
    }
    if (BoxesKept_ && other.BoxesKept_ && Boxes_.size() + other.Boxes_.size() <= MaximumBoxes) {
        Boxes_.insert(Boxes_.end(), other.Boxes_.begin(), other.Boxes_.end());
    } else {
        Boxes_.clear();
        BoxesKept_ = false;
    }
}

std::vector<TouchedTiles::Box> TouchedTiles::Pixels() const {
    return BoxesKept_ ? Boxes_ : Tiles();
}

std::vector<TouchedTiles::Box> TouchedTiles::Tiles() const {
    std::vector<Box> boxes;
    for (int row = 0; row < Rows_;) {
        // Rows of tiles marked alike make one band: a grid line across the map is one box.
        const uint8_t* line = &Marked_[static_cast<size_t>(row) * Columns_];
        int last = row + 1;
        while (last < Rows_ &&
               std::equal(line, line + Columns_, &Marked_[static_cast<size_t>(last) * Columns_]))
            ++last;
        for (int column = 0; column < Columns_;) {
            if (!line[column]) {
                ++column;
                continue;
            }
            const int first = column;
            while (column < Columns_ && line[column])
                ++column;
            boxes.push_back({first * TileSize, row * TileSize,
                             std::min(column * TileSize, Width_) - 1,
                             std::min(last * TileSize, Height_) - 1});
        }
        row = last;
    }
    return boxes;
}
