// The real window inside this test program: where its controls sit at the session's scale, what start-up reads
// and shutdown writes, and the editor, the browse panel and an unreadable "Favorites" as a user meets them.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

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
        EXPECT_EQ(lstrcmpiA(ClassOf(w).c_str(), c.cls), 0) << "id " << c.id << " is a " << ClassOf(w);
        EXPECT_EQ(TextOf(w), c.caption) << "id " << c.id;
        RECT rc;  // in the parent's client area
        GetWindowRect(w, &rc), MapWindowPoints(nullptr, GetParent(w), reinterpret_cast<POINT*>(&rc), 2);
        expectAt(w, rc, c.left, c.top, c.width, c.height);
    }

    EXPECT_EQ(TextOf(app->hwnd()), "Corvane!");
    GetWindowRect(app->hwnd(), &window);
    EXPECT_NEAR(window.left, (GetSystemMetrics(SM_CXSCREEN) - (window.right - window.left)) / 2, 1);
    EXPECT_NEAR(window.top, (GetSystemMetrics(SM_CYSCREEN) - (window.bottom - window.top)) / 2, 1);
}

TEST_F(WindowTest, LayoutTabOrderAndTooltips) {
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
    } tips[] = {
        {kTargetEdit, "Drag and Drop .EXE file here instead of typing"},
        {kTargetLabel, "Click to Browse for EXE"},
        {kLaunchButton, "Run selected Favorite and set it's Affinty"},
        {kParametersEdit, "A.K.A. File Parameters"},
    };
    HWND tooltip = nullptr;  // the window's tooltip control
    while ((tooltip = FindWindowExA(nullptr, tooltip, TOOLTIPS_CLASSA, nullptr)) &&
           GetWindow(tooltip, GW_OWNER) != app->hwnd()) {}
    for (const auto& t : tips) {
        char text[256] = "";
        TTTOOLINFOA ti{TTTOOLINFOA_V2_SIZE,
                       0,
                       GetParent(app->control(t.id)),
                       UINT_PTR(app->control(t.id)),
                       {},
                       nullptr,
                       text,
                       0,
                       nullptr};
        SendMessageA(tooltip, TTM_GETTEXTA, sizeof text, LPARAM(&ti));
        EXPECT_STREQ(text, t.tip) << "id " << t.id;
    }
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
         kGo + "Chess on CPU 0\r\n0__c:\\chess.exe",
         {"Go on Default", "Chess on CPU 0"},
         0,
         kDefaultOption,
         "Go|c:\\go\\go.exe|c:\\go|None",
         true,
         false,
         kGo + "Chess on CPU 0\r\n0__c:\\chess.exe\r\n\r\n\r\n"},
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

// And the end of the session writes the file.
TEST_F(WindowTest, CancelAndRemoveLeaveNothingSelected) {
    const struct {
        const char* name;
        std::vector<int> clicks;
        std::vector<std::string> list;
        std::string atEnd;
    } rows[] = {
        {"cancel", {kAddButton, kCancelButton}, {"Chess on CPU 1", "Go on Default"}, WithDir(kChess, dir) + kGo},
        {"remove", {kRemoveButton}, {"Go on Default"}, kGo},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Start(kChess + kGo);
        ASSERT_EQ(app->Selected(), 0);
        for (int id : row.clicks)
            app->Click(id);
        EXPECT_EQ(app->Favorites(), row.list);
        EXPECT_EQ(app->Selected(), -1);
        EXPECT_EQ(Fields(), "|||");
        EXPECT_TRUE(app->Visible(kFavoritesPanel));
        EXPECT_FALSE(IsWindowEnabled(app->control(kLaunchButton)));
        SendMessageA(app->hwnd(), WM_ENDSESSION, TRUE, 0);
        EXPECT_EQ(ReadBytes(dir.Join("Favorites")), row.atEnd);
        app.reset();
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

TEST_F(WindowTest, BrowseOpensFoldersAndHandsBackTheChosenProgram) {
    CreateDirectoryA(dir.Join("sub").c_str(), nullptr);
    for (const char* name : {"b.EXE", "a.exe", "readme.txt", "a.exe1", "sub\\inner.exe"})
        WriteBytes(dir.Join(name), "");
    Start();
    app->Click(kAddButton);
    app->Click(kTargetLabel);
    ASSERT_TRUE(app->Visible(kBrowsePanel) && !app->Visible(kEditorPanel));
    HWND folders = app->control(kFolderList);
    std::vector<std::string> lines = ListItems(folders);
    for (std::string& line : lines)
        line = Trimmed(line);
    EXPECT_EQ(lines.at(SendMessageA(folders, LB_GETCURSEL, 0, 0)), dir.path().substr(dir.path().rfind('\\') + 1));
    EXPECT_EQ(lines.back(), "sub");
    EXPECT_EQ(ListItems(app->control(kFileList)), (std::vector<std::string>{"a.exe", "b.EXE"}));

    SendMessageA(folders, LB_SETCURSEL, lines.size() - 1, 0);
    SendMessageA(app->control(kBrowsePanel), WM_COMMAND, MAKEWPARAM(kFolderList, LBN_DBLCLK),
                 reinterpret_cast<LPARAM>(folders));
    EXPECT_EQ(Trimmed(ListItems(folders).at(SendMessageA(folders, LB_GETCURSEL, 0, 0))), "sub");
    EXPECT_EQ(ListItems(app->control(kFileList)), std::vector<std::string>{"inner.exe"});

    SendMessageA(app->control(kFileList), LB_SETCURSEL, 0, 0);
    app->Click(kOkButton);
    EXPECT_TRUE(app->Visible(kEditorPanel) && !app->Visible(kBrowsePanel));
    EXPECT_EQ(app->Text(kTargetEdit), Lower(dir.path()) + "\\sub\\inner.exe");
    EXPECT_EQ(app->Text(kStartInEdit), dir.path() + "\\sub");
}

TEST_F(WindowTest, BrowseRefreshReselectsByTheWholeName) {
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
}

TEST_F(WindowTest, UnreadableFavoritesAreReportedAndLeftAlone) {
    const std::string path = dir.Join("Favorites");
    const struct {
        const char* name;
        DWORD share;
        bool huge;
        std::vector<std::string> list;
        bool box;
    } rows[] = {
        {"held with no sharing", 0, false, {}, true},
        {"held by a writer that shares", FILE_SHARE_READ | FILE_SHARE_WRITE, false, {"Go on Default"}, false},
        {"3 GB", 0, true, {}, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(WriteBytes(path, kGo));
        Held held{
            CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, row.share, nullptr, OPEN_EXISTING, 0, nullptr),
            CloseHandle};
        ASSERT_NE(held.get(), INVALID_HANDLE_VALUE);
        // Sparse on this file system: 3 GB that cost no disk.
        if (row.huge) {
            ASSERT_TRUE(SetFilePointerEx(held.get(), {.QuadPart = 3LL << 30}, nullptr, FILE_BEGIN) &&
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
            EXPECT_EQ(std::filesystem::file_size(path), row.huge ? 3ULL << 30 : kGo.size());
            if (!row.huge) {
                EXPECT_EQ(ReadBytes(path), kGo) << "rewritten";
            }
            EXPECT_FALSE(ReadBytes(path + ".unsaved").has_value());
            EXPECT_EQ(app->boxes().seen().size(), 1u) << "nothing to tell at close";
        }
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
    app.Click(kAddButton), app.SetText(kTargetEdit, "C:\\\x83\x41\x83\x5C\\Games\\\x83\x41.EXE");
    EXPECT_EQ(app.Text(kStartInEdit), "C:\\\x83\x41\x83\x5C\\Games");
    app.SetText(kTitleEdit, ""), app.SetText(kTargetEdit, "C:\\Games\\\x83\x41\x83\x5C.EXE");
    EXPECT_EQ(app.Text(kStartInEdit), "C:\\Games");
    EXPECT_EQ(app.Text(kTitleEdit), "Games");
    app.SetText(kTargetEdit, "C:\\\x83\x41\x83\x5C\\Games\\\x83\x41.EXE");
    app.Click(kSaveButton);
    ASSERT_TRUE(app.Close());
    EXPECT_EQ(ReadBytes(dir.Join("Favorites")), Record("Games on CPU 0", "0__c:\\\x83\x41\x83\x5C\\games\\\x83\x41.exe",
                                                       "c:\\\x83\x41\x83\x5C\\games", "None"));
}

}  // namespace
