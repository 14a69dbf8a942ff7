// A panel: a container window that shows one group of controls and owns
// their handlers. Panels never reach into each other; what needs more than
// one panel goes up to the window that holds them, as a request.
#pragma once

#include <windows.h>

#include "panels/layout.hpp"
#include "panels/theme.hpp"
#include "platform/window.hpp"

namespace corvane {

// What a panel asks of the window that holds it: sent as kPanelRequest with
// the request in wParam and its details, if any, in lParam.
enum class PanelRequest : WPARAM {
    SelectionChanged,  // the favorites list's selection changed (by the user or the program)
    Launch,            // launch the current favorite
    OpenEditor,        // Add
    Removed,           // a favorite was removed from the list
    Save,              // save the editor's fields as a new favorite
    CloseEditor,       // Cancel in the editor
    OpenBrowser,       // the target label was clicked
    TargetChosen,      // lParam: const ChosenTarget*
    CloseBrowser,      // Cancel in the browse panel
};
inline constexpr UINT kPanelRequest = WM_APP + 1;

class Panel : public Window<Panel> {
public:
    Panel(ControlId id, const Theme& theme) : id_(id), theme_(theme) {}
    virtual ~Panel() = default;

    static bool Register(HINSTANCE instance);
    ControlId id() const { return id_; }
    // The container, at `rc` in the parent's client area.
    bool Create(HWND parent, const RECT& rc);
    // The panel's controls, in layout order, which is their tab order.
    bool CreateControls();
    bool controlsCreated() const { return controlsCreated_; }

    void Show(bool show) { ShowWindow(hwnd(), show ? SW_SHOW : SW_HIDE); }
    HWND control(int id) const { return hwnd() ? GetDlgItem(hwnd(), id) : nullptr; }
    // Moves and re-fonts every control for the theme's current DPI.
    void Relayout();

    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);

protected:
    virtual void OnCommand(int id, int code) = 0;
    virtual bool OnDrawItem(const DRAWITEMSTRUCT&) { return false; }
    // Runs once the controls exist.
    virtual bool OnControlsCreated() { return true; }

    // Lets pending events run; false once this panel's window is gone, and
    // then the caller must not touch its controls again.
    [[nodiscard]] bool DoEvents();
    // Hands a request up to the holding window; false if the panel was
    // destroyed while it ran.
    [[nodiscard]] bool Request(PanelRequest request, LPARAM details = 0);

    const Theme& theme() const { return theme_; }

private:
    ControlId id_;
    const Theme& theme_;
    bool controlsCreated_ = false;
};

}  // namespace corvane
