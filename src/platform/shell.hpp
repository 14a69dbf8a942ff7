// The few shell32 functions the program calls. The loader would map shell32
// before WinMain if they were imported, ahead of everything that shows the
// window; looked up on first use instead, shell32 loads with the
// notification-area icon, the first drop or the first launch.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

namespace corvane::shell {

// Shell_NotifyIconA; FALSE when shell32 is missing.
BOOL NotifyIcon(DWORD message, NOTIFYICONDATAA* data);

// DragAcceptFiles.
void AcceptFiles(HWND hwnd, bool accept);

// The first file of a drop, or "" when there is none; ends the drop.
std::string TakeFirstDroppedFile(HDROP drop);

// ExtractIconExA for one icon; 0 or less when there is none.
UINT ExtractIcons(const char* file, int index, HICON* large, HICON* small);

// ShellExecuteA with the default verb; false when shell32 is missing or the
// shell reports a failure.
bool Execute(HWND owner, const char* file, const char* params, const char* folder, int show);

}  // namespace corvane::shell
