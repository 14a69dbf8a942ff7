// A panel: a container window that shows one group of controls and owns
// their handlers. Panels never reach into each other; what needs more than
// one panel goes up to the window that holds them, as a call of its
// PanelHost.
#pragma once

#include <windows.h>

#include <utility>

#include "panels/layout.hpp"
#include "panels/panel_host.hpp"
#include "panels/theme.hpp"
#include "platform/alive.hpp"
#include "platform/window.hpp"

namespace corvane {

class Panel : public Window<Panel> {
public:
    Panel(ControlId id, const Theme& theme, PanelHost& host) : id_(id), theme_(theme), host_(host) {}
    virtual ~Panel() = default;

    static bool Register(HINSTANCE instance);
    ControlId id() const { return id_; }
    // The container, at `rc` in the parent's client area.
    bool Create(HWND parent, const RECT& rc);
    // The panel's controls, in layout order, which is their tab order.
    bool CreateControls();

    void Show(bool show) { ShowWindow(hwnd(), show ? SW_SHOW : SW_HIDE); }
    HWND control(int id) const { return hwnd() ? GetDlgItem(hwnd(), id) : nullptr; }
    // Moves and re-fonts every control for the theme's current DPI.
    void Relayout();
    // Enter pressed on one of the panel's controls: the dialog keys make it
    // an IDOK for the window, which hands it here.
    virtual void OnEnter() {}

    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);

protected:
    virtual void OnCommand(int id, int code) = 0;
    virtual bool OnDrawItem(const DRAWITEMSTRUCT&) { return false; }
    // WM_CONTEXTMENU from `from` (one of the panel's controls), at `at` in
    // screen coordinates, or (-1, -1) from the keyboard; false when the panel
    // has no menu for it.
    virtual bool OnContextMenu(HWND /*from*/, POINT /*at*/) { return false; }
    // Runs once the controls exist.
    virtual bool OnControlsCreated() { return true; }

    Alive alive() const { return Alive(hwnd() != nullptr); }
    // Asks the holding window, `Request(&PanelHost::Save)`; the request may
    // let events run.
    template <typename... Params, typename... Args>
    Alive Request(void (PanelHost::*request)(Params...), Args&&... args) {
        if (!hwnd()) return Alive(false);
        (host_.*request)(std::forward<Args>(args)...);
        return alive();
    }

    const Theme& theme() const { return theme_; }

private:
    ControlId id_;
    const Theme& theme_;
    PanelHost& host_;
    bool controlsCreated_ = false;
};

}  // namespace corvane
