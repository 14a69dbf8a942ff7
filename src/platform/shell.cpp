#include "platform/shell.hpp"

#include "platform/lazy_proc.hpp"

namespace corvane::shell {

namespace {

template <typename Fn>
Fn Shell32(const char* name) {
    return LoadSystemProc<Fn>("shell32.dll", name);
}

}  // namespace

BOOL NotifyIcon(DWORD message, NOTIFYICONDATAA* data) {
    static const auto fn = Shell32<decltype(&Shell_NotifyIconA)>("Shell_NotifyIconA");
    return fn ? fn(message, data) : FALSE;
}

std::string TakeFirstDroppedFile(HDROP drop) {
    static const auto query = Shell32<decltype(&DragQueryFileA)>("DragQueryFileA");
    static const auto finish = Shell32<decltype(&DragFinish)>("DragFinish");
    std::string path;
    if (query && query(drop, 0xFFFFFFFF, nullptr, 0) > 0) {
        const UINT length = query(drop, 0, nullptr, 0);
        path.resize(length + 1);
        const UINT got = query(drop, 0, path.data(), length + 1);
        path.resize(got);
    }
    if (finish) finish(drop);
    return path;
}

UINT ExtractIcons(const char* file, int index, HICON* large, HICON* small) {
    static const auto fn = Shell32<decltype(&ExtractIconExA)>("ExtractIconExA");
    return fn ? fn(file, index, large, small, 1) : 0;
}

Started Execute(HWND owner, const char* file, const char* params, const char* folder, int show) {
    static const auto fn = Shell32<decltype(&ShellExecuteExA)>("ShellExecuteExA");
    if (!fn) return {false, ERROR_PROC_NOT_FOUND, {}};
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.hwnd = owner;
    info.lpFile = file;
    info.lpParameters = params;
    info.lpDirectory = folder;
    info.nShow = show;
    Started started;
    started.ok = fn(&info) != FALSE;
    // The shell says "no program for this type" in hInstApp; its last error
    // may say something less helpful ("bad EXE format").
    const bool noProgram = reinterpret_cast<INT_PTR>(info.hInstApp) == SE_ERR_NOASSOC;
    if (!started.ok) started.error = noProgram ? ERROR_NO_ASSOCIATION : GetLastError();
    started.process.reset(started.ok ? info.hProcess : nullptr);
    return started;
}

}  // namespace corvane::shell
