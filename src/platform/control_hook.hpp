// A handler put in front of a standard control's own window procedure, for
// the few messages the control itself ignores (files dropped on an edit).
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

    // One control per hook; the hook must outlive it or be destroyed first.
    bool Attach(HWND control, Handler handler);

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

    HWND control_ = nullptr;
    WNDPROC base_ = nullptr;
    Handler handler_;
};

}  // namespace corvane
