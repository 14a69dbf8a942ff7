// The Favorites file format: four lines a favorite, CR LF line ends, ANSI
// bytes passed through untouched.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "favorites/favorite.hpp"

namespace corvane {

// Lines end at CR LF or at a lone CR; a lone LF is part of the line. A last
// line without a line end still counts. A file that ends inside a record
// yields that record with its missing fields empty.
std::vector<Favorite> ParseFavorites(std::string_view bytes);

// Every line, the last included, ends with CR LF; no favorites -> no bytes.
// A CR or LF inside a field is left out: written, it would end the line early
// and shift every later record by one field.
std::string SerializeFavorites(const std::vector<Favorite>& favorites);

// Appends one favorite's four lines to `out`, as SerializeFavorites writes them.
void AppendFavorite(std::string& out, const Favorite& favorite);

}  // namespace corvane
