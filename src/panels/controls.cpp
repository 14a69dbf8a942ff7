#include "panels/controls.hpp"

namespace corvane {

namespace {

struct ClassAndStyle {
    const char* cls;
    DWORD style;
    DWORD ex;
};

ClassAndStyle StyleFor(const ControlSpec& item) {
    // Controls overlap (the core buttons sit on their strip): each one clips
    // the siblings above it so that the lower one never paints over them.
    constexpr DWORD kBase = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    constexpr DWORD kList = kBase | WS_TABSTOP | WS_GROUP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
    const auto has = [&item](Trait trait) { return (item.traits & trait) != 0; };
    switch (item.kind) {
    case Kind::FrameBox:
        return {"BUTTON", kBase | BS_GROUPBOX, 0};
    case Kind::ListBox:
    case Kind::DirList:
    case Kind::FileList:
        return {"LISTBOX", kList, WS_EX_CLIENTEDGE};
    case Kind::DriveList:
        return {"COMBOBOX", kBase | WS_TABSTOP | WS_GROUP | WS_VSCROLL | CBS_DROPDOWNLIST, 0};
    case Kind::Button:
        return {"BUTTON", kBase | WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON, 0};
    case Kind::Option:
        return {"BUTTON", kBase | WS_TABSTOP | BS_AUTORADIOBUTTON | (item.tabIndex == 0 ? WS_GROUP : 0u), 0};
    case Kind::Edit:
        return {"EDIT", kBase | WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL | (has(kReadOnly) ? ES_READONLY : 0u),
                WS_EX_CLIENTEDGE | (has(kTakesFiles) ? WS_EX_ACCEPTFILES : 0u)};
    case Kind::Label:
        // A caption that is a pixel too wide at some scale must lose that
        // pixel, not wrap its second word out of sight.
        return {"STATIC",
                kBase | SS_NOTIFY | (has(kCentred) ? SS_CENTER : SS_LEFTNOWORDWRAP) | (has(kBordered) ? WS_BORDER : 0u),
                0};
    case Kind::Picture:
        return {"STATIC", kBase | SS_OWNERDRAW, 0};
    case Kind::Shape:
        return {"STATIC", kBase | SS_GRAYFRAME, 0};
    case Kind::Panel:
        break;
    }
    return {nullptr, 0, 0};
}

}  // namespace

HWND CreateLayoutControl(const ControlSpec& item, HWND parent, const Theme& theme) {
    const ClassAndStyle kind = StyleFor(item);
    if (!kind.cls) return nullptr;
    const RECT rc = theme.RectFor(item);
    HWND hwnd = CreateWindowExA(kind.ex, kind.cls, item.caption, kind.style, rc.left, rc.top, rc.right - rc.left,
                                rc.bottom - rc.top, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(item.id)),
                                reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE)), nullptr);
    if (hwnd) SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(theme.FontFor(item.kind)), FALSE);
    return hwnd;
}

}  // namespace corvane
