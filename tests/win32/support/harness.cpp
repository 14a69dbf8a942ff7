#include "support/harness.hpp"

#include <shlobj.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <utility>

namespace corvane::test {

namespace fs = std::filesystem;

// Named by this object's address: no two live at once on one address, and a folder left by a crash is replaced.
TempDir::TempDir() : previous_(fs::current_path().string()) {
    const fs::path path = fs::temp_directory_path() /
                          ("crv-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(UINT_PTR(this)));
    std::error_code ignored;
    fs::remove_all(path, ignored);
    fs::create_directory(path, ignored);
    fs::current_path(path, ignored);
    path_ = fs::current_path().string();
}

TempDir::~TempDir() {
    std::error_code ignored;
    fs::current_path(previous_, ignored);
    fs::remove_all(path_, ignored);
}

std::optional<std::string> ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(file), {});
}

bool WriteBytes(const std::string& path, std::string_view bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    return static_cast<bool>(file.write(bytes.data(), static_cast<std::streamsize>(bytes.size())));
}

std::string ThisExePath() {
    char buffer[MAX_PATH * 2];
    const DWORD length = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    return std::string(buffer, length < sizeof buffer ? length : 0);
}

std::string Beside(std::string_view name) {
    const std::string self = ThisExePath();
    return self.substr(0, self.rfind('\\') + 1).append(name);
}

std::string Lower(std::string s) {
    CharLowerA(s.data());
    return s;
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
    const std::uint64_t end = MonotonicMilliseconds() + static_cast<std::uint64_t>(timeoutMs);
    while (!done()) {
        const std::uint64_t now = MonotonicMilliseconds();
        if (now >= end) return done();
        WaitForInput(static_cast<std::uint32_t>(std::min<std::uint64_t>(end - now, 10)));
        PumpEvents(nullptr);
    }
    return true;
}

std::string ClassOf(HWND hwnd) {
    char name[64] = "";
    return std::string(name, GetClassNameA(hwnd, name, sizeof name));
}

std::vector<std::string> ListItems(HWND list) {
    std::vector<std::string> items;
    for (int i = 0, count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0)); i < count; ++i)
        items.push_back(GetListText(list, i));
    return items;
}

void DropFile(HWND target, const std::string& path) {
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + path.size() + 2);  // zeroed: the list's two ends
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    std::copy(path.begin(), path.end(), reinterpret_cast<char*>(drop + 1));
    GlobalUnlock(memory);
    SendMessageA(target, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
}

Ticker::Ticker(std::function<void()> tick, UINT ms) : tick_(std::move(tick)) {
    RegisterWindowClass(GetModuleHandleA(nullptr), "CrvTicker", nullptr);
    CreateAttached(0, "CrvTicker", "", 0, {}, HWND_MESSAGE, 0, GetModuleHandleA(nullptr));
    if (ms) SetTimer(hwnd(), 1, ms, nullptr);
}

LRESULT Ticker::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != WM_APP && msg != WM_TIMER) return Default(msg, wp, lp);
    tick_();
    return 0;
}

BOOL CALLBACK BoxCatcher::OnWindow(HWND box, LPARAM self) {
    // Marked once seen: whileShown may pump, and so run this again while its box is up.
    if (ClassOf(box) == "#32770" && IsWindowVisible(box) && !GetPropA(box, "CrvSeen")) {
        SetPropA(box, "CrvSeen", HANDLE(1));
        reinterpret_cast<BoxCatcher*>(self)->Catch(box);
    }
    return TRUE;
}

void BoxCatcher::Catch(HWND box) {
    // The icon control is 0x14 on Windows, 0x440 on Wine. MB_OK is 0: other buttons leave a trace.
    HWND iconControl = GetDlgItem(box, 0x14) ? GetDlgItem(box, 0x14) : GetDlgItem(box, 0x440);
    const auto icon = reinterpret_cast<HICON>(SendMessageA(iconControl, STM_GETICON, 0, 0));
    UINT style = GetDlgItem(box, IDYES) ? MB_YESNO : GetDlgItem(box, IDCANCEL) ? MB_OKCANCEL : MB_OK;
    if (icon == LoadIcon(nullptr, IDI_INFORMATION)) style |= MB_ICONINFORMATION;
    if (icon == LoadIcon(nullptr, IDI_WARNING)) style |= MB_ICONWARNING;
    seen_.push_back({BoxText(box), style});
    if (auto act = std::exchange(whileShown, nullptr)) act();
    const int button = answers.empty() ? IDOK : answers.front();
    if (!answers.empty()) answers.pop_front();
    PostMessageA(box, WM_COMMAND, button, 0);
}

ShellStandIn::ShellStandIn(std::function<void()> onRequest) : onRequest_(std::move(onRequest)) {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    RegisterWindowClass(instance, "Shell_TrayWnd", nullptr);
    CreateAttached(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "Shell_TrayWnd", "", WS_POPUP, {}, nullptr, 0, instance);
    SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

bool ShellStandIn::found() const {
    return hwnd() && FindWindowA("Shell_TrayWnd", nullptr) == hwnd();
}

LRESULT ShellStandIn::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != WM_COPYDATA) return Default(msg, wp, lp);
    if (auto act = std::exchange(onRequest_, nullptr)) act();
    return TRUE;
}

App::App() : win_(std::make_unique<MainWindow>()) {
    win_->SetQuitOnClose(false);
}
App::~App() {
    if (win_->hwnd()) Close();
}

bool App::Start(const std::function<void()>& beforeStart) {
    if (!win_->Create(GetModuleHandleA(nullptr))) return false;
    if (beforeStart) beforeStart();
    win_->Start();
    return win_->hwnd() != nullptr;
}

bool App::Close() {
    if (!win_->closed()) PostMessageA(win_->hwnd(), WM_CLOSE, 0, 0);
    if (!PumpUntil([this] { return win_->closed(); })) return false;
    win_->TellWhereFavoritesWent();
    win_->TellLaunchesNotStarted();
    return true;
}

Corvane::Corvane(const std::string& folder, const std::string& args) {
    const std::string program = Beside("..\\..\\corvane.exe");
    std::string command = "\"" + program + "\" " + args;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    CreateProcessA(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &pi_);
}
Corvane::~Corvane() {  // handles that are null when nothing started
    if (!Ended(0)) TerminateProcess(pi_.hProcess, 99);
    CloseHandle(pi_.hThread);
    CloseHandle(pi_.hProcess);
}
std::optional<DWORD> Corvane::Ended(DWORD ms) const {
    DWORD code = 0;
    const bool ended = PumpUntil([this] { return WaitForSingleObject(pi_.hProcess, 0) == WAIT_OBJECT_0; }, int(ms));
    return ended && GetExitCodeProcess(pi_.hProcess, &code) ? std::optional(code) : std::nullopt;
}
HWND Corvane::Window() const {
    HWND found = nullptr;
    DWORD pid = 0;
    PumpUntil(
        [&] {
            found = FindWindowA("CorvaneMainWindow", "Corvane!");
            return GetWindowThreadProcessId(found, &pid) && pid == pi_.dwProcessId;
        },
        15000);
    return found;
}

HWND BoxOf(DWORD pid) {
    HWND box = nullptr;
    PumpUntil(
        [&] {
            DWORD owner = 0;
            while ((box = FindWindowExA(nullptr, box, "#32770", nullptr)))
                if (GetWindowThreadProcessId(box, &owner) && owner == pid && !BoxText(box).empty()) return true;
            return false;
        },
        15000);
    return box;
}

std::string BoxText(HWND box) {
    return GetText(GetDlgItem(box, 0xFFFF));
}

HWND App::control(int id) const {
    return ControlOf(hwnd(), id);
}

HWND ControlOf(HWND main, int id) {
    const ControlSpec* item = FindSpec(id);
    HWND container = item && item->parent ? GetDlgItem(main, item->parent) : main;
    return GetDlgItem(container, id);
}

void App::SetText(int id, std::string_view text) const {
    SendMessageA(control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(std::string(text).c_str()));
}

void App::Click(int id) const {
    HWND target = control(id);
    if (EqualsIgnoringAsciiCase(ClassOf(target), "Static"))
        SendMessageA(GetParent(target), WM_COMMAND, MAKEWPARAM(id, STN_CLICKED), reinterpret_cast<LPARAM>(target));
    else
        SendMessageA(target, BM_CLICK, 0, 0);
}

void App::Select(int index) const {
    HWND list = control(kFavoritesList);
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(GetParent(list), WM_COMMAND, MAKEWPARAM(kFavoritesList, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
}

std::string Record(std::string_view display, std::string_view coded, std::string_view startIn,
                   std::string_view params) {
    std::string out;
    for (std::string_view line : {display, coded, startIn, params})
        out.append(line).append("\r\n");
    return out;
}

std::vector<DWORD> ProcessIds(std::string_view image) {
    std::vector<DWORD> out;
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snap, &entry); more; more = Process32Next(snap, &entry))
        if (EqualsIgnoringAsciiCase(entry.szExeFile, image)) out.push_back(entry.th32ProcessID);
    CloseHandle(snap);
    return out;
}

ProcessReaper::~ProcessReaper() {
    for (const std::string& image : images)
        for (DWORD pid : ProcessIds(image))  // each gone before its folder is removed
            if (HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid)) {
                TerminateProcess(process, 0);
                WaitForSingleObject(process, 5000);
                CloseHandle(process);
            }
}

std::vector<DWORD_PTR> ReportedMasks(const std::string& report) {
    std::vector<DWORD_PTR> out;
    const std::string text = ReadBytes(report).value_or(""), tag = "=0x";
    for (std::size_t at = 0; (at = text.find(tag, at)) != std::string::npos; at += tag.size())
        out.push_back(static_cast<DWORD_PTR>(std::strtoull(text.c_str() + at + tag.size(), nullptr, 16)));
    return out;
}

DWORD_PTR LastMask(const std::string& report) {
    const std::vector<DWORD_PTR> masks = ReportedMasks(report);
    return masks.empty() ? 0 : masks.back();
}

std::optional<std::string> ReportedArgs(const std::string& report) {
    const std::string text = ReadBytes(report).value_or("");
    const std::size_t at = text.find("\nargs="), end = text.find('\r', at + 1);
    if (at == std::string::npos || end == std::string::npos) return std::nullopt;
    return text.substr(at + 6, end - at - 6);
}

ShellLink ReadLink(const std::string& path) {
    ComPtr<IShellLinkA> link;
    ComPtr<IPersistFile> file;
    ShellLink read;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(link.put()))) ||
        FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.put()))) ||
        FAILED(file->Load(std::wstring(path.begin(), path.end()).c_str(), STGM_READ)))
        return read;
    char text[5][MAX_PATH] = {};
    link->GetPath(text[0], MAX_PATH, nullptr, SLGP_RAWPATH);
    link->GetArguments(text[1], MAX_PATH);
    link->GetWorkingDirectory(text[2], MAX_PATH);
    link->GetIconLocation(text[3], MAX_PATH, &read.iconIndex);
    link->GetDescription(text[4], MAX_PATH);
    return {text[0], text[1], text[2], text[3], read.iconIndex, text[4]};
}

Shown StateOf(HWND w) {
    if (!IsWindow(w)) return Shown::Closed;
    if (!IsWindowVisible(w)) return IsIconic(w) ? Shown::Hidden : Shown::Other;
    return IsIconic(w) ? Shown::Other : IsZoomed(w) ? Shown::Maximised : Shown::Normal;
}

}  // namespace corvane::test

int main(int argc, char** argv) {
    // The icon pictures and shell calls expect a single-threaded apartment; a crash dialog would hang the run.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    CoUninitialize();
    return result;
}
