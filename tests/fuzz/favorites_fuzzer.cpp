// Fuzzes the Favorites codec. Any bytes must parse without a crash, and what
// the program writes back must read back as the same favorites: the file is
// rewritten at every exit, so a codec that drifts on its own output would
// corrupt a user's list a little more each run.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "favorites/favorites_file.hpp"

namespace {

using corvane::Favorite;

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "favorites_fuzzer: %s\n", what);
    std::abort();
}

void Check(bool ok, const char* what) {
    if (!ok) Fail(what);
}

// An independent reading of the line rules, byte by byte: CR LF or a lone CR
// ends a line, a lone LF is text, a last line without an end still counts.
std::vector<std::string> SplitLines(std::string_view bytes) {
    std::vector<std::string> lines;
    std::string line;
    bool open = false;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r') {
            lines.push_back(line);
            line.clear();
            open = false;
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        } else {
            line.push_back(c);
            open = true;
        }
    }
    if (open) lines.push_back(line);
    return lines;
}

// The favorites' fields in file order, the empty fields of a record cut short
// at the end of the file left out.
std::vector<std::string> Fields(const std::vector<Favorite>& favorites, std::size_t lineCount) {
    std::vector<std::string> fields;
    for (const Favorite& f : favorites)
        for (const std::string* s : {&f.display, &f.coded, &f.startIn, &f.params}) fields.push_back(*s);
    if (fields.size() > lineCount) fields.resize(lineCount);
    return fields;
}

// Every CR is followed by LF, the bytes end with CR LF, and the line count is
// a multiple of four: the shape the program itself writes.
bool IsCanonical(std::string_view bytes, std::size_t lineCount) {
    if (bytes.empty()) return true;
    if (bytes.size() < 2 || bytes.substr(bytes.size() - 2) != "\r\n") return false;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n')) return false;
    return lineCount % 4 == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    const std::vector<Favorite> parsed = corvane::ParseFavorites(input);

    const std::vector<std::string> lines = SplitLines(input);
    Check(parsed.size() == (lines.size() + 3) / 4, "one favorite per four lines, the last one possibly short");
    Check(Fields(parsed, lines.size()) == lines, "fields differ from the lines of the input");
    for (std::size_t i = lines.size(); i < parsed.size() * 4; ++i) {
        const Favorite& last = parsed.back();
        const std::string* rest[] = {&last.display, &last.coded, &last.startIn, &last.params};
        Check(rest[i % 4]->empty(), "a field missing from the input is not empty");
    }

    const std::string written = corvane::SerializeFavorites(parsed);
    Check(parsed.empty() == written.empty(), "written bytes empty exactly when there are no favorites");

    const std::vector<Favorite> reread = corvane::ParseFavorites(written);
    Check(reread == parsed, "written favorites read back differently");

    const std::string rewritten = corvane::SerializeFavorites(reread);
    Check(rewritten == written, "writing what was read back changed the bytes");

    if (IsCanonical(input, lines.size())) Check(written == input, "a file in the written shape did not come back byte for byte");
    return 0;
}
