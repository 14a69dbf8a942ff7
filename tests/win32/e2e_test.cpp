// The real corvane.exe, started from outside as a shortcut would start it: favourites started from the command
// line, with or without a running Corvane, and what is told after the window has closed.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/shell.hpp"
#include "support/harness.hpp"

using namespace corvane;
using namespace corvane::test;

namespace {

struct E2e : ::testing::Test {
    TempDir dir;
    std::string game = dir.Join("e2egame.exe");
    std::string report = dir.Join("report.txt");
    std::string favorites = Record("Game on CPU 1", "1__" + game, dir.path(), "--life=3") +  // reports to report.txt
                            Record("Game on CPU 0", "0__" + game, dir.path(), "--life=3");
    void SetUp() override {
        ASSERT_TRUE(CopyFileA(Beside("pin_target.exe").c_str(), game.c_str(), FALSE));
        ASSERT_TRUE(WriteBytes(dir.Join("Favorites"), favorites));
    }
};

}  // namespace

TEST_F(E2e, LaunchFromTheCommandLine) {
    // Refuser: a window in Corvane's place that refuses every request, as DefWindowProc answers one.
    enum class First { None, Corvane, Refuser };
    struct Row {
        const char* args;
        First first;
        const char* box;  // and whose box: the first's (an unknown favorite) or else the one started here
        DWORD_PTR mask;   // the game's core, 0 when nothing may start
        int code;         // the exit code of the one started here, once its box is answered; -1: it runs on
    };
    const Row rows[] = {
        {"/launch Game on CPU 1", First::None, nullptr, 2, -1},
        {"/LAUNCH \"Game on CPU 0\"", First::Corvane, nullptr, 1, 0},
        {"/launch \"Chess on CPU 1\"", First::Corvane,
         "There is no favorite \"Chess on CPU 1\" in the list, so nothing was started.", 0, 0},
        {"/launch \"  \"", First::Corvane, "Usage: corvane.exe /launch \"<favorite as the list shows it>\"", 0, 2},
        {"/launch \"Game on CPU 1\"", First::Refuser,
         "The running Corvane did not take the request to launch \"Game on CPU 1\".", 0, 1},
    };
    WNDCLASSA place{};
    place.lpfnWndProc = DefWindowProcA;
    place.lpszClassName = "CorvaneMainWindow";
    ASSERT_TRUE(RegisterClassA(&place));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.args);
        ProcessReaper games{{"e2egame.exe"}};  // a game left running would hold its folder
        DeleteFileA(report.c_str());
        std::optional<Corvane> first;
        if (row.first == First::Corvane) first.emplace(dir.path());
        ASSERT_TRUE(!first || first->Window());
        HWND refuser = row.first == First::Refuser ? CreateWindowA(place.lpszClassName, "Corvane!", 0, 0, 0, 9, 9,
                                                                   nullptr, nullptr, nullptr, nullptr)
                                                   : nullptr;
        Corvane second(dir.path(), row.args);
        if (row.box) {
            HWND box = BoxOf(row.code == 0 ? first->pid() : second.pid());
            EXPECT_EQ(BoxText(box), row.box);
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        }
        EXPECT_TRUE(row.code < 0 || second.Ended(15000) == DWORD(row.code));
        if (row.mask) {
            EXPECT_TRUE(PumpUntil([&] { return LastMask(report) == row.mask; }, 15000)) << LastMask(report);
        } else {
            EXPECT_EQ(ReadBytes(report), std::nullopt);
        }
        if (refuser) DestroyWindow(refuser);
    }
}

TEST_F(E2e, FavoritesSavedBesideAnUnreadableFileAreToldUntilOkIsPressed) {
    UniqueFile held{CreateFileA(dir.Join("Favorites").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)};
    Corvane corvane(dir.path());
    HWND window = corvane.Window();
    ASSERT_NE(window, nullptr);
    PostMessageA(BoxOf(corvane.pid()), WM_COMMAND, IDOK, 0);  // that the file could not be read
    held.reset();
    SendMessageA(ControlOf(window, kAddButton), BM_CLICK, 0, 0);
    SendMessageA(ControlOf(window, kTargetEdit), WM_SETTEXT, 0, LPARAM("c:\\games\\Chess\\chess.exe"));
    SendMessageA(ControlOf(window, kSaveButton), BM_CLICK, 0, 0);
    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(window); }, 15000));
    HWND box = BoxOf(corvane.pid());
    EXPECT_NE(BoxText(box).find("\"Favorites.unsaved\""), std::string::npos) << BoxText(box);
    EXPECT_FALSE(corvane.Ended(0)) << "the box ended by itself";
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(corvane.Ended(15000));
}

TEST_F(E2e, AQuitPostedFromOutsideSavesAsACloseWould) {
    Corvane corvane(dir.path());
    HWND window = corvane.Window();
    ASSERT_NE(window, nullptr);
    // Start-up selects the first favourite once it has read and listed them all.
    ASSERT_TRUE(PumpUntil([&] { return IsWindowEnabled(ControlOf(window, kLaunchButton)); }, 15000));
    SendMessageA(ControlOf(window, kRemoveButton), BM_CLICK, 0, 0);
    PostThreadMessageA(GetWindowThreadProcessId(window, nullptr), WM_QUIT, 0, 0);
    ASSERT_TRUE(corvane.Ended(15000));
    EXPECT_EQ(ReadBytes(dir.Join("Favorites")), Record("Game on CPU 0", "0__" + game, dir.path(), "--life=3"));
}

// The desktop shortcut the running Corvane makes for its selected favourite, started by the shell: a second Corvane
// hands the request to the first, which starts the game on its core.
TEST_F(E2e, ADesktopShortcutStartsItsFavoriteThroughTheRunningCorvane) {
    // A name no file may hold, with a quote and a backslash before it, which the command line must bring back.
    const std::string display = R"(Say \"hi" a/b:c*d?e<f>g|h on CPU 1)";
    ASSERT_TRUE(WriteBytes(dir.Join("Favorites"), Record(display, "1__" + game, dir.path(), "--life=3")));
    ProcessReaper games{{"e2egame.exe"}};
    Desktop desktop;
    const std::string lnk = desktop.Join("Say __hi_ a_b_c_d_e_f_g_h on CPU 1.lnk");
    Corvane first(dir.path());
    HWND list = ControlOf(first.Window(), kFavoritesList);
    ASSERT_TRUE(PumpUntil([&] { return SendMessageA(list, LB_GETCURSEL, 0, 0) == 0; }));  // selected at start-up
    PostMessageA(list, WM_CONTEXTMENU, WPARAM(list), MAKELPARAM(-1, -1));                 // the context-menu key
    HWND menu = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(menu = FindWindowExA(nullptr, nullptr, "#32768", nullptr)); }));
    PostMessageA(menu, WM_KEYDOWN, 'S', 0);
    HWND box = BoxOf(first.pid());
    EXPECT_EQ(BoxText(box), "The shortcut \"Say __hi_ a_b_c_d_e_f_g_h on CPU 1.lnk\" is on the desktop.");
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    char program[MAX_PATH] = "";
    GetFullPathNameA(Beside("..\\..\\corvane.exe").c_str(), MAX_PATH, program, nullptr);
    EXPECT_EQ(ReadLink(lnk), (ShellLink{program, R"(/launch "Say \\\"hi\" a/b:c*d?e<f>g|h on CPU 1")", dir.path(), game,
                                        0, "Start " + display}));
    ASSERT_TRUE(shell::Execute(nullptr, lnk.c_str(), nullptr, nullptr, SW_SHOWNORMAL).ok);  // ShellExecuteExA
    EXPECT_TRUE(PumpUntil([&] { return LastMask(report) == 2; }, 15000)) << LastMask(report);
    EXPECT_TRUE(PumpUntil([] { return ProcessIds("corvane.exe").size() == 1; }, 15000)) << "the second one runs on";
    EXPECT_FALSE(first.Ended(0));
}
