// Starting a favorite from a shortcut: `corvane.exe /launch "Chess on CPU 1"`.
// Pure rules, apart from Windows.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace corvane {

// What the command line asks for (the program's name first, as argv has
// it). The first argument that starts with "/" decides: "/launch" in any
// letter case followed by the favorite's display text, its words joined
// by single spaces when the shortcut did not quote them; "/launch" alone or
// with a name of spaces only, or any other option, is a mistake the user is
// shown the usage for.
// Arguments that are not options are ignored.
struct Arguments {
    std::optional<std::string> launch;
    bool usage = false;
};
Arguments ReadArguments(std::span<const std::string_view> args);

// Marks a WM_COPYDATA that carries a launch request from another Corvane.
inline constexpr std::uintptr_t kLaunchRequestTag = 0x43525631;  // "CRV1"
inline constexpr std::size_t kLargestLaunchRequest = 64 * 1024;

// The text of a launch request received from another process; nothing when
// the tag or the size says it is not one.
std::optional<std::string> LaunchRequestText(std::uintptr_t tag, const void* bytes, std::size_t size);

}  // namespace corvane
