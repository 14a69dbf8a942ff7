// The window and the files around it: the browse panel's walk through drives and folders, an unreadable
// "Favorites", and a Japanese session (run by its own ctest entry).
#include <windows.h>

#include <gtest/gtest.h>

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

// Refresh keeps the chosen program by its whole name; Cancel goes back to the editor and leaves its target.
TEST(BrowsePanel, DrivesFoldersRefreshCancelAndOk) {
    TempDir dir;
    CreateDirectoryA(dir.Join("sub").c_str(), nullptr);
    for (const char* name : {"b.EXE", "a.exe", "a.exe.exe", "readme.txt", "sub\\inner.exe", "sub\\other.exe"})
        WriteBytes(dir.Join(name), "");
    App app;
    ASSERT_TRUE(app.Start());
    app.Click(kAddButton);
    app.Click(kTargetLabel);
    ASSERT_TRUE(app.Visible(kBrowsePanel) && !app.Visible(kEditorPanel));
    HWND folders = app.control(kFolderList);
    HWND files = app.control(kFileList);
    const auto current = [&] { return Trimmed(GetListText(folders, SendMessageA(folders, LB_GETCURSEL, 0, 0))); };
    const std::string here = dir.path().substr(dir.path().rfind('\\') + 1);
    EXPECT_EQ(ListItems(files), (std::vector<std::string>{"a.exe", "a.exe.exe", "b.EXE"}));

    // Another drive shows its root; this one again shows the folder it was in.
    HWND drives = app.control(kDriveList);
    const LRESULT count = SendMessageA(drives, CB_GETCOUNT, 0, 0);
    const LRESULT thisDrive = SendMessageA(drives, CB_GETCURSEL, 0, 0);
    ASSERT_GE(count, 2) << "the case needs a second drive";
    for (LRESULT drive : {thisDrive == 0 ? count - 1 : 0, thisDrive}) {
        SendMessageA(drives, CB_SETCURSEL, drive, 0);
        SendMessageA(app.control(kBrowsePanel), WM_COMMAND, MAKEWPARAM(kDriveList, CBN_SELCHANGE), LPARAM(drives));
        char letter[8] = "";
        SendMessageA(drives, CB_GETLBTEXT, drive, LPARAM(letter));
        EXPECT_EQ(current(), drive == thisDrive ? here : std::string(letter) + "\\");
    }

    SendMessageA(files, LB_SETCURSEL, 0, 0);
    app.Click(kRefreshButton);
    EXPECT_EQ(SendMessageA(files, LB_GETCURSEL, 0, 0), 0) << "a.exe is still there";
    ASSERT_TRUE(DeleteFileA(dir.Join("a.exe").c_str()));
    app.Click(kRefreshButton);
    EXPECT_EQ(SendMessageA(files, LB_GETCURSEL, 0, 0), LB_ERR);
    SendMessageA(files, LB_SETCURSEL, 0, 0);
    app.Click(kBrowseCancelButton);
    EXPECT_TRUE(app.Visible(kEditorPanel) && !app.Visible(kBrowsePanel));
    EXPECT_EQ(app.Text(kTargetEdit), "");

    app.Click(kTargetLabel);
    SendMessageA(folders, LB_SETCURSEL, SendMessageA(folders, LB_GETCOUNT, 0, 0) - 1, 0);
    SetFocus(folders);
    // Enter reaches the panel only through the dialog keys of the program's own event pump.
    PostMessageA(folders, WM_KEYDOWN, VK_RETURN, 0);
    PumpEvents(app.hwnd());
    EXPECT_EQ(current(), "sub");
    ASSERT_EQ(ListItems(files), (std::vector<std::string>{"inner.exe", "other.exe"}));
    SendMessageA(files, LB_SETCURSEL, 1, 0);
    app.Click(kOkButton);
    EXPECT_TRUE(app.Visible(kEditorPanel) && !app.Visible(kBrowsePanel));
    EXPECT_EQ(app.Text(kTargetEdit), Lower(dir.path()) + "\\sub\\other.exe");
    EXPECT_EQ(app.Text(kStartInEdit), dir.path() + "\\sub");
}

// A Favorites that cannot be read at start or written at the close is told and left as it is. What the session added
// goes after an earlier session's records in Favorites.unsaved, or is told to be lost; an unchanged session does not
// even read Favorites.unsaved. A link is written through to the file it points to, and stays a link.
TEST(FavoritesOnDisk, UnreadableOrRefusedFilesAreToldAndLeftAloneAndALinkStays) {
    TempDir dir;
    const std::string go = Record("Go on Default", "2__c:\\go\\go.exe", "c:\\go", "None");
    const std::string earlier = Record("Alpha on CPU 0", "0__c:\\a.exe", "c:\\", "None") + "x";  // cut short
    const std::string chess = Record("Chess on CPU 0", "0__c:\\games\\chess\\chess.exe", "c:\\games\\chess", "None");
    const std::uintmax_t overCap = (256 << 20) + 1;  // sparse on this file system: no disk spent
    const std::string unread = "could not read the file \"Favorites\"", beside = "were saved to \"Favorites.unsaved\"";
    const std::string refused = "could not save your favorites to \"" + dir.Join("Favorites") + "\": Access";  // denied
    const std::string either = "saved to \"Favorites.unsaved\" either";
    const std::string refusedBeside = "could not be saved and was left as it is. This session's favorites " + beside;
    // What another program does with Favorites: holds it open for reading and writing while Corvane starts, sharing
    // nothing or sharing both; holds it open for reading, sharing only that, while Corvane closes; makes it a link,
    // to itself moved elsewhere or to no file yet. Or the list box has no room for a single entry.
    enum Other { Nothing, Locks, SharesAll, Reads, Links, Dangles, Full };
    const struct {
        const char* name;
        Other other;
        bool huge;                       // Favorites and Favorites.unsaved over the 256 MiB a list may take
        bool add, first;                 // one favourite added; no Favorites.unsaved from an earlier session
        int answer;                      // to the box that asks at the close
        std::vector<std::string> told;   // a part of each box's text, in order
        std::string favorites, unsaved;  // at the end; when huge, their start
    } rows[] = {
        {"held with no sharing, unchanged", Locks, true, false, false, 0, {unread}, go, earlier},
        {"held by a writer that shares", SharesAll, false, false, false, 0, {}, go, earlier},
        {"held, one added", Locks, false, true, false, 0, {unread, beside}, go, earlier + "\r\n\r\n\r\n\r\n" + chess},
        {"held, one added, the first time", Locks, false, true, true, 0, {unread, beside}, go, chess},
        {"over 256 MiB, one added", SharesAll, true, true, false, 0, {unread, either}, go, earlier},
        {"refused at the close, retried", Reads, false, true, true, IDRETRY, {refused}, go + chess, ""},
        {"refused at the close, cancelled", Reads, false, true, true, IDCANCEL, {refused, refusedBeside}, go, chess},
        {"a link", Links, false, true, true, 0, {}, go + chess, ""},
        {"a link to no file yet", Dangles, false, true, true, 0, {}, chess, ""},
        {"no room in the list", Full, false, true, true, 0, {"1 favorite could not be shown"}, go + chess, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        DeleteFileA("Favorites.unsaved");
        ASSERT_TRUE(WriteBytes("Favorites", go));
        if (!row.first) {
            ASSERT_TRUE(WriteBytes("Favorites.unsaved", earlier));  // an earlier session's
        }
        if (row.huge) {
            std::filesystem::resize_file("Favorites", overCap);
            std::filesystem::resize_file("Favorites.unsaved", overCap);
        }
        if (row.other == Links || row.other == Dangles) {
            CreateDirectoryA("sync", nullptr);
            ASSERT_TRUE(MoveFileExA("Favorites", "sync\\Favorites", MOVEFILE_REPLACE_EXISTING));
            ASSERT_GT(WinExec("/bin/ln -s sync/Favorites Favorites", SW_HIDE), 31u);  // Wine starts Unix programs too
            ASSERT_TRUE(PumpUntil([] { return GetFileAttributesA("Favorites") != INVALID_FILE_ATTRIBUTES; }));
            if (row.other == Dangles) {
                ASSERT_TRUE(DeleteFileA("sync\\Favorites"));
            }
        }
        const auto hold = [](DWORD access, DWORD share) {
            return UniqueFile{CreateFileA("Favorites", access, share, nullptr, OPEN_EXISTING, 0, nullptr)};
        };
        UniqueFile held;
        if (row.other == Locks || row.other == SharesAll) {
            held = hold(GENERIC_READ | GENERIC_WRITE, row.other == Locks ? 0 : FILE_SHARE_READ | FILE_SHARE_WRITE);
            ASSERT_TRUE(held);
        }
        App app;
        ControlHook full;
        EXPECT_TRUE(app.Start([&] {
            if (row.other != Full) return;
            full.Attach(app.control(kFavoritesList), [](UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
                return msg == LB_ADDSTRING ? std::optional<LRESULT>(LB_ERRSPACE) : std::nullopt;
            });
        }));
        held.reset();
        if (row.add) {
            app.Click(kAddButton);
            app.Click(kClearButton);
            app.SetText(kTargetEdit, "c:\\games\\Chess\\chess.exe");
            app.Click(kCpu0Option);
            app.Click(kSaveButton);
        }
        if (row.other == Reads) {
            held = hold(GENERIC_READ, FILE_SHARE_READ);
            app.boxes().whileShown = [&held] { held.reset(); };
            app.boxes().answers = {row.answer};
        }
        EXPECT_TRUE(app.Close());
        const std::vector<BoxSeen>& boxes = app.boxes().seen();
        ASSERT_EQ(boxes.size(), row.told.size());
        for (std::size_t i = 0; i < boxes.size(); ++i)
            EXPECT_NE(boxes[i].text.find(row.told[i]), std::string::npos) << boxes[i].text;
        EXPECT_EQ(std::filesystem::file_size("Favorites"), row.huge ? overCap : row.favorites.size());
        EXPECT_EQ(ReadBytes("Favorites").value_or("").substr(0, row.favorites.size()), row.favorites);
        if (row.other == Links || row.other == Dangles) {
            EXPECT_EQ(ReadBytes("sync\\Favorites"), row.favorites) << "written where it points";
            // Wine deletes no link, and one left pointing nowhere cannot be seen to be removed: a file replaces it.
            EXPECT_TRUE(WriteBytes("plain", "") && MoveFileExA("plain", "Favorites", MOVEFILE_REPLACE_EXISTING));
        }
        const std::string unsaved = ReadBytes("Favorites.unsaved").value_or("");
        EXPECT_EQ(unsaved.size(), row.huge ? overCap : row.unsaved.size());
        EXPECT_EQ(unsaved.substr(0, row.unsaved.size()), row.unsaved);
    }
}

// Run by its own ctest entry in a Japanese session (ANSI code page 932): "ア" is 0x83 0x41 and "ソ" 0x83 0x5C,
// trail bytes that read as 'A' and '\'. Typed, saved and browsed paths keep them whole.
TEST(Cp932, LowerCaseKeepsDoubleByteCharactersWhole) {
    ASSERT_EQ(GetACP(), 932u) << "this case needs a session with code page 932";
    TempDir dir;
    ASSERT_TRUE(CreateDirectoryA(dir.Join("\x83\x41\x83\x5C").c_str(), nullptr));
    ASSERT_TRUE(WriteBytes(dir.Join("\x83\x41\x83\x5C\\a.exe"), ""));
    App app;
    ASSERT_TRUE(app.Start());
    app.Click(kAddButton);
    app.SetText(kTargetEdit, "C:\\Games\\\x83\x41\x83\x5C\\\x83\x41\x83\x5C.EXE");
    EXPECT_EQ(app.Text(kStartInEdit), "C:\\Games\\\x83\x41\x83\x5C");
    EXPECT_EQ(app.Text(kTitleEdit), "\x83\x41\x83\x5C");
    app.Click(kSaveButton);
    EXPECT_EQ(app.Text(kTargetEdit), "c:\\games\\\x83\x41\x83\x5C\\\x83\x41\x83\x5C.exe");
    app.Click(kAddButton);
    app.Click(kTargetLabel);
    HWND folders = app.control(kFolderList);
    const int last = static_cast<int>(SendMessageA(folders, LB_GETCOUNT, 0, 0)) - 1;
    ASSERT_EQ(Trimmed(GetListText(folders, last)), "\x83\x41\x83\x5C");
    SendMessageA(folders, LB_SETCURSEL, last, 0);
    SendMessageA(app.control(kBrowsePanel), WM_COMMAND, MAKEWPARAM(kFolderList, LBN_DBLCLK), LPARAM(folders));
    ASSERT_EQ(ListItems(app.control(kFileList)), std::vector<std::string>{"a.exe"});
    SendMessageA(app.control(kFileList), LB_SETCURSEL, 0, 0);
    app.Click(kOkButton);
    EXPECT_EQ(app.Text(kTargetEdit), Lower(dir.path()) + "\\\x83\x41\x83\x5C\\a.exe");
    EXPECT_EQ(app.Text(kStartInEdit), dir.path() + "\\\x83\x41\x83\x5C");
}

}  // namespace
