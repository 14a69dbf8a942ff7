// Starting a favorite from a shortcut: `corvane.exe /launch "Chess on CPU 1"`.
// Pure rules, apart from Windows.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace corvane {

// The display text asked for by the arguments (the program's name first,
// as argv has it): "/launch" in any letter case, then the text. Nothing
// when the arguments ask for something else or for nothing.
std::optional<std::string> LaunchArgument(std::span<const std::string_view> args);

// Marks a WM_COPYDATA that carries a launch request from another Corvane.
inline constexpr std::uintptr_t kLaunchRequestTag = 0x43525631;  // "CRV1"
inline constexpr std::size_t kLargestLaunchRequest = 64 * 1024;

// The text of a launch request received from another process; nothing when
// the tag or the size says it is not one.
std::optional<std::string> LaunchRequestText(std::uintptr_t tag, const void* bytes, std::size_t size);

std::string UnknownFavoriteMessage(std::string_view display);

}  // namespace corvane
