#include "platform/win.hpp"

#include "platform/handles.hpp"
#include "platform/lazy_proc.hpp"
#include "platform/texts.hpp"

#include <objbase.h>

#include <cstdio>

namespace corvane {

std::string GetText(HWND hwnd) {
    const int len = GetWindowTextLengthA(hwnd);
    if (len <= 0) return {};
    std::string text(static_cast<std::size_t>(len) + 1, '\0');
    const int got = GetWindowTextA(hwnd, text.data(), len + 1);
    text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return text;
}

bool SetText(HWND hwnd, std::string_view text) {
    if (GetText(hwnd) == text) return false;
    const std::string copy(text);
    return SetWindowTextA(hwnd, copy.c_str()) != FALSE;
}

std::string GetListText(HWND list, int index) {
    const LRESULT length = SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR || length <= 0) return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const LRESULT got =
        SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return text;
}

namespace {

CaseRule BuildRule(bool upper) {
    CaseRule rule{};
    char bytes[256];
    for (int i = 0; i < 256; ++i)
        bytes[i] = static_cast<char>(i);
    // The buffer form takes a length, so the NUL byte folds like any other
    // and the whole table is built in one call.
    if (upper)
        CharUpperBuffA(bytes, 256);
    else
        CharLowerBuffA(bytes, 256);
    for (int i = 0; i < 256; ++i)
        rule.map[static_cast<std::size_t>(i)] = static_cast<unsigned char>(bytes[i]);
    CPINFO info{};
    if (GetCPInfo(CP_ACP, &info)) rule.lead = LeadBytesFromRanges(info.LeadByte, MAX_LEADBYTES);
    return rule;
}

}  // namespace

const CaseRule& SystemLower() {
    static const CaseRule rule = BuildRule(false);
    return rule;
}

const CaseRule& SystemUpper() {
    static const CaseRule rule = BuildRule(true);
    return rule;
}

int DpiFor(HWND hwnd) {
    // GetDpiForWindow exists from Windows 10 1607 on; older systems (and a
    // process that is not per-monitor aware) use the screen's logical DPI.
    static const auto getDpiForWindow = LoadSystemProc<decltype(&GetDpiForWindow)>("user32.dll", "GetDpiForWindow");
    if (getDpiForWindow && hwnd) {
        const UINT dpi = getDpiForWindow(hwnd);
        if (dpi > 0) return static_cast<int>(dpi);
    }
    const WindowDC screen(nullptr);
    const int dpi = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSX) : 96;
    return dpi > 0 ? dpi : 96;
}

void DispatchEvent(MSG& msg, HWND dialog) {
    if (dialog && IsWindow(dialog) && IsDialogMessageA(dialog, &msg)) return;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
}

void PumpEvents(HWND dialog) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        DispatchEvent(msg, dialog);
    }
}

void WaitForInput(std::uint32_t ms) {
    // Input already queued but not yet looked at counts too, or the wait
    // would sleep through it.
    MsgWaitForMultipleObjectsEx(0, nullptr, ms, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

std::uint64_t MonotonicMilliseconds() {
    return GetTickCount64();
}

void Beep() {
    MessageBeep(MB_OK);
}

void InfoBox(HWND owner, const char* text) {
    MessageBoxA(owner, text, kAppTitle, MB_OK | MB_ICONINFORMATION);
}

bool RetryBox(HWND owner, const char* text) {
    return MessageBoxA(owner, text, kAppTitle, MB_RETRYCANCEL | MB_ICONWARNING) == IDRETRY;
}

std::string FullPathOf(const std::string& path) {
    char buffer[MAX_PATH * 2];
    const DWORD length = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
    return length == 0 || length >= sizeof buffer ? path : std::string(buffer, length);
}

std::string SystemMessage(DWORD error, std::string_view file) {
    char text[512] = "";
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                        text, sizeof text, nullptr);
    std::string message(text, length);
    while (!message.empty() && (message.back() == '\r' || message.back() == '\n' || message.back() == ' '))
        message.pop_back();
    if (const std::size_t at = message.find("%1"); at != std::string::npos) message.replace(at, 2, file);
    if (!message.empty()) return message;
    char number[32];
    std::snprintf(number, sizeof number, text::kErrorNumber, static_cast<unsigned long>(error));
    return number;
}

std::string SystemReason(HRESULT result) {
    // Failures of Win32 calls come wrapped; the system's words are for the code inside.
    return SystemMessage(HRESULT_FACILITY(result) == FACILITY_WIN32 ? HRESULT_CODE(result) : DWORD(result), {});
}

std::string ProgramPath() {
    // A name cut short fills the whole buffer: try a longer one, up to the
    // longest path the system has.
    for (std::string path(MAX_PATH, '\0'); path.size() <= 32768; path.resize(path.size() * 2)) {
        const DWORD got = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (got == 0) return {};
        if (got < path.size()) return path.substr(0, got);
    }
    return {};
}

std::string CurrentFolder() {
    const DWORD length = GetCurrentDirectoryA(0, nullptr);
    if (length == 0) return {};
    std::string folder(length, '\0');
    const DWORD got = GetCurrentDirectoryA(length, folder.data());
    folder.resize(got < length ? got : 0);
    return folder;
}

void WarningBox(HWND owner, const char* text) {
    MessageBoxA(owner, text, kAppTitle, MB_OK | MB_ICONWARNING);
}

bool AskYesNo(HWND owner, const char* text) {
    return MessageBoxA(owner, text, kAppTitle, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

ComApartment::~ComApartment() {
    if (!entered_) return;
    if (const auto coUninitialize = LoadSystemProc<decltype(&CoUninitialize)>("ole32.dll", "CoUninitialize"))
        coUninitialize();
}

void ComApartment::Enter() {
    if (tried_) return;
    tried_ = true;
    // A thread already in an apartment (S_FALSE, or a multi-threaded one) is
    // left as it is; the shell copes with either.
    if (const auto coInitializeEx = LoadSystemProc<decltype(&CoInitializeEx)>("ole32.dll", "CoInitializeEx"))
        entered_ = SUCCEEDED(coInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
}

}  // namespace corvane
