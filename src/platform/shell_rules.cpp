#include "platform/shell_rules.hpp"

namespace corvane {

std::string FileNameFrom(std::string_view text, const LeadBytes& lead) {
    constexpr std::string_view kForbidden = "\\/:*?\"<>|";
    std::string name(text);
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto byte = static_cast<unsigned char>(name[i]);
        if (lead[byte]) {
            ++i;  // its second byte is part of the character
        } else if (byte < 0x20 || kForbidden.find(name[i]) != std::string_view::npos) {
            name[i] = '_';
        }
    }
    return name;
}

std::string QuotedArgument(std::string_view text) {
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (const char c : text) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        // Backslashes count as escapes only before a quote.
        quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        quoted.push_back(c);
        backslashes = 0;
    }
    quoted.append(2 * backslashes, '\\');
    quoted.push_back('"');
    return quoted;
}

std::string MenuItemText(std::string_view text) {
    std::string item;
    for (const char c : text) {
        if (c == '&') item.push_back('&');
        item.push_back(c);
    }
    return item;
}

}  // namespace corvane
