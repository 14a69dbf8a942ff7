#include "platform/control_hook.hpp"

#include <commctrl.h>

#include "platform/lazy_proc.hpp"

namespace corvane {

namespace {

// The comctl32 that System32 holds: 5.8x without a visual-styles manifest,
// which exports these by name from 5.82 on and by ordinal in every version.
template <typename Fn>
Fn FindSubclassProc(const char* name, WORD ordinal) {
    if (const auto byName = LoadSystemProc<Fn>("comctl32.dll", name)) return byName;
    return LoadSystemProc<Fn>("comctl32.dll", MAKEINTRESOURCEA(ordinal));
}

struct SubclassApi {
    decltype(&SetWindowSubclass) set = FindSubclassProc<decltype(&SetWindowSubclass)>("SetWindowSubclass", 410);
    decltype(&RemoveWindowSubclass) remove =
        FindSubclassProc<decltype(&RemoveWindowSubclass)>("RemoveWindowSubclass", 412);
    decltype(&DefSubclassProc) next = FindSubclassProc<decltype(&DefSubclassProc)>("DefSubclassProc", 413);
};

const SubclassApi& Api() {
    static const SubclassApi api;
    return api;
}

}  // namespace

ControlHook::~ControlHook() {
    if (control_) Api().remove(control_, Procedure, reinterpret_cast<UINT_PTR>(this));
}

bool ControlHook::Attach(HWND control, Handler handler) {
    const SubclassApi& api = Api();
    if (!control || control_ || !api.set || !api.remove || !api.next) return false;
    handler_ = std::move(handler);
    const auto self = reinterpret_cast<UINT_PTR>(this);
    if (!api.set(control, Procedure, self, self)) return false;
    control_ = control;
    return true;
}

LRESULT CALLBACK ControlHook::Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR data) {
    auto* self = reinterpret_cast<ControlHook*>(data);
    if (msg == WM_NCDESTROY) {
        // The control goes first: the hook outlives it unattached.
        Api().remove(hwnd, Procedure, id);
        self->control_ = nullptr;
    } else if (self->handler_) {
        if (const auto handled = self->handler_(msg, wp, lp)) return *handled;
    }
    return Api().next(hwnd, msg, wp, lp);
}

}  // namespace corvane
