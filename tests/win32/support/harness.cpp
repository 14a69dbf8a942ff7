#include "support/harness.hpp"

#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <cstring>

namespace corvane::test {

// ---------------------------------------------------------------- files

namespace {

std::atomic<unsigned> g_tempCounter{0};

std::string CurrentDirectory() {
    char buffer[MAX_PATH * 2];
    const DWORD length = GetCurrentDirectoryA(sizeof buffer, buffer);
    return length > 0 && length < sizeof buffer ? std::string(buffer, length) : std::string();
}

}  // namespace

TempDir::TempDir() : previous_(CurrentDirectory()) {
    char temp[MAX_PATH + 1];
    const DWORD length = GetTempPathA(sizeof temp, temp);
    std::string base = length > 0 && length < sizeof temp ? std::string(temp, length) : std::string("c:\\");
    if (base.back() != '\\') base += '\\';
    // Mixed case on purpose: the program lower-cases paths, a test must see
    // where it does.
    for (;;) {
        path_ = base + "CrvTest-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(g_tempCounter++) + "-" + std::to_string(GetTickCount() % 100000);
        if (CreateDirectoryA(path_.c_str(), nullptr)) break;
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            path_.clear();
            return;
        }
    }
    // Long form, so that paths compare with what the program builds from the
    // current directory.
    char full[MAX_PATH * 2];
    const DWORD got = GetLongPathNameA(path_.c_str(), full, sizeof full);
    if (got > 0 && got < sizeof full) path_.assign(full, got);
    SetCurrentDirectoryA(path_.c_str());
}

TempDir::~TempDir() {
    if (!previous_.empty()) SetCurrentDirectoryA(previous_.c_str());
    if (!path_.empty()) RemoveTree(path_);
}

std::string TempDir::Join(std::string_view relative) const {
    std::string out = path_;
    out += '\\';
    out += relative;
    return out;
}

std::optional<std::string> ReadFileBytes(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string bytes;
    char chunk[64 * 1024];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file, chunk, sizeof chunk, &got, nullptr) || got == 0) break;
        bytes.append(chunk, got);
    }
    CloseHandle(file);
    return bytes;
}

bool WriteFileBytes(const std::string& path, std::string_view bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    std::size_t done = 0;
    bool ok = true;
    while (ok && done < bytes.size()) {
        DWORD wrote = 0;
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
        ok = WriteFile(file, bytes.data() + done, want, &wrote, nullptr) && wrote > 0;
        done += wrote;
    }
    CloseHandle(file);
    return ok;
}

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool MakeDirectory(const std::string& path) {
    if (DirectoryExists(path)) return true;
    const auto slash = path.find_last_of('\\');
    if (slash != std::string::npos && slash > 2) MakeDirectory(path.substr(0, slash));
    return CreateDirectoryA(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

void RemoveTree(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        DeleteFileA(path.c_str());
        return;
    }
    for (const std::string& name : ListDirectory(path)) RemoveTree(path + "\\" + name);
    RemoveDirectoryA(path.c_str());
}

std::vector<std::string> ListDirectory(const std::string& path) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((path + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string_view name = data.cFileName;
        if (name != "." && name != "..") names.emplace_back(name);
    } while (FindNextFileA(find, &data));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

std::string ThisExePath() {
    char buffer[MAX_PATH * 2];
    const DWORD length = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    return std::string(buffer, length < sizeof buffer ? length : 0);
}

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// ---------------------------------------------------------------- session

std::optional<int> PrepareWineSession() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    if (!ntdll || !GetProcAddress(ntdll, "wine_get_version")) return std::nullopt;
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\X11 Driver", 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return std::nullopt;
    char value[8] = "";
    DWORD size = sizeof value;
    DWORD type = 0;
    const bool set = RegQueryValueExA(key, "Managed", nullptr, &type, reinterpret_cast<BYTE*>(value), &size) ==
                         ERROR_SUCCESS &&
                     type == REG_SZ && (value[0] == 'N' || value[0] == 'n');
    if (!set) RegSetValueExA(key, "Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>("N"), 2);
    RegCloseKey(key);
    constexpr const char* kRerun = "CORVANE_TEST_RERUN";
    if (set || GetEnvironmentVariableA(kRerun, nullptr, 0) > 0) return std::nullopt;

    SetEnvironmentVariableA(kRerun, "1");
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION pi{};
    std::string commandLine = GetCommandLineA();
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi))
        return std::nullopt;  // run here, slowly
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return static_cast<int>(code);
}

// ---------------------------------------------------------------- messages

void Pump(int ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            // The windows under test never post a quit; one from elsewhere
            // must not end the test's own pumping.
            if (msg.message == WM_QUIT) continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= static_cast<DWORD>(ms)) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(ms) - elapsed, QS_ALLINPUT);
    }
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start >= static_cast<DWORD>(timeoutMs)) return done();
        Pump(10);
    }
    return true;
}

// ---------------------------------------------------------------- controls

std::string WindowText(HWND hwnd) {
    const LRESULT length = SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0);
    if (length <= 0) return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const LRESULT got = SendMessageA(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return text;
}

void SetEditText(HWND edit, std::string_view text) {
    const std::string copy(text);
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(copy.c_str()));
}

std::string ClassOf(HWND hwnd) {
    char name[256];
    const int length = GetClassNameA(hwnd, name, sizeof name);
    return std::string(name, length > 0 ? static_cast<std::size_t>(length) : 0);
}

RECT ChildRect(HWND child) {
    RECT rc{};
    GetWindowRect(child, &rc);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

std::vector<std::string> ListItems(HWND list) {
    // Read as UTF-16 and converted here: Wine converts an ANSI LB_GETTEXT
    // through a fixed 512-character buffer, which a long entry overruns.
    const bool combo = Lower(ClassOf(list)) == "combobox";
    const UINT countMsg = combo ? CB_GETCOUNT : LB_GETCOUNT;
    const UINT lengthMsg = combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN;
    const UINT textMsg = combo ? CB_GETLBTEXT : LB_GETTEXT;
    std::vector<std::string> items;
    const LRESULT count = SendMessageW(list, countMsg, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(list, lengthMsg, static_cast<WPARAM>(i), 0);
        std::wstring wide(length > 0 ? static_cast<std::size_t>(length) + 1 : 1, L'\0');
        const LRESULT got = SendMessageW(list, textMsg, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(wide.data()));
        wide.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
        std::string text;
        if (!wide.empty()) {
            const int bytes = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                                  nullptr, nullptr);
            text.resize(static_cast<std::size_t>(bytes));
            WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), text.data(), bytes, nullptr,
                                nullptr);
        }
        items.push_back(std::move(text));
    }
    return items;
}

int ListSelection(HWND list) {
    const bool combo = Lower(ClassOf(list)) == "combobox";
    return static_cast<int>(SendMessageA(list, combo ? CB_GETCURSEL : LB_GETCURSEL, 0, 0));
}

void Click(HWND button) {
    if (!IsWindowEnabled(button)) return;
    SendMessageA(button, BM_CLICK, 0, 0);
}

void Notify(HWND control, int code) {
    SendMessageA(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code),
                 reinterpret_cast<LPARAM>(control));
}

void SelectListEntry(HWND list, int index) {
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    Notify(list, LBN_SELCHANGE);
}

void DoubleClickListEntry(HWND list, int index) {
    SendMessageA(list, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
    RECT item{};
    if (SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) == LB_ERR)
        return;
    const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(list, WM_LBUTTONUP, 0, at);
    SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageA(list, WM_LBUTTONUP, 0, at);
}

void MouseClick(HWND target) {
    RECT rc{};
    GetClientRect(target, &rc);
    const LPARAM at = MAKELPARAM(rc.right / 2, rc.bottom / 2);
    SendMessageA(target, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(target, WM_LBUTTONUP, 0, at);
}

void DropFiles(HWND target, const std::vector<std::string>& paths) {
    std::size_t chars = 1;  // the list ends with an empty name
    for (const std::string& p : paths) chars += p.size() + 1;
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + chars);
    if (!memory) return;
    auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = FALSE;
    char* names = reinterpret_cast<char*>(header) + sizeof(DROPFILES);
    for (const std::string& p : paths) {
        std::memcpy(names, p.c_str(), p.size() + 1);
        names += p.size() + 1;
    }
    *names = '\0';
    GlobalUnlock(memory);
    // The receiver owns the drop and frees it with DragFinish.
    SendMessageA(target, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
}

// ---------------------------------------------------------------- App

App::App() : boxes_(std::make_unique<MessageBoxCatcher>()), win_(std::make_unique<MainWindow>()) {}

App::~App() {
    if (alive()) Close();
    win_.reset();
    Pump(10);
}

bool App::CreateOnly() {
    if (!win_->Create(GetModuleHandleA(nullptr))) return false;
    win_->SetQuitOnClose(false);
    return true;
}

bool App::Start(MainWindow::StartResult* result) {
    if (!CreateOnly()) return false;
    const MainWindow::StartResult started = win_->Load();
    if (result) *result = started;
    Pump(20);
    return true;
}

bool App::Close() {
    if (alive()) SendMessageA(hwnd(), WM_CLOSE, 0, 0);
    PumpUntil([this] { return closed(); }, 2000);
    Pump(10);
    return closed();
}

bool App::Checked(int id) const { return SendMessageA(control(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

std::string DisplayOf(const std::string& title, int cpu) {
    if (cpu == 0 || cpu == 1) return title + " on CPU " + std::to_string(cpu);
    return title + " on Default";
}

std::string FileRecord(std::string_view title, std::string_view target, std::string_view startIn,
                       std::string_view params) {
    std::string out;
    for (std::string_view line : {title, target, startIn, params}) {
        out += line;
        out += "\r\n";
    }
    return out;
}

// ---------------------------------------------------------------- message boxes

namespace {

std::vector<MessageBoxCatcher*> g_catchers;
UINT_PTR g_timer = 0;

struct BoxSearch {
    std::vector<HWND> boxes;
};

BOOL CALLBACK CollectBoxes(HWND hwnd, LPARAM lp) {
    if (ClassOf(hwnd) == "#32770" && IsWindowVisible(hwnd)) reinterpret_cast<BoxSearch*>(lp)->boxes.push_back(hwnd);
    return TRUE;
}

struct BoxParts {
    std::vector<HWND> buttons;
    HICON icon = nullptr;
};

BOOL CALLBACK CollectParts(HWND child, LPARAM lp) {
    auto* parts = reinterpret_cast<BoxParts*>(lp);
    const std::string cls = Lower(ClassOf(child));
    const LONG style = GetWindowLongA(child, GWL_STYLE);
    if (cls == "button" && (style & WS_VISIBLE)) parts->buttons.push_back(child);
    if (cls == "static" && (style & SS_TYPEMASK) == SS_ICON) {
        if (HICON icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0))) parts->icon = icon;
    }
    return TRUE;
}

}  // namespace

MessageBoxCatcher::MessageBoxCatcher() {
    g_catchers.push_back(this);
    if (!g_timer) g_timer = SetTimer(nullptr, 0, 25, OnTimer);
}

MessageBoxCatcher::~MessageBoxCatcher() {
    std::erase(g_catchers, this);
    if (g_catchers.empty() && g_timer) {
        KillTimer(nullptr, g_timer);
        g_timer = 0;
    }
}

void CALLBACK MessageBoxCatcher::OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (!g_catchers.empty()) g_catchers.back()->Scan();
}

void MessageBoxCatcher::Scan() {
    BoxSearch search;
    EnumThreadWindows(GetCurrentThreadId(), CollectBoxes, reinterpret_cast<LPARAM>(&search));
    std::erase_if(handled_, [](HWND h) { return !IsWindow(h); });
    for (HWND box : search.boxes) {
        if (std::find(handled_.begin(), handled_.end(), box) != handled_.end()) continue;
        handled_.push_back(box);
        MessageBoxSeen seen;
        seen.caption = WindowText(box);
        seen.text = WindowText(GetDlgItem(box, 0xFFFF));
        BoxParts parts;
        EnumChildWindows(box, CollectParts, reinterpret_cast<LPARAM>(&parts));
        seen.onlyOk = parts.buttons.size() == 1 && WindowText(parts.buttons[0]) == "OK";
        seen.icon = parts.icon;
        seen.informationIcon = parts.icon && parts.icon == LoadIcon(nullptr, IDI_INFORMATION);
        seen_.push_back(seen);
        HWND ok = GetDlgItem(box, IDOK);
        if (!ok && !parts.buttons.empty()) ok = parts.buttons[0];
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(ok ? GetDlgCtrlID(ok) : IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(ok));
    }
}

bool IconAlive(HICON icon) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return false;
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    return true;
}

}  // namespace corvane::test
