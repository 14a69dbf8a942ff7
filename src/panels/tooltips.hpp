// The tooltips of the controls that have one. Tooltips are the one thing
// comctl32 is needed for, and loading it costs more than everything else
// before the window shows: they are made once the window is on screen.
#pragma once

#include <windows.h>

namespace corvane {

class Panel;

class Tooltips {
public:
    Tooltips() = default;
    ~Tooltips();
    Tooltips(const Tooltips&) = delete;
    Tooltips& operator=(const Tooltips&) = delete;

    bool Create(HWND owner);
    // Every control of `panel` that the layout gives a tooltip.
    void AddFor(const Panel& panel);

private:
    HWND tooltip_ = nullptr;
};

}  // namespace corvane
