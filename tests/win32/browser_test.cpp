// The executable browser: opening it from the editor, walking folders, the
// file list's filter, OK and Cancel, Refresh, and folders that cannot be
// entered.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/harness.hpp"

using namespace corvane;
using namespace corvane::test;

namespace {

std::string Trimmed(const std::string& s) {
    const auto first = s.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : s.substr(first);
}

// The line of the folder list that shows `name` (indent ignored), -1 if none.
int DirLine(App& app, const std::string& name) {
    const std::vector<std::string> lines = ListItems(app.control(kDir1));
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (Trimmed(lines[i]) == name) return static_cast<int>(i);
    return -1;
}

std::string CurrentDirLine(App& app) {
    const int sel = ListSelection(app.control(kDir1));
    const std::vector<std::string> lines = ListItems(app.control(kDir1));
    return sel >= 0 && sel < static_cast<int>(lines.size()) ? Trimmed(lines[static_cast<std::size_t>(sel)]) : "";
}

std::vector<std::string> Sorted(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
}

// Opens a folder line with a double click and checks it became current.
void OpenFolder(App& app, const std::string& name) {
    const int line = DirLine(app, name);
    ASSERT_GE(line, 0) << name << " is not in the folder list";
    DoubleClickListEntry(app.control(kDir1), line);
    app.Pump(10);
    ASSERT_EQ(CurrentDirLine(app), name);
}

void SelectFile(App& app, const std::string& name) {
    const std::vector<std::string> files = ListItems(app.control(kFile1));
    const auto at = std::find(files.begin(), files.end(), name);
    ASSERT_NE(at, files.end()) << name;
    SendMessageA(app.control(kFile1), LB_SETCURSEL, static_cast<WPARAM>(at - files.begin()), 0);
}

// A folder with executables in several letter cases, files that are not
// executables, a hidden one and subfolders.
struct Tree {
    explicit Tree(const TempDir& dir) : games(dir.Join("Games")) {
        MakeDirectory(games);
        MakeDirectory(games + "\\Sub Folder");
        MakeDirectory(games + "\\Folder.exe");
        MakeDirectory(games + "\\Hidden Folder");
        SetFileAttributesA((games + "\\Hidden Folder").c_str(), FILE_ATTRIBUTE_HIDDEN);
        for (const char* name : {"a.exe", "B.EXE", "Mixed.ExE", "c.txt", "d.exe1", "exe", "x.exe"})
            WriteFileBytes(games + "\\" + name, "MZ");
        SetFileAttributesA((games + "\\x.exe").c_str(), FILE_ATTRIBUTE_HIDDEN);
        WriteFileBytes(games + "\\Sub Folder\\inner.exe", "MZ");
    }
    std::string games;
};

}  // namespace

TEST(Browser, OnlyTheTargetLabelOpensIt) {
    TempDir dir;
    App app;
    ASSERT_TRUE(app.Start());
    app.Click(kCommand5);
    for (int label : {kLabel1_1, kLabel1_2, kLabel1_3, kLabel1_4, kLabel1_5, kLabel2}) {
        MouseClick(app.control(label));
        EXPECT_TRUE(app.Visible(kFrame2)) << label;
        EXPECT_FALSE(app.Visible(kFrame3)) << label;
    }
    MouseClick(app.control(kLabel1_0));
    EXPECT_TRUE(app.Visible(kFrame3));
    EXPECT_FALSE(app.Visible(kFrame2));
    EXPECT_FALSE(app.Visible(kFrame1));

    // It starts in the current folder of the process, with its drive chosen.
    EXPECT_EQ(CurrentDirLine(app), dir.path().substr(dir.path().find_last_of('\\') + 1));
    const std::vector<std::string> drives = ListItems(app.control(kDrive1));
    const int drive = ListSelection(app.control(kDrive1));
    ASSERT_GE(drive, 0);
    EXPECT_EQ(Lower(drives[static_cast<std::size_t>(drive)]).substr(0, 2), Lower(dir.path().substr(0, 2)));
    const std::vector<std::string> lines = ListItems(app.control(kDir1));
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(Lower(Trimmed(lines[0])), Lower(dir.path().substr(0, 3)));
}

TEST(Browser, WalksFoldersAndListsOnlyVisibleExecutables) {
    TempDir dir;
    Tree tree(dir);
    App app;
    ASSERT_TRUE(app.Start());
    app.Click(kCommand5);
    app.Click(kCommand4);
    MouseClick(app.control(kLabel1_0));
    ASSERT_TRUE(app.Visible(kFrame3));

    // The start folder shows Games but none of its files.
    EXPECT_GE(DirLine(app, "Games"), 0);
    EXPECT_TRUE(ListItems(app.control(kFile1)).empty());

    OpenFolder(app, "Games");
    EXPECT_EQ(Sorted(ListItems(app.control(kFile1))), (std::vector<std::string>{"B.EXE", "Mixed.ExE", "a.exe"}));
    EXPECT_EQ(ListSelection(app.control(kFile1)), -1);
    // Visible subfolders are offered; hidden ones are not.
    EXPECT_GE(DirLine(app, "Sub Folder"), 0);
    EXPECT_GE(DirLine(app, "Folder.exe"), 0);
    EXPECT_LT(DirLine(app, "Hidden Folder"), 0);
    // The open folders from the root down stay in the list.
    EXPECT_GE(DirLine(app, dir.path().substr(dir.path().find_last_of('\\') + 1)), 0);

    // Into a subfolder and back up again.
    OpenFolder(app, "Sub Folder");
    EXPECT_EQ(ListItems(app.control(kFile1)), std::vector<std::string>{"inner.exe"});
    OpenFolder(app, "Games");
    EXPECT_EQ(ListItems(app.control(kFile1)).size(), 3u);

    // OK without a selection does nothing.
    app.Click(kCommand8);
    EXPECT_TRUE(app.Visible(kFrame3));
    EXPECT_EQ(app.Text(kText1), "");

    // OK with one: the target in lower case, the start-in folder as the
    // folder list has it, the title from the target; back to the editor.
    SelectFile(app, "B.EXE");
    app.Click(kCommand8);
    EXPECT_TRUE(app.Visible(kFrame2));
    EXPECT_FALSE(app.Visible(kFrame3));
    EXPECT_EQ(app.Text(kText1), Lower(tree.games + "\\B.EXE"));
    EXPECT_EQ(app.Text(kText2), tree.games);
    EXPECT_EQ(app.Text(kText3), "games");
    EXPECT_EQ(app.boxes().count(), 0u);

    // Saved, the start-in folder is lower-cased too.
    app.Click(kCommand1);
    ASSERT_EQ(app.store().size(), 1u);
    EXPECT_EQ(app.store().items()[0].startIn, Lower(tree.games));
    EXPECT_EQ(app.store().items()[0].coded, "0__" + Lower(tree.games + "\\B.EXE"));
}

TEST(Browser, KeepsItsStateAcrossCancel) {
    TempDir dir;
    Tree tree(dir);
    App app;
    ASSERT_TRUE(app.Start());
    app.Click(kCommand5);
    app.SetText(kText3, "Mine");
    app.SetText(kText2, "typed");
    MouseClick(app.control(kLabel1_0));
    OpenFolder(app, "Games");
    SelectFile(app, "a.exe");

    // Cancel goes back to the editor and changes nothing.
    app.Click(kCommand7);
    EXPECT_TRUE(app.Visible(kFrame2));
    EXPECT_FALSE(app.Visible(kFrame3));
    EXPECT_EQ(app.Text(kText1), "");
    EXPECT_EQ(app.Text(kText2), "typed");

    // Reopened: same folder, same selection, and OK takes it.
    MouseClick(app.control(kLabel1_0));
    EXPECT_EQ(CurrentDirLine(app), "Games");
    const int sel = ListSelection(app.control(kFile1));
    ASSERT_GE(sel, 0);
    EXPECT_EQ(ListItems(app.control(kFile1))[static_cast<std::size_t>(sel)], "a.exe");
    app.Click(kCommand8);
    EXPECT_EQ(app.Text(kText1), Lower(tree.games + "\\a.exe"));
    EXPECT_EQ(app.Text(kText2), tree.games);
    EXPECT_EQ(app.Text(kText3), "Mine");

    // OK with the path already in the target: no change handling, and the
    // start-in folder is still set from the folder list.
    app.SetText(kText2, "typed again");
    MouseClick(app.control(kLabel1_0));
    app.Click(kCommand8);
    EXPECT_EQ(app.Text(kText2), tree.games);

    // Opening another folder drops the file selection; OK then does nothing.
    MouseClick(app.control(kLabel1_0));
    OpenFolder(app, "Sub Folder");
    EXPECT_EQ(ListSelection(app.control(kFile1)), -1);
    app.Click(kCommand8);
    EXPECT_TRUE(app.Visible(kFrame3));
}

TEST(Browser, RefreshAndFoldersThatCannotBeEntered) {
    TempDir dir;
    Tree tree(dir);
    MakeDirectory(tree.games + "\\Doomed");
    App app;
    ASSERT_TRUE(app.Start());
    app.Click(kCommand5);
    MouseClick(app.control(kLabel1_0));
    OpenFolder(app, "Games");
    SelectFile(app, "Mixed.ExE");

    // Refresh shows what was added or removed since, keeping the selection.
    WriteFileBytes(tree.games + "\\New.exe", "MZ");
    DeleteFileA((tree.games + "\\a.exe").c_str());
    MakeDirectory(tree.games + "\\Fresh");
    EXPECT_EQ(ListItems(app.control(kFile1)).size(), 3u);
    app.Click(kCommand9);
    EXPECT_EQ(Sorted(ListItems(app.control(kFile1))), (std::vector<std::string>{"B.EXE", "Mixed.ExE", "New.exe"}));
    EXPECT_GE(DirLine(app, "Fresh"), 0);
    const int sel = ListSelection(app.control(kFile1));
    ASSERT_GE(sel, 0);
    EXPECT_EQ(ListItems(app.control(kFile1))[static_cast<std::size_t>(sel)], "Mixed.ExE");
    EXPECT_TRUE(app.Visible(kFrame3));

    // A folder that went away after it was listed: one beep, and the lists
    // stay on the folder they showed.
    ASSERT_TRUE(RemoveDirectoryA((tree.games + "\\Doomed").c_str()));
    const long beeps = BeepCount();
    const std::vector<std::string> filesBefore = ListItems(app.control(kFile1));
    const int line = DirLine(app, "Doomed");
    ASSERT_GE(line, 0);
    DoubleClickListEntry(app.control(kDir1), line);
    app.Pump(10);
    EXPECT_EQ(BeepCount() - beeps, 1);
    EXPECT_EQ(CurrentDirLine(app), "Games");
    EXPECT_EQ(ListItems(app.control(kFile1)), filesBefore);
    // OK still takes a file of the folder that is still current.
    SelectFile(app, "New.exe");
    app.Click(kCommand8);
    EXPECT_EQ(app.Text(kText1), Lower(tree.games + "\\New.exe"));
    EXPECT_EQ(app.boxes().count(), 0u);
}

TEST(Browser, AnotherDrive) {
    TempDir dir;
    App app;
    ASSERT_TRUE(app.Start());
    app.Click(kCommand5);
    MouseClick(app.control(kLabel1_0));
    HWND drive = app.control(kDrive1);
    const std::vector<std::string> drives = ListItems(drive);
    const int current = ListSelection(drive);
    ASSERT_GE(current, 0);
    // Any other drive that exists; Wine always has z: for the Unix root.
    int other = -1;
    for (std::size_t i = 0; i < drives.size(); ++i)
        if (static_cast<int>(i) != current && GetDriveTypeA((drives[i].substr(0, 2) + "\\").c_str()) == DRIVE_FIXED)
            other = static_cast<int>(i);
    if (other < 0) GTEST_SKIP() << "no second fixed drive";
    const long beeps = BeepCount();
    SendMessageA(drive, CB_SETCURSEL, static_cast<WPARAM>(other), 0);
    Notify(drive, CBN_SELCHANGE);
    app.Pump(10);
    EXPECT_EQ(BeepCount(), beeps);
    const std::vector<std::string> lines = ListItems(app.control(kDir1));
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(Lower(Trimmed(lines[0])).substr(0, 2), Lower(drives[static_cast<std::size_t>(other)].substr(0, 2)));
}

TEST(Browser, CloseDuringOk) {
    TempDir dir;
    Tree tree(dir);
    App app;
    ASSERT_TRUE(app.Start());
    app.Click(kCommand5);
    MouseClick(app.control(kLabel1_0));
    OpenFolder(app, "Games");
    SelectFile(app, "a.exe");
    // The target change handling lets the close run in the middle of OK.
    PostMessageA(app.hwnd(), WM_CLOSE, 0, 0);
    app.Click(kCommand8);
    EXPECT_TRUE(app.closed());
    EXPECT_EQ(ReadFileBytes(dir.Join("Favorites")), std::string());
}
