// Shortcut files (.lnk) written through the shell's link object, and the
// desktop they go to.
#pragma once

#include <windows.h>

#include <string>

namespace corvane {

struct ShellLink {
    std::string target;     // the program the shortcut starts, full path
    std::string arguments;  // its command line after the program
    std::string folder;     // the folder it starts in
    std::string iconFile;   // whose icon the shortcut shows
    int iconIndex = 0;
    std::string description;
    friend bool operator==(const ShellLink&, const ShellLink&) = default;
};

// Writes `link` to the file `path`, replacing one that is there. COM must be
// entered on this thread (a single-threaded apartment).
HRESULT WriteShellLink(const std::string& path, const ShellLink& link);

// The current user's desktop folder as the shell names it, or the reason
// it gave none.
struct Folder {
    std::string path;
    HRESULT result = S_OK;
};
Folder DesktopFolder();

}  // namespace corvane
