#include "platform/win.hpp"

#include <objbase.h>

#include <atomic>
#include <vector>

#include "platform/lazy_proc.hpp"

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
    SetWindowTextA(hwnd, copy.c_str());
    return true;
}

namespace {
constexpr const char* kBaseProcProp = "Corvane.BaseProc";
constexpr const char* kSubclassDataProp = "Corvane.SubclassData";
}  // namespace

bool SubclassWindow(HWND hwnd, WNDPROC proc, void* data) {
    if (!hwnd || GetPropA(hwnd, kBaseProcProp)) return false;
    const LONG_PTR base = GetWindowLongPtrA(hwnd, GWLP_WNDPROC);
    if (!base || !SetPropA(hwnd, kBaseProcProp, reinterpret_cast<HANDLE>(base))) return false;
    if (!SetPropA(hwnd, kSubclassDataProp, data) ||
        !SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc))) {
        ForgetSubclass(hwnd);
        return false;
    }
    return true;
}

void* SubclassData(HWND hwnd) { return GetPropA(hwnd, kSubclassDataProp); }

LRESULT CallBaseProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    const auto base = reinterpret_cast<WNDPROC>(GetPropA(hwnd, kBaseProcProp));
    return base ? CallWindowProcA(base, hwnd, msg, wp, lp) : DefWindowProcA(hwnd, msg, wp, lp);
}

void ForgetSubclass(HWND hwnd) {
    // The window is going; its procedure stays ours until the end, since
    // another subclass (the tooltip's) may sit in front of it.
    RemovePropA(hwnd, kBaseProcProp);
    RemovePropA(hwnd, kSubclassDataProp);
}

std::string GetListText(HWND list, int index) {
    const LRESULT length = SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR || length <= 0) return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const LRESULT got = SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return text;
}

namespace {

CaseMap BuildMap(bool upper) {
    CaseMap map{};
    char bytes[256];
    for (int i = 0; i < 256; ++i) bytes[i] = static_cast<char>(i);
    // The buffer form takes a length, so the NUL byte folds like any other
    // and the whole table is built in one call.
    if (upper)
        CharUpperBuffA(bytes, 256);
    else
        CharLowerBuffA(bytes, 256);
    for (int i = 0; i < 256; ++i) map[static_cast<std::size_t>(i)] = static_cast<unsigned char>(bytes[i]);
    return map;
}

std::atomic<long> g_beeps{0};

}  // namespace

const CaseMap& SystemLower() {
    static const CaseMap map = BuildMap(false);
    return map;
}

const CaseMap& SystemUpper() {
    static const CaseMap map = BuildMap(true);
    return map;
}

int DpiFor(HWND hwnd) {
    // GetDpiForWindow exists from Windows 10 1607 on; older systems (and a
    // process that is not per-monitor aware) use the screen's logical DPI.
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow && hwnd) {
        const UINT dpi = getDpiForWindow(hwnd);
        if (dpi > 0) return static_cast<int>(dpi);
    }
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

bool PumpEvents(HWND dialog) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Leave the quit for the main loop, which must still see it.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        if (dialog && IsWindow(dialog) && IsDialogMessageA(dialog, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return true;
}

void Beep() {
    ++g_beeps;
    MessageBeep(MB_OK);
}

long BeepCount() { return g_beeps.load(); }

float SecondsSinceMidnight() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return static_cast<float>(t.wHour * 3600 + t.wMinute * 60 + t.wSecond) +
           static_cast<float>(t.wMilliseconds) / 1000.0f;
}

namespace {

bool g_comTried = false;
bool g_comEntered = false;

}  // namespace

void EnterComApartment() {
    if (g_comTried) return;
    g_comTried = true;
    // A thread already in an apartment (S_FALSE, or a multi-threaded one)
    // is left as it is; the shell copes with either.
    if (const auto coInitializeEx = LoadSystemProc<decltype(&CoInitializeEx)>("ole32.dll", "CoInitializeEx"))
        g_comEntered = SUCCEEDED(coInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
}

void LeaveComApartment() {
    if (!g_comEntered) return;
    g_comEntered = false;
    if (const auto coUninitialize = LoadSystemProc<decltype(&CoUninitialize)>("ole32.dll", "CoUninitialize"))
        coUninitialize();
}

void InfoBox(HWND owner, const char* text) {
    MessageBoxA(owner, text, kAppTitle, MB_OK | MB_ICONINFORMATION);
}

}  // namespace corvane
