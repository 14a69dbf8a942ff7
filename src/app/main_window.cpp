#include "app/main_window.hpp"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "favorites/file_io.hpp"
#include "platform/lazy_proc.hpp"
#include "platform/shell.hpp"

namespace corvane {

namespace {

constexpr const char* kPanelClass = "CorvanePanel";
constexpr COLORREF kGrey = RGB(192, 192, 192);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr DWORD kMainStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kMainExStyle = WS_EX_CONTROLPARENT;
// Start-up searches and marks the caption under this lock, so two instances
// started at the same moment cannot both miss each other.
constexpr const char* kStartupMutex = "Local\\Corvane.Startup";

bool IsCaptionLabel(int id) { return id >= kLabel1_0 && id <= kLabel1_5; }
bool IsOption(int id) { return id >= kOption1_0 && id <= kOption1_2; }
bool IsFrameBox(int id) { return id >= kFrameBox1 && id <= kFrameBox3; }

}  // namespace

// ---------------------------------------------------------------- Panel

bool Panel::Register(HINSTANCE instance) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExA(instance, kPanelClass, &wc)) return true;
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kPanelClass;
    return RegisterClassExA(&wc) != 0;
}

HWND Panel::Create(MainWindow* owner, HWND parent, const ControlSpec& item, const RECT& rc) {
    owner_ = owner;
    const DWORD visible = item.id == kFrame1 ? WS_VISIBLE : 0;
    return CreateWindowExA(WS_EX_CONTROLPARENT, kPanelClass, item.caption,
                           WS_CHILD | WS_CLIPSIBLINGS | visible,
                           rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(item.id)),
                           reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE)), this);
}

LRESULT CALLBACK Panel::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<Panel*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Panel*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcA(hwnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
    return self->Handle(msg, wp, lp);
}

LRESULT Panel::Handle(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
        return owner_->OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp));
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
        return owner_->OnControlColor(msg, reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp));
    case WM_DRAWITEM:
        return owner_->OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
    case WM_ERASEBKGND: {
        RECT rc;
        GetClientRect(hwnd_, &rc);
        FillRect(reinterpret_cast<HDC>(wp), &rc, owner_->backgroundBrush());
        return 1;
    }
    default:
        return DefWindowProcA(hwnd_, msg, wp, lp);
    }
}

// ---------------------------------------------------------------- MainWindow

MainWindow::MainWindow() = default;

MainWindow::~MainWindow() {
    // Whatever closed us, the icon must not outlive the window it points to.
    RemoveTrayIcon();
}

bool MainWindow::Create(HINSTANCE instance) {
    instance_ = instance;
    if (!Panel::Register(instance)) return false;

    greyBrush_.reset(CreateSolidBrush(kGrey));
    whiteBrush_.reset(CreateSolidBrush(kWhite));
    bigIcon_.reset(static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(1), IMAGE_ICON,
                                                 GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0)));
    smallIcon_.reset(static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(1), IMAGE_ICON,
                                                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0)));
    // A build without the icon resource (the test programs) still needs
    // handles it owns, never the shared system icon.
    if (!bigIcon_) bigIcon_.reset(CopyIcon(LoadIcon(nullptr, IDI_APPLICATION)));
    if (!smallIcon_) smallIcon_.reset(CopyIcon(bigIcon_.get()));

    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    if (!GetClassInfoExA(instance, kClassName, &wc)) {
        wc.lpfnWndProc = Proc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.lpszClassName = kClassName;
        if (!RegisterClassExA(&wc)) return false;
    }

    dpi_ = DpiFor(nullptr);
    RECT rc{0, 0, TwipsToPixels(kClientWidth, dpi_), TwipsToPixels(kClientHeight, dpi_)};
    AdjustWindowRectEx(&rc, kMainStyle, FALSE, kMainExStyle);
    HWND hwnd = CreateWindowExA(kMainExStyle, kClassName, kDesignCaption, kMainStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                                rc.right - rc.left, rc.bottom - rc.top, nullptr, nullptr, instance, this);
    if (!hwnd) return false;
    SendMessageA(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
    SendMessageA(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));

    menuBar_.reset(CreateMenu());
    mnuFile_ = CreatePopupMenu();
    if (!menuBar_ || !mnuFile_) return false;
    AppendMenuA(mnuFile_, MF_STRING, kMnuExit, "Exit Corvane");
    AppendMenuA(menuBar_.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(mnuFile_), "popup");

    return CreateControls();
}

void MainWindow::CreateFonts() {
    auto font = [this](int hundredthsOfPoint, int weight) {
        LOGFONTA lf{};
        lf.lfHeight = -MulDiv(hundredthsOfPoint, dpi_, 7200);
        lf.lfWeight = weight;
        lf.lfCharSet = DEFAULT_CHARSET;
        lf.lfQuality = DEFAULT_QUALITY;
        std::strcpy(lf.lfFaceName, "MS Sans Serif");
        return CreateFontIndirectA(&lf);
    };
    boldFont_.reset(font(825, FW_BOLD));
    listFont_.reset(font(975, FW_BOLD));
    normalFont_.reset(font(825, FW_NORMAL));
}

bool MainWindow::CreateControls() {
    CreateFonts();
    for (const ControlSpec& item : Layout()) {
        if (item.kind == Kind::Panel) {
            if (!panels_[item.id - kFrame1].Create(this, hwnd(), item, RectFor(item))) return false;
        } else if (item.parent == kFrame1 && !CreateControl(item, control(kFrame1))) {
            return false;
        }
    }
    EnableWindow(control(kCommand3), FALSE);
    InitBrowser();
    return true;
}

bool MainWindow::CreateHiddenControls() {
    if (hiddenCreated_) return true;
    if (!hwnd_) return false;
    hiddenCreated_ = true;
    // In layout order, which is each panel's tab order.
    for (const ControlSpec& item : Layout()) {
        if (item.parent != kFrame2 && item.parent != kFrame3) continue;
        HWND parent = control(item.parent);
        if (!parent || !CreateControl(item, parent)) return false;
    }
    SendMessageA(control(kOption1_0), BM_SETCHECK, BST_CHECKED, 0);
    // The target field takes files dropped from the shell.
    shell::AcceptFiles(control(kText1), true);
    SubclassWindow(control(kText1), TargetFieldProc, this);
    CreateTooltips();
    return true;
}

void MainWindow::CreateTooltips() {
    // Tooltips are the one thing comctl32 is needed for, and loading it costs
    // more than everything else before the window shows; hence only now.
    static const auto initCommonControls =
        LoadSystemProc<decltype(&InitCommonControlsEx)>("comctl32.dll", "InitCommonControlsEx");
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES};
    if (!initCommonControls || !initCommonControls(&icc)) return;
    tooltip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(), nullptr, instance_, nullptr);
    if (!tooltip_) return;
    for (const ControlSpec& item : Layout())
        if (item.tooltip) AddTooltip(control(item.id), item.tooltip);
}

HFONT MainWindow::FontFor(const ControlSpec& item) const {
    switch (item.kind) {
    case Kind::FrameBox:
    case Kind::Button: return static_cast<HFONT>(boldFont_.get());
    case Kind::ListBox: return static_cast<HFONT>(listFont_.get());
    default: return static_cast<HFONT>(normalFont_.get());
    }
}

RECT MainWindow::RectFor(const ControlSpec& item) const {
    int left = item.left;
    int top = item.top;
    // Once start-up has parked the editor and browse panels over the
    // favorites panel, that is where they stay.
    if (panelsPlaced_ && (item.id == kFrame2 || item.id == kFrame3)) {
        left = kPanelLeft;
        top = kPanelTop;
    }
    // A drop-down list's window includes its open list; the closed box keeps
    // the height the system gives it.
    const int height = item.kind == Kind::DriveList ? item.height * 8 : item.height;
    const int x = TwipsToPixels(left, dpi_);
    const int y = TwipsToPixels(top, dpi_);
    return RECT{x, y, x + TwipsToPixels(item.width, dpi_), y + TwipsToPixels(height, dpi_)};
}

void MainWindow::ApplyDpi(int dpi) {
    // The old fonts stay alive until every control has been given a new one.
    UniqueGdi oldBold = std::move(boldFont_), oldList = std::move(listFont_), oldNormal = std::move(normalFont_);
    dpi_ = dpi;
    CreateFonts();
    for (const ControlSpec& item : Layout()) {
        HWND target = control(item.id);
        if (!target) continue;
        const RECT rc = RectFor(item);
        SetWindowPos(target, nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        if (item.kind != Kind::Panel) SendMessageA(target, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(item)), TRUE);
    }
    InvalidateRect(hwnd(), nullptr, TRUE);
}

void MainWindow::OnDpiChanged(int dpi, const RECT& suggested) {
    ApplyDpi(dpi);
    SetWindowPos(hwnd(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND MainWindow::CreateControl(const ControlSpec& item, HWND parent) {
    const char* cls = "STATIC";
    // Controls overlap (the core buttons sit on their strip): each one clips
    // the siblings above it so that the lower one never paints over them.
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    DWORD ex = 0;
    switch (item.kind) {
    case Kind::FrameBox:
        cls = "BUTTON";
        style |= BS_GROUPBOX | WS_CLIPSIBLINGS;
        break;
    case Kind::ListBox:
        cls = "LISTBOX";
        style |= WS_TABSTOP | WS_GROUP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
        ex = WS_EX_CLIENTEDGE;
        break;
    case Kind::DirList:
    case Kind::FileList:
        cls = "LISTBOX";
        style |= WS_TABSTOP | WS_GROUP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
        ex = WS_EX_CLIENTEDGE;
        break;
    case Kind::DriveList:
        cls = "COMBOBOX";
        style |= WS_TABSTOP | WS_GROUP | WS_VSCROLL | CBS_DROPDOWNLIST;
        break;
    case Kind::Button:
        cls = "BUTTON";
        style |= WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON;
        break;
    case Kind::Option:
        cls = "BUTTON";
        style |= WS_TABSTOP | BS_AUTORADIOBUTTON | (item.tabIndex == 0 ? WS_GROUP : 0);
        break;
    case Kind::Edit:
        cls = "EDIT";
        style |= WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL | (item.id == kText5 ? ES_READONLY : 0);
        ex = WS_EX_CLIENTEDGE | (item.id == kText1 ? WS_EX_ACCEPTFILES : 0);
        break;
    case Kind::Label:
        // A caption that is a pixel too wide at some scale must lose that
        // pixel, not wrap its second word out of sight.
        style |= SS_NOTIFY | (item.id == kLabel1_0 ? SS_CENTER | WS_BORDER : SS_LEFTNOWORDWRAP) |
                 (item.id == kLabel2 ? WS_BORDER : 0);
        break;
    case Kind::Picture:
        style |= SS_OWNERDRAW;
        break;
    case Kind::Shape:
        style |= SS_GRAYFRAME;
        break;
    case Kind::Panel:
        return nullptr;
    }
    const RECT rc = RectFor(item);
    HWND hwnd = CreateWindowExA(ex, cls, item.caption, style, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                                parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(item.id)), instance_, nullptr);
    if (!hwnd) return nullptr;
    SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(item)), FALSE);
    return hwnd;
}

void MainWindow::AddTooltip(HWND target, const char* text) {
    if (!tooltip_ || !target) return;
    TTTOOLINFOA ti{};
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = GetParent(target);
    ti.uId = reinterpret_cast<UINT_PTR>(target);
    ti.lpszText = const_cast<char*>(text);
    SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
}

HWND MainWindow::control(int id) const {
    if (!hwnd_) return nullptr;
    const ControlSpec* item = FindSpec(id);
    if (!item) return nullptr;
    const auto panel = [this](int frame) -> HWND {
        const int i = frame - kFrame1;
        return i >= 0 && i < 3 ? panels_[i].hwnd() : nullptr;
    };
    if (item->kind == Kind::Panel) return panel(id);
    HWND parent = item->parent ? panel(item->parent) : hwnd();
    return parent ? GetDlgItem(parent, id) : nullptr;
}

int MainWindow::WindowState() const {
    if (!hwnd_) return 0;
    if (IsIconic(hwnd())) return 1;
    if (IsZoomed(hwnd())) return 2;
    return 0;
}

bool MainWindow::DoEvents() {
    if (closed_) return false;
    PumpEvents(hwnd());
    return !closed_;
}

int MainWindow::RunMessageLoop(HWND dialog) {
    MSG msg;
    BOOL got;
    while ((got = GetMessageA(&msg, nullptr, 0, 0)) != 0) {
        if (got == -1) return 1;
        if (dialog && IsWindow(dialog) && IsDialogMessageA(dialog, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

// ---------------------------------------------------------------- start-up

MainWindow::StartResult MainWindow::Load() {
    const std::string marked = GetText(hwnd()) + kInstanceMark;
    {
        UniqueHandle lock(CreateMutexA(nullptr, FALSE, kStartupMutex));
        if (lock) WaitForSingleObject(lock.get(), 10000);
        HWND other = FindWindowA(kClassName, marked.c_str());
        if (other && other != hwnd()) {
            if (lock) ReleaseMutex(lock.get());
            ShowWindow(other, SW_RESTORE);
            SetForegroundWindow(other);
            return StartResult::OtherInstance;
        }
        SetWindowTextA(hwnd(), marked.c_str());
        if (lock) ReleaseMutex(lock.get());
    }
    running_ = true;

    ClearFieldsAndLists();
    PlacePanels();
    store_.Load(ReadFavoritesFile());
    FillList1();
    AddTrayIcon();
    CentreOnScreen();
    ShowWindow(hwnd(), SW_SHOWNORMAL);
    UpdateWindow(hwnd());
    // The editor and browse panels are hidden until asked for; their
    // controls are made once the window is on screen, before anything that
    // could show or fill them runs. Without them (the system is out of
    // window resources) the program closes in order instead of running with
    // half a window.
    if (!CreateHiddenControls() && hwnd_) PostMessageA(hwnd(), WM_CLOSE, 0, 0);
    if (!DoEvents()) return StartResult::Running;
    if (!store_.empty()) SelectIndex(0);
    return StartResult::Running;
}

void MainWindow::ClearFieldsAndLists() {
    store_.Clear();
    SendMessageA(control(kList1), LB_RESETCONTENT, 0, 0);
    for (int id : {kText1, kText2, kText3, kText4}) SetField(id, "");
}

void MainWindow::PlacePanels() {
    panelsPlaced_ = true;
    for (int id : {kFrame2, kFrame3}) {
        const RECT rc = RectFor(*FindSpec(id));
        SetWindowPos(control(id), nullptr, rc.left, rc.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void MainWindow::FillList1() {
    HWND list = control(kList1);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    std::size_t bytes = 0;
    for (const Favorite& f : store_.items()) bytes += f.display.size() + 1;
    SendMessageA(list, LB_INITSTORAGE, store_.size(), bytes);
    for (const Favorite& f : store_.items())
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(f.display.c_str()));
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

void MainWindow::CentreOnScreen() {
    RECT rc;
    GetWindowRect(hwnd(), &rc);
    const float width = static_cast<float>(rc.right - rc.left);
    const float height = static_cast<float>(rc.bottom - rc.top);
    const float left = (static_cast<float>(GetSystemMetrics(SM_CXSCREEN)) - width) / 2.0f;
    const float top = (static_cast<float>(GetSystemMetrics(SM_CYSCREEN)) - height) / 2.0f;
    SetWindowPos(hwnd(), nullptr, static_cast<int>(left), static_cast<int>(top), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---------------------------------------------------------------- shutdown

void MainWindow::Shutdown() {
    if (shutDown_ || !running_) return;
    shutDown_ = true;
    RemoveTrayIcon();
    WriteFavoritesFile(store_.items());
}

void MainWindow::OnClose() {
    Shutdown();
    closed_ = true;
    if (hwnd_) DestroyWindow(hwnd());
}

void MainWindow::OnEndSession(bool ending) {
    // The session ends without closing the window: this is the last chance
    // to keep what was added or removed during it.
    if (ending) Shutdown();
}

// ---------------------------------------------------------------- routing

LRESULT CALLBACK MainWindow::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
        self->hwnd_.reset(hwnd);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcA(hwnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        self->closed_ = true;
        self->hwnd_.release();
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
    return self->Handle(msg, wp, lp);
}

LRESULT MainWindow::Handle(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
        return OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp));
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
        return OnControlColor(msg, reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp));
    case WM_ERASEBKGND: {
        RECT rc;
        GetClientRect(hwnd(), &rc);
        FillRect(reinterpret_cast<HDC>(wp), &rc, backgroundBrush());
        return 1;
    }
    case WM_MOUSEMOVE:
        OnTrayCallback(lp);
        return 0;
    case WM_SIZE:
        OnSize(wp);
        return 0;
    case WM_DPICHANGED:
        OnDpiChanged(HIWORD(wp), *reinterpret_cast<const RECT*>(lp));
        return 0;
    case WM_CLOSE:
        OnClose();
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        OnEndSession(wp != 0);
        return 0;
    case WM_DESTROY:
        closed_ = true;
        if (running_ && quitOnClose_) PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(hwnd(), msg, wp, lp);
    }
}

LRESULT MainWindow::OnCommand(int id, int code, HWND) {
    switch (id) {
    case kList1:
        if (code == LBN_SELCHANGE) OnFavoriteSelected();
        else if (code == LBN_DBLCLK && DoEvents()) OnLaunch();
        break;
    case kCommand3: if (code == BN_CLICKED) OnLaunch(); break;
    case kCommand5: if (code == BN_CLICKED) OnAdd(); break;
    case kCommand2: if (code == BN_CLICKED) OnRemove(); break;
    case kCommand1: if (code == BN_CLICKED) OnSave(); break;
    case kCommand4: if (code == BN_CLICKED) OnClear(); break;
    case kCommand6: if (code == BN_CLICKED) OnCancel(); break;
    case kText1: if (code == EN_CHANGE) OnTargetChanged(); break;
    case kLabel1_0: if (code == STN_CLICKED) OnOpenBrowser(); break;
    case kDrive1: if (code == CBN_SELCHANGE) OnDriveChange(); break;
    case kDir1: if (code == LBN_DBLCLK) OnFolderOpen(); break;
    case kCommand9: if (code == BN_CLICKED) OnBrowserRefresh(); break;
    case kCommand8: if (code == BN_CLICKED) OnBrowserOk(); break;
    case kCommand7: if (code == BN_CLICKED) OnBrowserCancel(); break;
    case kMnuExit: PostMessageA(hwnd(), WM_CLOSE, 0, 0); break;
    case IDOK:
        // Enter in the folder list opens the folder, as a double click does.
        if (GetFocus() == control(kDir1)) OnFolderOpen();
        break;
    default: break;
    }
    return 0;
}

LRESULT MainWindow::OnControlColor(UINT msg, HDC dc, HWND target) {
    const int id = GetDlgCtrlID(target);
    if (IsFrameBox(id) || IsCaptionLabel(id)) {
        SetTextColor(dc, kWhite);
        SetBkColor(dc, kGrey);
        SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<LRESULT>(greyBrush_.get());
    }
    if (IsOption(id)) {
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, kWhite);
        return reinterpret_cast<LRESULT>(whiteBrush_.get());
    }
    if (id == kLabel2) {
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    }
    if (msg == WM_CTLCOLORSTATIC && id != kText5) {
        SetBkColor(dc, kGrey);
        return reinterpret_cast<LRESULT>(greyBrush_.get());
    }
    return DefWindowProcA(GetParent(target), msg, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(target));
}

LRESULT MainWindow::OnDrawItem(const DRAWITEMSTRUCT& item) {
    if (item.CtlID != static_cast<UINT>(kPicture1)) return FALSE;
    FillRect(item.hDC, &item.rcItem, backgroundBrush());
    if (HICON icon = previewIcon())
        DrawIconEx(item.hDC, item.rcItem.left, item.rcItem.top, icon, 0, 0, 0, nullptr, DI_NORMAL | DI_DEFAULTSIZE);
    return TRUE;
}

int MainWindow::CurrentIndex() const {
    return static_cast<int>(SendMessageA(control(kList1), LB_GETCURSEL, 0, 0));
}

void MainWindow::EnableLaunch(bool enable) { EnableWindow(control(kCommand3), enable ? TRUE : FALSE); }

}  // namespace corvane
