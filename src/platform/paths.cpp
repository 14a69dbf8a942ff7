#include "platform/paths.hpp"

#include <algorithm>

namespace corvane {

namespace {

constexpr std::size_t kFirstSplitIndex = 2;

std::size_t SplitPoint(std::string_view path, const LeadBytes& lead) {
    const std::size_t i = LastSeparator(path, "\\", lead);
    if (i == std::string_view::npos || i < kFirstSplitIndex) return std::string_view::npos;
    return i;
}

CaseRule MakeAsciiRule(bool upper) {
    CaseRule rule{};
    for (std::size_t c = 0; c < rule.map.size(); ++c) {
        unsigned char v = static_cast<unsigned char>(c);
        if (upper && v >= 'a' && v <= 'z') v = static_cast<unsigned char>(v - 'a' + 'A');
        if (!upper && v >= 'A' && v <= 'Z') v = static_cast<unsigned char>(v - 'A' + 'a');
        rule.map[c] = v;
    }
    return rule;
}

}  // namespace

std::size_t LastSeparator(std::string_view path, std::string_view separators, const LeadBytes& lead) {
    std::size_t last = std::string_view::npos;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (lead[static_cast<unsigned char>(path[i])])
            ++i;
        else if (separators.find(path[i]) != std::string_view::npos)
            last = i;
    }
    return last;
}

std::string FileNameOf(std::string_view path, const LeadBytes& lead) {
    const std::size_t i = SplitPoint(path, lead);
    if (i == std::string_view::npos) return {};
    return std::string(path.substr(i + 1));
}

std::string FolderOf(std::string_view path, const LeadBytes& lead) {
    const std::size_t i = SplitPoint(path, lead);
    if (i == std::string_view::npos) return {};
    return std::string(path.substr(0, i));
}

std::string_view TrimSpaces(std::string_view s) {
    const std::size_t first = s.find_first_not_of(' ');
    if (first == std::string_view::npos) return s.substr(s.size());
    const std::size_t last = s.find_last_not_of(' ');
    return s.substr(first, last - first + 1);
}

std::string WithoutLineBreaks(std::string_view s) {
    std::string out(s);
    std::erase_if(out, [](char c) { return c == '\r' || c == '\n'; });
    return out;
}

std::string DosPathOf(std::string_view finalPath) {
    constexpr std::string_view kLong = "\\\\?\\", kUnc = "UNC\\";
    if (!finalPath.starts_with(kLong)) return std::string(finalPath);
    finalPath.remove_prefix(kLong.size());
    if (finalPath.starts_with(kUnc)) return "\\\\" + std::string(finalPath.substr(kUnc.size()));
    return std::string(finalPath);
}

const CaseRule& AsciiLower() {
    static const CaseRule rule = MakeAsciiRule(false);
    return rule;
}

const CaseRule& AsciiUpper() {
    static const CaseRule rule = MakeAsciiRule(true);
    return rule;
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    const CaseMap& lower = AsciiLower().map;
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [&lower](char x, char y) {
        return lower[static_cast<unsigned char>(x)] == lower[static_cast<unsigned char>(y)];
    });
}

std::string MapCase(std::string_view s, const CaseRule& rule) {
    std::string out(s);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const auto c = static_cast<unsigned char>(out[i]);
        if (rule.lead[c]) {
            ++i;  // the trail byte stays as it is
            continue;
        }
        out[i] = static_cast<char>(rule.map[c]);
    }
    return out;
}

LeadBytes LeadBytesFromRanges(const unsigned char* pairs, std::size_t count) {
    LeadBytes lead;
    for (std::size_t i = 0; i + 1 < count; i += 2) {
        const unsigned first = pairs[i];
        const unsigned last = pairs[i + 1];
        if (first == 0 && last == 0) break;
        for (unsigned b = first; b <= last; ++b)
            lead.set(b);
    }
    return lead;
}

}  // namespace corvane
