// The window as the user first meets it: layout, tab order, start-up from the
// Favorites file, shutdown writing it back, and the favorite selection with
// its icon preview.
#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/harness.hpp"

using namespace corvane;
using namespace corvane::test;

namespace {

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}

int Px(int twips) { return MulDiv(twips, ScreenDpi(), 1440); }

LOGFONTA FontOf(HWND control) {
    LOGFONTA lf{};
    auto font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
    if (font) GetObjectA(font, sizeof lf, &lf);
    return lf;
}

// Where a control must stand, as designed, in twips within its container.
struct Expected {
    int id;
    const char* name;
    const char* cls;  // nullptr: a panel, whose class is the program's own
    const char* caption;
    int left, top, width, height;  // height < 0: the system decides it
};

constexpr Expected kExpected[] = {
    {kFrame1, "Frame1", nullptr, "Favorites", 75, 30, 5880, 3495},
    {kFrame2, "Frame2", nullptr, "Add New Favorite", 60, 30, 5880, 3495},
    {kFrame3, "Frame3", nullptr, "Select Exe", 60, 30, 5880, 3495},

    {kList1, "List1", "ListBox", "", 90, 210, 5685, 2730},
    {kCommand3, "Command3", "Button", "Launch", 180, 3030, 1100, 375},
    {kPicture1, "Picture1", "Static", "", 1350, 2970, 555, 465},
    {kCommand5, "Command5", "Button", "Add", 2407, 3030, 1100, 375},
    {kCommand2, "Command2", "Button", "Remove", 4635, 3030, 1100, 375},

    {kShape2, "Shape2", "Static", "", 180, 330, 5505, 2535},
    {kLabel1_2, "Label1(2)", "Static", "Core", 315, 510, 330, 195},
    {kLabel2, "Label2", "Static", "", 900, 510, 4410, 285},
    {kOption1_0, "Option1(0)", "Button", "CPU 0", 1020, 555, 780, 195},
    {kOption1_1, "Option1(1)", "Button", "CPU 1", 2430, 570, 780, 195},
    {kOption1_2, "Option1(2)", "Button", "Default", 3840, 570, 825, 195},
    {kLabel1_3, "Label1(3)", "Static", "Title", 315, 888, 300, 195},
    {kText3, "Text3", "Edit", "", 900, 888, 4410, 285},
    {kLabel1_0, "Label1(0)", "Static", "Target", 240, 1275, 615, 255},
    {kText1, "Text1", "Edit", "", 900, 1266, 4410, 285},
    {kLabel1_4, "Label1(4)", "Static", "Options", 300, 1644, 540, 195},
    {kText4, "Text4", "Edit", "", 900, 1644, 4410, 285},
    {kLabel1_1, "Label1(1)", "Static", "Start in:", 315, 2025, 540, 195},
    {kText2, "Text2", "Edit", "", 900, 2025, 4410, 285},
    {kLabel1_5, "Label1(5)", "Static", "Run:", 330, 2430, 540, 195},
    {kText5, "Text5", "Edit", "Normal Window", 885, 2415, 4410, 285},
    {kCommand4, "Command4", "Button", "Clear", 180, 3030, 1100, 375},
    {kCommand6, "Command6", "Button", "Cancel", 2407, 3030, 1100, 375},
    {kCommand1, "Command1", "Button", "Save", 4635, 3030, 1100, 375},

    {kDrive1, "Drive1", "ComboBox", nullptr, 105, 225, 5655, -1},
    {kDir1, "Dir1", "ListBox", nullptr, 105, 607, 5655, 1440},
    {kFile1, "File1", "ListBox", nullptr, 105, 2115, 5655, 810},
    {kCommand9, "Command9", "Button", "Refresh", 180, 3030, 1100, 375},
    {kCommand7, "Command7", "Button", "Cancel", 2407, 3030, 1100, 375},
    {kCommand8, "Command8", "Button", "OK", 4635, 3030, 1100, 375},
};

void ExpectAt(HWND control, const char* name, int left, int top, int width, int height) {
    const RECT rc = ChildRect(control);
    EXPECT_NEAR(rc.left, Px(left), 1) << name << " left";
    EXPECT_NEAR(rc.top, Px(top), 1) << name << " top";
    EXPECT_NEAR(rc.right - rc.left, Px(width), 1) << name << " width";
    if (height >= 0) {
        EXPECT_NEAR(rc.bottom - rc.top, Px(height), 1) << name << " height";
    }
}

const char kChess[] = "Chess on CPU 1\r\n1__c:\\games\\chess\\chess.exe\r\nc:\\games\\chess\r\nNone\r\n";

std::string Record(const std::string& display, const std::string& coded, const std::string& startIn,
                   const std::string& params) {
    return FileRecord(display, coded, startIn, params);
}

}  // namespace

// ---------------------------------------------------------------- layout

TEST(Layout, EveryControlWhereDesigned) {
    TempDir dir;
    App app;
    ASSERT_TRUE(app.Start());
    for (const Expected& e : kExpected) {
        HWND control = app.control(e.id);
        ASSERT_NE(control, nullptr) << e.name;
        EXPECT_EQ(GetDlgCtrlID(control), e.id) << e.name;
        HWND container = GetParent(control);
        if (e.cls) {
            EXPECT_EQ(Lower(ClassOf(control)), Lower(e.cls)) << e.name;
            const int frame = e.id / 100 == 11 ? kFrame1 : e.id / 100 == 12 ? kFrame2 : kFrame3;
            EXPECT_EQ(container, app.control(frame)) << e.name;
        } else {
            EXPECT_EQ(container, app.hwnd()) << e.name;
        }
        if (e.caption) {
            EXPECT_EQ(WindowText(control), e.caption) << e.name;
        }
        ExpectAt(control, e.name, e.left, e.top, e.width, e.height);
    }

    RECT client{};
    GetClientRect(app.hwnd(), &client);
    EXPECT_NEAR(client.right, Px(6015), 1);
    EXPECT_NEAR(client.bottom, Px(3615), 1);
    // No menu bar: the only menu is the notification-area pop-up.
    EXPECT_EQ(GetMenu(app.hwnd()), nullptr);
}

TEST(Layout, StateAsDesignedBeforeAndAfterStartUp) {
    TempDir dir;
    App app;
    ASSERT_TRUE(app.CreateOnly());
    // Before start-up: the design caption, and the editor and browse panels
    // parked below the client area.
    EXPECT_EQ(WindowText(app.hwnd()), "Corvane");
    ExpectAt(app.control(kFrame2), "Frame2", 90, 3735, 5880, 3495);
    ExpectAt(app.control(kFrame3), "Frame3", 135, 7545, 5880, 3495);

    ASSERT_EQ(app.win().Load(), MainWindow::StartResult::Running);
    app.Pump(20);
    EXPECT_EQ(app.Text(kText5), "Normal Window");
    EXPECT_TRUE(app.Visible(kFrame1));
    EXPECT_FALSE(app.Visible(kFrame2));
    EXPECT_FALSE(app.Visible(kFrame3));
    ExpectAt(app.control(kFrame2), "Frame2", 60, 30, 5880, 3495);
    ExpectAt(app.control(kFrame3), "Frame3", 60, 30, 5880, 3495);
    ExpectAt(app.control(kFrame1), "Frame1", 75, 30, 5880, 3495);

    EXPECT_FALSE(app.Enabled(kCommand3));
    EXPECT_TRUE(app.Checked(kOption1_0));
    EXPECT_FALSE(app.Checked(kOption1_1));
    EXPECT_FALSE(app.Checked(kOption1_2));
    for (int id : {kText1, kText2, kText3, kText4}) EXPECT_EQ(app.Text(id), "") << id;

    HWND text5 = app.control(kText5);
    EXPECT_EQ(WindowText(text5), "Normal Window");
    EXPECT_TRUE(GetWindowLongA(text5, GWL_STYLE) & ES_READONLY);
    // Typing cannot change it.
    SendMessageA(text5, WM_CHAR, 'x', 0);
    EXPECT_EQ(WindowText(text5), "Normal Window");
    EXPECT_FALSE(GetWindowLongA(app.control(kText3), GWL_STYLE) & ES_READONLY);

    // The favorites list keeps insertion order and selects one entry at most.
    const LONG listStyle = GetWindowLongA(app.control(kList1), GWL_STYLE);
    EXPECT_FALSE(listStyle & LBS_SORT);
    EXPECT_FALSE(listStyle & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL));
    EXPECT_FALSE(GetWindowLongA(app.control(kFile1), GWL_STYLE) & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL));
    // Only the target field takes dropped files.
    EXPECT_TRUE(GetWindowLongA(app.control(kText1), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    for (int id : {kText2, kText3, kText4, kList1})
        EXPECT_FALSE(GetWindowLongA(app.control(id), GWL_EXSTYLE) & WS_EX_ACCEPTFILES) << id;
}

TEST(Layout, Fonts) {
    TempDir dir;
    App app;
    ASSERT_TRUE(app.Start());
    const LOGFONTA list = FontOf(app.control(kList1));
    EXPECT_GE(list.lfWeight, FW_BOLD);
    EXPECT_STREQ(list.lfFaceName, "MS Sans Serif");
    for (int id : {kCommand1, kCommand2, kCommand3, kCommand4, kCommand5, kCommand6, kCommand7, kCommand8, kCommand9}) {
        const LOGFONTA button = FontOf(app.control(id));
        EXPECT_GE(button.lfWeight, FW_BOLD) << id;
        EXPECT_STREQ(button.lfFaceName, "MS Sans Serif") << id;
        // 9.75 pt against 8.25 pt.
        EXPECT_GT(std::abs(list.lfHeight), std::abs(button.lfHeight)) << id;
    }
    for (int id : {kText1, kText5, kLabel1_0, kOption1_0, kDir1, kFile1})
        EXPECT_LT(FontOf(app.control(id)).lfWeight, FW_BOLD) << id;
}

namespace {

// What a control shows on screen, pixel by pixel, by colour.
struct Colours {
    int white = 0, black = 0, grey = 0, total = 0;
};

// A group box spans its whole panel, under the other controls: only the
// strip its caption sits in (`captionOnly`) is its own.
Colours ColoursOf(HWND control, bool captionOnly = false) {
    RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    Colours c;
    RECT rc;
    GetClientRect(control, &rc);
    HDC dc = GetDC(control);
    if (captionOnly) {
        TEXTMETRICA tm{};
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0)));
        GetTextMetricsA(dc, &tm);
        SelectObject(dc, old);
        rc.bottom = rc.top + tm.tmHeight;
    }
    for (int y = rc.top; y < rc.bottom; ++y) {
        for (int x = rc.left; x < rc.right; ++x) {
            const COLORREF p = GetPixel(dc, x, y);
            ++c.total;
            if (p == RGB(255, 255, 255)) ++c.white;
            else if (p == RGB(0, 0, 0)) ++c.black;
            else if (p == RGB(192, 192, 192)) ++c.grey;
        }
    }
    ReleaseDC(control, dc);
    return c;
}

}  // namespace

TEST(Layout, PanelColours) {
    TempDir dir;
    App app;
    ASSERT_TRUE(app.Start());
    // Panel captions and field captions: white letters on the grey panel,
    // never the system's black text.
    const Colours frame = ColoursOf(app.control(kFrameBox1), true);
    EXPECT_GT(frame.grey, frame.total / 2);
    EXPECT_GT(frame.white, 20);
    EXPECT_EQ(frame.black, 0);

    app.Click(kCommand5);
    app.Pump(20);
    ASSERT_TRUE(app.Visible(kFrame2));
    for (int id : {kFrameBox2, kLabel1_3, kLabel1_2}) {
        const Colours label = ColoursOf(app.control(id), id == kFrameBox2);
        EXPECT_GT(label.grey, label.total / 2) << id;
        EXPECT_GT(label.white, 10) << id;
        EXPECT_EQ(label.black, 0) << id;
    }
    // The core options: black text on white.
    for (int id : {kOption1_0, kOption1_1, kOption1_2}) {
        const Colours option = ColoursOf(app.control(id));
        EXPECT_GT(option.white, option.total / 2) << id;
        EXPECT_GT(option.black, 10) << id;
    }
}

TEST(Layout, Tooltips) {
    TempDir dir;
    App app;
    ASSERT_TRUE(app.Start());
    // The tooltip window belongs to this thread; find it and ask it about
    // each control.
    struct Find {
        static BOOL CALLBACK Proc(HWND hwnd, LPARAM lp) {
            if (Lower(ClassOf(hwnd)) == Lower(TOOLTIPS_CLASSA)) reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
            return TRUE;
        }
    };
    std::vector<HWND> tips;
    EnumThreadWindows(GetCurrentThreadId(), Find::Proc, reinterpret_cast<LPARAM>(&tips));
    ASSERT_FALSE(tips.empty());
    auto tipOf = [&](int id) -> std::string {
        HWND control = app.control(id);
        for (HWND tip : tips) {
            char text[256] = "";
            TTTOOLINFOA ti{};
            ti.cbSize = TTTOOLINFOA_V2_SIZE;
            ti.hwnd = GetParent(control);
            ti.uId = reinterpret_cast<UINT_PTR>(control);
            ti.lpszText = text;
            SendMessageA(tip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&ti));
            if (text[0]) return text;
        }
        return {};
    };
    EXPECT_EQ(tipOf(kCommand3), "Run selected Favorite and set it's Affinty");
    EXPECT_EQ(tipOf(kCommand2), "Delete selected favorite");
    EXPECT_EQ(tipOf(kCommand5), "Add or Edit Favorite");
    EXPECT_EQ(tipOf(kLabel1_0), "Click to Browse for EXE");
    EXPECT_EQ(tipOf(kText1), "Drag and Drop .EXE file here instead of typing");
    EXPECT_EQ(tipOf(kText4), "A.K.A. File Parameters");
    EXPECT_EQ(tipOf(kCommand4), "Clear all text boxes");
    EXPECT_EQ(tipOf(kCommand6), "Go Back");
    EXPECT_EQ(tipOf(kCommand1), "Add to my list of favorites");
    EXPECT_EQ(tipOf(kCommand9), "Clear all text boxes");
    EXPECT_EQ(tipOf(kCommand7), "Go Back");
    EXPECT_EQ(tipOf(kCommand8), "Add to my list of favorites");
    EXPECT_EQ(tipOf(kText3), "");
    EXPECT_EQ(tipOf(kList1), "");
}

namespace {

// The controls the Tab key visits from `first` until it comes back round.
std::vector<int> TabCycle(HWND window, HWND first) {
    std::vector<int> ids;
    HWND at = first;
    for (int guard = 0; guard < 64; ++guard) {
        ids.push_back(GetDlgCtrlID(at));
        at = GetNextDlgTabItem(window, at, FALSE);
        if (!at || at == first) break;
    }
    return ids;
}

// Tab indices as designed.
int TabIndex(int id) {
    switch (id) {
    case kOption1_2: return 0;
    case kOption1_0: return 1;
    case kOption1_1: return 2;
    case kText3: return 3;
    case kText1: return 4;
    case kText2: return 5;
    case kCommand1: return 6;
    case kCommand4: return 7;
    case kCommand6: return 8;
    case kCommand3: return 9;
    case kCommand2: return 14;
    case kList1: return 15;
    case kCommand5: return 16;
    case kText4: return 23;
    case kText5: return 26;
    case kDrive1: return 29;
    case kCommand9: return 30;
    case kCommand8: return 31;
    case kCommand7: return 32;
    case kDir1: return 33;
    case kFile1: return 34;
    default: return -1;
    }
}

void ExpectRisingTabOrder(App& app, std::vector<int> cycle, const std::vector<int>& mustVisit) {
    ASSERT_FALSE(cycle.empty());
    // Read from the lowest tab index, the cycle climbs all the way round.
    auto lowest = std::min_element(cycle.begin(), cycle.end(),
                                   [](int a, int b) { return TabIndex(a) < TabIndex(b); });
    std::rotate(cycle.begin(), lowest, cycle.end());
    for (std::size_t i = 0; i < cycle.size(); ++i) {
        EXPECT_GE(TabIndex(cycle[i]), 0) << "visits " << cycle[i];
        EXPECT_TRUE(app.Visible(cycle[i]) && app.Enabled(cycle[i])) << cycle[i];
        if (i > 0) {
            EXPECT_LT(TabIndex(cycle[i - 1]), TabIndex(cycle[i])) << cycle[i - 1] << " then " << cycle[i];
        }
    }
    for (int id : mustVisit)
        EXPECT_NE(std::find(cycle.begin(), cycle.end(), id), cycle.end()) << "never visits " << id;
}

}  // namespace

TEST(Layout, TabOrderFollowsTabIndex) {
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes("Favorites", kChess));
    App app;
    ASSERT_TRUE(app.Start());
    ASSERT_TRUE(app.Enabled(kCommand3));

    // Favorites panel: Launch, Remove, the list, Add.
    EXPECT_EQ(TabCycle(app.hwnd(), app.control(kCommand3)),
              (std::vector<int>{kCommand3, kCommand2, kList1, kCommand5}));

    // The real key: Tab from Launch lands on Remove.
    SetForegroundWindow(app.hwnd());
    SetFocus(app.control(kCommand3));
    ASSERT_EQ(GetFocus(), app.control(kCommand3));
    MSG tab{app.control(kCommand3), WM_KEYDOWN, VK_TAB, 0, 0, {}};
    EXPECT_TRUE(IsDialogMessageA(app.hwnd(), &tab));
    EXPECT_EQ(GetFocus(), app.control(kCommand2));

    app.Click(kCommand5);
    ASSERT_TRUE(app.Visible(kFrame2));
    // The option group is one stop (the set button); the rest in tab index order.
    std::vector<int> editor = TabCycle(app.hwnd(), app.control(kText3));
    ExpectRisingTabOrder(app, editor, {kText3, kText1, kText2, kCommand1, kCommand4, kCommand6, kText4});
    // Nothing of the hidden panels is reachable.
    for (int id : editor) EXPECT_EQ(GetParent(app.control(id)), app.control(kFrame2)) << id;

    MouseClick(app.control(kLabel1_0));
    ASSERT_TRUE(app.Visible(kFrame3));
    std::vector<int> browser = TabCycle(app.hwnd(), app.control(kDrive1));
    ExpectRisingTabOrder(app, browser, {kDrive1, kCommand9, kCommand8, kCommand7, kDir1, kFile1});
    EXPECT_EQ(browser.size(), 6u);
}

// ---------------------------------------------------------------- start-up

TEST(StartUp, WithoutFavoritesFile) {
    TempDir dir;
    App app;
    ASSERT_TRUE(app.Start());
    EXPECT_EQ(WindowText(app.hwnd()), "Corvane!");
    EXPECT_TRUE(IsWindowVisible(app.hwnd()));
    EXPECT_EQ(app.win().WindowState(), 0);
    EXPECT_TRUE(app.Favorites().empty());
    EXPECT_EQ(app.Selected(), -1);
    EXPECT_FALSE(app.Enabled(kCommand3));
    EXPECT_EQ(app.win().previewIcon(), nullptr);
    for (int id : {kText1, kText2, kText3, kText4}) EXPECT_EQ(app.Text(id), "") << id;
    EXPECT_EQ(app.boxes().count(), 0u);

    // Centred on the screen.
    RECT rc{};
    GetWindowRect(app.hwnd(), &rc);
    EXPECT_NEAR(rc.left, (GetSystemMetrics(SM_CXSCREEN) - (rc.right - rc.left)) / 2, 1);
    EXPECT_NEAR(rc.top, (GetSystemMetrics(SM_CYSCREEN) - (rc.bottom - rc.top)) / 2, 1);

    // The file is only read at start-up, never created then.
    EXPECT_FALSE(FileExists(dir.Join("Favorites")));
    ASSERT_TRUE(app.Close());
    // An empty store is written as an empty file.
    EXPECT_EQ(ReadFileBytes(dir.Join("Favorites")), std::string());
    EXPECT_EQ(ListDirectory(dir.path()), std::vector<std::string>{"Favorites"});
}

TEST(StartUp, FirstFavoriteSelectedAndLoaded) {
    TempDir dir;
    const std::string exe = Lower(ThisExePath());
    const std::string file = Record("Tool on Default", "2__" + exe, "c:\\tools", "-v") + kChess +
                             Record("Zed on CPU 0", "0__c:\\zed.exe", "c:", "None");
    ASSERT_TRUE(WriteFileBytes("Favorites", file));
    App app;
    ASSERT_TRUE(app.Start());
    EXPECT_EQ(app.Favorites(), (std::vector<std::string>{"Tool on Default", "Chess on CPU 1", "Zed on CPU 0"}));
    EXPECT_EQ(app.store().size(), 3u);
    EXPECT_EQ(app.Selected(), 0);
    EXPECT_EQ(app.Text(kText3), "Tool");
    EXPECT_EQ(app.Text(kText1), exe);
    EXPECT_EQ(app.Text(kText2), "c:\\tools");
    EXPECT_EQ(app.Text(kText4), "-v");
    EXPECT_TRUE(app.Checked(kOption1_2));
    EXPECT_FALSE(app.Checked(kOption1_0));
    EXPECT_TRUE(app.Enabled(kCommand3));
    EXPECT_NE(app.win().previewIcon(), nullptr);
    EXPECT_TRUE(app.Visible(kFrame1));
    EXPECT_EQ(app.boxes().count(), 0u);

    // Written back unchanged, byte for byte.
    ASSERT_TRUE(app.Close());
    EXPECT_EQ(ReadFileBytes(dir.Join("Favorites")), file);
}

TEST(StartUp, OddFilesDoNotStopIt) {
    struct Case {
        const char* name;
        std::string bytes;
        std::size_t favorites;
        std::string writtenBack;  // "" means "whatever, as long as it exists"
    };
    static const char rawNul[] = "a\0b\r\n1__c:\\x\0y.exe\r\nc:\\\r\nNone\r\n";
    const std::string nul(rawNul, sizeof rawNul - 1);
    // Control bytes, NULs, text and accented letters in a scrambled order.
    // Bytes 0x80 to 0xBF are left out: Wine's edit control crashes on some of
    // them standing alone (0x98, a small tilde, in code page 1252), which says
    // nothing about this program.
    std::string junk;
    for (int i = 0; junk.size() < 4096; ++i) {
        const int b = (i * 7919) & 0xFF;
        if (b < 0x80 || b >= 0xC0) junk += static_cast<char>(b);
    }
    const std::string longLine(70000, 'L');
    const Case cases[] = {
        // Six lines: two favorites, the second without start-in and
        // parameters; written back as eight lines.
        {"six lines", std::string(kChess) + "Go on Default\r\n2__c:\\go.exe\r\n", 2,
         std::string(kChess) + "Go on Default\r\n2__c:\\go.exe\r\n\r\n\r\n"},
        {"NUL bytes", nul, 1, nul},
        {"binary junk", junk, 0, ""},
        {"very long lines", longLine + "\r\n" + longLine + "\r\n" + longLine + "\r\n" + longLine, 1,
         longLine + "\r\n" + longLine + "\r\n" + longLine + "\r\n" + longLine + "\r\n"},
        // The same record twice: both are kept.
        {"duplicate records", std::string(kChess) + kChess, 2, std::string(kChess) + kChess},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        ASSERT_TRUE(WriteFileBytes("Favorites", c.bytes));
        App app;
        ASSERT_TRUE(app.Start());
        EXPECT_EQ(WindowText(app.hwnd()), "Corvane!");
        if (c.favorites) {
            EXPECT_EQ(app.Favorites().size(), c.favorites);
            EXPECT_EQ(app.Selected(), 0);
        }
        EXPECT_EQ(app.boxes().count(), 0u);
        ASSERT_TRUE(app.Close());
        const auto written = ReadFileBytes(dir.Join("Favorites"));
        ASSERT_TRUE(written.has_value());
        if (!c.writtenBack.empty()) {
            EXPECT_TRUE(*written == c.writtenBack) << "written back differs";
        }
    }
}

TEST(StartUp, FavoritesIsAFolder) {
    TempDir dir;
    ASSERT_TRUE(MakeDirectory(dir.Join("Favorites")));
    App app;
    ASSERT_TRUE(app.Start());
    EXPECT_TRUE(app.Favorites().empty());
    EXPECT_EQ(app.boxes().count(), 0u);
    ASSERT_TRUE(app.Close());
    // Nothing could be written over it, and nothing is left behind.
    EXPECT_TRUE(DirectoryExists(dir.Join("Favorites")));
    EXPECT_EQ(ListDirectory(dir.path()), std::vector<std::string>{"Favorites"});
}

// ---------------------------------------------------------------- shutdown

TEST(Shutdown, FileThatCannotBeReplacedStaysWhole) {
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes("Favorites", kChess));
    App app;
    ASSERT_TRUE(app.Start());
    // Another program holds the file open without sharing while we close.
    HANDLE lock = CreateFileA(dir.Join("Favorites").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    app.Click(kCommand2);  // removes the selected favorite: the store now differs
    ASSERT_TRUE(app.store().empty());
    ASSERT_TRUE(app.Close());
    CloseHandle(lock);
    EXPECT_EQ(ReadFileBytes(dir.Join("Favorites")), std::string(kChess));
    EXPECT_EQ(ListDirectory(dir.path()), std::vector<std::string>{"Favorites"});
}

TEST(Shutdown, EndOfSessionWritesOnce) {
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes("Favorites", kChess));
    App app;
    ASSERT_TRUE(app.Start());
    app.Click(kCommand2);
    ASSERT_TRUE(app.store().empty());

    // A session end that is called off writes nothing.
    SendMessageA(app.hwnd(), WM_ENDSESSION, FALSE, 0);
    EXPECT_EQ(ReadFileBytes(dir.Join("Favorites")), std::string(kChess));

    EXPECT_TRUE(SendMessageA(app.hwnd(), WM_QUERYENDSESSION, 0, 0));
    SendMessageA(app.hwnd(), WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(ReadFileBytes(dir.Join("Favorites")), std::string());

    // Written once: neither a repeated notice nor the closing writes again.
    ASSERT_TRUE(DeleteFileA(dir.Join("Favorites").c_str()));
    SendMessageA(app.hwnd(), WM_ENDSESSION, TRUE, 0);
    ASSERT_TRUE(app.Close());
    EXPECT_FALSE(FileExists(dir.Join("Favorites")));
}

TEST(Shutdown, CloseWhileHandlersProcessEvents) {
    const std::string exe = Lower(ThisExePath());
    const std::string two = Record("A on CPU 0", "0__c:\\a\\a.exe", "c:\\a", "None") +
                            Record("B on CPU 1", "1__" + exe, "c:\\b", "None");

    // During the favorite selection: its target change lets the close in.
    {
        TempDir dir;
        ASSERT_TRUE(WriteFileBytes("Favorites", two));
        App app;
        ASSERT_TRUE(app.Start());
        PostMessageA(app.hwnd(), WM_CLOSE, 0, 0);
        app.Select(1);
        EXPECT_TRUE(app.closed());
        EXPECT_EQ(ReadFileBytes(dir.Join("Favorites")), two);
        // Nothing writes it again afterwards.
        ASSERT_TRUE(DeleteFileA(dir.Join("Favorites").c_str()));
        app.Pump(50);
        EXPECT_FALSE(FileExists(dir.Join("Favorites")));
    }
    // During Remove's pause: the favorite is gone from the store by then.
    {
        TempDir dir;
        ASSERT_TRUE(WriteFileBytes("Favorites", two));
        App app;
        ASSERT_TRUE(app.Start());
        PostMessageA(app.hwnd(), WM_CLOSE, 0, 0);
        app.Click(kCommand2);
        EXPECT_TRUE(app.closed());
        EXPECT_EQ(ReadFileBytes(dir.Join("Favorites")), Record("B on CPU 1", "1__" + exe, "c:\\b", "None"));
    }
    // During Save: the new favorite is in the store when the close runs.
    {
        TempDir dir;
        App app;
        ASSERT_TRUE(app.Start());
        app.Click(kCommand5);
        app.SetText(kText1, "c:\\games\\go\\go.exe");
        app.SetText(kText3, "Go");
        PostMessageA(app.hwnd(), WM_CLOSE, 0, 0);
        app.Click(kCommand1);
        EXPECT_TRUE(app.closed());
        EXPECT_EQ(app.boxes().count(), 0u);
        EXPECT_EQ(ReadFileBytes(dir.Join("Favorites")),
                  Record("Go on CPU 0", "0__c:\\games\\go\\go.exe", "c:\\games\\go", "None"));
    }
    // During the target change typed into the editor.
    {
        TempDir dir;
        App app;
        ASSERT_TRUE(app.Start());
        app.Click(kCommand5);
        PostMessageA(app.hwnd(), WM_CLOSE, 0, 0);
        app.SetText(kText1, "c:\\games\\go\\go.exe");
        EXPECT_TRUE(app.closed());
        EXPECT_EQ(ReadFileBytes(dir.Join("Favorites")), std::string());
    }
}

// ---------------------------------------------------------------- selection

TEST(Selection, LoadsTheChosenFavorite) {
    TempDir dir;
    const std::string file = Record("Chess on Default", "2__c:\\games\\chess\\chess.exe", "c:\\games\\chess", "None") +
                             Record("Battle on Mars on CPU 0", "0__c:\\games\\mars\\battle.exe", "c:\\games\\mars", "-x Y") +
                             Record("Chess on CPU 1", "1__c:\\games\\chess\\chess.exe", "c:\\games\\chess", "None") +
                             Record("Loose", "5__c:\\loose\\loose.exe", "c:\\loose", "") +
                             Record("Letter on CPU 1", "x__c:\\l\\l.exe", "c:\\l", "p");
    ASSERT_TRUE(WriteFileBytes("Favorites", file));
    App app;
    ASSERT_TRUE(app.Start());
    ASSERT_EQ(app.Favorites().size(), 5u);

    struct Want {
        const char* title;
        const char* target;
        const char* startIn;
        const char* params;
        int option;
    };
    const Want wants[] = {
        {"Chess", "c:\\games\\chess\\chess.exe", "c:\\games\\chess", "None", 2},
        // The title ends at the first " on".
        {"Battle", "c:\\games\\mars\\battle.exe", "c:\\games\\mars", "-x Y", 0},
        {"Chess", "c:\\games\\chess\\chess.exe", "c:\\games\\chess", "None", 1},
        // No " on": the whole text is the title; a stray digit means Default.
        {"Loose", "c:\\loose\\loose.exe", "c:\\loose", "", 2},
        // Not a digit: CPU 0.
        {"Letter", "c:\\l\\l.exe", "c:\\l", "p", 0},
    };
    for (int round = 0; round < 2; ++round) {
        for (int i : {1, 0, 2, 4, 3}) {
            SCOPED_TRACE(i);
            app.Select(i);
            const Want& w = wants[i];
            EXPECT_EQ(app.Selected(), i);
            EXPECT_EQ(app.Text(kText3), w.title);
            EXPECT_EQ(app.Text(kText1), w.target);
            EXPECT_EQ(app.Text(kText2), w.startIn);
            EXPECT_EQ(app.Text(kText4), w.params);
            for (int o = 0; o < 3; ++o) EXPECT_EQ(app.Checked(kOption1_0 + o), o == w.option) << o;
            EXPECT_TRUE(app.Enabled(kCommand3));
        }
    }
    // A selection that finds nothing selected only disables Launch.
    app.Select(-1);
    EXPECT_FALSE(app.Enabled(kCommand3));
    EXPECT_EQ(app.Text(kText3), "Loose");
    EXPECT_EQ(app.boxes().count(), 0u);
}

TEST(Selection, ClickWithTheMouseSelects) {
    TempDir dir;
    const std::string file = Record("A on CPU 0", "0__c:\\a\\a.exe", "c:\\a", "None") +
                             Record("B on CPU 1", "1__c:\\b\\b.exe", "c:\\b", "None");
    ASSERT_TRUE(WriteFileBytes("Favorites", file));
    App app;
    ASSERT_TRUE(app.Start());
    HWND list = app.control(kList1);
    RECT item{};
    SendMessageA(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
    const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(list, WM_LBUTTONUP, 0, at);
    app.Pump(20);
    EXPECT_EQ(app.Selected(), 1);
    EXPECT_EQ(app.Text(kText3), "B");
    EXPECT_TRUE(app.Checked(kOption1_1));
}

// ---------------------------------------------------------------- icon preview

TEST(IconPreview, ShowsTheTargetsIconAndFreesTheOldOne) {
    TempDir dir;
    const std::string exe = ThisExePath();
    const std::string file = Record("Me on CPU 0", "0__" + Lower(exe), "c:\\", "None") +
                             Record("Me too on Default", "2__" + Lower(exe), "c:\\", "None") +
                             Record("Gone on CPU 1", "1__c:\\no\\such\\program.exe", "c:\\no\\such", "None") +
                             Record("Text on CPU 1", "1__" + Lower(dir.Join("plain.txt")), "c:\\", "None");
    ASSERT_TRUE(WriteFileBytes("Favorites", file));
    ASSERT_TRUE(WriteFileBytes(dir.Join("plain.txt"), "no icons here"));
    App app;
    ASSERT_TRUE(app.Start());

    // Start-up selected entry 0: the test program's own icon.
    HICON first = app.win().previewIcon();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(IconAlive(first));
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(first, &info));
    BITMAP bm{};
    GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm);
    // The large image.
    EXPECT_EQ(bm.bmWidth, GetSystemMetrics(SM_CXICON));
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);

    app.Select(1);
    HICON second = app.win().previewIcon();
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, first);
    EXPECT_FALSE(IconAlive(first)) << "the replaced picture's icon must be destroyed with it";
    EXPECT_TRUE(IconAlive(second));

    // A target that is missing, or has no icon: an empty preview, the fields
    // shown as usual.
    app.Select(2);
    EXPECT_EQ(app.win().previewIcon(), nullptr);
    EXPECT_FALSE(IconAlive(second));
    EXPECT_EQ(app.Text(kText1), "c:\\no\\such\\program.exe");
    EXPECT_TRUE(app.Enabled(kCommand3));
    app.Select(3);
    EXPECT_EQ(app.win().previewIcon(), nullptr);

    // Typing another target does not refresh the preview; only a selection does.
    app.Select(0);
    HICON shown = app.win().previewIcon();
    ASSERT_NE(shown, nullptr);
    app.SetText(kText1, "c:\\no\\such\\program.exe");
    EXPECT_EQ(app.win().previewIcon(), shown);
    EXPECT_TRUE(IconAlive(shown));

    // Cancel in the editor clears it, and frees the icon.
    app.Click(kCommand5);
    app.Click(kCommand6);
    EXPECT_EQ(app.win().previewIcon(), nullptr);
    EXPECT_FALSE(IconAlive(shown));
}

TEST(IconPreview, ManySelectionsKeepOneIcon) {
    TempDir dir;
    const std::string exe = Lower(ThisExePath());
    ASSERT_TRUE(WriteFileBytes("Favorites", Record("A on CPU 0", "0__" + exe, "c:\\", "None") +
                                                Record("B on CPU 1", "1__" + exe, "c:\\", "None")));
    App app;
    ASSERT_TRUE(app.Start());
    std::vector<HICON> seen;
    for (int i = 0; i < 1000; ++i) {
        app.Select(i % 2);
        HICON icon = app.win().previewIcon();
        ASSERT_NE(icon, nullptr) << i;
        seen.push_back(icon);
    }
    int alive = 0;
    for (HICON icon : seen) alive += IconAlive(icon) ? 1 : 0;
    EXPECT_EQ(alive, 1);
    EXPECT_TRUE(IconAlive(seen.back()));
}
