// The real window inside this test program: where its controls sit at the session's scale, what start-up reads
// and shutdown writes, and the editor and the favourites list as a user meets them.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/win.hpp"
#include "support/window_fixture.hpp"

using namespace corvane;
using namespace corvane::test;

namespace {

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
        TTTOOLINFOA ti{};
        ti.cbSize = TTTOOLINFOA_V2_SIZE;
        ti.hwnd = GetParent(app->control(t.id));
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

}  // namespace
