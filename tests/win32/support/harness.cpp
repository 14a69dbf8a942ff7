#include "support/harness.hpp"

#include <shlobj.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <cstdlib>

namespace corvane::test {

namespace {

std::string Current() {
    char buffer[MAX_PATH * 2];
    const DWORD length = GetCurrentDirectoryA(sizeof buffer, buffer);
    return std::string(buffer, length < sizeof buffer ? length : 0);
}

void RemoveTree(const std::string& path) {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((path + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = data.cFileName;
            if (name == "." || name == "..") continue;
            const std::string full = path + "\\" + name;
            SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(full);
            else DeleteFileA(full.c_str());
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    RemoveDirectoryA(path.c_str());
}

int g_nextDir = 0;

}  // namespace

TempDir::TempDir() : previous_(Current()) {
    char temp[MAX_PATH + 1];
    GetTempPathA(sizeof temp, temp);
    path_ = std::string(temp) + "crv-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(g_nextDir++);
    RemoveTree(path_);
    CreateDirectoryA(path_.c_str(), nullptr);
    SetCurrentDirectoryA(path_.c_str());
    path_ = Current();
}

TempDir::~TempDir() {
    SetCurrentDirectoryA(previous_.c_str());
    RemoveTree(path_);
}

std::optional<std::string> ReadBytes(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string bytes;
    char chunk[65536];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
    CloseHandle(file);
    return bytes;
}

bool WriteBytes(const std::string& path, std::string_view bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD wrote = 0;
    const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr) &&
                    wrote == bytes.size();
    CloseHandle(file);
    return ok;
}

std::string ThisExePath() {
    char buffer[MAX_PATH * 2];
    const DWORD length = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    return std::string(buffer, length < sizeof buffer ? length : 0);
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
    while (!done()) {
        const ULONGLONG now = GetTickCount64();
        if (now >= end) return done();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min<ULONGLONG>(end - now, 10)),
                                  QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return true;
}

std::string TextOf(HWND hwnd) {
    char buffer[4096];
    const LRESULT got = SendMessageA(hwnd, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
    return std::string(buffer, got > 0 ? static_cast<std::size_t>(got) : 0);
}

std::vector<std::string> ListItems(HWND list) {
    char name[16] = "";
    GetClassNameA(list, name, sizeof name);
    const bool combo = lstrcmpiA(name, "ComboBox") == 0;
    std::vector<std::string> items;
    const LRESULT count = SendMessageA(list, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char buffer[1024] = "";
        SendMessageA(list, combo ? CB_GETLBTEXT : LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buffer));
        items.emplace_back(buffer);
    }
    return items;
}

void DropFiles(HWND target, const std::vector<std::string>& paths) {
    std::size_t chars = 1;
    for (const std::string& p : paths) chars += p.size() + 1;
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + chars);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    char* names = reinterpret_cast<char*>(drop + 1);
    for (const std::string& p : paths) names = std::copy(p.begin(), p.end(), names) + 1;
    GlobalUnlock(memory);
    SendMessageA(target, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
}

BoxCatcher* g_catcher = nullptr;

BoxCatcher::BoxCatcher() {
    g_catcher = this;
    timer_ = SetTimer(nullptr, 0, 20, OnTimer);
}

BoxCatcher::~BoxCatcher() {
    KillTimer(nullptr, timer_);
    g_catcher = nullptr;
}

void CALLBACK BoxCatcher::OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (!g_catcher) return;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND box, LPARAM) -> BOOL {
            char cls[16] = "";
            GetClassNameA(box, cls, sizeof cls);
            if (std::string_view(cls) != "#32770" || !IsWindowVisible(box)) return TRUE;
            BoxSeen seen{TextOf(GetDlgItem(box, 0xFFFF)), 0};
            // The icon shows which MB_ICON* the box was made with.
            // Windows numbers the icon control 0x14, Wine 0x440: take whichever there is.
            HWND iconControl = GetDlgItem(box, 0x14) ? GetDlgItem(box, 0x14) : GetDlgItem(box, 0x440);
            const auto icon = reinterpret_cast<HICON>(SendMessageA(iconControl, STM_GETICON, 0, 0));
            if (icon == LoadIcon(nullptr, IDI_INFORMATION)) seen.style |= MB_ICONINFORMATION;
            if (icon == LoadIcon(nullptr, IDI_WARNING)) seen.style |= MB_ICONWARNING;
            if (GetDlgItem(box, IDOK) && !GetDlgItem(box, IDCANCEL)) seen.style |= MB_OK;
            // MB_OK is 0: only a box with more buttons leaves a trace in the bits.
            if (GetDlgItem(box, IDYES)) seen.style |= GetDlgItem(box, IDCANCEL) ? MB_YESNOCANCEL : MB_YESNO;
            else if (GetDlgItem(box, IDOK) && GetDlgItem(box, IDCANCEL)) seen.style |= MB_OKCANCEL;
            g_catcher->seen_.push_back(seen);
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            return TRUE;
        },
        0);
}

App::App() : boxes_(std::make_unique<BoxCatcher>()), win_(std::make_unique<MainWindow>()) {
    win_->SetQuitOnClose(false);
}

App::~App() {
    if (win_->hwnd()) Close();
}

bool App::Start() {
    if (!win_->Create(GetModuleHandleA(nullptr))) return false;
    win_->Load();
    return win_->hwnd() != nullptr;
}

bool App::Close() {
    PostMessageA(win_->hwnd(), WM_CLOSE, 0, 0);
    return PumpUntil([this] { return win_->closed(); });
}

HWND App::control(int id) const {
    // Panels are 1001-1003; a control's hundreds digit names its panel, and
    // each frame box (14xx) sits in the panel of its own number.
    if (id < 1100) return GetDlgItem(hwnd(), id);
    const int panel = id >= 1400 ? kFavoritesPanel + (id - kFavoritesBox) : kFavoritesPanel + id / 100 - 11;
    return GetDlgItem(GetDlgItem(hwnd(), panel), id);
}

void App::SetText(int id, std::string_view text) const {
    const std::string copy(text);
    SendMessageA(control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(copy.c_str()));
}

void App::Click(int id) const {
    HWND target = control(id);
    char cls[16] = "";
    GetClassNameA(target, cls, sizeof cls);
    if (lstrcmpiA(cls, "Static") == 0)
        SendMessageA(GetParent(target), WM_COMMAND, MAKEWPARAM(id, STN_CLICKED), reinterpret_cast<LPARAM>(target));
    else
        SendMessageA(target, BM_CLICK, 0, 0);
}

void App::Select(int index) const {
    HWND list = control(kFavoritesList);
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(GetParent(list), WM_COMMAND, MAKEWPARAM(kFavoritesList, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

std::string Record(std::string_view display, std::string_view coded, std::string_view startIn,
                   std::string_view params) {
    std::string out;
    for (std::string_view line : {display, coded, startIn, params}) out.append(line).append("\r\n");
    return out;
}

std::vector<DWORD> ProcessIds(std::string_view image) {
    std::vector<DWORD> out;
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snap, &entry); more; more = Process32Next(snap, &entry))
        if (lstrcmpiA(entry.szExeFile, std::string(image).c_str()) == 0) out.push_back(entry.th32ProcessID);
    CloseHandle(snap);
    return out;
}

ProcessReaper::~ProcessReaper() {
    for (const std::string& image : images)
        for (DWORD pid : ProcessIds(image)) {
            HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
            if (!process) continue;
            TerminateProcess(process, 0);
            WaitForSingleObject(process, 5000);  // gone before its folder is removed
            CloseHandle(process);
        }
}

std::vector<DWORD_PTR> ReportedMasks(const std::string& report, std::string_view key) {
    std::vector<DWORD_PTR> out;
    const std::string text = ReadBytes(report).value_or(""), tag = std::string(key) + "=0x";
    for (std::size_t at = 0; (at = text.find(tag, at)) != std::string::npos; at += tag.size())
        out.push_back(static_cast<DWORD_PTR>(std::strtoull(text.c_str() + at + tag.size(), nullptr, 16)));
    return out;
}

Shown StateOf(HWND w) {
    if (!IsWindow(w)) return Shown::Closed;
    if (!IsWindowVisible(w)) return IsIconic(w) ? Shown::Hidden : Shown::Other;
    return IsIconic(w) ? Shown::Other : IsZoomed(w) ? Shown::Maximised : Shown::Normal;
}

}  // namespace corvane::test

int main(int argc, char** argv) {
    // The icon pictures and the shell calls expect a single-threaded apartment.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    // A crash dialog would hang an unattended run instead of failing it.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    CoUninitialize();
    return result;
}
