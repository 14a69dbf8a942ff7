// The tooltips of the controls that have one. Their window class comes with
// comctl32's common controls, and initialising those costs more than
// everything else before the window shows: they are made once the window is
// on screen.
#pragma once

#include <windows.h>

#include <memory>
#include <span>
#include <vector>

#include "platform/control_hook.hpp"
#include "platform/handles.hpp"

namespace corvane {

class Panel;

class Tooltips {
public:
    // The tooltip control of `owner`, with a tool for every control of
    // `panels` that the layout gives a tooltip. Once only: a second call
    // would add every tool again, and does nothing.
    void Create(HWND owner, std::span<Panel* const> panels);

private:
    bool CreateControl(HWND owner);
    void AddFor(const Panel& panel);
    void Relay(HWND target);

    UniqueWindow tooltip_;
    // One per control with a tooltip: hands the control's mouse messages to
    // the tooltip, in the same chain as the program's other hooks.
    std::vector<std::unique_ptr<ControlHook>> relays_;
};

}  // namespace corvane
