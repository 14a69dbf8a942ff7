// Reading and writing the Favorites file on disk.
#pragma once

#include <string>
#include <vector>

#include "favorites/favorite.hpp"

namespace corvane {

inline constexpr const char* kFavoritesFileName = "Favorites";

// Reads the file; a missing, unreadable or odd file (a directory, no read
// permission) gives whatever could be read, possibly nothing, and never fails
// louder than that.
std::vector<Favorite> ReadFavoritesFile(const char* path = kFavoritesFileName);

// Writes the favorites to a temporary file beside `path` and only then puts it
// in place, so a failure (read-only folder, full disk, the file locked by
// another program) leaves the previous file whole. Returns whether the new
// file is in place.
bool WriteFavoritesFile(const std::vector<Favorite>& favorites, const char* path = kFavoritesFileName);

}  // namespace corvane
