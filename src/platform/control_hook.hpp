// A handler put in front of a standard control's own window procedure, for
// the few messages the control itself ignores (files dropped on an edit, the
// mouse moves a tooltip needs to see). Hooks are chained through comctl32's
// subclass list, so several may sit on one control and any of them may go
// first, before or after its control.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>

namespace corvane {

class ControlHook {
public:
    // Returns a result for a message it handles, nothing to let the control
    // handle it as always.
    using Handler = std::function<std::optional<LRESULT>(UINT msg, WPARAM wp, LPARAM lp)>;

    ControlHook() = default;
    ControlHook(const ControlHook&) = delete;
    ControlHook& operator=(const ControlHook&) = delete;
    ~ControlHook();

    // One control per hook; false when comctl32 offers no subclassing.
    bool Attach(HWND control, Handler handler);

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR self);

    HWND control_ = nullptr;
    Handler handler_;
};

}  // namespace corvane
