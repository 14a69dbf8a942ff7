#include "platform/paths.hpp"

#include <cstddef>

namespace corvane {

namespace {

// The split point is the last backslash at 1-based position 3 or later, so a
// drive prefix ("C:") or the leading pair of a UNC name never splits.
constexpr std::size_t kFirstSplitIndex = 2;  // 0-based index of position 3

std::size_t SplitPoint(std::string_view path) {
    const std::size_t i = path.rfind('\\');
    if (i == std::string_view::npos || i < kFirstSplitIndex) return std::string_view::npos;
    return i;
}

constexpr CaseMap MakeMap(bool upper) {
    CaseMap map{};
    for (std::size_t c = 0; c < map.size(); ++c) {
        unsigned char v = static_cast<unsigned char>(c);
        if (upper && v >= 'a' && v <= 'z') v = static_cast<unsigned char>(v - 'a' + 'A');
        if (!upper && v >= 'A' && v <= 'Z') v = static_cast<unsigned char>(v - 'A' + 'a');
        map[c] = v;
    }
    return map;
}

constexpr CaseMap kAsciiLower = MakeMap(false);
constexpr CaseMap kAsciiUpper = MakeMap(true);

}  // namespace

std::string CutPath(std::string_view FilePath) {
    const std::size_t i = SplitPoint(FilePath);
    if (i == std::string_view::npos) return {};
    return std::string(FilePath.substr(i + 1));
}

std::string CutFileName(std::string_view FilePath) {
    const std::size_t i = SplitPoint(FilePath);
    if (i == std::string_view::npos) return {};
    return std::string(FilePath.substr(0, i));
}

std::string_view TrimSpaces(std::string_view s) {
    const std::size_t first = s.find_first_not_of(' ');
    if (first == std::string_view::npos) return s.substr(s.size());
    const std::size_t last = s.find_last_not_of(' ');
    return s.substr(first, last - first + 1);
}

const CaseMap& AsciiLower() { return kAsciiLower; }
const CaseMap& AsciiUpper() { return kAsciiUpper; }

std::string MapCase(std::string_view s, const CaseMap& map) {
    std::string out(s.size(), '\0');
    for (std::size_t i = 0; i < s.size(); ++i) {
        out[i] = static_cast<char>(map[static_cast<unsigned char>(s[i])]);
    }
    return out;
}

}  // namespace corvane
