#include "panels/icon_preview.hpp"

#include "platform/shell.hpp"

namespace corvane {

UniqueIcon GetIconFromFile(const std::string& file, int index, bool large) {
    HICON largeIcon = nullptr;
    HICON smallIcon = nullptr;
    const UINT extracted = shell::ExtractIcons(file.c_str(), index, &largeIcon, &smallIcon);
    // Both handles are ours whatever the count says: a file without icons
    // leaves them null, and the owners then hold nothing.
    UniqueIcon largeOwner(largeIcon);
    UniqueIcon smallOwner(smallIcon);
    if (static_cast<int>(extracted) <= 0) return {};
    return large ? std::move(largeOwner) : std::move(smallOwner);
}

}  // namespace corvane
