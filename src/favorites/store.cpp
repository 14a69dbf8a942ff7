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
    items_.push_back(std::move(favorite));
    ++revision_;
    return true;
}

const Favorite* FavoriteStore::Find(std::string_view display) const {
    const auto found =
        std::find_if(items_.begin(), items_.end(), [display](const Favorite& f) { return f.display == display; });
    return found == items_.end() ? nullptr : &*found;
}

void FavoriteStore::RemoveAt(std::ptrdiff_t index) {
    if (index < 0 || static_cast<std::size_t>(index) >= items_.size()) return;
    items_.erase(items_.begin() + index);
    ++revision_;
}

}  // namespace corvane
