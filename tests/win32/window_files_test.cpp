// The same window's browse panel, a hooked control, an unreadable "Favorites", and a Japanese session (run by
// their own ctest entries or with the window tests: they are linked into the same program).
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/control_hook.hpp"
#include "platform/win.hpp"
#include "support/window_fixture.hpp"

using namespace corvane;
using namespace corvane::test;

namespace {

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
