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
// in step with the live shapes on a long run.
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

private:
    static constexpr int PageBits = 12;
    static constexpr int32_t PageSize = int32_t{1} << PageBits;
    struct Page {
        std::array<TTShape*, PageSize> Slots{};
        int32_t Live = 0;
    };
    std::vector<std::unique_ptr<Page>> Pages;
};
