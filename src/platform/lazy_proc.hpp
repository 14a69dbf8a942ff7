// Functions of system DLLs that the program needs only now and then (after
// start-up, or never in a session). Importing them would have the loader map
// their DLLs, and everything those DLLs pull in, before the window can show;
// looking them up on first use defers that cost to the first call.
#pragma once

#include <windows.h>

namespace corvane {

// The function `name` of the system DLL `module`, typed as `Fn` (pass
// decltype(&TheFunction) so that the header's declaration fixes the type), or
// null when either is missing. The DLL stays loaded for the rest of the
// process. Keep the result in a function-local static: one look-up per
// process, made on first use.
template <typename Fn>
Fn LoadSystemProc(const char* module, const char* name) {
    // By full path in the system folder, so that a same-named DLL beside the
    // program or in the current folder (the favorites folder) is never
    // loaded; LOAD_LIBRARY_SEARCH_SYSTEM32 would do the same but is missing
    // on older systems.
    char path[MAX_PATH];
    const UINT folder = GetSystemDirectoryA(path, MAX_PATH);
    if (folder == 0 || folder + 1 + lstrlenA(module) >= MAX_PATH) return nullptr;
    path[folder] = '\\';
    lstrcpyA(path + folder + 1, module);
    HMODULE dll = LoadLibraryA(path);
    if (!dll) return nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
}

}  // namespace corvane
