// The real corvane.exe, driven from outside as a user's desktop would: it
// starts into its window, keeps to a single instance, and writes Favorites
// when its window is closed.
//
//   corvane_e2e <path of corvane.exe> [gtest flags]
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/layout.hpp"
#include "support/harness.hpp"

using namespace corvane;
using namespace corvane::test;

namespace {

std::string g_program;  // corvane.exe, as a Windows path

// ctest hands over the build's path, which under Wine is a Unix one; the
// root of the Unix file system is drive Z:.
std::string WindowsPath(std::string path) {
    if (!path.empty() && path[0] == '/') {
        for (char& c : path)
            if (c == '/') c = '\\';
        path = "Z:" + path;
    }
    return path;
}

std::wstring Wide(std::string_view s) {
    std::wstring out(s.size(), L'\0');
    const int n = MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), out.data(),
                                      static_cast<int>(out.size()));
    out.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return out;
}

// One started corvane.exe; ended by force if a test leaves it running.
class Instance {
public:
    explicit Instance(const std::string& folder) {
        STARTUPINFOA si{};
        si.cb = sizeof si;
        std::string commandLine = "\"" + g_program + "\"";
        started_ = CreateProcessA(g_program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  folder.c_str(), &si, &pi_) != FALSE;
    }
    ~Instance() {
        if (!started_) return;
        if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(pi_.hProcess, 99);
            WaitForSingleObject(pi_.hProcess, 10000);
        }
        CloseHandle(pi_.hThread);
        CloseHandle(pi_.hProcess);
    }
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;

    bool started() const { return started_; }
    DWORD pid() const { return pi_.dwProcessId; }
    bool WaitExit(DWORD ms) const { return started_ && WaitForSingleObject(pi_.hProcess, ms) == WAIT_OBJECT_0; }

private:
    PROCESS_INFORMATION pi_{};
    bool started_ = false;
};

struct Found {
    HWND hwnd;
    DWORD pid;
};

// Every top-level window of Corvane's class, hidden ones included.
std::vector<Found> CorvaneWindows() {
    struct Collect {
        static BOOL CALLBACK Proc(HWND hwnd, LPARAM lp) {
            wchar_t cls[64] = L"";
            GetClassNameW(hwnd, cls, 64);
            if (std::wstring(cls) == Wide(MainWindow::kClassName)) {
                DWORD pid = 0;
                GetWindowThreadProcessId(hwnd, &pid);
                reinterpret_cast<std::vector<Found>*>(lp)->push_back({hwnd, pid});
            }
            return TRUE;
        }
    };
    std::vector<Found> found;
    EnumWindows(Collect::Proc, reinterpret_cast<LPARAM>(&found));
    return found;
}

std::vector<HWND> WindowsOf(DWORD pid) {
    std::vector<HWND> out;
    for (const Found& f : CorvaneWindows())
        if (f.pid == pid) out.push_back(f.hwnd);
    return out;
}

// A control's text read across processes: as UTF-16, with a message (the
// edit control keeps its text to itself), and with a time limit.
std::wstring RemoteText(HWND hwnd) {
    wchar_t buffer[512] = L"";
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 5000, &got))
        return L"<no answer>";
    return std::wstring(buffer, got);
}

std::wstring RemoteListEntry(HWND list, int index) {
    wchar_t buffer[512] = L"";
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer),
                             SMTO_ABORTIFHUNG, 5000, &got))
        return L"<no answer>";
    return std::wstring(buffer, got == static_cast<DWORD_PTR>(LB_ERR) ? 0 : got);
}

// The running instance's window once start-up is done: visible and marked.
HWND WaitForWindow(const Instance& instance, DWORD ms = 20000) {
    HWND found = nullptr;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        for (HWND hwnd : WindowsOf(instance.pid())) {
            wchar_t title[64] = L"";
            GetWindowTextW(hwnd, title, 64);
            if (IsWindowVisible(hwnd) && std::wstring(title) == L"Corvane!") found = hwnd;
        }
        if (found) return found;
        if (instance.WaitExit(0)) return nullptr;
        Sleep(50);
    }
    return nullptr;
}

HWND Control(HWND main, int panel, int id) { return GetDlgItem(GetDlgItem(main, panel), id); }

FILETIME LastWrite(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

bool SameTime(const FILETIME& a, const FILETIME& b) {
    return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}

// Lone CR line ends: the program reads them, but writes CR LF, so the file
// tells whether it has been written since.
const std::string kLoneCr = "Chess on CPU 1\r1__c:\\games\\chess\\chess.exe\rc:\\games\\chess\r-Fast Mode\r";
const std::string kCrLf = "Chess on CPU 1\r\n1__c:\\games\\chess\\chess.exe\r\nc:\\games\\chess\r\n-Fast Mode\r\n";

}  // namespace

TEST(Program, ShowsItsWindowAndWritesFavoritesWhenClosed) {
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir.Join("Favorites"), kLoneCr));
    Instance corvane(dir.path());
    ASSERT_TRUE(corvane.started()) << g_program;
    HWND window = WaitForWindow(corvane);
    ASSERT_NE(window, nullptr) << "no visible window titled \"Corvane!\"";
    EXPECT_FALSE(IsIconic(window));

    // The favorite from the file is listed, selected and loaded.
    HWND list = Control(window, kFrame1, kList1);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 1);
    EXPECT_EQ(RemoteListEntry(list, 0), L"Chess on CPU 1");
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(RemoteText(Control(window, kFrame2, kText3)), L"Chess");
    EXPECT_EQ(RemoteText(Control(window, kFrame2, kText4)), L"-Fast Mode");
    EXPECT_EQ(RemoteText(Control(window, kFrame1, kCommand3)), L"Launch");
    EXPECT_TRUE(IsWindowEnabled(Control(window, kFrame1, kCommand3)));

    // Read only at start-up: running does not touch the file.
    EXPECT_EQ(ReadFileBytes(dir.Join("Favorites")), kLoneCr);

    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(corvane.WaitExit(15000)) << "the program did not end with its window";
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(ReadFileBytes(dir.Join("Favorites")), kCrLf);
    EXPECT_EQ(ListDirectory(dir.path()), std::vector<std::string>{"Favorites"});
}

TEST(Program, SecondInstanceRestoresTheFirstAndEnds) {
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir.Join("Favorites"), kLoneCr));
    const FILETIME written = LastWrite(dir.Join("Favorites"));
    const std::string empty = dir.Join("Elsewhere");
    ASSERT_TRUE(MakeDirectory(empty));

    Instance first(dir.path());
    HWND window = WaitForWindow(first);
    ASSERT_NE(window, nullptr);

    // Minimised, the running instance hides in the notification area.
    ShowWindow(window, SW_MINIMIZE);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindowVisible(window); }, 5000)) << "a minimised window hides itself";

    // A second instance, in the same folder and in another one.
    for (const std::string& folder : {dir.path(), empty}) {
        SCOPED_TRACE(folder);
        Instance second(folder);
        ASSERT_TRUE(second.started());
        EXPECT_TRUE(second.WaitExit(15000)) << "the second instance must end by itself";
        EXPECT_TRUE(WindowsOf(second.pid()).empty());
        // The first is brought back, shown and normal.
        EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(window) && !IsIconic(window); }, 5000));
        const std::vector<Found> all = CorvaneWindows();
        ASSERT_EQ(all.size(), 1u);
        EXPECT_EQ(all[0].hwnd, window);
    }
    // Neither read nor wrote anything: no file where there was none, the
    // other one as it was.
    EXPECT_TRUE(ListDirectory(empty).empty());
    EXPECT_EQ(ReadFileBytes(dir.Join("Favorites")), kLoneCr);
    EXPECT_TRUE(SameTime(LastWrite(dir.Join("Favorites")), written));

    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(first.WaitExit(15000));
    EXPECT_EQ(ReadFileBytes(dir.Join("Favorites")), kCrLf);
}

TEST(Program, FiveStartedAtOnceLeaveOneWindow) {
    TempDir dir;
    std::vector<std::unique_ptr<Instance>> all;
    for (int i = 0; i < 5; ++i) all.push_back(std::make_unique<Instance>(dir.path()));
    for (const auto& instance : all) ASSERT_TRUE(instance->started());

    // Four end by themselves; one stays with its window.
    Instance* survivor = nullptr;
    const DWORD start = GetTickCount();
    int ended = 0;
    while (GetTickCount() - start < 30000) {
        ended = 0;
        survivor = nullptr;
        for (const auto& instance : all) {
            if (instance->WaitExit(0))
                ++ended;
            else
                survivor = instance.get();
        }
        if (ended >= 4) break;
        Sleep(100);
    }
    ASSERT_EQ(ended, 4);
    ASSERT_NE(survivor, nullptr);
    HWND window = WaitForWindow(*survivor);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(CorvaneWindows().size(), 1u);
    // Only the survivor read and will write the file.
    EXPECT_FALSE(FileExists(dir.Join("Favorites")));

    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(survivor->WaitExit(15000));
    EXPECT_EQ(ReadFileBytes(dir.Join("Favorites")), std::string());
}

int main(int argc, char** argv) {
    if (const auto rerun = PrepareWineSession()) return *rerun;
    testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        fprintf(stderr, "usage: corvane_e2e <path of corvane.exe> [gtest flags]\n");
        return 2;
    }
    g_program = WindowsPath(argv[1]);
    if (GetFileAttributesA(g_program.c_str()) == INVALID_FILE_ATTRIBUTES) {
        fprintf(stderr, "corvane_e2e: %s not found\n", g_program.c_str());
        return 2;
    }
    return RUN_ALL_TESTS();
}
