#include "canvas/ShapeIdIndex.h"

ShapeIdIndex::ShapeIdIndex() = default;
ShapeIdIndex::~ShapeIdIndex() = default;

TTShape* ShapeIdIndex::Find(int32_t id) const {
    if (id <= 0)
        return nullptr;
    const auto found = Shapes.find(id);
    return found == Shapes.end() ? nullptr : found->second;
}

bool ShapeIdIndex::Insert(TTShape* shape) {
    if (shape->Id <= 0)
        return false;
    return Shapes.emplace(shape->Id, shape).second;
}

void ShapeIdIndex::Erase(const TTShape* shape) {
    const auto found = Shapes.find(shape->Id);
    if (found != Shapes.end() && found->second == shape)
        Shapes.erase(found);
}

void ShapeIdIndex::Clear() {
    // A fresh table: clear() would keep the bucket array of the largest map ever loaded.
    Shapes = {};
}

size_t ShapeIdIndex::Bytes() const {
    // An entry is a heap block of its own: the next-entry link, the id and the shape, which
    // the C library rounds up to 32 bytes.
    constexpr size_t entryBytes = 32;
    return Shapes.bucket_count() * sizeof(void*) + Shapes.size() * entryBytes;
}
