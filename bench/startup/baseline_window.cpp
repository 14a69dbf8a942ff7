// The least a Win32 program with one window does: the yardstick the start-up
// and shutdown of corvane.exe are measured against, under the same Wine.
//
// Built a second time with BASELINE_WRITES_BACK as baseline_writer.exe, which
// also reads the file "Favorites" of its current folder at start and writes
// the same bytes back when its window closes, the way a careful program
// replaces a file (a temporary file beside it, flushed, then renamed over
// it). That separates what writing the file costs from what the rest of
// Corvane's shutdown costs.
#include <windows.h>

#ifdef BASELINE_WRITES_BACK
#include <string>
#endif

namespace {

#ifdef BASELINE_WRITES_BACK
std::string g_bytes;

void ReadBack() {
    HANDLE f = CreateFileW(L"Favorites", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    LARGE_INTEGER size{};
    if (GetFileSizeEx(f, &size) && size.QuadPart < (1LL << 30)) {
        g_bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD got = 0;
        if (!ReadFile(f, g_bytes.data(), static_cast<DWORD>(g_bytes.size()), &got, nullptr)) got = 0;
        g_bytes.resize(got);
    }
    CloseHandle(f);
}

void WriteBack() {
    HANDLE f = CreateFileW(L"Favorites.new", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    DWORD wrote = 0;
    const bool ok = WriteFile(f, g_bytes.data(), static_cast<DWORD>(g_bytes.size()), &wrote, nullptr) &&
                    wrote == g_bytes.size() && FlushFileBuffers(f);
    CloseHandle(f);
    if (!ok || !MoveFileExW(L"Favorites.new", L"Favorites", MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        DeleteFileW(L"Favorites.new");
}
#endif

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
#ifdef BASELINE_WRITES_BACK
    if (msg == WM_CLOSE) WriteBack();
#endif
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    // WM_CLOSE goes to DefWindowProc, which destroys the window.
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int show) {
#ifdef BASELINE_WRITES_BACK
    ReadBack();
#endif
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = L"CorvaneBaselineWindow";
    if (!RegisterClassW(&wc)) return 1;
    HWND hwnd = CreateWindowW(wc.lpszClassName, L"Baseline", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 480,
                              360, nullptr, nullptr, instance, nullptr);
    if (!hwnd) return 1;
    ShowWindow(hwnd, show);
    UpdateWindow(hwnd);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
