#include "panels/browse_rules.hpp"

#include <algorithm>

#include "platform/paths.hpp"

namespace corvane {

namespace {

constexpr std::size_t kIndentPerLevel = 2;

// The folders from the top of `path` down to `path` itself. A drive's root
// keeps its backslash ("c:\"); a path without a drive stops at its first
// part, and the leading pair of a UNC name is never split.
std::vector<std::string> OpenFolders(std::string_view path, const LeadBytes& lead) {
    std::vector<std::string> chain{std::string(path)};
    for (std::string_view p = path;;) {
        const std::size_t slash = LastSeparator(p, "\\", lead);
        if (IsDriveRoot(p) || slash == std::string_view::npos || slash < 2) break;
        p = slash == 2 && p[1] == ':' ? p.substr(0, 3) : p.substr(0, slash);
        chain.emplace_back(p);
    }
    std::reverse(chain.begin(), chain.end());
    return chain;
}

FolderLine Line(std::size_t level, std::string_view name, std::string path) {
    std::string text(level * kIndentPerLevel, ' ');
    text += name;
    return {std::move(text), std::move(path)};
}

}  // namespace

bool IsDriveRoot(std::string_view path) {
    return path.size() == 3 && path[1] == ':' && path[2] == '\\';
}

std::string WithBackslash(std::string_view path, const LeadBytes& lead) {
    std::string out(path);
    if (path.empty() || LastSeparator(path, "\\", lead) != path.size() - 1) out += '\\';
    return out;
}

std::string WithoutTrailingBackslash(std::string_view path, const LeadBytes& lead) {
    while (path.size() > 3 && LastSeparator(path, "\\", lead) == path.size() - 1)
        path.remove_suffix(1);
    return std::string(path);
}

FolderListing ListFolders(std::string_view path, const std::vector<std::string>& children, const LeadBytes& lead) {
    const std::vector<std::string> chain = OpenFolders(path, lead);
    FolderListing listing;
    for (std::size_t level = 0; level < chain.size(); ++level) {
        const std::string& full = chain[level];
        const std::string_view name =
            level == 0 ? std::string_view(full) : std::string_view(full).substr(LastSeparator(full, "\\", lead) + 1);
        listing.lines.push_back(Line(level, name, full));
    }
    listing.currentLine = chain.size() - 1;
    const std::string parent = WithBackslash(path, lead);
    for (const std::string& child : children)
        listing.lines.push_back(Line(chain.size(), child, parent + child));
    return listing;
}

bool HasExeExtension(std::string_view name) {
    return name.size() >= 4 && EqualsIgnoringAsciiCase(name.substr(name.size() - 4), ".exe");
}

std::optional<std::string> DroppedTarget(std::string_view path) {
    if (!HasExeExtension(path)) return std::nullopt;
    std::string target(path);
    std::erase(target, '"');
    return target;
}

}  // namespace corvane
