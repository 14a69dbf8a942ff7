// The favorites held in memory while Corvane runs, in insertion order.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "favorites/favorite.hpp"
#include "favorites/favorites_file.hpp"

namespace corvane {

class FavoriteStore {
public:
    const std::vector<Favorite>& items() const { return items_; }
    std::size_t size() const { return items_.size(); }
    bool empty() const { return items_.empty(); }

    // Out-of-range reads give an empty record, as an absent entry reads as
    // empty text.
    const Favorite& at(std::ptrdiff_t index) const;

    // Replaces everything with what the file held, all of it.
    void Load(WholeList favorites) { items_ = std::move(favorites).Take(); }

    // Appends `favorite` unless its display text is empty or already present
    // (exact comparison, letter case counts). Returns whether it was added.
    bool AddUnlessDuplicate(Favorite favorite);

    // The first favorite shown as `display` (exact, letter case counts), or
    // null; valid until the store next changes.
    const Favorite* Find(std::string_view display) const;

    // Removes the favorite at `index`; out of range does nothing.
    void RemoveAt(std::ptrdiff_t index);

    void Clear() { items_.clear(); }

    // The adds and removes made since the store was created (Load and Clear
    // do not count): what the file needs, and whether it needs anything.
    const Changes& changes() const { return changes_; }

private:
    std::vector<Favorite> items_;
    Changes changes_;
};

}  // namespace corvane
