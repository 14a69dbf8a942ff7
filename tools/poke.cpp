// Drives a running corvane.exe from outside, for the README screenshots:
//
//   corvane_poke wait              until the window is up (at most 30 s)
//   corvane_poke click CAPTION     a visible button or label with that caption
//   corvane_poke open FOLDER       a double click on that folder in the
//                                  browse panel's folder list
//   corvane_poke select FILE       selects that file in the browse panel
//   corvane_poke close             closes the window as its close box does
//   corvane_poke entry N           prints where entry N of the favorites
//                                  list is on the screen: "X Y" of a point
//                                  on its text, for a real mouse click
//   corvane_poke menu              prints the open popup menu's rectangle on
//                                  the screen, "X Y WIDTH HEIGHT" (waits up
//                                  to 5 s for one)
//
// Controls are found through the window's own tree by caption or id, so the
// clicks do not depend on where the window is or how large it is drawn.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>

#include "panels/layout.hpp"

namespace {

constexpr const char* kClass = "CorvaneMainWindow";

HWND MainWindow() {
    return FindWindowA(kClass, nullptr);
}

struct Search {
    const char* caption;
    int id;
    HWND found;
};

BOOL CALLBACK Visit(HWND hwnd, LPARAM lp) {
    auto* search = reinterpret_cast<Search*>(lp);
    if (!IsWindowVisible(hwnd)) return TRUE;
    if (search->caption) {
        char text[256] = {};
        GetWindowTextA(hwnd, text, sizeof text);
        char cls[64] = {};
        GetClassNameA(hwnd, cls, sizeof cls);
        const bool clickable = _stricmp(cls, "Button") == 0 || _stricmp(cls, "Static") == 0;
        if (!clickable || std::strcmp(text, search->caption) != 0) return TRUE;
    } else if (GetDlgCtrlID(hwnd) != search->id) {
        return TRUE;
    }
    search->found = hwnd;
    return FALSE;
}

HWND Find(const char* caption, int id) {
    Search search{caption, id, nullptr};
    if (HWND window = MainWindow()) EnumChildWindows(window, Visit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void Notify(HWND control, int code) {
    PostMessageA(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code),
                 reinterpret_cast<LPARAM>(control));
}

int Click(const char* caption) {
    HWND control = Find(caption, 0);
    if (!control) {
        std::fprintf(stderr, "corvane_poke: no visible button or label \"%s\"\n", caption);
        return 1;
    }
    char cls[64] = {};
    GetClassNameA(control, cls, sizeof cls);
    if (_stricmp(cls, "Button") == 0)
        SendMessageTimeoutA(control, BM_CLICK, 0, 0, SMTO_NORMAL, 5000, nullptr);
    else
        Notify(control, STN_CLICKED);
    return 0;
}

// Selects the list line that is `name` after its indentation.
int SelectLine(int id, const char* name, bool open) {
    HWND list = Find(nullptr, id);
    if (!list) {
        std::fprintf(stderr, "corvane_poke: the list is not shown\n");
        return 1;
    }
    // The lines are read as UTF-16: Wine 8 hands LB_GETTEXT from another
    // process back unconverted to an ANSI caller.
    wchar_t wanted[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, name, -1, wanted, MAX_PATH);
    const auto count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t line[MAX_PATH * 2] = {};
        if (SendMessageW(list, LB_GETTEXTLEN, i, 0) >= static_cast<LRESULT>(MAX_PATH * 2)) continue;
        SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line));
        const wchar_t* text = line + wcsspn(line, L" ");
        if (_wcsicmp(text, wanted) != 0) continue;
        SendMessageA(list, LB_SETCURSEL, i, 0);
        Notify(list, LBN_SELCHANGE);
        if (open) Notify(list, LBN_DBLCLK);
        return 0;
    }
    std::fprintf(stderr, "corvane_poke: \"%s\" is not in the list\n", name);
    return 1;
}

int Entry(int index) {
    HWND list = Find(nullptr, corvane::kFavoritesList);
    RECT item{};
    if (!list || SendMessageA(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item)) == LB_ERR) {
        std::fprintf(stderr, "corvane_poke: the favorites list has no entry %d on show\n", index);
        return 1;
    }
    POINT at{item.left + 40, (item.top + item.bottom) / 2};
    ClientToScreen(list, &at);
    std::printf("%ld %ld\n", at.x, at.y);
    return 0;
}

int Menu() {
    for (int i = 0; i < 50; ++i) {
        HWND menu = nullptr;
        while ((menu = FindWindowExA(nullptr, menu, "#32768", nullptr)) && !IsWindowVisible(menu))
            continue;
        RECT rc{};
        if (menu && GetWindowRect(menu, &rc)) {
            std::printf("%ld %ld %ld %ld\n", rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
            return 0;
        }
        Sleep(100);
    }
    std::fprintf(stderr, "corvane_poke: no menu open\n");
    return 1;
}

int Wait() {
    for (int i = 0; i < 300; ++i) {
        HWND window = MainWindow();
        if (window && IsWindowVisible(window)) return 0;
        Sleep(100);
    }
    std::fprintf(stderr, "corvane_poke: no Corvane window after 30 s\n");
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string verb = argc > 1 ? argv[1] : "";
    if (verb == "wait") return Wait();
    if (!MainWindow()) {
        std::fprintf(stderr, "corvane_poke: Corvane is not running\n");
        return 1;
    }
    if (verb == "click" && argc == 3) return Click(argv[2]);
    if (verb == "open" && argc == 3) return SelectLine(corvane::kFolderList, argv[2], true);
    if (verb == "select" && argc == 3) return SelectLine(corvane::kFileList, argv[2], false);
    if (verb == "close") return PostMessageA(MainWindow(), WM_CLOSE, 0, 0) ? 0 : 1;
    if (verb == "entry" && argc == 3) return Entry(std::atoi(argv[2]));
    if (verb == "menu") return Menu();
    std::fprintf(stderr,
                 "usage: corvane_poke wait | click CAPTION | open FOLDER | select FILE | close | entry N | menu\n");
    return 2;
}
