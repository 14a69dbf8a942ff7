#include "platform/shell_link.hpp"

#include <objbase.h>
#include <shlobj.h>

#include "platform/handles.hpp"
#include "platform/lazy_proc.hpp"
#include "platform/win.hpp"

namespace corvane {

namespace {

// MAX_PATH is the longest path a link may name and SHGetFolderPath fills.
std::string FromBuffer(const char* buffer) {
    return std::string(buffer, strnlen(buffer, MAX_PATH));
}

HRESULT SetFields(IShellLinkA& shell, const ShellLink& link) {
    HRESULT hr = shell.SetPath(link.target.c_str());
    if (SUCCEEDED(hr)) hr = shell.SetArguments(link.arguments.c_str());
    if (SUCCEEDED(hr)) hr = shell.SetWorkingDirectory(link.folder.c_str());
    if (SUCCEEDED(hr)) hr = shell.SetIconLocation(link.iconFile.c_str(), link.iconIndex);
    if (SUCCEEDED(hr)) hr = shell.SetDescription(link.description.c_str());
    return hr;
}

}  // namespace

HRESULT WriteShellLink(const std::string& path, const ShellLink& link) {
    // ole32 is loaded by the window's apartment; looked up, not imported, as
    // everything of it is.
    static const auto create = LoadSystemProc<decltype(&CoCreateInstance)>("ole32.dll", "CoCreateInstance");
    if (!create) return HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
    ComPtr<IShellLinkA> shell;
    HRESULT hr =
        create(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, reinterpret_cast<void**>(shell.put()));
    if (FAILED(hr)) return hr;
    hr = SetFields(*shell.get(), link);
    if (FAILED(hr)) return hr;
    ComPtr<IPersistFile> file;
    hr = shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.put()));
    if (FAILED(hr)) return hr;
    // The file interface takes the name in UTF-16 only.
    const int length = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
    if (length <= 0) return HRESULT_FROM_WIN32(GetLastError());
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    if (!MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), length))
        return HRESULT_FROM_WIN32(GetLastError());
    return file->Save(wide.c_str(), TRUE);
}

Folder DesktopFolder() {
    static const auto get = LoadSystemProc<decltype(&SHGetFolderPathA)>("shell32.dll", "SHGetFolderPathA");
    if (!get) return {{}, HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND)};
    char buffer[MAX_PATH] = "";
    const HRESULT hr = get(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, buffer);
    if (hr != S_OK) return {{}, FAILED(hr) ? hr : HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND)};
    return {FromBuffer(buffer), S_OK};
}

}  // namespace corvane
