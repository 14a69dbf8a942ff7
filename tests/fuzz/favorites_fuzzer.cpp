// Fuzzes the Favorites codec: any bytes parse, and what is written back reads back the same (the file is
// rewritten at every exit, so a codec that drifts on its own output corrupts a list a little more each run).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "favorites/favorites_file.hpp"

namespace {

void Check(bool ok, const char* what) {
    if (!ok) std::fprintf(stderr, "favorites_fuzzer: %s\n", what), std::abort();
}

// The number of lines in `bytes` (one per CR, plus a last line without one) and the text bytes they hold.
std::pair<std::size_t, std::size_t> LinesAndText(std::string_view bytes) {
    std::size_t lines = 0, text = bytes.size();
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (bytes[i] == '\r') ++lines, text -= bytes.substr(i, 2) == "\r\n" ? 2 : 1;
    const bool openLast = !bytes.empty() && bytes.back() != '\r' && !bytes.ends_with("\r\n");
    return {lines + (openLast ? 1 : 0), text};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::vector<corvane::Favorite> parsed = corvane::ParseFavorites(input);
    const auto [lines, text] = LinesAndText(input);
    Check(parsed.size() == (lines + 3) / 4, "one favorite per four lines, the last one possibly short");
    std::size_t read = 0;
    for (const corvane::Favorite& f : parsed)
        read += f.display.size() + f.coded.size() + f.startIn.size() + f.params.size();
    Check(read == text, "text of the lines lost or added");

    // Every CR written has its LF: no field carries a line end into the file. A lone LF ends no line, so it stays.
    const std::string written = corvane::SerializeFavorites(parsed);
    std::size_t lineEnds = 0;
    for (std::size_t i = 0; i < written.size(); ++i) {
        if (written[i] == '\r') Check(i + 1 < written.size() && written[i + 1] == '\n', "CR without LF written");
        lineEnds += written[i] == '\r';
    }
    Check(lineEnds == 4 * parsed.size() && (written.empty() || written.ends_with("\r\n")), "not four lines a favorite");

    // What is read back is what was read.
    Check(corvane::ParseFavorites(written) == parsed, "written favorites read back differently");
    return 0;
}
