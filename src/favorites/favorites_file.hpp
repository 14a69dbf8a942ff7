// The Favorites file format: four lines a favorite, CR LF line ends, ANSI
// bytes passed through untouched.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "favorites/favorite.hpp"

namespace corvane {

// Lines end at CR LF or at a lone CR; a lone LF is part of the line. A last
// line without a line end still counts. A file that ends inside a record
// yields that record with its missing fields empty.
std::vector<Favorite> ParseFavorites(std::string_view bytes);

class FavoritesReader;

// Every favorite a file held, read to its end. Only a reader that got there
// makes one, so a store loaded from it, and so every save of that store,
// holds the whole list and never the part read first.
class WholeList {
public:
    WholeList() = default;  // no file: nothing in it to keep
    std::vector<Favorite> Take() && { return std::move(favorites_); }

private:
    friend class FavoritesReader;
    explicit WholeList(std::vector<Favorite> favorites) : favorites_(std::move(favorites)) {}
    std::vector<Favorite> favorites_;
};

// The same reading a few records at a time, so that start-up can show the
// first screenful of a long list before it reads the rest. The bytes must
// outlive the reader.
class FavoritesReader {
public:
    explicit FavoritesReader(std::string_view bytes = {})
        : pos_(bytes.data()), end_(bytes.data() + bytes.size()), bytes_(bytes) {}

    bool AtEnd() const { return pos_ == end_; }
    // How far into the bytes the reading has come.
    std::size_t Offset() const { return static_cast<std::size_t>(pos_ - bytes_.data()); }
    // At least as many records as the bytes hold, and close to it.
    std::size_t Estimate() const;
    // Appends up to `count` more records to `out`.
    template <class Records>
    void Read(std::size_t count, Records& out) {
        for (; count > 0 && !AtEnd(); --count) {
            Favorite& f = out.emplace_back();
            // A file cut off inside a record leaves the rest of that record
            // empty rather than shifting the fields of later records.
            for (std::string* field : {&f.display, &f.coded, &f.startIn, &f.params}) {
                field->assign(NextLine());
                if (AtEnd()) return;
            }
        }
    }

    void SkipLine() { (void)NextLine(); }
    // `readSoFar` (what Read gave) with every record after it. Should this
    // throw, `readSoFar` still holds what was read.
    WholeList ReadToEnd(std::vector<Favorite>&& readSoFar);

private:
    std::string_view NextLine();

    const char* pos_;
    const char* end_;
    std::string_view bytes_;
};

// Appends up to `count` more records of `reader` to `out`, with room made
// first for `room` records in all. False when holding them fails in any way
// (out of memory, or more records than a vector of them can hold, which a
// 32-bit program reaches with a large file of mostly line ends): the list
// cannot be held whole, and the file must count as unreadable.
template <class Records>
bool ReadInto(FavoritesReader& reader, std::size_t count, std::size_t room, Records& out) noexcept {
    try {
        out.reserve(room);
        reader.Read(count, out);
        return true;
    } catch (...) {
        return false;
    }
}

// Every line, the last included, ends with CR LF; no favorites -> no bytes.
// A CR inside a field is left out: written, it would end the line early and
// shift every later record by one field. A lone LF never ends a line when
// read, so it is written as it stands (what was read comes back).
std::string SerializeFavorites(const std::vector<Favorite>& favorites);

// Appends one favorite's four lines to `out`, as SerializeFavorites writes them.
void AppendFavorite(std::string& out, const Favorite& favorite);

// What a session adds to the bytes of a file it may only add to: those of
// `favorites` the file does not hold yet (compared as written), each once,
// after the line end and empty lines that close the file's last line and
// record, so that neither runs into the first new one. Empty when nothing
// is new.
std::string Additions(std::string_view existing, const std::vector<Favorite>& favorites);

// What a session changed in its list: the favorites it added and those it
// removed, whole. Removing one the session added takes it off `added`
// instead: the file never held it.
struct Changes {
    std::vector<Favorite> added;
    std::vector<Favorite> removed;
    bool empty() const { return added.empty() && removed.empty(); }
};

// The bytes another program left in the file, with a session's changes made
// to them: one copy of each removed favorite taken out (compared as written),
// every other byte kept as it stands, line ends included, and then the added
// favorites the file does not hold yet, as Additions puts them.
std::string MergeChanges(std::string_view onDisk, const Changes& changes);

// Tells the bytes of a file apart from any others it may hold later: its
// size and a 64-bit hash of its bytes; or that there was no file.
struct FileFingerprint {
    bool present = false;
    std::uint64_t size = 0;
    std::uint64_t hash = 0;
    friend bool operator==(const FileFingerprint&, const FileFingerprint&) = default;
};
FileFingerprint FingerprintOf(std::string_view bytes);

}  // namespace corvane
