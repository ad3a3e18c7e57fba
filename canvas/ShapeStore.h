#pragma once

#include "canvas/ShapeIdIndex.h"
#include "canvas/TTShape.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// The shapes of the map, owned, in paint order (the first is painted first, the last lies on
// top), with an id index so that finding a shape by id does not walk the store.
class ShapeStore {
public:
    using Items = std::vector<std::unique_ptr<TTShape>>;

    ShapeStore() = default;
    ShapeStore(const ShapeStore&) = delete;
    ShapeStore& operator=(const ShapeStore&) = delete;

    size_t size() const { return Items_.size(); }
    bool empty() const { return Items_.empty(); }
    TTShape* operator[](size_t index) const { return Items_[index].get(); }
    Items::const_iterator begin() const { return Items_.begin(); }
    Items::const_iterator end() const { return Items_.end(); }

    // Appends at the end of the paint order and returns the shape.
    TTShape* Append(std::unique_ptr<TTShape> shape);
    // The first shape in store order with the id, null when none.
    TTShape* Find(int32_t id) const;

    // Deletes every shape from store index `from` on that the predicate picks, in one pass;
    // the others keep their order. Returns how many went.
    template <class Predicate> size_t DeleteIf(Predicate picks, size_t from = 0) {
        // In place, the kept shapes in their order, each shape asked once: the map tick clears
        // the vessel layer of a map holding a day's track five times a second, so no copy of
        // the whole store.
        // The shapes lie scattered over the heap: each is asked for a few steps ahead of its
        // turn, so the walk does not wait on memory for every one.
        constexpr size_t Ahead = 8;
        const size_t count = Items_.size();
        size_t at = std::min(from, count);
        for (; at < count; ++at) {
            if (at + Ahead < count)
                __builtin_prefetch(Items_[at + Ahead].get());
            if (picks(*Items_[at]))
                break;
        }
        const auto first = Items_.begin() + static_cast<std::ptrdiff_t>(at);
        if (first == Items_.end())
            return 0;
        MarkChangedFrom(static_cast<size_t>(first - Items_.begin()));
        Forget(first->get());
        auto kept = first;
        size_t deleted = 1;
        for (auto it = std::next(first); it != Items_.end(); ++it) {
            if (Items_.end() - it > static_cast<std::ptrdiff_t>(Ahead))
                __builtin_prefetch((it + Ahead)->get());
            if (picks(**it)) {
                Forget(it->get());
                ++deleted;
            } else {
                *kept++ = std::move(*it);
            }
        }
        Items_.erase(kept, Items_.end());
        if (Unindexed_ > 0)
            Reindex();
        return deleted;
    }

    // Deletes the last shape in store order with the id; false when none has it.
    bool DeleteLast(int32_t id);
    // Moves the first shape in store order with the id to the end (on top) or the start.
    bool MoveToFront(int32_t id);
    bool MoveToBack(int32_t id);
    void Clear();
    // Memory of the id index.
    size_t IndexBytes() const { return Index_.Bytes(); }

    // The lowest store index whose shape was added, deleted or moved since the mark was last
    // cleared (NoChange: none): the shapes before it are those a painter saw then. Changes to
    // a shape's own fields are not seen here.
    // Two marks kept alike: one for the paint, one for the canvas's clearing of a layer.
    static constexpr size_t NoChange = static_cast<size_t>(-1);
    enum class Mark { Paint, LayerClear };
    size_t ChangedFrom(Mark mark = Mark::Paint) const {
        return mark == Mark::Paint ? ChangedFrom_ : LayerClearFrom_;
    }
    void ClearChangeMark(Mark mark = Mark::Paint) {
        (mark == Mark::Paint ? ChangedFrom_ : LayerClearFrom_) = NoChange;
    }

private:
    void MarkChangedFrom(size_t index) {
        ChangedFrom_ = std::min(ChangedFrom_, index);
        LayerClearFrom_ = std::min(LayerClearFrom_, index);
    }
    void Forget(const TTShape* shape);
    void Reindex();
    Items::iterator FirstWithId(int32_t id);

    Items Items_;
    ShapeIdIndex Index_;
    // Shapes the index could not take (an id that is not positive or already held). Ids are
    // unique by construction, so this stays 0 unless a caller builds shapes by hand.
    size_t Unindexed_ = 0;
    size_t ChangedFrom_ = 0;
    size_t LayerClearFrom_ = 0;
};
