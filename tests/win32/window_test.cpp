// The real window inside this test program: where its controls sit at the session's scale, what start-up reads
// and shutdown writes, and the editor, the browse panel and an unreadable "Favorites" as a user meets them.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/control_hook.hpp"
#include "platform/win.hpp"
#include "support/harness.hpp"

using namespace corvane;
using namespace corvane::test;

namespace {

std::string Trimmed(std::string s) {
    return s.substr(s.find_first_not_of(' '));
}

std::string WithDir(std::string s, const TempDir& dir) {  // "%D": the test's own folder, new on every run
    for (std::size_t at; (at = s.find("%D")) != std::string::npos;)
        s.replace(at, 2, dir.path());
    return s;
}

class WindowTest : public testing::Test {
protected:
    App& Start(std::optional<std::string> favorites = std::nullopt) {
        if (favorites) {
            EXPECT_TRUE(WriteBytes(dir.Join("Favorites"), WithDir(*favorites, dir)));
        }
        app.emplace();
        EXPECT_TRUE(app->Start());
        return *app;
    }
    std::string Fields() const {  // title|target|start in|parameters
        return app->Text(kTitleEdit) + "|" + app->Text(kTargetEdit) + "|" + app->Text(kStartInEdit) + "|" +
               app->Text(kParametersEdit);
    }
    std::string Saved(const char* name = "Favorites") {
        EXPECT_TRUE(app->Close());
        return ReadBytes(dir.Join(name)).value_or("<missing>");
    }
    void Type(int id, const std::string& text) { app->SetText(id, WithDir(text, dir)); }

    TempDir dir;
    std::optional<App> app;
};

const std::string kChess = Record("Chess on CPU 1", "1__%D\\game.exe", "%D", "-w");
const std::string kGo = Record("Go on Default", "2__c:\\go\\go.exe", "c:\\go", "None");

struct Placed {
    int id;
    const char* cls;
    const char* caption;
    int left, top, width, height;
};

TEST_F(WindowTest, LayoutMatchesTheDesignAtTheSessionScale) {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    // Set by the ctest entry that changed the session's scale.
    if (const char* expected = std::getenv("CORVANE_DPI")) {
        ASSERT_EQ(dpi, std::atoi(expected)) << "LogPixels not applied";
    }
    Start();
    const auto px = [dpi](int twips) { return MulDiv(twips, dpi, 1440); };
    const auto expectAt = [&](HWND w, const RECT& rc, int l, int t, int width, int height) {
        const int got[] = {rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top}, want[] = {l, t, width, height};
        for (int i = 0; i < 4; ++i)
            EXPECT_NEAR(got[i], px(want[i]), 1) << "id " << GetDlgCtrlID(w) << ", value " << i;
    };
    RECT client, window;
    GetClientRect(app->hwnd(), &client);
    expectAt(app->hwnd(), client, 0, 0, 6015, 3615);
    // Start-up parks the editor and browse panels at the design's 60,30.
    const Placed controls[] = {
        {kFavoritesPanel, "CorvanePanel", "Favorites", 75, 30, 5880, 3495},
        {kEditorPanel, "CorvanePanel", "Add New Favorite", 60, 30, 5880, 3495},
        {kBrowsePanel, "CorvanePanel", "Select Exe", 60, 30, 5880, 3495},
        {kLaunchButton, "Button", "Launch", 180, 3030, 1100, 375},
        {kAddButton, "Button", "Add", 2407, 3030, 1100, 375},
        {kRemoveButton, "Button", "Remove", 4635, 3030, 1100, 375},
        {kFavoritesList, "ListBox", "", 90, 210, 5685, 2730},
        {kCpu0Option, "Button", "CPU 0", 1020, 555, 780, 195},
        {kCpu1Option, "Button", "CPU 1", 2430, 570, 780, 195},
        {kDefaultOption, "Button", "Default", 3840, 570, 825, 195},
        {kTitleEdit, "Edit", "", 900, 888, 4410, 285},
        {kTargetEdit, "Edit", "", 900, 1266, 4410, 285},
        {kParametersEdit, "Edit", "", 900, 1644, 4410, 285},
        {kStartInEdit, "Edit", "", 900, 2025, 4410, 285},
        {kTargetLabel, "Static", "Target", 240, 1275, 615, 255},
        {kClearButton, "Button", "Clear", 180, 3030, 1100, 375},
        {kCancelButton, "Button", "Cancel", 2407, 3030, 1100, 375},
        {kSaveButton, "Button", "Save", 4635, 3030, 1100, 375},
        {kRefreshButton, "Button", "Refresh", 180, 3030, 1100, 375},
        {kBrowseCancelButton, "Button", "Cancel", 2407, 3030, 1100, 375},
        {kOkButton, "Button", "OK", 4635, 3030, 1100, 375},
        {kFolderList, "ListBox", "", 105, 607, 5655, 1440},
        {kFileList, "ListBox", "", 105, 2115, 5655, 810},
    };
    for (const Placed& c : controls) {
        HWND w = app->control(c.id);
        EXPECT_TRUE(EqualsIgnoringAsciiCase(ClassOf(w), c.cls)) << "id " << c.id << " is a " << ClassOf(w);
        EXPECT_EQ(TextOf(w), c.caption) << "id " << c.id;
        RECT rc;  // in the parent's client area
        GetWindowRect(w, &rc);
        MapWindowPoints(nullptr, GetParent(w), reinterpret_cast<POINT*>(&rc), 2);
        expectAt(w, rc, c.left, c.top, c.width, c.height);
    }

    EXPECT_EQ(TextOf(app->hwnd()), "Corvane!");
    GetWindowRect(app->hwnd(), &window);
    EXPECT_NEAR(window.left, (GetSystemMetrics(SM_CXSCREEN) - (window.right - window.left)) / 2, 1);
    EXPECT_NEAR(window.top, (GetSystemMetrics(SM_CYSCREEN) - (window.bottom - window.top)) / 2, 1);
}

TEST_F(WindowTest, LayoutTabOrderTooltipsAndColours) {
    Start();
    app->Click(kAddButton);
    const int order[] = {kTitleEdit,   kTargetEdit,   kStartInEdit,   kSaveButton,
                         kClearButton, kCancelButton, kParametersEdit};
    for (std::size_t i = 1; i < std::size(order); ++i)
        EXPECT_EQ(GetDlgCtrlID(GetNextDlgTabItem(app->control(kEditorPanel), app->control(order[i - 1]), FALSE)),
                  order[i])
            << "after " << order[i - 1];

    const struct {
        int id;
        const char* tip;
        bool hover;  // the pointer is moved onto the control and rests there until its tip shows
    } tips[] = {
        {kTargetEdit, "Drag and Drop .EXE file here instead of typing", true},
        {kTargetLabel, "Click to Browse for EXE", false},
        {kLaunchButton, "Run selected Favorite and set it's Affinty", false},
        {kParametersEdit, "A.K.A. File Parameters", false},
    };
    HWND tooltip = nullptr;  // the window's tooltip control
    while ((tooltip = FindWindowExA(nullptr, tooltip, TOOLTIPS_CLASSA, nullptr)) &&
           GetWindow(tooltip, GW_OWNER) != app->hwnd()) {}
    for (const auto& t : tips) {
        char text[256] = "";
        TTTOOLINFOA ti{.cbSize = TTTOOLINFOA_V2_SIZE, .hwnd = GetParent(app->control(t.id))};
        ti.uId = UINT_PTR(app->control(t.id));
        ti.lpszText = text;
        SendMessageA(tooltip, TTM_GETTEXTA, sizeof text, LPARAM(&ti));
        EXPECT_STREQ(text, t.tip) << "id " << t.id;
        if (!t.hover) continue;
        RECT rc;
        GetWindowRect(app->control(t.id), &rc);
        INPUT move{};
        move.type = INPUT_MOUSE;
        move.mi.dx = MulDiv((rc.left + rc.right) / 2, 65536, GetSystemMetrics(SM_CXSCREEN));
        move.mi.dy = MulDiv((rc.top + rc.bottom) / 2, 65536, GetSystemMetrics(SM_CYSCREEN));
        move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        EXPECT_EQ(SendInput(1, &move, sizeof move), 1u);
        EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(tooltip) && TextOf(tooltip) == t.tip; }))
            << "id " << t.id << " shows '" << TextOf(tooltip) << "'";
    }

    const COLORREF white = RGB(255, 255, 255), grey = RGB(192, 192, 192), untouched = RGB(1, 2, 3);
    const struct {
        int id;
        COLORREF text, back;
        bool greyBrush;  // the panels' own grey behind it
    } colours[] = {
        {kTargetLabel, white, grey, true},
        {kEditorBox, white, grey, true},
        {kCpu0Option, RGB(0, 0, 0), white, false},
        {kCoreStrip, GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_WINDOW), false},
        {kFieldsFrame, untouched, grey, true},
        {kRunEdit, GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_3DFACE), false},
    };
    HDC dc = CreateCompatibleDC(nullptr);
    for (const auto& c : colours) {
        SetTextColor(dc, untouched);
        HWND w = app->control(c.id);
        const LRESULT brush = SendMessageA(GetParent(w), WM_CTLCOLORSTATIC, WPARAM(dc), LPARAM(w));
        EXPECT_EQ(GetTextColor(dc), c.text) << "id " << c.id;
        EXPECT_EQ(GetBkColor(dc), c.back) << "id " << c.id;
        EXPECT_EQ(brush == LRESULT(GetStockObject(LTGRAY_BRUSH)), c.greyBrush) << "id " << c.id;
    }
    DeleteDC(dc);
}

TEST_F(WindowTest, StartUpShowsWhatTheFileHolds) {
    std::string longFile;  // longer than what start-up lists before the window shows
    std::vector<std::string> longList;
    for (int i = 0; i < 300; ++i)
        longFile +=
            Record(longList.emplace_back("Game " + std::to_string(i) + " on CPU 0"), "0__c:\\g.exe", "c:\\", "None");
    const struct {
        const char* name;
        std::optional<std::string> file;
        std::vector<std::string> list;
        int selected, option;
        const char* fields;
        bool launch, preview;
        std::string atClose;
    } rows[] = {
        {"no file", std::nullopt, {}, -1, kCpu0Option, "|||", false, false, ""},
        {"two records",
         kChess + kGo,
         {"Chess on CPU 1", "Go on Default"},
         0,
         kCpu1Option,
         "Chess|%D\\game.exe|%D|-w",
         true,
         true,
         kChess + kGo},
        {"cut short",
         kGo + "Chess on CPU 0\r0__c:\\chess.exe",
         {"Go on Default", "Chess on CPU 0"},
         0,
         kDefaultOption,
         "Go|c:\\go\\go.exe|c:\\go|None",
         true,
         false,
         kGo + "Chess on CPU 0\r0__c:\\chess.exe"},
        {"a long list", longFile, longList, 0, kCpu0Option, "Game 0|c:\\g.exe|c:\\|None", true, false, longFile},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.file)
            CopyFileA(ThisExePath().c_str(), dir.Join("game.exe").c_str(), FALSE);
        else
            DeleteFileA(dir.Join("Favorites").c_str());
        Start(row.file);
        EXPECT_EQ(app->Favorites(), row.list);
        EXPECT_EQ(app->Selected(), row.selected);
        EXPECT_EQ(Fields(), WithDir(row.fields, dir));
        EXPECT_TRUE(app->Checked(row.option));
        EXPECT_EQ(IsWindowEnabled(app->control(kLaunchButton)) != FALSE, row.launch);
        EXPECT_EQ(app->win().favoritesPanel().previewIcon() != nullptr, row.preview);
        EXPECT_TRUE(app->win().trayIcon().added() && app->boxes().seen().empty());
        EXPECT_EQ(Saved(), WithDir(row.atClose, dir));
        EXPECT_FALSE(app->win().trayIcon().added());
    }
}

TEST_F(WindowTest, EditorSavesCleanedFieldsAsANewFavoriteOrRefusesThem) {
    const std::string old = Record("Old on CPU 0", "0__c:\\old.exe", "c:\\", "None");
    const struct {
        const char* title;
        const char* target;
        const char* startIn;
        const char* params;
        int option;
        const char* display;
        std::string record;
        const char* box;
    } rows[] = {
        {"Chess", "C:\\Games\\Chess\\Chess.EXE", nullptr, "", kCpu1Option, "Chess on CPU 1",
         Record("Chess on CPU 1", "1__c:\\games\\chess\\chess.exe", "c:\\games\\chess", "None"), nullptr},
        {"  a\r\nb ", "c:\\x\r\n\\game.exe", "C:\\X\r\n", "-x\r\n-y", kDefaultOption, "ab on Default",
         Record("ab on Default", "2__c:\\x\\game.exe", "c:\\x", "-x-y"), nullptr},
        {"Chess", "c:\\a.exe", "", "", kCpu0Option, nullptr, "", "Please fill in the required data!"},
        {"Old", "c:\\games\\old.exe", "c:\\games", "", kCpu0Option, nullptr, "",
         "Favorite already exsists, Please Rename Title!"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.target);
        Start(old);
        app->Click(kAddButton);
        ASSERT_TRUE(app->Visible(kEditorPanel));
        app->Click(kClearButton);
        Type(kTitleEdit, row.title);
        Type(kTargetEdit, row.target);
        if (row.startIn) Type(kStartInEdit, row.startIn);
        Type(kParametersEdit, row.params);
        app->Click(row.option);
        app->Click(kSaveButton);
        ASSERT_EQ(app->boxes().seen().size(), row.box ? 1u : 0u);
        if (row.box) {  // information, OK only
            EXPECT_EQ(app->boxes().seen()[0].text, row.box);
            EXPECT_EQ(app->boxes().seen()[0].style, static_cast<UINT>(MB_ICONINFORMATION | MB_OK));
        }
        std::vector<std::string> list{"Old on CPU 0"};
        if (row.display) list.push_back(row.display);
        EXPECT_EQ(app->Favorites(), list);
        EXPECT_TRUE(!row.display ||
                    (app->Selected() == 1 && app->Visible(kFavoritesPanel) && !app->Visible(kEditorPanel)));
        EXPECT_EQ(Saved(), old + row.record);
    }
}

// The favorites panel and the editor's Cancel; the end of the session writes the file.
TEST_F(WindowTest, SelectCancelAndRemove) {
    const std::string xy = "x\ny\n";  // a lone LF ends no line
    const std::string goFields = "Go|c:\\go\\go.exe|c:\\go|None";
    const struct {
        const char* name;
        int select;  // -1: none
        std::vector<int> clicks;
        std::vector<std::string> list;
        int selected;
        std::string fields, atEnd;
    } rows[] = {
        {"select the second", 1, {}, {"Chess on CPU 1", "Go on Default", xy}, 1, goFields, kChess + kGo + xy},
        {"cancel",
         -1,
         {kAddButton, kCancelButton},
         {"Chess on CPU 1", "Go on Default", xy},
         -1,
         "|||",
         kChess + kGo + xy},
        {"remove the second", 1, {kRemoveButton}, {"Chess on CPU 1", xy}, -1, "|||", kChess + xy + "\r\n\r\n\r\n\r\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Start(kChess + kGo + xy);
        ASSERT_EQ(app->Selected(), 0);
        if (row.select >= 0) app->Select(row.select);
        for (int id : row.clicks)
            app->Click(id);
        EXPECT_EQ(app->Favorites(), row.list);
        EXPECT_EQ(app->Selected(), row.selected);
        EXPECT_EQ(Fields(), row.fields);
        EXPECT_TRUE(app->Visible(kFavoritesPanel));
        EXPECT_EQ(IsWindowEnabled(app->control(kLaunchButton)) != FALSE, row.selected >= 0);
        SendMessageA(app->hwnd(), WM_ENDSESSION, TRUE, 0);
        EXPECT_EQ(ReadBytes(dir.Join("Favorites")), WithDir(row.atEnd, dir));
        ASSERT_TRUE(WriteBytes(dir.Join("Favorites"), "sentinel"));  // the session's end was the last write
        app.reset();
        EXPECT_EQ(ReadBytes(dir.Join("Favorites")), "sentinel");
    }
}

TEST_F(WindowTest, TargetFillsStartInAndEmptyTitleAndTakesDroppedPrograms) {
    const struct {
        const char* title;
        const char* typed;
        const char* dropped;
        const char* fields;
    } rows[] = {
        {"", "c:\\games\\Chess\\run.exe", nullptr, "Chess|c:\\games\\Chess\\run.exe|c:\\games\\Chess|"},
        {"Mine", "c:\\games\\Chess\\run.exe", nullptr, "Mine|c:\\games\\Chess\\run.exe|c:\\games\\Chess|"},
        {"Mine", nullptr, "C:\\x\\Game.EXE", "Mine|C:\\x\\Game.EXE|C:\\x|"},
        {"Mine", nullptr, "C:\\x\\notes.txt", "Mine|||"},
    };
    Start();
    app->Click(kAddButton);
    for (const auto& row : rows) {
        app->Click(kClearButton);
        Type(kTitleEdit, row.title);
        if (row.typed) Type(kTargetEdit, row.typed);
        if (row.dropped) DropFile(app->control(kTargetEdit), row.dropped);
        EXPECT_EQ(Fields(), row.fields);
    }
}

TEST_F(WindowTest, BrowseOpensDrivesAndFoldersAndHandsBackTheChosenProgram) {
    CreateDirectoryA(dir.Join("sub").c_str(), nullptr);
    for (const char* name : {"b.EXE", "a.exe", "readme.txt", "a.exe1", "sub\\inner.exe"})
        WriteBytes(dir.Join(name), "");
    Start();
    app->Click(kAddButton);
    app->Click(kTargetLabel);
    ASSERT_TRUE(app->Visible(kBrowsePanel) && !app->Visible(kEditorPanel));
    HWND folders = app->control(kFolderList);
    const auto current = [&] { return Trimmed(ListItems(folders).at(SendMessageA(folders, LB_GETCURSEL, 0, 0))); };
    const std::string here = dir.path().substr(dir.path().rfind('\\') + 1);
    EXPECT_EQ(current(), here);
    EXPECT_EQ(Trimmed(ListItems(folders).back()), "sub");
    EXPECT_EQ(ListItems(app->control(kFileList)), (std::vector<std::string>{"a.exe", "b.EXE"}));

    // Another drive shows its root; this one again shows the folder it was in.
    HWND drives = app->control(kDriveList);
    const LRESULT count = SendMessageA(drives, CB_GETCOUNT, 0, 0);
    const LRESULT thisDrive = SendMessageA(drives, CB_GETCURSEL, 0, 0);
    ASSERT_GE(count, 2) << "the case needs a second drive";
    for (LRESULT drive : {thisDrive == 0 ? count - 1 : 0, thisDrive}) {
        SendMessageA(drives, CB_SETCURSEL, drive, 0);
        SendMessageA(app->control(kBrowsePanel), WM_COMMAND, MAKEWPARAM(kDriveList, CBN_SELCHANGE), LPARAM(drives));
        char letter[8] = "";
        SendMessageA(drives, CB_GETLBTEXT, drive, LPARAM(letter));
        EXPECT_EQ(current(), drive == thisDrive ? here : std::string(letter) + "\\");
    }

    const struct {
        std::string line;
        bool enter;  // else a double click
        std::vector<std::string> files;
    } rows[] = {
        {"sub", false, {"inner.exe"}},
        {here, true, {"a.exe", "b.EXE"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.line + (row.enter ? " by Enter" : " by double click"));
        const std::vector<std::string> lines = ListItems(folders);
        const auto at = std::find_if(lines.begin(), lines.end(), [&](auto& l) { return Trimmed(l) == row.line; });
        SendMessageA(folders, LB_SETCURSEL, at - lines.begin(), 0);
        SetFocus(folders);
        // Enter reaches the panel only through the dialog keys of the program's own event pump.
        if (row.enter) PostMessageA(folders, WM_KEYDOWN, VK_RETURN, 0);
        if (!row.enter)
            SendMessageA(app->control(kBrowsePanel), WM_COMMAND, MAKEWPARAM(kFolderList, LBN_DBLCLK), LPARAM(folders));
        PumpEvents(app->hwnd());
        EXPECT_EQ(current(), row.line);
        EXPECT_EQ(ListItems(app->control(kFileList)), row.files);
    }

    SendMessageA(app->control(kFileList), LB_SETCURSEL, 1, 0);
    app->Click(kOkButton);
    EXPECT_TRUE(app->Visible(kEditorPanel) && !app->Visible(kBrowsePanel));
    EXPECT_EQ(app->Text(kTargetEdit), Lower(dir.path()) + "\\b.exe");
    EXPECT_EQ(app->Text(kStartInEdit), dir.path());
}

// Refresh keeps the chosen program by its whole name; Cancel goes back to the editor and leaves its target.
TEST_F(WindowTest, BrowseRefreshAndCancel) {
    for (const char* name : {"a.exe", "a.exe.exe"})
        WriteBytes(dir.Join(name), "");
    Start();
    app->Click(kAddButton);
    app->Click(kTargetLabel);
    HWND files = app->control(kFileList);
    ASSERT_EQ(ListItems(files), (std::vector<std::string>{"a.exe", "a.exe.exe"}));
    SendMessageA(files, LB_SETCURSEL, 0, 0);
    app->Click(kRefreshButton);
    EXPECT_EQ(SendMessageA(files, LB_GETCURSEL, 0, 0), 0) << "a.exe is still there";
    ASSERT_TRUE(DeleteFileA(dir.Join("a.exe").c_str()));
    app->Click(kRefreshButton);
    EXPECT_EQ(ListItems(files), std::vector<std::string>{"a.exe.exe"});
    EXPECT_EQ(SendMessageA(files, LB_GETCURSEL, 0, 0), LB_ERR);
    SendMessageA(files, LB_SETCURSEL, 0, 0);
    app->Click(kBrowseCancelButton);
    EXPECT_TRUE(app->Visible(kEditorPanel) && !app->Visible(kBrowsePanel));
    EXPECT_EQ(app->Text(kTargetEdit), "");
}

// Hooks chained on one edit (the target field has two: files dropped, and its tooltip's): whichever goes first,
// before its control, the edit still answers as an edit and the other hook still sees its messages.
TEST(ControlHookTest, AHookGoneBeforeItsControlLeavesTheControlWhole) {
    constexpr UINT kProbe = WM_APP + 77;
    const struct { int hooks, gone; } rows[] = {{1, 0}, {2, 0}, {2, 1}};
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.hooks << " hooks, #" << row.gone << " gone");
        HWND edit =
            CreateWindowExA(0, "EDIT", "ab\r\ncd", ES_MULTILINE, 0, 0, 80, 40, nullptr, nullptr, nullptr, nullptr);
        SendMessageA(edit, EM_SETSEL, 1, 4);
        std::optional<ControlHook> hooks[2];
        int seen[2] = {0, 0};
        for (int i = 0; i < row.hooks; ++i) {
            hooks[i].emplace();
            ASSERT_TRUE(hooks[i]->Attach(edit, [&seen, i](UINT msg, WPARAM, LPARAM) {
                seen[i] += msg == kProbe;
                return std::optional<LRESULT>();
            }));
        }
        hooks[row.gone].reset();
        SendMessageA(edit, kProbe, 0, 0);
        EXPECT_EQ(SendMessageA(edit, EM_GETSEL, 0, 0), MAKELRESULT(1, 4));
        EXPECT_EQ(SendMessageA(edit, EM_GETLINECOUNT, 0, 0), 2);
        for (int i = 0; i < row.hooks; ++i)
            EXPECT_EQ(seen[i], i == row.gone ? 0 : 1) << "hook #" << i;
        DestroyWindow(edit);  // before the hooks still attached
    }
}

constexpr LONGLONG kOverCap = (256LL << 20) + 1;  // sparse on this file system: no disk spent
TEST_F(WindowTest, UnreadableFavoritesAreReportedAndLeftAlone) {
    const std::string path = dir.Join("Favorites");
    const struct {
        const char* name;
        DWORD share;
        LONGLONG size;  // 0: as written
        std::vector<std::string> list;
        bool box;
    } rows[] = {
        {"held with no sharing", 0, 0, {}, true},
        {"held by a writer that shares", FILE_SHARE_READ | FILE_SHARE_WRITE, 0, {"Go on Default"}, false},
        {"readable, over 256 MiB", FILE_SHARE_READ | FILE_SHARE_WRITE, kOverCap, {}, true},
    };
    // An unchanged session leaves it alone: it would not even read it.
    ASSERT_TRUE(WriteBytes(path + ".unsaved", ""));
    std::filesystem::resize_file(path + ".unsaved", kOverCap);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(WriteBytes(path, kGo));
        Held held{
            CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, row.share, nullptr, OPEN_EXISTING, 0, nullptr),
            CloseHandle};
        ASSERT_NE(held.get(), INVALID_HANDLE_VALUE);
        if (row.size) {
            ASSERT_TRUE(SetFilePointerEx(held.get(), {.QuadPart = row.size}, nullptr, FILE_BEGIN) &&
                        SetEndOfFile(held.get()));
        }
        Start();
        held.reset();
        EXPECT_EQ(app->Favorites(), row.list);
        ASSERT_EQ(app->boxes().seen().size(), row.box ? 1u : 0u);
        if (row.box) {
            const std::string& text = app->boxes().seen()[0].text;
            EXPECT_TRUE(text.find("\"Favorites\"") != text.npos && text.find("could not read") != text.npos) << text;
            EXPECT_TRUE(app->Close());
            EXPECT_EQ(std::filesystem::file_size(path), row.size ? row.size : kGo.size());
            if (!row.size) {
                EXPECT_EQ(ReadBytes(path), kGo) << "rewritten";
            }
            EXPECT_EQ(app->boxes().seen().size(), 1u) << "nothing to tell at close";
        }
        app.reset();
    }
}

// What the session added goes after an earlier session's records in Favorites.unsaved, or is told to be lost.
TEST_F(WindowTest, FavoritesAddedAfterAnUnreadableStartGoBeside) {
    const std::string path = dir.Join("Favorites"), unsaved = path + ".unsaved";
    const std::string alpha = Record("Alpha on CPU 0", "0__c:\\a.exe", "c:\\", "None");
    const std::string chess = Record("Chess on CPU 0", "0__c:\\games\\chess\\chess.exe", "c:\\games\\chess", "None");
    const struct {
        bool huge;  // over the 256 MiB a list may take
        std::string after;
        const char* box;  // told at close
    } rows[] = {
        {false, alpha + "x\r\n\r\n\r\n\r\n" + chess, "were saved to \"Favorites.unsaved\""},
        {true, alpha + "x", "could not be saved to \"Favorites.unsaved\" either"},
    };
    ASSERT_TRUE(WriteBytes(path, kGo));
    for (const auto& row : rows) {
        SCOPED_TRACE(row.box);
        ASSERT_TRUE(WriteBytes(unsaved, alpha + "x"));  // cut off inside a record
        Held held{CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr), CloseHandle};
        if (row.huge) std::filesystem::resize_file(unsaved, kOverCap);
        Start();
        app->Click(kAddButton);
        Type(kTargetEdit, "c:\\games\\Chess\\chess.exe");
        app->Click(kSaveButton);
        ASSERT_EQ(app->Favorites(), std::vector<std::string>{"Chess on CPU 0"});
        held.reset();
        EXPECT_TRUE(app->Close());
        const std::string got = ReadBytes(unsaved).value_or("<missing>");
        EXPECT_EQ(got.substr(0, row.after.size()), row.after);
        EXPECT_EQ(got.size(), row.huge ? kOverCap : row.after.size());
        EXPECT_EQ(ReadBytes(path), kGo);
        ASSERT_EQ(app->boxes().seen().size(), 2u);
        EXPECT_NE(app->boxes().seen()[1].text.find(row.box), std::string::npos);
        EXPECT_EQ(app->boxes().seen()[1].style, static_cast<UINT>(MB_ICONINFORMATION | MB_OK));
        app.reset();
    }
}

// Run by its own ctest entry in a Japanese session (ANSI code page 932):
// "ア" is 0x83 0x41 and "ソ" 0x83 0x5C, trail bytes that read as 'A' and '\'.
TEST(Cp932, LowerCaseKeepsDoubleByteCharactersWhole) {
    ASSERT_EQ(GetACP(), 932u) << "this case needs a session with code page 932";
    TempDir dir;
    App app;
    ASSERT_TRUE(app.Start());
    app.Click(kAddButton);
    app.SetText(kTargetEdit, "C:\\\x83\x41\x83\x5C\\Games\\\x83\x41.EXE");
    EXPECT_EQ(app.Text(kStartInEdit), "C:\\\x83\x41\x83\x5C\\Games");
    app.SetText(kTitleEdit, "");
    app.SetText(kTargetEdit, "C:\\Games\\\x83\x41\x83\x5C.EXE");
    EXPECT_EQ(app.Text(kStartInEdit), "C:\\Games");
    EXPECT_EQ(app.Text(kTitleEdit), "Games");
    app.SetText(kTargetEdit, "C:\\\x83\x41\x83\x5C\\Games\\\x83\x41.EXE");
    app.Click(kSaveButton);
    // A folder whose name ends in "ソ", opened in the browse panel.
    ASSERT_TRUE(CreateDirectoryA(dir.Join("\x83\x5C").c_str(), nullptr) && WriteBytes(dir.Join("\x83\x5C\\a.exe"), ""));
    app.Click(kAddButton);
    app.Click(kTargetLabel);
    HWND folders = app.control(kFolderList);
    const std::vector<std::string> lines = ListItems(folders);
    ASSERT_EQ(Trimmed(lines.back()), "\x83\x5C");
    SendMessageA(folders, LB_SETCURSEL, lines.size() - 1, 0);
    SendMessageA(app.control(kBrowsePanel), WM_COMMAND, MAKEWPARAM(kFolderList, LBN_DBLCLK), LPARAM(folders));
    EXPECT_EQ(Trimmed(ListItems(folders).at(SendMessageA(folders, LB_GETCURSEL, 0, 0))), "\x83\x5C");
    ASSERT_EQ(ListItems(app.control(kFileList)), std::vector<std::string>{"a.exe"});
    SendMessageA(app.control(kFileList), LB_SETCURSEL, 0, 0);
    app.Click(kOkButton);
    EXPECT_EQ(app.Text(kTargetEdit), Lower(dir.path()) + "\\\x83\x5C\\a.exe");
    EXPECT_EQ(app.Text(kStartInEdit), dir.path() + "\\\x83\x5C");
    ASSERT_TRUE(app.Close());
    EXPECT_EQ(ReadBytes(dir.Join("Favorites")), Record("Games on CPU 0", "0__c:\\\x83\x41\x83\x5C\\games\\\x83\x41.exe",
                                                       "c:\\\x83\x41\x83\x5C\\games", "None"));
}

}  // namespace
