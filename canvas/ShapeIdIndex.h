#pragma once

#include "canvas/TTShape.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

// Finds a shape by id without walking the store. Ids are handed out upwards from 1 and live
// shapes cluster in a few ranges (the vessel is redrawn with new ids on every tick while the
// track keeps old ones), so the index is a table of fixed pages over the id range: a page is
// made when its first id arrives and freed when its last shape goes, which keeps the memory
// in step with the live shapes on a long run. The pages are small: a track point every few
// dozen ticks keeps the page of its id alive, and the vessel's ids between two points would
// otherwise keep kilobytes of empty slots with it, hour after hour.
class ShapeIdIndex {
public:
    ShapeIdIndex();
    ~ShapeIdIndex();
    ShapeIdIndex(const ShapeIdIndex&) = delete;
    ShapeIdIndex& operator=(const ShapeIdIndex&) = delete;

    TTShape* Find(int32_t id) const;
    // False when the id is not positive or another shape holds it already.
    bool Insert(TTShape* shape);
    // Forgets the shape; does nothing when the index holds another shape under its id.
    void Erase(const TTShape* shape);
    void Clear();
    // Memory the index holds: its page table and its pages.
    size_t Bytes() const;

private:
    static constexpr int PageBits = 6;
    static constexpr int32_t PageSize = int32_t{1} << PageBits;
    struct Page {
        std::array<TTShape*, PageSize> Slots{};
        int32_t Live = 0;
    };
    std::vector<std::unique_ptr<Page>> Pages;
};
