// Path and text helpers that know nothing of the file system: they only look
// at characters, so they are shared by the editor, the launcher and the tests.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace corvane {

// What follows the last backslash standing at position 3 or later (1-based);
// empty when there is none. "C:\Games\foo.exe" -> "foo.exe".
std::string CutPath(std::string_view FilePath);

// What precedes that same backslash. "C:\Games\foo.exe" -> "C:\Games",
// "C:\foo.exe" -> "C:".
std::string CutFileName(std::string_view FilePath);

// Removes leading and trailing space characters (0x20) only; tabs and other
// white space stay, as the stored file has always kept them.
std::string_view TrimSpaces(std::string_view s);

// A byte-to-byte case table. The pure code defaults to ASCII; the Windows
// build fills tables from the ANSI code page so that accented letters fold the
// way the rest of the system folds them.
using CaseMap = std::array<unsigned char, 256>;
const CaseMap& AsciiLower();
const CaseMap& AsciiUpper();
std::string MapCase(std::string_view s, const CaseMap& map);

}  // namespace corvane
