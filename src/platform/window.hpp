// The one window procedure every window class of the program shares: the
// object is attached to its window at WM_NCCREATE and detached at
// WM_NCDESTROY, and in between each message goes to Derived::HandleMessage.
#pragma once

#include <windows.h>

#include <utility>

#include "platform/alive.hpp"
#include "platform/win.hpp"

namespace corvane {

template <typename Derived>
class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Null once the window is destroyed: an object outlives its window, and
    // a handler that let other events run checks this before going on.
    HWND hwnd() const { return hwnd_; }

protected:
    ~Window() {
        // Detached first: the derived part is already gone, so whatever the
        // destruction sends must not reach it.
        if (!hwnd_) return;
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(std::exchange(hwnd_, nullptr));
    }

    // Registers `className` with this procedure, once per process; the
    // system fills the background with `background`, which must live as long
    // as the process.
    static bool RegisterWindowClass(HINSTANCE instance, const char* className, HBRUSH background) {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        if (GetClassInfoExA(instance, className, &wc)) return true;
        wc.lpfnWndProc = Procedure;
        wc.hInstance = instance;
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = background;
        wc.lpszClassName = className;
        return RegisterClassExA(&wc) != 0;
    }

    // CreateWindowExA with this object as the creation parameter.
    HWND CreateAttached(DWORD exStyle, const char* className, const char* caption, DWORD style, const RECT& rc,
                        HWND parent, int id, HINSTANCE instance) {
        HMENU menuOrId = parent ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)) : nullptr;
        return CreateWindowExA(exStyle, className, caption, style, rc.left, rc.top, rc.right - rc.left,
                               rc.bottom - rc.top, parent, menuOrId, instance, static_cast<Derived*>(this));
    }

    LRESULT Default(UINT msg, WPARAM wp, LPARAM lp) { return DefWindowProcA(hwnd_, msg, wp, lp); }

    // Lets every pending event run once, the dialog keys going through the
    // top-level window. Any of them may destroy this window.
    Alive DoEvents() {
        if (!hwnd_) return Alive(false);
        PumpEvents(GetAncestor(hwnd_, GA_ROOT));
        return Alive(hwnd_ != nullptr);
    }

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_NCCREATE) {
            auto* self = static_cast<Derived*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
            self->hwnd_ = hwnd;
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
        auto* self = reinterpret_cast<Derived*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (!self) return DefWindowProcA(hwnd, msg, wp, lp);
        if (msg == WM_NCDESTROY) {
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
            self->hwnd_ = nullptr;
            return DefWindowProcA(hwnd, msg, wp, lp);
        }
        return self->HandleMessage(msg, wp, lp);
    }

    HWND hwnd_ = nullptr;
};

}  // namespace corvane
