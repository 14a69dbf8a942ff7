#include "panels/theme.hpp"

#include <cstring>

#include "platform/win.hpp"

namespace corvane {

namespace {

constexpr COLORREF kGrey = RGB(192, 192, 192);
constexpr COLORREF kWhite = RGB(255, 255, 255);

}  // namespace

bool Theme::Create(int dpi) {
    dpi_ = dpi;
    white_.reset(CreateSolidBrush(kWhite));
    fonts_ = MakeFonts();
    return Background() && white_ && fonts_.bold && fonts_.list && fonts_.normal;
}

Theme::Fonts Theme::MakeFonts() const {
    auto font = [this](int hundredthsOfPoint, int weight) {
        LOGFONTA lf{};
        lf.lfHeight = -MulDiv(hundredthsOfPoint, dpi_, 7200);
        lf.lfWeight = weight;
        lf.lfCharSet = DEFAULT_CHARSET;
        lf.lfQuality = DEFAULT_QUALITY;
        std::strcpy(lf.lfFaceName, "MS Sans Serif");
        return UniqueFont(CreateFontIndirectA(&lf));
    };
    return Fonts{font(825, FW_BOLD), font(975, FW_BOLD), font(825, FW_NORMAL)};
}

Theme::Fonts Theme::ChangeDpi(int dpi) {
    Fonts old = std::move(fonts_);
    dpi_ = dpi;
    fonts_ = MakeFonts();
    return old;
}

HFONT Theme::FontFor(Kind kind) const {
    switch (kind) {
    case Kind::FrameBox:
    case Kind::Button:
        return fonts_.bold.get();
    case Kind::ListBox:
        return fonts_.list.get();
    default:
        return fonts_.normal.get();
    }
}

RECT Theme::PixelRect(int left, int top, int width, int height) const {
    const int x = TwipsToPixels(left, dpi_);
    const int y = TwipsToPixels(top, dpi_);
    return RECT{x, y, x + TwipsToPixels(width, dpi_), y + TwipsToPixels(height, dpi_)};
}

RECT Theme::RectFor(const ControlSpec& item) const {
    // A drop-down list's window includes its open list; the closed box keeps
    // the height the system gives it.
    const int height = item.kind == Kind::DriveList ? item.height * 8 : item.height;
    return PixelRect(item.left, item.top, item.width, height);
}

HBRUSH Theme::ControlColors(HDC dc, HWND control, bool isStatic) const {
    const ControlSpec* item = FindSpec(GetDlgCtrlID(control));
    switch (item ? item->colors : ColorRole::Panel) {
    case ColorRole::Caption:
        SetTextColor(dc, kWhite);
        SetBkColor(dc, kGrey);
        SetBkMode(dc, TRANSPARENT);
        return Background();
    case ColorRole::Option:
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, kWhite);
        return white_.get();
    case ColorRole::Window:
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        return GetSysColorBrush(COLOR_WINDOW);
    case ColorRole::Panel:
        if (!isStatic) return nullptr;
        SetBkColor(dc, kGrey);
        return Background();
    case ColorRole::System:
        break;
    }
    return nullptr;
}

}  // namespace corvane
