#include "panels/panel.hpp"

#include <windowsx.h>

#include "panels/controls.hpp"
#include "platform/win.hpp"

namespace corvane {

namespace {
constexpr const char* kPanelClass = "CorvanePanel";
}  // namespace

bool Panel::Register(HINSTANCE instance) {
    return RegisterWindowClass(instance, kPanelClass, Theme::Background());
}

bool Panel::Create(HWND parent, const RECT& rc) {
    const ControlSpec* item = FindSpec(id_);
    const DWORD visible = item && (item->traits & kHiddenAtStart) ? 0 : WS_VISIBLE;
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE));
    return item && CreateAttached(WS_EX_CONTROLPARENT, kPanelClass, item->caption, WS_CHILD | WS_CLIPSIBLINGS | visible,
                                  rc, parent, id_, instance);
}

bool Panel::CreateControls() {
    if (controlsCreated_) return true;
    if (!hwnd()) return false;
    controlsCreated_ = true;
    for (const ControlSpec& item : Layout())
        if (item.parent == id_ && !CreateLayoutControl(item, hwnd(), theme_)) return false;
    return OnControlsCreated();
}

void Panel::Relayout() {
    for (const ControlSpec& item : Layout()) {
        if (item.parent != id_) continue;
        HWND target = control(item.id);
        if (!target) continue;
        const RECT rc = theme_.RectFor(item);
        SetWindowPos(target, nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageA(target, WM_SETFONT, reinterpret_cast<WPARAM>(theme_.FontFor(item.kind)), TRUE);
    }
}

LRESULT Panel::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
        OnCommand(LOWORD(wp), HIWORD(wp));
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
        if (HBRUSH brush =
                theme_.ControlColors(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp), msg == WM_CTLCOLORSTATIC))
            return reinterpret_cast<LRESULT>(brush);
        return Default(msg, wp, lp);
    case WM_CONTEXTMENU:
        if (OnContextMenu(reinterpret_cast<HWND>(wp), POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)})) return 0;
        return Default(msg, wp, lp);
    case WM_DRAWITEM:
        return OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp)) ? TRUE : FALSE;
    default:
        return Default(msg, wp, lp);
    }
}

}  // namespace corvane
