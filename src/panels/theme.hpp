// The look every panel shares: grey panels with white captions, and the
// fonts and places of the layout's controls at the window's DPI.
#pragma once

#include <windows.h>

#include "panels/layout.hpp"
#include "platform/handles.hpp"

namespace corvane {

class Theme {
public:
    struct Fonts {
        UniqueFont bold;    // buttons and frame captions
        UniqueFont list;    // the favorites list
        UniqueFont normal;  // everything else
    };

    bool Create(int dpi);
    int dpi() const { return dpi_; }

    // Changes the DPI; the fonts in use until now are handed back, to be
    // kept until every control has been given the new ones.
    [[nodiscard]] Fonts ChangeDpi(int dpi);

    HFONT FontFor(Kind kind) const;
    // The light grey behind every panel: a stock brush, so that the window
    // classes, registered once per process, can keep it.
    static HBRUSH Background() { return static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)); }

    // Where a control stands at the current DPI, in its container's pixels.
    RECT RectFor(const ControlSpec& item) const;
    RECT PixelRect(int left, int top, int width, int height) const;

    // Answers WM_CTLCOLOR* for a control of the layout; 0 for "as the
    // system draws it".
    HBRUSH ControlColors(HDC dc, HWND control, bool isStatic) const;

private:
    Fonts MakeFonts() const;

    int dpi_ = 96;
    UniqueBrush white_;
    Fonts fonts_;
};

}  // namespace corvane
