// The real main window created in this process at whatever system DPI the
// driver (dpi_driver.cpp) has set, measured against the layout: every
// control's place and size, the client area, the fonts, and whether the
// caption labels' text fits them. With --dpi-change it also moves a window
// to 144 DPI and back by WM_DPICHANGED, as Windows does when the window is
// dragged to a monitor with another scale.
//
//   dpi_layout_test --dpi N [--dpi-change]
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/layout.hpp"
#include "app/main_window.hpp"
#include "check.hpp"

using namespace corvane;
using namespace corvane::dpitest;

namespace {

constexpr const char* kFace = "MS Sans Serif";

// Twips to pixels, computed here independently of the program's helper.
int Px(int twips, int dpi) { return static_cast<int>(std::lround(twips * dpi / 1440.0)); }
bool Near(long got, int want) { return std::labs(got - want) <= 1; }

void Pump(int ms) {
    const DWORD start = GetTickCount();
    MSG msg;
    do {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(10);
    } while (GetTickCount() - start < static_cast<DWORD>(ms));
}

// A child's rectangle in its parent's client coordinates.
RECT ChildRect(HWND child) {
    RECT rc;
    GetWindowRect(child, &rc);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

// A private working folder: the program reads and writes Favorites in the
// current directory.
class WorkDir {
public:
    WorkDir() {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        path_ = std::string(temp) + "corvane-dpi-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(path_.c_str(), nullptr);
        char current[MAX_PATH];
        GetCurrentDirectoryA(MAX_PATH, current);
        previous_ = current;
        SetCurrentDirectoryA(path_.c_str());
    }
    ~WorkDir() {
        SetCurrentDirectoryA(previous_.c_str());
        DeleteFileA((path_ + "\\Favorites").c_str());
        RemoveDirectoryA(path_.c_str());
    }
    WorkDir(const WorkDir&) = delete;
    WorkDir& operator=(const WorkDir&) = delete;

private:
    std::string path_;
    std::string previous_;
};

// Where a control must stand: the layout, except that start-up parks the
// editor and browse panels over the favorites panel.
RECT WantRect(const ControlSpec& item, int dpi, bool panelsParked) {
    int left = item.left;
    int top = item.top;
    if (panelsParked && (item.id == kFrame2 || item.id == kFrame3)) {
        left = kPanelLeft;
        top = kPanelTop;
    }
    const int x = Px(left, dpi);
    const int y = Px(top, dpi);
    return RECT{x, y, x + Px(item.width, dpi), y + Px(item.height, dpi)};
}

void CheckLayout(const MainWindow& w, int dpi, bool panelsParked, const char* when) {
    for (const ControlSpec& item : Layout()) {
        HWND h = w.control(item.id);
        if (!Check(h != nullptr, "%s: %s does not exist", when, item.name)) continue;
        HWND container = item.parent ? w.control(item.parent) : w.hwnd();
        Check(GetParent(h) == container, "%s: %s is not inside its container", when, item.name);

        const RECT want = WantRect(item, dpi, panelsParked);
        const RECT got = ChildRect(h);
        const long width = got.right - got.left;
        long height = got.bottom - got.top;
        int wantHeight = static_cast<int>(want.bottom - want.top);
        if (item.kind == Kind::DriveList) {
            // The closed box takes the height the system gives it; the
            // height the layout asks for must be there once it drops down,
            // with room for several drives below it.
            RECT dropped{};
            SendMessageA(h, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
            height = dropped.bottom - dropped.top;
            Check(height >= wantHeight * 4, "%s: %s drops down only %ld px at %d dpi", when, item.name, height, dpi);
            height = wantHeight;
        }
        Check(Near(got.left, static_cast<int>(want.left)) && Near(got.top, static_cast<int>(want.top)) &&
                  Near(width, static_cast<int>(want.right - want.left)) && Near(height, wantHeight),
              "%s: %s is at (%ld,%ld) %ldx%ld px, want (%ld,%ld) %ldx%d at %d dpi", when, item.name, got.left,
              got.top, width, height, want.left, want.top, want.right - want.left, wantHeight, dpi);
    }
}

void CheckClientArea(const MainWindow& w, int dpi, const char* when) {
    RECT rc;
    GetClientRect(w.hwnd(), &rc);
    Check(Near(rc.right, Px(kClientWidth, dpi)) && Near(rc.bottom, Px(kClientHeight, dpi)),
          "%s: client area is %ldx%ld px, want %dx%d at %d dpi", when, rc.right, rc.bottom, Px(kClientWidth, dpi),
          Px(kClientHeight, dpi), dpi);
}

struct FontWant {
    int centipoints;
    LONG weight;
};

// Panel captions and push buttons are 8.25 pt bold, the favorites list
// 9.75 pt bold, everything else the window's 8.25 pt regular.
FontWant WantFont(const ControlSpec& item) {
    switch (item.kind) {
    case Kind::Button:
    case Kind::FrameBox: return {825, FW_BOLD};
    case Kind::ListBox: return {975, FW_BOLD};
    default: return {825, FW_NORMAL};
    }
}

// The face and metrics the system actually draws a font's text with.
struct Realised {
    std::string face;
    TEXTMETRICA tm{};
};

Realised Realise(HWND control, HFONT font) {
    Realised r;
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, font);
    char face[LF_FACESIZE] = {};
    GetTextFaceA(dc, LF_FACESIZE, face);
    r.face = face;
    GetTextMetricsA(dc, &r.tm);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return r;
}

int CALLBACK CountFace(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM counter) {
    ++*reinterpret_cast<int*>(counter);
    return 1;
}

bool FaceInstalled(const char* face) {
    LOGFONTA lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    std::strcpy(lf.lfFaceName, face);
    int count = 0;
    HDC dc = GetDC(nullptr);
    EnumFontFamiliesExA(dc, &lf, CountFace, reinterpret_cast<LPARAM>(&count), 0);
    ReleaseDC(nullptr, dc);
    return count > 0;
}

void CheckFonts(const MainWindow& w, int dpi, const char* when) {
    const bool installed = FaceInstalled(kFace);
    for (const ControlSpec& item : Layout()) {
        // Panels have no font of their own, shapes and pictures no text.
        if (item.kind == Kind::Panel || item.kind == Kind::Shape || item.kind == Kind::Picture) continue;
        HWND h = w.control(item.id);
        if (!h) continue;  // reported by CheckLayout
        HFONT font = reinterpret_cast<HFONT>(SendMessageA(h, WM_GETFONT, 0, 0));
        LOGFONTA lf{};
        if (!Check(font && GetObjectA(font, sizeof lf, &lf) == sizeof lf, "%s: %s has no font", when, item.name))
            continue;
        const FontWant want = WantFont(item);
        const LONG wantHeight = -std::lround(want.centipoints * dpi / 7200.0);
        Check(std::strcmp(lf.lfFaceName, kFace) == 0 && lf.lfHeight == wantHeight && lf.lfWeight == want.weight,
              "%s: %s font is \"%s\" height %ld weight %ld, want \"%s\" height %ld weight %ld at %d dpi", when,
              item.name, lf.lfFaceName, lf.lfHeight, lf.lfWeight, kFace, wantHeight, want.weight, dpi);
        // Where the system has the face, nothing in the request may steer
        // the font mapper away from it (a TrueType-only precision would).
        if (installed) {
            const Realised r = Realise(h, font);
            Check(r.face == kFace, "%s: %s is drawn in \"%s\", not \"%s\"", when, item.name, r.face.c_str(), kFace);
        }
    }

    // The favorites list is the one larger font: what is drawn must have
    // grown with the DPI. Bitmap faces come in steps, so allow the step.
    HWND list = w.control(kList1);
    HFONT listFont = reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0));
    const Realised r = Realise(list, listFont);
    const double wantEm = 9.75 * dpi / 72.0;
    const long em = r.tm.tmHeight - r.tm.tmInternalLeading;
    Check(std::fabs(static_cast<double>(em) - wantEm) <= wantEm * 0.2,
          "%s: List1 characters are %ld px high (\"%s\", cell %ld), want about %.1f at %d dpi", when, em,
          r.face.c_str(), r.tm.tmHeight, wantEm, dpi);
    Note("%s: List1 font \"%s\" cell %ld px, characters %ld px (9.75 pt at %d dpi = %.1f px)", when, r.face.c_str(),
         r.tm.tmHeight, em, dpi, wantEm);
}

// The caption labels word-wrap: text wider than the label loses its last
// word to a second line the label is too short to show.
void CheckLabelsFit(const MainWindow& w, int dpi, const char* when) {
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(w.control(kLabel1_0), WM_GETFONT, 0, 0));
    const Realised r = Realise(w.control(kLabel1_0), font);
    const bool realFace = r.face == kFace;
    if (!realFace)
        Note("%s: \"%s\" is not installed; labels are drawn in \"%s\" and their fit is not checked", when, kFace,
             r.face.c_str());
    for (int id = kLabel1_0; id <= kLabel1_5; ++id) {
        HWND label = w.control(id);
        const std::string text = GetText(label);
        RECT client;
        GetClientRect(label, &client);
        HDC dc = GetDC(label);
        HGDIOBJ old = SelectObject(dc, font);
        SIZE extent{};
        GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
        RECT need = client;
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &need,
                  DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
        SelectObject(dc, old);
        ReleaseDC(label, dc);
        const bool fits = need.right <= client.right && need.bottom <= client.bottom;
        Note("%s: label \"%s\": text %ldx%ld px in \"%s\", room %ldx%ld px%s", when, text.c_str(), extent.cx,
             extent.cy, r.face.c_str(), client.right, client.bottom, fits ? "" : "  (does not fit)");
        // The layout gives each caption exactly the width of its text in
        // the 96-dpi face; at other scales the face's sizes come in steps
        // that need not match.
        if (realFace && dpi == 96)
            Check(fits, "%s: label \"%s\" needs %ldx%ld px, has %ldx%ld", when, text.c_str(), need.right - need.left,
                  need.bottom - need.top, client.right, client.bottom);
    }
}

void CheckAll(const MainWindow& w, int dpi, const char* when) {
    Check(w.dpi() == dpi, "%s: window reports %d dpi, want %d", when, w.dpi(), dpi);
    CheckLayout(w, dpi, true, when);
    CheckClientArea(w, dpi, when);
    CheckFonts(w, dpi, when);
}

// What Windows sends when the window moves to a monitor of another scale:
// the new DPI and a window rectangle that keeps the client size in twips.
void ChangeDpi(MainWindow& w, int dpi, const char* when) {
    HWND hwnd = w.hwnd();
    RECT frame{0, 0, Px(kClientWidth, dpi), Px(kClientHeight, dpi)};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_EXSTYLE)));
    RECT now;
    GetWindowRect(hwnd, &now);
    RECT suggested{now.left + 10, now.top + 10, now.left + 10 + (frame.right - frame.left),
                   now.top + 10 + (frame.bottom - frame.top)};
    SendMessageA(hwnd, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    Pump(200);
    RECT after;
    GetWindowRect(hwnd, &after);
    Check(EqualRect(&after, &suggested), "%s: window is at (%ld,%ld)-(%ld,%ld), not the suggested (%ld,%ld)-(%ld,%ld)",
          when, after.left, after.top, after.right, after.bottom, suggested.left, suggested.top, suggested.right,
          suggested.bottom);
    CheckAll(w, dpi, when);
    Check(IsWindowVisible(w.control(kFrame1)) && !IsWindowVisible(w.control(kFrame2)) &&
              !IsWindowVisible(w.control(kFrame3)),
          "%s: the favorites panel is no longer the one shown", when);
}

}  // namespace

int main(int argc, char** argv) {
    int dpi = 0;
    bool dpiChange = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--dpi") == 0 && i + 1 < argc) dpi = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--dpi-change") == 0) dpiChange = true;
    }
    if (dpi <= 0) {
        std::fprintf(stderr, "usage: dpi_layout_test --dpi N [--dpi-change]\n");
        return 2;
    }
    const std::string name = "dpi_layout_test at " + std::to_string(dpi) + " dpi";

    HDC screen = GetDC(nullptr);
    const int system = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    if (!Check(system == dpi, "the system runs at %d dpi, not %d: the LogPixels setting did not take", system, dpi))
        return Summary(name.c_str());

    {
        WorkDir dir;
        MainWindow w;
        if (!Check(w.Create(GetModuleHandleA(nullptr)), "the main window could not be created"))
            return Summary(name.c_str());
        w.SetQuitOnClose(false);
        Check(w.dpi() == dpi, "new window reports %d dpi, want %d", w.dpi(), dpi);
        Check(w.CreateHiddenControls(), "the editor and browse panels' controls could not be created");
        CheckLayout(w, dpi, false, "as laid out");

        Check(w.Load() == MainWindow::StartResult::Running, "start-up found another instance");
        Pump(300);
        CheckAll(w, dpi, "after start-up");
        CheckLabelsFit(w, dpi, "after start-up");

        if (dpiChange) {
            ChangeDpi(w, 144, "after WM_DPICHANGED to 144");
            CheckLabelsFit(w, 144, "after WM_DPICHANGED to 144");
            ChangeDpi(w, dpi, "after WM_DPICHANGED back");
        }

        PostMessageA(w.hwnd(), WM_CLOSE, 0, 0);
        for (int i = 0; i < 100 && !w.closed(); ++i) Pump(20);
        Check(w.closed(), "the window did not close");
    }
    return Summary(name.c_str());
}
