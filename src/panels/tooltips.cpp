#include "panels/tooltips.hpp"

#include <commctrl.h>

#include "panels/panel.hpp"
#include "platform/lazy_proc.hpp"

namespace corvane {

void Tooltips::Create(HWND owner, std::span<Panel* const> panels) {
    // Without the tooltips the program works as before; nothing to tell.
    if (tooltip_ || !CreateControl(owner)) return;
    for (const Panel* panel : panels)
        AddFor(*panel);
}

bool Tooltips::CreateControl(HWND owner) {
    static const auto initCommonControls =
        LoadSystemProc<decltype(&InitCommonControlsEx)>("comctl32.dll", "InitCommonControlsEx");
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES};
    if (!initCommonControls || !initCommonControls(&icc)) return false;
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(owner, GWLP_HINSTANCE));
    tooltip_.reset(CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, instance, nullptr));
    return static_cast<bool>(tooltip_);
}

void Tooltips::Relay(HWND target) {
    HWND tooltip = tooltip_.get();
    auto hook = std::make_unique<ControlHook>();
    const bool attached = hook->Attach(target, [tooltip, target](UINT msg, WPARAM wp, LPARAM lp) {
        if ((msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) || msg == WM_MOUSELEAVE) {
            MSG relayed{target, msg, wp, lp, 0, {}};
            SendMessageA(tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
        }
        return std::optional<LRESULT>();
    });
    if (attached) relays_.push_back(std::move(hook));
}

void Tooltips::AddFor(const Panel& panel) {
    if (!tooltip_) return;
    for (const ControlSpec& item : Layout()) {
        HWND target = item.tooltip ? panel.control(item.id) : nullptr;
        if (!target) continue;
        TTTOOLINFOA ti{};
        ti.cbSize = TTTOOLINFOA_V2_SIZE;
        ti.uFlags = TTF_IDISHWND;
        ti.hwnd = panel.hwnd();
        ti.uId = reinterpret_cast<UINT_PTR>(target);
        ti.lpszText = const_cast<char*>(item.tooltip);
        SendMessageA(tooltip_.get(), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
        Relay(target);
    }
}

}  // namespace corvane
