// The few shell32 functions the program calls. The loader would map shell32
// before WinMain if they were imported, ahead of everything that shows the
// window; looked up on first use instead, shell32 loads with the
// notification-area icon, the first drop or the first launch.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "platform/handles.hpp"

namespace corvane::shell {

// Shell_NotifyIconA; FALSE when shell32 is missing.
BOOL NotifyIcon(DWORD message, NOTIFYICONDATAA* data);

// The first file of a drop, or "" when there is none; ends the drop.
std::string TakeFirstDroppedFile(HDROP drop);

// ExtractIconExA for one icon; 0 or less when there is none.
UINT ExtractIcons(const char* file, int index, HICON* large, HICON* small);

// Starts `file` through the shell with the default verb, as ShellExecute
// does, but shows no error message of its own: a failure comes back as
// `error`, for the caller to tell once it is ready to. The process handle is
// there when the shell started a process itself; a document opened by
// another program, or a program already running that took the request,
// leaves none.
struct Started {
    bool ok = false;
    DWORD error = 0;  // the system's error code when not ok
    UniqueHandle process;
};
Started Execute(HWND owner, const char* file, const char* params, const char* folder, int show);

}  // namespace corvane::shell
