#include "app/launch_request.hpp"

#include "platform/paths.hpp"

namespace corvane {

Arguments ReadArguments(std::span<const std::string_view> args) {
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (!args[i].starts_with('/')) continue;
        if (!EqualsIgnoringAsciiCase(args[i], "/launch") || i + 1 == args.size()) return {std::nullopt, true};
        std::string display(args[i + 1]);
        for (std::size_t word = i + 2; word < args.size(); ++word)
            display.append(" ").append(args[word]);
        if (TrimSpaces(display).empty()) return {std::nullopt, true};
        return {std::move(display), false};
    }
    return {};
}

std::optional<std::string> LaunchRequestText(std::uintptr_t tag, const void* bytes, std::size_t size) {
    if (tag != kLaunchRequestTag || size > kLargestLaunchRequest || (size > 0 && !bytes)) return std::nullopt;
    return std::string(static_cast<const char*>(bytes), size);
}

}  // namespace corvane
