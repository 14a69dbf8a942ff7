#include "favorites/store.hpp"

#include <algorithm>
#include <utility>

namespace corvane {

const Favorite& FavoriteStore::at(std::ptrdiff_t index) const {
    static const Favorite kAbsent;
    if (index < 0 || static_cast<std::size_t>(index) >= items_.size()) return kAbsent;
    return items_[static_cast<std::size_t>(index)];
}

bool FavoriteStore::AddUnlessDuplicate(Favorite favorite) {
    if (favorite.display.empty() || Find(favorite.display)) return false;
    changes_.added.push_back(favorite);
    items_.push_back(std::move(favorite));
    return true;
}

const Favorite* FavoriteStore::Find(std::string_view display) const {
    const auto found =
        std::find_if(items_.begin(), items_.end(), [display](const Favorite& f) { return f.display == display; });
    return found == items_.end() ? nullptr : &*found;
}

void FavoriteStore::RemoveAt(std::ptrdiff_t index) {
    if (index < 0 || static_cast<std::size_t>(index) >= items_.size()) return;
    Favorite gone = std::move(items_[static_cast<std::size_t>(index)]);
    items_.erase(items_.begin() + index);
    auto& added = changes_.added;
    if (const auto was = std::find(added.begin(), added.end(), gone); was != added.end())
        added.erase(was);
    else
        changes_.removed.push_back(std::move(gone));
}

}  // namespace corvane
