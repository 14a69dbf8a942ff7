#include "panels/theme.hpp"

#include <cstring>

#include "platform/win.hpp"

namespace corvane {

namespace {

constexpr COLORREF kGrey = RGB(192, 192, 192);
constexpr COLORREF kWhite = RGB(255, 255, 255);

struct ClassAndStyle {
    const char* cls;
    DWORD style;
    DWORD ex;
};

ClassAndStyle StyleFor(const ControlSpec& item) {
    // Controls overlap (the core buttons sit on their strip): each one clips
    // the siblings above it so that the lower one never paints over them.
    constexpr DWORD kBase = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    constexpr DWORD kList = kBase | WS_TABSTOP | WS_GROUP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
    const auto has = [&item](Trait trait) { return (item.traits & trait) != 0; };
    switch (item.kind) {
    case Kind::FrameBox:
        return {"BUTTON", kBase | BS_GROUPBOX, 0};
    case Kind::ListBox:
    case Kind::DirList:
    case Kind::FileList:
        return {"LISTBOX", kList, WS_EX_CLIENTEDGE};
    case Kind::DriveList:
        return {"COMBOBOX", kBase | WS_TABSTOP | WS_GROUP | WS_VSCROLL | CBS_DROPDOWNLIST, 0};
    case Kind::Button:
        return {"BUTTON", kBase | WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON, 0};
    case Kind::Option:
        return {"BUTTON", kBase | WS_TABSTOP | BS_AUTORADIOBUTTON | (item.tabIndex == 0 ? WS_GROUP : 0u), 0};
    case Kind::Edit:
        return {"EDIT", kBase | WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL | (has(kReadOnly) ? ES_READONLY : 0u),
                WS_EX_CLIENTEDGE | (has(kTakesFiles) ? WS_EX_ACCEPTFILES : 0u)};
    case Kind::Label:
        // A caption that is a pixel too wide at some scale must lose that
        // pixel, not wrap its second word out of sight.
        return {"STATIC",
                kBase | SS_NOTIFY | (has(kCentred) ? SS_CENTER : SS_LEFTNOWORDWRAP) | (has(kBordered) ? WS_BORDER : 0u),
                0};
    case Kind::Picture:
        return {"STATIC", kBase | SS_OWNERDRAW, 0};
    case Kind::Shape:
        return {"STATIC", kBase | SS_GRAYFRAME, 0};
    case Kind::Panel:
        break;
    }
    return {nullptr, 0, 0};
}

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

HWND Theme::CreateControl(const ControlSpec& item, HWND parent) const {
    const ClassAndStyle kind = StyleFor(item);
    if (!kind.cls) return nullptr;
    const RECT rc = RectFor(item);
    HWND hwnd = CreateWindowExA(kind.ex, kind.cls, item.caption, kind.style, rc.left, rc.top, rc.right - rc.left,
                                rc.bottom - rc.top, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(item.id)),
                                reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE)), nullptr);
    if (hwnd) SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(item.kind)), FALSE);
    return hwnd;
}

}  // namespace corvane
