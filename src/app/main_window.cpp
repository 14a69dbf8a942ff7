#include "app/main_window.hpp"

#include <cstdint>

#include "app/launch_request.hpp"
#include "platform/texts.hpp"
#include "platform/win.hpp"

namespace corvane {

namespace {

constexpr DWORD kMainStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kMainExStyle = WS_EX_CONTROLPARENT;
// More than the favorites list shows at once at any scale.
constexpr std::size_t kFirstScreen = 64;
// Start-up searches and marks the caption under this lock, so two instances
// started at the same moment cannot both miss each other.
constexpr const char* kStartupMutex = "Local\\Corvane.Startup";

}  // namespace

MainWindow::~MainWindow() {
    // Whatever closed us, the icon must not outlive the window it points to.
    trayIcon_.Remove();
    if (hwnd()) DestroyWindow(hwnd());
}

void MainWindow::LoadIcons(HINSTANCE instance) {
    auto load = [instance](int size) {
        return static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(1), IMAGE_ICON, size, size, 0));
    };
    bigIcon_.reset(load(GetSystemMetrics(SM_CXICON)));
    smallIcon_.reset(load(GetSystemMetrics(SM_CXSMICON)));
    // A build without the icon resource (the test programs) still needs
    // handles it owns, never the shared system icon.
    if (!bigIcon_) bigIcon_.reset(CopyIcon(LoadIcon(nullptr, IDI_APPLICATION)));
    if (!smallIcon_) smallIcon_.reset(CopyIcon(bigIcon_.get()));
}

bool MainWindow::Create(HINSTANCE instance) {
    if (!RegisterWindowClass(instance, kClassName, Theme::Background()) || !Panel::Register(instance)) return false;
    if (!theme_.Create(DpiFor(nullptr))) return false;
    LoadIcons(instance);
    taskbarCreated_ = RegisterWindowMessageA("TaskbarCreated");

    RECT rc{0, 0, TwipsToPixels(kClientWidth, theme_.dpi()), TwipsToPixels(kClientHeight, theme_.dpi())};
    AdjustWindowRectEx(&rc, kMainStyle, FALSE, kMainExStyle);
    OffsetRect(&rc, -rc.left, -rc.top);
    if (!CreateAttached(kMainExStyle, kClassName, kCaption, kMainStyle, rc, nullptr, 0, instance)) return false;
    SendMessageA(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
    SendMessageA(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
    return CreatePanels();
}

bool MainWindow::CreatePanels() {
    for (Panel* panel : Panels()) {
        if (!panel->Create(hwnd(), theme_.RectFor(*FindSpec(panel->id())))) return false;
    }
    if (!favorites_.CreateControls()) return false;
    favorites_.EnableLaunch(false);
    browse_.RememberStartFolder();
    return true;
}

bool MainWindow::CreateHiddenControls() {
    if (!editor_.CreateControls() || !browse_.CreateControls()) return false;
    tooltips_.Create(hwnd(), Panels());
    return true;
}

int MainWindow::RunMessageLoop(HWND dialog) {
    MSG msg;
    BOOL got;
    while ((got = GetMessageA(&msg, nullptr, 0, 0)) != 0) {
        if (got == -1) return 1;
        DispatchEvent(msg, dialog);
    }
    return static_cast<int>(msg.wParam);
}

void MainWindow::OnEnter() {
    // The dialog keys turn Enter on any control into IDOK for this window;
    // the panel that holds the focus decides what it means.
    HWND focus = GetFocus();
    for (Panel* panel : Panels())
        if (focus && IsChild(panel->hwnd(), focus)) panel->OnEnter();
}

// ---------------------------------------------------------------- start-up

bool MainWindow::ClaimSingleInstance() {
    const std::string marked = GetText(hwnd()) + kRunningMark;
    UniqueHandle lock(CreateMutexA(nullptr, FALSE, kStartupMutex));
    if (lock) WaitForSingleObject(lock.get(), 10000);
    HWND other = FindWindowA(kClassName, marked.c_str());
    const bool alone = !other || other == hwnd();
    if (alone) {
        SetWindowTextA(hwnd(), marked.c_str());
    } else if (!HandOverLaunchRequest(other)) {
        ShowWindow(other, SW_RESTORE);
        SetForegroundWindow(other);
    }
    if (lock) ReleaseMutex(lock.get());
    return alone;
}

MainWindow::StartResult MainWindow::Start() {
    if (!ClaimSingleInstance()) return StartResult::OtherInstance;
    state_ = State::Running;

    store_.Clear();
    favorites_.ClearList();
    (void)editor_.Clear();  // its controls come later: nothing to clear, no event to let in
    PlacePanels();
    // A long list shows its first screen before the rest is read. The rest
    // is read before the first call that can let an event in, so that a
    // close or a log-off arriving there saves the whole list; listing it can
    // wait.
    file_.Open();
    std::vector<Favorite> first = file_.Next(kFirstScreen);
    favorites_.ListMore(first, file_.EstimatedCount());
    CentreOnScreen();
    ShowWindow(hwnd(), SW_SHOWNORMAL);
    UpdateWindow(hwnd());
    store_.Load(file_.ReadToEnd(std::move(first)));
    // Adding the icon waits for the shell, which may send us anything
    // meanwhile, a close included.
    trayIcon_.Add(hwnd(), smallIcon_.get());
    if (!hwnd()) return StartResult::Running;
    favorites_.ListMore(store_.items());
    // The editor and browse panels are hidden until asked for; their
    // controls are made once the window is on screen, before anything that
    // could show or fill them runs. Without them (the system is out of
    // window resources) the program closes in order instead of running with
    // half a window.
    if (!CreateHiddenControls()) PostMessageA(hwnd(), WM_CLOSE, 0, 0);
    if (!DoEvents()) return StartResult::Running;
    if (favorites_.Select(0) == FavoritesPanel::Selection::WindowGone) return StartResult::Running;
    if (file_.unreadable()) InfoBox(hwnd(), text::kUnreadable);
    if (const std::size_t unlisted = favorites_.Unlisted(); unlisted > 0 && hwnd())
        InfoBox(hwnd(), text::NotListed(unlisted).c_str());
    if (launchRequest_ && hwnd()) LaunchByDisplay(*launchRequest_);
    return StartResult::Running;
}

bool MainWindow::HandOverLaunchRequest(HWND other) {
    if (!launchRequest_) return false;
    // A box the running instance shows about the request (an unknown
    // favorite) may then come to the front instead of hiding behind others.
    DWORD otherProcess = 0;
    if (GetWindowThreadProcessId(other, &otherProcess)) AllowSetForegroundWindow(otherProcess);
    const COPYDATASTRUCT data{kLaunchRequestTag, static_cast<DWORD>(launchRequest_->size()),
                              const_cast<char*>(launchRequest_->data())};
    DWORD_PTR answer = FALSE;
    // A hung instance must not hang this one too.
    const LRESULT answered = SendMessageTimeoutA(other, WM_COPYDATA, reinterpret_cast<WPARAM>(hwnd()),
                                                 reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, 5000, &answer);
    if (answered == 0 || answer != TRUE) state_ = State::RequestNotTaken;
    return true;
}

void MainWindow::PlacePanels() {
    for (Panel* panel : {static_cast<Panel*>(&editor_), static_cast<Panel*>(&browse_)}) {
        const RECT rc = theme_.PixelRect(kPanelLeft, kPanelTop, 0, 0);
        SetWindowPos(panel->hwnd(), nullptr, rc.left, rc.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
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

void MainWindow::Shutdown(FinalSave::Asking asking) {
    // Not only once: a log-off while the close asks about a refused save
    // must still reach the save, which settles it at once.
    if (!started()) return;
    state_ = State::ShutDown;
    trayIcon_.Remove();
    // Saves once, however many ends arrive (see FinalSave).
    finalSave_.Run(asking, hwnd());
}

void MainWindow::OnClose() {
    Shutdown(FinalSave::Asking::User);
    // A close that arrives while the save asks the user leaves the window to
    // the close that asks.
    if (hwnd() && !finalSave_.asking()) DestroyWindow(hwnd());
}

// ---------------------------------------------------------------- routing

LRESULT MainWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK) OnEnter();
        return 0;
    case kTrayCallback:
        OnTrayMessage(wp, lp);
        return 0;
    case WM_SIZE:
        if (wp == SIZE_MINIMIZED) ShowWindow(hwnd(), SW_HIDE);
        return 0;
    case WM_DPICHANGED:
        OnDpiChanged(HIWORD(wp), *reinterpret_cast<const RECT*>(lp));
        return 0;
    case WM_COPYDATA:
        return OnCopyData(*reinterpret_cast<const COPYDATASTRUCT*>(lp));
    case kRunPendingLaunch:
        RunPendingLaunches();
        return 0;
    case WM_ENABLE:
        // A message box of ours has closed: what waited for it may run.
        if (wp) RunPendingLaunchesLater();
        return 0;
    case WM_CLOSE:
        OnClose();
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        // The session ends without closing the window: the last chance to
        // keep what was added or removed during it.
        if (wp) Shutdown(FinalSave::Asking::Nobody);
        return 0;
    case WM_DESTROY:
        if (started() && quitOnClose_) PostQuitMessage(0);
        return 0;
    default:
        if (msg == taskbarCreated_ && taskbarCreated_ != 0) trayIcon_.AddAgain();
        return Default(msg, wp, lp);
    }
}

void MainWindow::OnTrayMessage(WPARAM wp, LPARAM lp) {
    switch (trayIcon_.ActionFor(hwnd(), wp, lp)) {
    case TrayIcon::Action::Restore:
        Restore();
        break;
    case TrayIcon::Action::ShowMenu:
        OnTrayMenu(trayIcon_.ShowMenu(hwnd(), store_.items()));
        break;
    case TrayIcon::Action::None:
        break;
    }
}

void MainWindow::Restore() {
    ShowWindow(hwnd(), SW_RESTORE);
    ShowWindow(hwnd(), SW_SHOW);
    (void)DoEvents();  // nothing follows
}

void MainWindow::OnTrayMenu(const TrayIcon::Choice& choice) {
    // The menu let events in: the window may have closed while it was open.
    if (!hwnd()) return;
    switch (choice.kind) {
    case TrayIcon::Choice::Kind::Exit:
        PostMessageA(hwnd(), WM_CLOSE, 0, 0);
        break;
    case TrayIcon::Choice::Kind::More:
        Restore();
        break;
    case TrayIcon::Choice::Kind::Favorite:
        // As a shortcut's request: the stored favorite, the window left as it is.
        LaunchByDisplay(choice.display);
        break;
    case TrayIcon::Choice::Kind::None:
        break;
    }
}

void MainWindow::OnDpiChanged(int dpi, const RECT& suggested) {
    // The old fonts stay alive until every control has been given a new one.
    const Theme::Fonts old = theme_.ChangeDpi(dpi);
    for (Panel* panel : Panels()) {
        const ControlSpec& item = *FindSpec(panel->id());
        // Start-up places the editor and browse panels over the favorites
        // panel once the window is Corvane's.
        const RECT rc = panel->id() == kFavoritesPanel || !started()
                            ? theme_.RectFor(item)
                            : theme_.PixelRect(kPanelLeft, kPanelTop, item.width, item.height);
        SetWindowPos(panel->hwnd(), nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        panel->Relayout();
    }
    SetWindowPos(hwnd(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(hwnd(), nullptr, TRUE);
}

}  // namespace corvane
