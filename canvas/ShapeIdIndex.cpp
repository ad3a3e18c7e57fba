#include "canvas/ShapeIdIndex.h"

ShapeIdIndex::ShapeIdIndex() = default;
ShapeIdIndex::~ShapeIdIndex() = default;

TTShape* ShapeIdIndex::Find(int32_t id) const {
    if (id <= 0)
        return nullptr;
    const size_t page = static_cast<size_t>(id) >> PageBits;
    if (page >= Pages.size() || !Pages[page])
        return nullptr;
    return Pages[page]->Slots[static_cast<size_t>(id) & (PageSize - 1)];
}

bool ShapeIdIndex::Insert(TTShape* shape) {
    const int32_t id = shape->Id;
    if (id <= 0)
        return false;
    const size_t page = static_cast<size_t>(id) >> PageBits;
    if (page >= Pages.size())
        Pages.resize(page + 1);
    if (!Pages[page])
        Pages[page] = std::make_unique<Page>();
    TTShape*& slot = Pages[page]->Slots[static_cast<size_t>(id) & (PageSize - 1)];
    if (slot)
        return false;
    slot = shape;
    ++Pages[page]->Live;
    return true;
}

void ShapeIdIndex::Erase(const TTShape* shape) {
    const int32_t id = shape->Id;
    if (id <= 0)
        return;
    const size_t page = static_cast<size_t>(id) >> PageBits;
    if (page >= Pages.size() || !Pages[page])
        return;
    TTShape*& slot = Pages[page]->Slots[static_cast<size_t>(id) & (PageSize - 1)];
    if (slot != shape)
        return;
    slot = nullptr;
    if (--Pages[page]->Live == 0)
        Pages[page].reset();
}

void ShapeIdIndex::Clear() {
    Pages.clear();
}

size_t ShapeIdIndex::Bytes() const {
    size_t bytes = Pages.capacity() * sizeof(Pages[0]);
    for (const auto& page : Pages)
        if (page)
            bytes += sizeof(Page);
    return bytes;
}
