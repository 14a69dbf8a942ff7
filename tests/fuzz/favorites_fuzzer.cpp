// Fuzzes the Favorites codec: any bytes parse, and what is written back reads back the same (the file is
// rewritten at every exit, so a codec that drifts on its own output corrupts a list a little more each run).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "favorites/favorites_file.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::vector<corvane::Favorite> parsed = corvane::ParseFavorites(input);
    const std::string written = corvane::SerializeFavorites(parsed);
    if (corvane::ParseFavorites(written) != parsed) {
        std::fprintf(stderr, "favorites_fuzzer: written favorites read back differently\n");
        std::abort();
    }
    return 0;
}
