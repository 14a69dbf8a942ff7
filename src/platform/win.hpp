// Thin Win32 helpers: ANSI text of controls, the event pump and the waits
// built on it, and the few system services the program relies on.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/paths.hpp"

namespace corvane {

inline constexpr const char* kAppTitle = "Corvane";

// ANSI text of a window or control.
std::string GetText(HWND hwnd);

// Sets the text only when it differs: an edit control reports EN_CHANGE even
// for a WM_SETTEXT that changes nothing, and the target field must not run
// its change handling then. Returns whether the text changed.
bool SetText(HWND hwnd, std::string_view text);

// The text of one list box entry.
std::string GetListText(HWND list, int index);

// Case rules of the ANSI code page, built once from the system, so that
// paths fold the way Windows folds them and double-byte characters stay whole.
const CaseRule& SystemLower();
const CaseRule& SystemUpper();

// Twips (1/1440 inch) to pixels at `dpi`.
inline int TwipsToPixels(int twips, int dpi) {
    return MulDiv(twips, dpi, 1440);
}

// The DPI the window is shown at (per monitor where the system supports it).
int DpiFor(HWND hwnd);

// Hands one message to its window; dialog keys (Tab, arrows, Enter) go
// through `dialog`. The one dispatch of the message loop and of PumpEvents.
void DispatchEvent(MSG& msg, HWND dialog);

// Dispatches every pending message once, as DispatchEvent does. WM_QUIT is
// put back for the main loop.
void PumpEvents(HWND dialog);

// Sleeps until input arrives for this thread or `ms` pass, whichever is
// first; a pause that keeps handling events without spinning a core.
void WaitForInput(std::uint32_t ms);

// A monotonic tick count: unaffected by changes of the wall clock.
std::uint64_t MonotonicMilliseconds();

// The system beep.
void Beep();

// Modal message box with the information icon and one OK button.
void InfoBox(HWND owner, const char* text);
// The same with the warning icon, for what went wrong.
void WarningBox(HWND owner, const char* text);
// Modal message box with the question icon and Yes and No; true for Yes.
bool AskYesNo(HWND owner, const char* text);

// Modal message box with the warning icon, Retry and Cancel; true for Retry.
bool RetryBox(HWND owner, const char* text);

// `path` made absolute from the current directory; as it stands if it cannot be.
std::string FullPathOf(const std::string& path);

// The system's text for an error code, without its line end, `file` in
// place of the file it may name ("%1"); the number itself when the system
// has no text for it.
std::string SystemMessage(DWORD error, std::string_view file);
// The same for a failed COM call, whose Win32 failures come wrapped.
std::string SystemReason(HRESULT result);

// The full path of the running program.
std::string ProgramPath();
// The process's current directory.
std::string CurrentFolder();

}  // namespace corvane
