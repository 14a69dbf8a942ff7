// The real window inside this test program: where its controls sit at the session's scale, and sessions from
// start-up to their end as a user meets them.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <optional>
#include <string>

#include "platform/win.hpp"
#include "support/harness.hpp"

using namespace corvane;
using namespace corvane::test;

namespace {

struct Placed {
    int id;
    const char* cls;
    const char* caption;
    int left, top, width, height;
};

// Where the controls sit at the session's scale, their captions, tab order and tooltips.
TEST(WindowTest, LayoutAtTheSessionScale) {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    // Set by the ctest entry that changed the session's scale.
    if (const char* expected = std::getenv("CORVANE_DPI")) {
        ASSERT_EQ(dpi, std::atoi(expected)) << "LogPixels not applied";
    }
    TempDir dir;
    App app;
    ASSERT_TRUE(app.Start());
    const auto expectAt = [&](HWND w, const RECT& rc, int l, int t, int width, int height) {
        const int got[] = {rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top}, want[] = {l, t, width, height};
        for (int i = 0; i < 4; ++i)
            EXPECT_NEAR(got[i], MulDiv(want[i], dpi, 1440), 1) << "id " << GetDlgCtrlID(w) << ", value " << i;
    };
    RECT client, window;
    GetClientRect(app.hwnd(), &client);
    expectAt(app.hwnd(), client, 0, 0, 6015, 3615);
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
        HWND w = app.control(c.id);
        EXPECT_TRUE(EqualsIgnoringAsciiCase(ClassOf(w), c.cls)) << "id " << c.id << " is a " << ClassOf(w);
        EXPECT_EQ(GetText(w), c.caption) << "id " << c.id;
        RECT rc;  // in the parent's client area
        GetWindowRect(w, &rc);
        MapWindowPoints(nullptr, GetParent(w), reinterpret_cast<POINT*>(&rc), 2);
        expectAt(w, rc, c.left, c.top, c.width, c.height);
    }

    EXPECT_EQ(GetText(app.hwnd()), "Corvane!");
    GetWindowRect(app.hwnd(), &window);
    EXPECT_NEAR(window.left, (GetSystemMetrics(SM_CXSCREEN) - (window.right - window.left)) / 2, 1);
    EXPECT_NEAR(window.top, (GetSystemMetrics(SM_CYSCREEN) - (window.bottom - window.top)) / 2, 1);

    // Each tip shows while the pointer rests on its control (a disabled one sees none); the editor's after Add.
    EnableWindow(app.control(kLaunchButton), TRUE);
    const struct {
        int id;
        const char* tip;
    } tips[] = {
        {kLaunchButton, "Run selected Favorite and set it's Affinty"},
        {kTargetEdit, "Drag and Drop .EXE file here instead of typing"},
        {kTargetLabel, "Click to Browse for EXE"},
        {kParametersEdit, "A.K.A. File Parameters"},
    };
    HWND tooltip = nullptr;  // the window's tooltip control
    while ((tooltip = FindWindowExA(nullptr, tooltip, TOOLTIPS_CLASSA, nullptr)) &&
           GetWindow(tooltip, GW_OWNER) != app.hwnd()) {}
    for (const auto& t : tips) {
        if (t.id == kTargetEdit) app.Click(kAddButton);
        RECT rc;
        GetWindowRect(app.control(t.id), &rc);
        SetCursorPos((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
        EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(tooltip) && GetText(tooltip) == t.tip; }))
            << "id " << t.id << " shows '" << GetText(tooltip) << "'";
    }
    const int order[] = {kTitleEdit,   kTargetEdit,   kStartInEdit,   kSaveButton,
                         kClearButton, kCancelButton, kParametersEdit};
    for (std::size_t i = 1; i < std::size(order); ++i)
        EXPECT_EQ(GetDlgCtrlID(GetNextDlgTabItem(app.control(kEditorPanel), app.control(order[i - 1]), FALSE)),
                  order[i])
            << "after " << order[i - 1];
}

// A session from start-up to the end of the user's session, which writes Favorites and is the last write.
TEST(WindowTest, SessionsFromStartUpToTheEnd) {
    TempDir dir;
    std::optional<App> session;
    // What the user does in a session, as the steps of a row.
    using Act = std::function<void(App&)>;
    const auto press = [](int id) -> Act { return [id](App& app) { app.Click(id); }; };
    const auto put = [](int id, const char* text) -> Act { return [=](App& app) { app.SetText(id, text); }; };
    const auto pick = [](int index) -> Act { return [index](App& app) { app.Select(index); }; };
    const auto drop = [](const char* file) -> Act {
        return [=](App& app) { DropFile(app.control(kTargetEdit), file); };
    };
    const auto other = [](std::string bytes) -> Act {  // another program writes Favorites
        return [=](App&) { ASSERT_TRUE(WriteBytes("Favorites", bytes)); };
    };
    const auto steps = [](auto... acts) { return std::vector<Act>{acts...}; };
    std::string longFile;  // longer than what start-up lists before the window shows
    std::string longList;
    for (int i = 0; i < 300; ++i) {
        const std::string display = "Game " + std::to_string(i) + " on CPU 0";
        longFile += Record(display, "0__c:\\g.exe", "c:\\", "None");
        longList += display + "|";
    }
    const std::string xy = "x\ny\n";        // a lone LF ends no line; unchanged, it is written back as read
    const std::string exe = ThisExePath();  // a program with an icon
    const std::string folder = exe.substr(0, exe.rfind('\\'));
    const std::string chess = Record("Chess on CPU 1", "1__" + exe, folder, "-w");
    const std::string go = Record("Go on Default", "2__c:\\go\\go.exe", "c:\\go", "None");
    const std::string both = chess + go;
    const std::string beta = Record("Beta on CPU 0", "0__c:\\beta.exe", "c:\\", "None");
    const std::string saved = Record("Chess on CPU 0", "0__c:\\games\\chess\\chess.exe", "c:\\games\\chess", "None");
    const struct {
        const char* name;
        std::string file;  // Favorites at start-up ("": none)
        std::vector<Act> acts;
        std::string list;  // each entry followed by '|'
        int selected, option;
        std::string fields;  // title|target|start in|parameters
        int panel;           // the one shown
        bool icon;
        const char* box;  // "": none
        std::string atEnd;
    } rows[] = {
        {"no file", "", steps(), "", -1, kCpu0Option, "|||", kFavoritesPanel, false, "", ""},
        {"no file, another program's copied in", "", steps(other(both)), "", -1, kCpu0Option, "|||", kFavoritesPanel,
         false, "", both},
        {"another program's changes, none here", both + xy, steps(other(both + beta)),
         "Chess on CPU 1|Go on Default|" + xy + "|", 0, kCpu1Option, "Chess|" + exe + "|" + folder + "|-w",
         kFavoritesPanel, true, "", both + beta},
        {"another program's changes, one removed here", both, steps(pick(1), press(kRemoveButton), other(both + beta)),
         "Chess on CPU 1|", -1, kDefaultOption, "|||", kFavoritesPanel, false, "", chess + beta},
        {"a long list", both + longFile, steps(), "Chess on CPU 1|Go on Default|" + longList, 0, kCpu1Option,
         "Chess|" + exe + "|" + folder + "|-w", kFavoritesPanel, true, "", both + longFile},
        {"cancel", both + xy, steps(press(kAddButton), press(kDefaultOption), press(kCancelButton)),
         "Chess on CPU 1|Go on Default|" + xy + "|", -1, kDefaultOption, "|||", kFavoritesPanel, false, "", both + xy},
        {"remove the second", both + xy, steps(pick(1), press(kRemoveButton)), "Chess on CPU 1|" + xy + "|", -1,
         kDefaultOption, "|||", kFavoritesPanel, false, "", chess + xy + "\r\n\r\n\r\n\r\n"},
        {"save a typed target", both,
         steps(press(kAddButton), press(kClearButton), put(kTargetEdit, "C:\\Games\\Chess\\Chess.EXE"),
               press(kCpu0Option), press(kSaveButton)),
         "Chess on CPU 1|Go on Default|Chess on CPU 0|", 2, kCpu0Option,
         "Chess|c:\\games\\chess\\chess.exe|c:\\games\\chess|None", kFavoritesPanel, false, "", both + saved},
        {"save without a title", both,
         steps(press(kAddButton), press(kClearButton), put(kTargetEdit, "c:\\chess.exe"), press(kSaveButton)),
         "Chess on CPU 1|Go on Default|", 0, kCpu1Option, "|c:\\chess.exe|c:|", kEditorPanel, true,
         "Please fill in the required data!", both},
        {"save a copy", both,
         steps(pick(1), press(kAddButton), put(kTitleEdit, "Chess"), press(kCpu1Option), press(kSaveButton)),
         "Chess on CPU 1|Go on Default|", 1, kCpu1Option, "Chess|c:\\go\\go.exe|c:\\go|None", kEditorPanel, false,
         "Favorite already exsists, Please Rename Title!", both},
        {"drop a program", both,
         steps(press(kAddButton), press(kClearButton), put(kTitleEdit, "Mine"), drop("C:\\x\\Game.EXE")),
         "Chess on CPU 1|Go on Default|", 0, kCpu1Option, "Mine|C:\\x\\Game.EXE|C:\\x|", kEditorPanel, true, "", both},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        DeleteFileA("Favorites");
        if (!row.file.empty()) {
            ASSERT_TRUE(WriteBytes("Favorites", row.file));
        }
        App& app = session.emplace();
        ASSERT_TRUE(app.Start());
        for (const Act& act : row.acts)
            act(app);
        std::string list;
        for (const std::string& entry : app.Favorites())
            list += entry + "|";
        EXPECT_EQ(list, row.list);
        EXPECT_EQ(app.Selected(), row.selected);
        EXPECT_TRUE(app.Checked(row.option));
        const std::string fields = app.Text(kTitleEdit) + "|" + app.Text(kTargetEdit) + "|" + app.Text(kStartInEdit) +
                                   "|" + app.Text(kParametersEdit);
        EXPECT_EQ(fields, row.fields);
        EXPECT_TRUE(app.Visible(row.panel));
        EXPECT_EQ(IsWindowEnabled(app.control(kLaunchButton)) != FALSE, row.selected >= 0);
        EXPECT_EQ(app.win().favoritesPanel().previewIcon() != nullptr, row.icon);
        ASSERT_EQ(app.boxes().seen().size(), *row.box ? 1u : 0u);
        if (*row.box) {
            EXPECT_EQ(app.boxes().seen()[0].text, row.box);
            EXPECT_EQ(app.boxes().seen()[0].style, static_cast<UINT>(MB_ICONINFORMATION | MB_OK));
        }
        EXPECT_TRUE(app.win().trayIcon().added());
        SendMessageA(app.hwnd(), WM_ENDSESSION, TRUE, 0);
        EXPECT_FALSE(app.win().trayIcon().added());
        EXPECT_EQ(ReadBytes("Favorites"), row.atEnd);
        ASSERT_TRUE(WriteBytes("Favorites", "sentinel"));
        session.reset();
        EXPECT_EQ(ReadBytes("Favorites"), "sentinel");
    }
}

}  // namespace
