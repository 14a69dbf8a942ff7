#include "app/launch_request.hpp"

#include "platform/paths.hpp"

namespace corvane {

std::optional<std::string> LaunchArgument(std::span<const std::string_view> args) {
    if (args.size() != 3 || !EqualsIgnoringAsciiCase(args[1], "/launch")) return std::nullopt;
    return std::string(args[2]);
}

std::optional<std::string> LaunchRequestText(std::uintptr_t tag, const void* bytes, std::size_t size) {
    if (tag != kLaunchRequestTag || size > kLargestLaunchRequest || (size > 0 && !bytes)) return std::nullopt;
    return std::string(static_cast<const char*>(bytes), size);
}

std::string UnknownFavoriteMessage(std::string_view display) {
    return "There is no favorite \"" + std::string(display) + "\" in the list, so nothing was started.";
}

}  // namespace corvane
