// What the browse panel and the target field decide from text alone: the
// folder list's lines, which names are programs, what a dropped file gives.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/paths.hpp"

namespace corvane {

// "c:\" and the like: the one folder form that keeps a trailing backslash.
bool IsDriveRoot(std::string_view path);

// The paths below may hold double-byte characters of the ANSI code page,
// whose second byte is often a backslash's (0x5C: "\x83\x5C" is one
// character on code page 932); `lead` names the code page's lead bytes.

// `path` with one backslash at its end, ready for a name to be appended.
std::string WithBackslash(std::string_view path, const LeadBytes& lead = {});

// `path` without the backslashes at its end, but for a drive root's own.
std::string WithoutTrailingBackslash(std::string_view path, const LeadBytes& lead = {});

struct FolderLine {
    std::string text;  // the name, indented two spaces per level
    std::string path;  // the folder the line opens
};

struct FolderListing {
    std::vector<FolderLine> lines;
    std::size_t currentLine = 0;  // the line of the folder that is open
};

// The folder list for `path`: the open folders from the root down (the root
// shown whole, as "c:\", every deeper level by its own name), then `children`,
// the subfolders of `path` in the order given, one level below it.
FolderListing ListFolders(std::string_view path, const std::vector<std::string>& children, const LeadBytes& lead = {});

// Whether `name` ends in ".exe", in any ASCII letter case.
bool HasExeExtension(std::string_view name);

// The target a file dropped on the target field gives: only a program counts,
// and the quotes some sources wrap around a path are removed.
std::optional<std::string> DroppedTarget(std::string_view path);

}  // namespace corvane
