// One favorite and the texts it is stored and shown as.
#pragma once

#include <string>
#include <string_view>

#include "platform/paths.hpp"

namespace corvane {

// A favorite exactly as its four lines stand in the Favorites file. Fields are
// kept verbatim (no trimming, no case change) so that a file that is read and
// written again comes back byte for byte, line breaks inside a field aside
// (the writer drops them); a record cut short by the end of the file simply
// has its missing fields empty.
struct Favorite {
    std::string display;  // "Chess on CPU 1", "Chess on Default"
    std::string coded;    // "1__c:\games\chess\chess.exe"
    std::string startIn;  // "c:\games\chess"
    std::string params;   // "None" when there are none

    friend bool operator==(const Favorite&, const Favorite&) = default;
};

// The core a favorite starts on. Stored as one digit (its value here), read
// back by CoreFor; "Default" starts the program on all the machine's cores.
enum class Core { Cpu0, Cpu1, Default };

// A favorite as the editor shows it and a launch reads it: the parts, not
// the texts they are stored as.
struct FavoriteFields {
    std::string title;
    std::string target;
    std::string startIn;
    std::string parameters;
    Core core = Core::Cpu0;
};

inline constexpr std::string_view kNoParameters = "None";

// Minimum lengths (after trimming spaces) that Save and Launch insist on.
inline constexpr std::size_t kMinTitle = 1;
inline constexpr std::size_t kMinStartIn = 2;
inline constexpr std::size_t kMinTarget = 7;

// "<title> on CPU 0", "<title> on CPU 1" or "<title> on Default".
std::string DisplayText(std::string_view title, Core core);

// "<digit>__<target>" (0, 1, or 2 for Default), lower-cased as a whole with `lower`.
std::string CodedTarget(Core core, std::string_view target, const CaseRule& lower = AsciiLower());

// The digit value of the first character of a coded target; 0 when that
// character is not a decimal digit or the text is empty.
int CpuCode(std::string_view coded);

// The core a stored digit names: 0 and 1 their core; anything else (2, or a
// stray digit 3 to 9 from an edited file) Default.
Core CoreFor(int code);

// The target part of a coded target: everything from its fourth character on.
std::string TargetOf(std::string_view coded);

// The title part of a display text: what precedes the first " on" (exact,
// case-sensitive). A text without " on" (a hand-edited file) is all title.
std::string TitleOf(std::string_view display);

// The parts of a stored favorite; the parameters stay as stored ("None").
FavoriteFields FieldsOf(const Favorite& favorite);

// The core Save derives from the core option buttons: Default if its button
// is set, else CPU 0 if that one is, else CPU 1. The CPU 1 button itself is
// never asked: with no button set (which the option group prevents) the
// choice still falls to CPU 1.
Core CodeFromOptions(bool cpu0, bool useDefault);

// True when the trimmed title, start-in folder and target are long enough to
// save or launch (1, 2 and 7 characters).
bool FieldsComplete(std::string_view title, std::string_view startIn, std::string_view target);

// Empty parameters are stored as "None".
std::string StoredParameters(std::string_view typed);

// What Save keeps of a typed field: line breaks (a paste can bring them)
// removed, then the spaces around it trimmed.
std::string SavedField(std::string_view typed);

// Builds the record Save appends. Paths are lower-cased with `lower`;
// title and parameters keep their case.
Favorite MakeFavorite(std::string_view title, std::string_view target, std::string_view startIn,
                      std::string_view params, Core core, const CaseRule& lower = AsciiLower());

}  // namespace corvane
