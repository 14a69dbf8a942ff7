// Fuzzes the Favorites codec: any bytes parse, and what is written back reads back the same (the file is
// rewritten at every exit, so a codec that drifts on its own output corrupts a list a little more each run).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "favorites/favorites_file.hpp"

namespace {

void Check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "favorites_fuzzer: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::vector<corvane::Favorite> parsed = corvane::ParseFavorites(input);
    const std::string written = corvane::SerializeFavorites(parsed);

    // Each line end read (a CR, or CR LF) is replaced by a CR LF, four to a favorite, the last one padded with
    // empty lines; every other byte is kept. A lone LF ends no line, so it stays.
    std::size_t lineEndBytes = 0;
    for (std::size_t i = 0; i < size; ++i)
        if (input[i] == '\r') lineEndBytes += input.substr(i, 2) == "\r\n" ? 2 : 1;
    Check(written.size() == size - lineEndBytes + 8 * parsed.size(), "text of the lines lost or added");
    std::size_t lineEnds = 0;
    for (std::size_t i = 0; i < written.size(); ++i) {
        if (written[i] != '\r') continue;
        Check(written.substr(i, 2) == "\r\n", "CR without LF written");
        ++lineEnds;
    }
    Check(lineEnds == 4 * parsed.size(), "not four lines a favorite");
    Check(corvane::ParseFavorites(written) == parsed, "written favorites read back differently");
    return 0;
}
