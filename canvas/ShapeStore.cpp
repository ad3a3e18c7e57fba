#include "canvas/ShapeStore.h"

TTShape* ShapeStore::Append(std::unique_ptr<TTShape> shape) {
    TTShape* added = shape.get();
    MarkChangedFrom(Items_.size());
    Items_.push_back(std::move(shape));
    if (!Index_.Insert(added))
        ++Unindexed_;
    return added;
}

TTShape* ShapeStore::Find(int32_t id) const {
    if (TTShape* shape = Index_.Find(id))
        return shape;
    if (Unindexed_ == 0)
        return nullptr;
    for (const auto& shape : Items_)
        if (shape->Id == id)
            return shape.get();
    return nullptr;
}

void ShapeStore::Forget(const TTShape* shape) {
    if (Index_.Find(shape->Id) == shape)
        Index_.Erase(shape);
}

void ShapeStore::Reindex() {
    Index_.Clear();
    Unindexed_ = 0;
    for (const auto& shape : Items_)
        if (!Index_.Insert(shape.get()))
            ++Unindexed_;
}

ShapeStore::Items::iterator ShapeStore::FirstWithId(int32_t id) {
    TTShape* indexed = Index_.Find(id);
    if (indexed && Unindexed_ == 0)
        return std::find_if(Items_.begin(), Items_.end(),
                            [indexed](const auto& shape) { return shape.get() == indexed; });
    return std::find_if(Items_.begin(), Items_.end(),
                        [id](const auto& shape) { return shape->Id == id; });
}

bool ShapeStore::DeleteLast(int32_t id) {
    const TTShape* indexed = Index_.Find(id);
    if (!indexed && Unindexed_ == 0)
        return false;
    // Comparing pointers spares reading every shape of a large store.
    const auto last =
        Unindexed_ == 0
            ? std::find_if(Items_.rbegin(), Items_.rend(),
                           [indexed](const auto& shape) { return shape.get() == indexed; })
            : std::find_if(Items_.rbegin(), Items_.rend(),
                           [id](const auto& shape) { return shape->Id == id; });
    if (last == Items_.rend())
        return false;
    const auto it = std::next(last).base();
    MarkChangedFrom(static_cast<size_t>(it - Items_.begin()));
    const bool wasIndexed = Index_.Find(id) == it->get();
    Forget(it->get());
    Items_.erase(it);
    if (!wasIndexed)
        --Unindexed_;
    else if (Unindexed_ > 0)
        Reindex();
    return true;
}

bool ShapeStore::MoveToFront(int32_t id) {
    const auto it = FirstWithId(id);
    if (it == Items_.end())
        return false;
    MarkChangedFrom(static_cast<size_t>(it - Items_.begin()));
    std::rotate(it, std::next(it), Items_.end());
    // A twin of the moved shape may be the first with the id now.
    if (Unindexed_ > 0)
        Reindex();
    return true;
}

bool ShapeStore::MoveToBack(int32_t id) {
    const auto it = FirstWithId(id);
    if (it == Items_.end())
        return false;
    MarkChangedFrom(0);
    std::rotate(Items_.begin(), it, std::next(it));
    if (Unindexed_ > 0)
        Reindex();
    return true;
}

void ShapeStore::Clear() {
    MarkChangedFrom(0);
    Index_.Clear();
    Items_.clear();
    Unindexed_ = 0;
}
