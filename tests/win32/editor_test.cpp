// The favorite editor: Add, Save with its checks and messages, Clear, Cancel,
// Remove, the start-in folder and title that follow the target, and files
// dropped on the target field.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/harness.hpp"

using namespace corvane;
using namespace corvane::test;

namespace {

constexpr char kFillIn[] = "Please fill in the required data!";
constexpr char kDuplicate[] = "Favorite already exsists, Please Rename Title!";

constexpr int kCore0 = kOption1_0;
constexpr int kCore1 = kOption1_1;
constexpr int kCoreDefault = kOption1_2;

// Opens the editor with Add and empties it with Clear.
void OpenEmptyEditor(App& app) {
    app.Click(kCommand5);
    ASSERT_TRUE(app.Visible(kFrame2));
    app.Click(kCommand4);
    for (int id : {kText1, kText2, kText3, kText4}) ASSERT_EQ(app.Text(id), "") << id;
}

// Types a favorite the way a user fills the form: the target first (which
// derives the start-in folder and a title), then the other fields over what
// was derived, then the core.
void Type(App& app, const std::string& title, const std::string& target, const std::string& startIn,
          const std::string& params, int core) {
    app.SetText(kText1, target);
    app.SetText(kText2, startIn);
    app.SetText(kText3, title);
    app.SetText(kText4, params);
    app.Click(core);
}

std::vector<std::string> Displays(const App& app) {
    std::vector<std::string> out;
    for (const Favorite& f : app.store().items()) out.push_back(f.display);
    return out;
}

// The one message box shown since the last clear, with its exact look.
void ExpectOneBox(App& app, const char* text) {
    ASSERT_EQ(app.boxes().count(), 1u) << "expected the message \"" << text << "\"";
    const MessageBoxSeen& box = app.boxes().seen()[0];
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.caption, "Corvane");
    EXPECT_TRUE(box.onlyOk);
    EXPECT_TRUE(box.informationIcon);
    app.boxes().clear();
}

std::string Record(const std::string& display, const std::string& coded, const std::string& startIn,
                   const std::string& params) {
    return FileRecord(display, coded, startIn, params);
}

}  // namespace

// ---------------------------------------------------------------- Add

TEST(Add, OpensTheEditorWithTheCurrentFavorite) {
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes("Favorites", Record("Chess on CPU 1", "1__c:\\games\\chess\\chess.exe",
                                                   "c:\\games\\chess", "-fast")));
    App app;
    ASSERT_TRUE(app.Start());
    SetForegroundWindow(app.hwnd());
    app.Click(kCommand5);
    EXPECT_TRUE(app.Visible(kFrame2));
    EXPECT_FALSE(app.Visible(kFrame1));
    EXPECT_FALSE(app.Visible(kFrame3));
    // Not emptied: the selected favorite stands in the fields.
    EXPECT_EQ(app.Text(kText3), "Chess");
    EXPECT_EQ(app.Text(kText1), "c:\\games\\chess\\chess.exe");
    EXPECT_EQ(app.Text(kText4), "-fast");
    EXPECT_TRUE(app.Checked(kCore1));
    // The caret waits after the title.
    EXPECT_EQ(GetFocus(), app.control(kText3));
    DWORD start = 0, end = 0;
    SendMessageA(app.control(kText3), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 5u);
    EXPECT_EQ(end, 5u);

    // Saving it unchanged is refused as a duplicate.
    app.Click(kCommand1);
    ExpectOneBox(app, kDuplicate);
    EXPECT_EQ(app.store().size(), 1u);
    EXPECT_TRUE(app.Visible(kFrame2));
}

// ---------------------------------------------------------------- Save

TEST(Save, AppendsSelectsAndReloadsTheFavorite) {
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes("Favorites", Record("Old on CPU 0", "0__c:\\old\\old.exe", "c:\\old", "None")));
    App app;
    ASSERT_TRUE(app.Start());
    OpenEmptyEditor(app);
    Type(app, "My Game", "C:\\Games\\My Game\\Game.EXE", "C:\\Games\\My Game", "", kCore1);
    app.Click(kCommand1);
    EXPECT_EQ(app.boxes().count(), 0u);

    ASSERT_EQ(app.store().size(), 2u);
    const Favorite& saved = app.store().items().back();
    EXPECT_EQ(saved.display, "My Game on CPU 1");
    EXPECT_EQ(saved.coded, "1__c:\\games\\my game\\game.exe");
    EXPECT_EQ(saved.startIn, "c:\\games\\my game");
    EXPECT_EQ(saved.params, "None");
    EXPECT_EQ(app.Favorites(), (std::vector<std::string>{"Old on CPU 0", "My Game on CPU 1"}));

    // Back on the favorites panel with the new favorite selected and loaded.
    EXPECT_TRUE(app.Visible(kFrame1));
    EXPECT_FALSE(app.Visible(kFrame2));
    EXPECT_EQ(app.Selected(), 1);
    EXPECT_EQ(app.Text(kText3), "My Game");
    EXPECT_EQ(app.Text(kText1), "c:\\games\\my game\\game.exe");
    EXPECT_EQ(app.Text(kText2), "c:\\games\\my game");
    EXPECT_EQ(app.Text(kText4), "None");
    EXPECT_TRUE(app.Checked(kCore1));
    EXPECT_FALSE(app.Checked(kCore0));
    EXPECT_TRUE(app.Enabled(kCommand3));

    // Titles and parameters keep their case; a title with " on" is stored
    // whole and loads back up to its first " on".
    app.Click(kCommand5);
    app.Click(kCommand4);
    Type(app, "  Battle on Mars  ", "  D:\\War\\Mars.exe  ", "ignored", "  -Level HARD  ", kCore0);
    app.Click(kCommand1);
    EXPECT_EQ(app.boxes().count(), 0u);
    ASSERT_EQ(app.store().size(), 3u);
    const Favorite& battle = app.store().items().back();
    EXPECT_EQ(battle.display, "Battle on Mars on CPU 0");
    EXPECT_EQ(battle.coded, "0__d:\\war\\mars.exe");
    // The target had spaces, so trimming it re-derived the start-in folder
    // over the one typed by hand.
    EXPECT_EQ(battle.startIn, "d:\\war");
    EXPECT_EQ(battle.params, "-Level HARD");
    EXPECT_EQ(app.Text(kText3), "Battle");
    EXPECT_EQ(app.Selected(), 2);

    // Without spaces around the target the start-in folder typed by hand stays.
    app.Click(kCommand5);
    app.Click(kCommand4);
    Type(app, "Kept", "c:\\kept\\kept.exe", "E:\\Elsewhere", "x", kCoreDefault);
    app.Click(kCommand1);
    ASSERT_EQ(app.store().size(), 4u);
    EXPECT_EQ(app.store().items().back().startIn, "e:\\elsewhere");
    EXPECT_EQ(app.store().items().back().display, "Kept on Default");
    EXPECT_TRUE(app.Checked(kCoreDefault));

    ASSERT_TRUE(app.Close());
    EXPECT_EQ(ReadFileBytes(dir.Join("Favorites")),
              Record("Old on CPU 0", "0__c:\\old\\old.exe", "c:\\old", "None") +
                  Record("My Game on CPU 1", "1__c:\\games\\my game\\game.exe", "c:\\games\\my game", "None") +
                  Record("Battle on Mars on CPU 0", "0__d:\\war\\mars.exe", "d:\\war", "-Level HARD") +
                  Record("Kept on Default", "2__c:\\kept\\kept.exe", "e:\\elsewhere", "x"));
}

TEST(Save, RequiredLengths) {
    struct Case {
        const char* title;
        const char* target;
        const char* startIn;
        bool saved;
    };
    const Case cases[] = {
        {"Seven", "c:\\ab.e", "c:\\x", true},          // target of 7 characters
        {"Six", "c:\\a.e", "c:\\x", false},             // 6
        {"Padded", "   c:\\ab.e   ", "c:\\x", true},    // 7 once trimmed
        {"PaddedShort", "  c:\\a.e  ", "c:\\x", false},  // 6 once trimmed
        {"Root", "c:\\games\\a.exe", "c:", true},      // start-in of 2
        {"Drive", "c:\\games\\a.exe", "c", false},     // 1
        {"   ", "c:\\games\\b.exe", "c:\\games", false},  // title of spaces only
        {"", "c:\\games\\b.exe", "c:\\games", false},
        {"T", "c:\\games\\b.exe", "c:\\games", true},  // title of 1
    };
    TempDir dir;
    App app;
    ASSERT_TRUE(app.Start());
    std::size_t count = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.title) + " / " + c.target + " / " + c.startIn);
        if (!app.Visible(kFrame2)) app.Click(kCommand5);
        app.Click(kCommand4);
        Type(app, c.title, c.target, c.startIn, "", kCore0);
        app.Click(kCommand1);
        if (c.saved) {
            EXPECT_EQ(app.boxes().count(), 0u);
            EXPECT_EQ(app.store().size(), ++count);
            EXPECT_TRUE(app.Visible(kFrame1));
        } else {
            ExpectOneBox(app, kFillIn);
            EXPECT_EQ(app.store().size(), count);
            // The editor stays open, holding the trimmed fields.
            EXPECT_TRUE(app.Visible(kFrame2));
            EXPECT_EQ(app.Text(kText3), std::string(TrimSpaces(c.title)));
            EXPECT_EQ(app.Text(kText1), std::string(TrimSpaces(c.target)));
            EXPECT_EQ(app.Text(kText4), "");
        }
    }
}

TEST(Save, DuplicatesAreRefusedByDisplayText) {
    TempDir dir;
    App app;
    ASSERT_TRUE(app.Start());
    const std::string chess = "c:\\games\\chess\\chess.exe";
    struct Step {
        const char* title;
        int core;
        bool added;
    };
    const Step steps[] = {
        {"Chess", kCore0, true},   {"Chess", kCore0, false},    // same title, same core
        {"Chess", kCore1, true},   {"Chess", kCoreDefault, true},  // same title, other cores
        {"chess", kCore0, true},                               // letter case counts
        {"Chess", kCoreDefault, false},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(std::string(s.title) + " " + std::to_string(s.core));
        if (!app.Visible(kFrame2)) app.Click(kCommand5);
        app.Click(kCommand4);
        Type(app, s.title, chess, "c:\\games\\chess", "", s.core);
        const std::size_t before = app.store().size();
        app.Click(kCommand1);
        if (s.added) {
            EXPECT_EQ(app.boxes().count(), 0u);
            EXPECT_EQ(app.store().size(), before + 1);
        } else {
            ExpectOneBox(app, kDuplicate);
            EXPECT_EQ(app.store().size(), before);
            EXPECT_EQ(app.Favorites().size(), before);
            EXPECT_TRUE(app.Visible(kFrame2));
            EXPECT_EQ(app.Text(kText3), s.title);
        }
    }
    EXPECT_EQ(Displays(app),
              (std::vector<std::string>{"Chess on CPU 0", "Chess on CPU 1", "Chess on Default", "chess on CPU 0"}));
    EXPECT_EQ(app.Favorites(), Displays(app));
}

// ---------------------------------------------------------------- Clear, Cancel, Remove

TEST(Editor, ClearEmptiesOnlyTheFields) {
    TempDir dir;
    const std::string exe = Lower(ThisExePath());
    ASSERT_TRUE(WriteFileBytes("Favorites", Record("Me on Default", "2__" + exe, "c:\\", "p")));
    App app;
    ASSERT_TRUE(app.Start());
    HICON icon = app.win().previewIcon();
    ASSERT_NE(icon, nullptr);
    app.Click(kCommand5);
    app.Click(kCommand4);
    for (int id : {kText1, kText2, kText3, kText4}) EXPECT_EQ(app.Text(id), "") << id;
    EXPECT_EQ(app.Text(kText5), "Normal Window");
    EXPECT_TRUE(app.Checked(kCoreDefault));
    EXPECT_EQ(app.Selected(), 0);
    EXPECT_EQ(app.win().previewIcon(), icon);
    EXPECT_TRUE(app.Enabled(kCommand3));
    EXPECT_TRUE(app.Visible(kFrame2));
}

TEST(Editor, CancelGoesBackDeselectedAndEmpty) {
    TempDir dir;
    const std::string exe = Lower(ThisExePath());
    ASSERT_TRUE(WriteFileBytes("Favorites", Record("Me on CPU 1", "1__" + exe, "c:\\", "p")));
    App app;
    ASSERT_TRUE(app.Start());
    ASSERT_NE(app.win().previewIcon(), nullptr);
    app.Click(kCommand5);
    app.SetText(kText3, "Edited");
    app.Click(kCommand6);
    EXPECT_TRUE(app.Visible(kFrame1));
    EXPECT_FALSE(app.Visible(kFrame2));
    EXPECT_EQ(app.Selected(), -1);
    for (int id : {kText1, kText2, kText3, kText4}) EXPECT_EQ(app.Text(id), "") << id;
    EXPECT_EQ(app.win().previewIcon(), nullptr);
    EXPECT_FALSE(app.Enabled(kCommand3));
    // The core stays as it was; nothing was saved.
    EXPECT_TRUE(app.Checked(kCore1));
    EXPECT_EQ(app.store().size(), 1u);
    EXPECT_EQ(app.boxes().count(), 0u);
}

TEST(Editor, RemoveDeletesTheSelectedFavoriteWhole) {
    TempDir dir;
    const std::string a = Record("A on CPU 0", "0__c:\\a\\a.exe", "c:\\a", "-a");
    const std::string b = Record("B on CPU 1", "1__c:\\b\\b.exe", "c:\\bee", "None");
    const std::string c = Record("C on Default", "2__c:\\c\\c.exe", "c:\\sea", "--c");
    ASSERT_TRUE(WriteFileBytes("Favorites", a + b + c));
    App app;
    ASSERT_TRUE(app.Start());
    ASSERT_EQ(app.Selected(), 0);
    app.Click(kCommand2);
    EXPECT_EQ(app.Favorites(), (std::vector<std::string>{"B on CPU 1", "C on Default"}));
    ASSERT_EQ(app.store().size(), 2u);
    EXPECT_EQ(app.store().items()[0], (Favorite{"B on CPU 1", "1__c:\\b\\b.exe", "c:\\bee", "None"}));
    EXPECT_EQ(app.store().items()[1], (Favorite{"C on Default", "2__c:\\c\\c.exe", "c:\\sea", "--c"}));
    // Nothing selected afterwards, fields empty, Launch off.
    EXPECT_EQ(app.Selected(), -1);
    for (int id : {kText1, kText2, kText3, kText4}) EXPECT_EQ(app.Text(id), "") << id;
    EXPECT_FALSE(app.Enabled(kCommand3));

    // The remaining ones still load their own fields.
    app.Select(1);
    EXPECT_EQ(app.Text(kText2), "c:\\sea");
    EXPECT_EQ(app.Text(kText4), "--c");

    // With nothing selected Remove deletes nothing but still clears.
    app.Select(-1);
    app.SetText(kText4, "left over");
    app.Click(kCommand2);
    EXPECT_EQ(app.store().size(), 2u);
    EXPECT_EQ(app.Text(kText4), "");
    EXPECT_FALSE(app.Enabled(kCommand3));
    EXPECT_EQ(app.boxes().count(), 0u);

    ASSERT_TRUE(app.Close());
    EXPECT_EQ(ReadFileBytes(dir.Join("Favorites")), b + c);
}

TEST(Editor, CoreOptionsExcludeEachOther) {
    TempDir dir;
    App app;
    ASSERT_TRUE(app.Start());
    app.Click(kCommand5);
    for (int chosen : {kCoreDefault, kCore1, kCore0, kCoreDefault}) {
        app.Click(chosen);
        for (int id : {kCore0, kCore1, kCoreDefault}) EXPECT_EQ(app.Checked(id), id == chosen) << chosen << " " << id;
    }
}

// ---------------------------------------------------------------- the target

TEST(Target, ChangeDerivesStartInAndTitle) {
    TempDir dir;
    App app;
    ASSERT_TRUE(app.Start());
    OpenEmptyEditor(app);

    app.SetText(kText1, "c:\\games\\chess\\chess.exe");
    EXPECT_EQ(app.Text(kText2), "c:\\games\\chess");
    EXPECT_EQ(app.Text(kText3), "chess");

    // A title already there stays; the start-in folder follows every change.
    app.SetText(kText3, "My Chess");
    app.SetText(kText1, "D:\\Other\\Place\\chess.exe");
    EXPECT_EQ(app.Text(kText2), "D:\\Other\\Place");
    EXPECT_EQ(app.Text(kText3), "My Chess");

    // Setting the target to the text it already holds is no change: a
    // start-in folder typed by hand survives it.
    app.SetText(kText2, "e:\\by hand");
    app.SetText(kText1, "D:\\Other\\Place\\chess.exe");
    EXPECT_EQ(app.Text(kText2), "e:\\by hand");

    // In the root of a drive: the start-in folder is the drive alone and an
    // empty title stays empty, so Save asks for the data.
    app.Click(kCommand4);
    app.SetText(kText1, "c:\\chess.exe");
    EXPECT_EQ(app.Text(kText2), "c:");
    EXPECT_EQ(app.Text(kText3), "");
    app.Click(kCommand1);
    ExpectOneBox(app, kFillIn);
    EXPECT_TRUE(app.store().empty());
    // ...until a title is typed.
    app.SetText(kText3, "Root");
    app.Click(kCommand1);
    EXPECT_EQ(app.boxes().count(), 0u);
    ASSERT_EQ(app.store().size(), 1u);
    EXPECT_EQ(app.store().items()[0].startIn, "c:");

    // Clearing the target clears what was derived from it, but not a title.
    app.Click(kCommand5);
    app.SetText(kText1, "");
    EXPECT_EQ(app.Text(kText2), "");
    EXPECT_EQ(app.Text(kText3), "Root");
}

TEST(Target, DroppedFiles) {
    TempDir dir;
    App app;
    ASSERT_TRUE(app.Start());
    OpenEmptyEditor(app);
    HWND target = app.control(kText1);

    // Case kept, start-in and title follow.
    DropFiles(target, {"C:\\Games\\Chess\\CHESS.EXE"});
    EXPECT_EQ(app.Text(kText1), "C:\\Games\\Chess\\CHESS.EXE");
    EXPECT_EQ(app.Text(kText2), "C:\\Games\\Chess");
    EXPECT_EQ(app.Text(kText3), "Chess");

    // Not an executable, or an executable only as the second file: nothing.
    DropFiles(target, {"C:\\Docs\\readme.txt"});
    DropFiles(target, {"C:\\Docs\\readme.txt", "C:\\Games\\Go\\go.exe"});
    DropFiles(target, {"C:\\Games\\Go\\go.exe1"});
    DropFiles(target, {"C:\\Games\\Go\\exe"});
    EXPECT_EQ(app.Text(kText1), "C:\\Games\\Chess\\CHESS.EXE");
    EXPECT_EQ(app.Text(kText2), "C:\\Games\\Chess");

    // Of several executables the first counts; ".exe" in any case.
    DropFiles(target, {"C:\\Games\\Go\\Go.ExE", "C:\\Games\\Chess\\chess.exe"});
    EXPECT_EQ(app.Text(kText1), "C:\\Games\\Go\\Go.ExE");
    EXPECT_EQ(app.Text(kText2), "C:\\Games\\Go");

    // Double quotes are removed; the test for ".exe" looks at the name as
    // dropped, so a quote after it makes it no executable.
    DropFiles(target, {"C:\\\"Quoted Games\"\\q.exe"});
    EXPECT_EQ(app.Text(kText1), "C:\\Quoted Games\\q.exe");
    DropFiles(target, {"\"C:\\Games\\r.exe\""});
    EXPECT_EQ(app.Text(kText1), "C:\\Quoted Games\\q.exe");

    // Dropping the target that is already there changes nothing: a start-in
    // folder typed by hand stays.
    app.SetText(kText2, "f:\\typed");
    DropFiles(target, {"C:\\Quoted Games\\q.exe"});
    EXPECT_EQ(app.Text(kText2), "f:\\typed");

    // Other fields take no drops.
    DropFiles(app.control(kText3), {"C:\\Games\\Go\\go.exe"});
    EXPECT_EQ(app.Text(kText3), "Chess");
    EXPECT_EQ(app.Text(kText1), "C:\\Quoted Games\\q.exe");

    // Lower-cased only when saved.
    app.Click(kCommand1);
    EXPECT_EQ(app.boxes().count(), 0u);
    ASSERT_EQ(app.store().size(), 1u);
    EXPECT_EQ(app.store().items()[0].coded, "0__c:\\quoted games\\q.exe");
    EXPECT_EQ(app.store().items()[0].startIn, "f:\\typed");
    EXPECT_EQ(app.store().items()[0].display, "Chess on CPU 0");
}
