#pragma once

#include "canvas/TTShape.h"

#include <cstdint>
#include <unordered_map>

// Finds a shape by id without walking the store. The memory stays in step with the live
// shapes however far apart their ids lie: the vessel is redrawn with new ids on every tick
// while the track keeps old ones, so a day's track points lie hundreds of ids apart, and a
// table of pages over the id range held a mostly empty page for each of them (half a
// kilobyte a track point, megabytes over a day of surveying). A hash table holds a few dozen
// bytes a live shape.
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
    // Memory the index holds: its buckets and its entries.
    size_t Bytes() const;

private:
    std::unordered_map<int32_t, TTShape*> Shapes;
};
