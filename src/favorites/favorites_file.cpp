#include "favorites/favorites_file.hpp"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <unordered_set>

namespace corvane {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

// How many bytes of `bytes` are `a` or `b`. Tallied in blocks of at most 255
// bytes, in a byte-wide counter: the compiler turns that loop into vector
// code, which counts over ten times faster than std::count or a search call
// per field does.
std::size_t CountBytes(std::string_view bytes, char a, char b) {
    std::size_t total = 0;
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const std::size_t block = std::min<std::size_t>(left, 255);
        unsigned char tally = 0;
        for (std::size_t i = 0; i < block; ++i)
            tally = static_cast<unsigned char>(tally + ((p[i] == a) | (p[i] == b)));
        total += tally;
        p += block;
        left -= block;
    }
    return total;
}

void AppendWithoutCr(std::string& out, std::string_view field) {
    for (const char c : field)
        if (c != '\r') out.push_back(c);
    out.append(kLineEnd);
}

// Whether the last line of `bytes` has its line end (a CR, or CR LF).
bool LastLineEnded(std::string_view bytes) {
    if (bytes.ends_with('\r')) return true;
    return bytes.ends_with("\r\n");
}

std::size_t CountLines(std::string_view bytes) {
    std::size_t lines = 0;
    for (FavoritesReader reader(bytes); !reader.AtEnd(); reader.SkipLine())
        ++lines;
    return lines;
}

}  // namespace

std::vector<Favorite> ParseFavorites(std::string_view bytes) {
    FavoritesReader reader(bytes);
    std::vector<Favorite> favorites;
    // Sized once: on Windows' heap regrowing costs more than the counting.
    favorites.reserve(reader.Estimate());
    reader.Read(favorites.max_size(), favorites);
    return favorites;
}

std::size_t FavoritesReader::Estimate() const {
    // Every line but possibly the last ends with a CR.
    return bytes_.empty() ? 0 : CountBytes(bytes_, '\r', '\r') / 4 + 1;
}

std::string_view FavoritesReader::NextLine() {
    // Only CR ends a line (an LF right after it belongs to that line end);
    // an LF on its own is ordinary text.
    const char* start = pos_;
    const auto* cr = static_cast<const char*>(std::memchr(start, '\r', static_cast<std::size_t>(end_ - start)));
    if (cr == nullptr) {
        pos_ = end_;
        return {start, static_cast<std::size_t>(end_ - start)};
    }
    pos_ = cr + 1;
    if (pos_ != end_ && *pos_ == '\n') ++pos_;
    return {start, static_cast<std::size_t>(cr - start)};
}

WholeList FavoritesReader::ReadToEnd(std::vector<Favorite>&& readSoFar) {
    Read(SIZE_MAX, readSoFar);
    return WholeList(std::move(readSoFar));
}

std::string SerializeFavorites(const std::vector<Favorite>& favorites) {
    std::size_t total = 0;
    for (const Favorite& f : favorites) {
        total += f.display.size() + f.coded.size() + f.startIn.size() + f.params.size() + 4 * kLineEnd.size();
    }

    std::string out;
    out.reserve(total);
    for (const Favorite& f : favorites)
        AppendFavorite(out, f);
    return out;
}

void AppendFavorite(std::string& out, const Favorite& favorite) {
    const std::size_t start = out.size();
    const std::string_view fields[] = {favorite.display, favorite.coded, favorite.startIn, favorite.params};
    for (std::string_view field : fields)
        out.append(field).append(kLineEnd);
    // Nearly every record is clean, and then its four line ends hold its
    // only CRs; checking the whole record at once is cheap.
    if (CountBytes(std::string_view(out).substr(start), '\r', '\r') == 4) return;
    out.resize(start);
    for (std::string_view field : fields)
        AppendWithoutCr(out, field);
}

std::string Additions(std::string_view existing, const std::vector<Favorite>& favorites) {
    std::unordered_set<std::string> held;
    for (const Favorite& f : ParseFavorites(existing)) {
        std::string record;
        AppendFavorite(record, f);
        held.insert(std::move(record));
    }
    std::string added;
    for (const Favorite& f : favorites) {
        std::string record;
        AppendFavorite(record, f);
        if (held.insert(record).second) added += record;
    }
    if (added.empty()) return added;
    std::string closing;
    if (!existing.empty() && !LastLineEnded(existing)) closing = kLineEnd;
    for (std::size_t lines = CountLines(existing); lines % 4 != 0; ++lines)
        closing += kLineEnd;
    return closing + added;
}

std::string MergeChanges(std::string_view onDisk, const Changes& changes) {
    std::unordered_multiset<std::string> removed;
    for (const Favorite& f : changes.removed) {
        std::string record;
        AppendFavorite(record, f);
        removed.insert(std::move(record));
    }
    std::string kept;
    kept.reserve(onDisk.size());
    FavoritesReader reader(onDisk);
    std::vector<Favorite> one;
    while (!reader.AtEnd()) {
        const std::size_t start = reader.Offset();
        one.clear();
        reader.Read(1, one);
        std::string record;
        AppendFavorite(record, one.front());
        const auto found = removed.find(record);
        if (found != removed.end())
            removed.erase(found);
        else
            kept.append(onDisk.substr(start, reader.Offset() - start));
    }
    return kept + Additions(kept, changes.added);
}

FileFingerprint FingerprintOf(std::string_view bytes) {
    // A word at a time: the file can be hundreds of megabytes.
    std::uint64_t hash = 0xCBF29CE484222325ull;
    const auto mix = [&hash](std::uint64_t word) {
        hash = (hash ^ word) * 0x9E3779B97F4A7C15ull;
        hash ^= hash >> 29;
    };
    std::size_t at = 0;
    for (; at + 8 <= bytes.size(); at += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes.data() + at, 8);
        mix(word);
    }
    std::uint64_t tail = 0;
    if (at < bytes.size()) std::memcpy(&tail, bytes.data() + at, bytes.size() - at);
    mix(tail);
    return {true, bytes.size(), hash};
}

}  // namespace corvane
