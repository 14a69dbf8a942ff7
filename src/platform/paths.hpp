// Path and text helpers that know nothing of the file system: they only look
// at characters, so they are shared by the panels, the launcher and the tests.
#pragma once

#include <array>
#include <bitset>
#include <cstddef>
#include <string>
#include <string_view>

namespace corvane {

using LeadBytes = std::bitset<256>;

// The index of the last byte of `path` that is one of `separators` and not
// the second half of a double-byte character (0x5C, the backslash, often
// is: "\x83\x5C" is one character on code page 932); npos when none is.
std::size_t LastSeparator(std::string_view path, std::string_view separators, const LeadBytes& lead = {});

// What follows the last backslash standing at 0-based index 2 or later, so
// that a drive prefix ("C:") or the leading pair of a UNC name never splits;
// empty when there is none. "C:\Games\foo.exe" -> "foo.exe".
std::string FileNameOf(std::string_view path, const LeadBytes& lead = {});

// What precedes that same backslash. "C:\Games\foo.exe" -> "C:\Games",
// "C:\foo.exe" -> "C:".
std::string FolderOf(std::string_view path, const LeadBytes& lead = {});

// Removes leading and trailing space characters (0x20) only; tabs and other
// white space stay, as the stored file has always kept them.
std::string_view TrimSpaces(std::string_view s);

// Drops every CR and LF byte: a line break pasted into a one-line field must
// not reach the line-based Favorites file.
std::string WithoutLineBreaks(std::string_view s);

// A path as the system reports a file's final path, made one that every
// file call takes: "\\?\C:\x" -> "C:\x", "\\?\UNC\server\share" ->
// "\\server\share"; any other path as it stands.
std::string DosPathOf(std::string_view finalPath);

// A byte-to-byte case table plus the lead bytes of the ANSI code page. On a
// double-byte code page (932, 936, 949, 950) the byte after a lead byte is
// the second half of one character, often an ASCII letter's value, and must
// never be folded on its own. The pure code defaults to ASCII without lead
// bytes; the Windows build fills both from the system.
using CaseMap = std::array<unsigned char, 256>;
struct CaseRule {
    CaseMap map;
    LeadBytes lead;
};
const CaseRule& AsciiLower();
const CaseRule& AsciiUpper();

// Whether `a` and `b` are equal with ASCII letters compared regardless of
// case; every other byte must match exactly.
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

// A lead byte is copied together with the byte after it (or alone, when it
// is the last byte); every other byte goes through the table.
std::string MapCase(std::string_view s, const CaseRule& rule);

// The lead bytes named by `count` bytes of inclusive ranges, as the system
// reports them: pairs of first and last byte, a pair of two zeros ending the
// list early. {0x81, 0x9F, 0xE0, 0xFC, 0, 0} is code page 932.
LeadBytes LeadBytesFromRanges(const unsigned char* pairs, std::size_t count);

}  // namespace corvane
