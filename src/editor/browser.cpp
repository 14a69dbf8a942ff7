// The browse panel: drive, folder and executable lists for picking a target
// by walking the disk instead of typing its path.
#include <algorithm>
#include <cstring>

#include "app/main_window.hpp"

namespace corvane {

namespace {

constexpr int kIndentPerLevel = 2;

bool IsRoot(const std::string& path) { return path.size() == 3 && path[1] == ':' && path[2] == '\\'; }

std::string WithBackslash(const std::string& path) {
    return !path.empty() && path.back() == '\\' ? path : path + '\\';
}

// The full, normalised form of `path`: "c:" becomes that drive's current
// folder, and only a drive root keeps its trailing backslash.
std::string FullPath(const std::string& path) {
    char buffer[MAX_PATH * 2];
    const DWORD length = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
    if (length == 0 || length >= sizeof buffer) return path;
    std::string full(buffer, length);
    while (full.size() > 3 && full.back() == '\\') full.pop_back();
    return full;
}

bool LessIgnoringCase(const std::string& a, const std::string& b) {
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) == CSTR_LESS_THAN;
}

// Lists the entries of `folder` that `keep` accepts. False when the folder
// cannot be read at all; an empty folder is fine.
template <typename Keep>
bool ListFolder(const std::string& folder, Keep keep, std::vector<std::string>& names) {
    WIN32_FIND_DATAA data;
    UniqueFind find(FindFirstFileA((WithBackslash(folder) + "*").c_str(), &data));
    if (!find) return GetLastError() == ERROR_FILE_NOT_FOUND;
    do {
        if (keep(data)) names.emplace_back(data.cFileName);
    } while (FindNextFileA(find.get(), &data));
    std::sort(names.begin(), names.end(), LessIgnoringCase);
    return true;
}

bool IsListedFolder(const WIN32_FIND_DATAA& d) {
    const std::string_view name = d.cFileName;
    return (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != "." && name != ".." &&
           !(d.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
}

bool IsListedExe(const WIN32_FIND_DATAA& d) {
    // Matched on the long name: a "*.exe" search would also return "a.exe1"
    // through its short name.
    const std::string_view name = d.cFileName;
    if (d.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) return false;
    return name.size() >= 4 && MapCase(name.substr(name.size() - 4), AsciiLower()) == ".exe";
}

void FillListBox(HWND list, const std::vector<std::string>& lines) {
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (const std::string& line : lines) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

}  // namespace

void MainWindow::InitBrowser() {
    // The lists show the folder Corvane started in. Reading the disk waits
    // until the panel is first opened, so start-up never pays for a large
    // folder; nothing else changes the current folder in between.
    char current[MAX_PATH * 2];
    const DWORD length = GetCurrentDirectoryA(sizeof current, current);
    if (length > 0 && length < sizeof current) startFolder_.assign(current, length);
}

void MainWindow::FillBrowserOnce() {
    if (browserFilled_) return;
    browserFilled_ = true;
    if (!startFolder_.empty()) SetDirPath(startFolder_);
    FillDrives();
}

void MainWindow::FillDrives() {
    HWND list = control(kDrive1);
    char buffer[512];
    const DWORD length = GetLogicalDriveStringsA(sizeof buffer, buffer);
    drives_.clear();
    for (const char* p = buffer; length && length < sizeof buffer && *p; p += std::strlen(p) + 1)
        drives_.push_back(MapCase(p, SystemLower()));
    std::vector<std::string> lines;
    for (const std::string& drive : drives_) lines.push_back(drive.substr(0, 2));
    SendMessageA(list, CB_RESETCONTENT, 0, 0);
    for (const std::string& line : lines) SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    const std::string current = MapCase(dirPath_.empty() ? std::string("c:") : dirPath_.substr(0, 2), SystemLower());
    for (std::size_t i = 0; i < drives_.size(); ++i)
        if (drives_[i].compare(0, 2, current) == 0) SendMessageA(list, CB_SETCURSEL, i, 0);
}

bool MainWindow::SetDirPath(const std::string& requested) {
    const std::string path = FullPath(requested);
    std::vector<std::string> children;
    if (!ListFolder(path, IsListedFolder, children)) return false;

    // The open folders from the root down, then the folders inside the
    // current one, each indented one level deeper than its parent.
    std::vector<std::string> chain{path};
    for (std::string p = path;;) {
        const auto slash = p.find_last_of('\\');
        if (IsRoot(p) || slash == std::string::npos || slash < 2) break;
        p = slash == 2 && p[1] == ':' ? p.substr(0, 3) : p.substr(0, slash);
        chain.insert(chain.begin(), p);
    }
    std::vector<std::string> lines;
    dirEntries_.clear();
    for (std::size_t level = 0; level < chain.size(); ++level) {
        const std::string& full = chain[level];
        const std::string name = level == 0 ? full : full.substr(full.find_last_of('\\') + 1);
        lines.push_back(std::string(level * kIndentPerLevel, ' ') + name);
        dirEntries_.push_back(full);
    }
    const std::size_t currentLine = chain.size() - 1;
    const std::size_t level = chain.size();
    for (const std::string& child : children) {
        lines.push_back(std::string(level * kIndentPerLevel, ' ') + child);
        dirEntries_.push_back(WithBackslash(path) + child);
    }
    FillListBox(control(kDir1), lines);
    SendMessageA(control(kDir1), LB_SETCURSEL, currentLine, 0);
    dirPath_ = path;

    // The file list follows the folder list.
    if (!SetFilePath(dirPath_)) Beep();
    return true;
}

bool MainWindow::SetFilePath(const std::string& path) {
    std::vector<std::string> names;
    if (!ListFolder(path, IsListedExe, names)) return false;
    FillListBox(control(kFile1), names);
    filePath_ = path;
    return true;
}

void MainWindow::OnOpenBrowser() {
    FillBrowserOnce();
    ShowPanel(kFrame3, kFrame2);
}

void MainWindow::OnDriveChange() {
    const auto chosen = SendMessageA(control(kDrive1), CB_GETCURSEL, 0, 0);
    if (chosen < 0 || static_cast<std::size_t>(chosen) >= drives_.size()) return;
    // "x:" names that drive's current folder, as a drive list hands it over.
    if (!SetDirPath(drives_[static_cast<std::size_t>(chosen)].substr(0, 2))) Beep();
}

void MainWindow::OnFolderOpen() {
    const auto line = SendMessageA(control(kDir1), LB_GETCURSEL, 0, 0);
    if (line < 0 || static_cast<std::size_t>(line) >= dirEntries_.size()) return;
    const std::string target = dirEntries_[static_cast<std::size_t>(line)];
    if (target == dirPath_) return;
    if (!SetDirPath(target)) {
        Beep();
        // Put the highlight back on the folder that is still current.
        SetDirPath(dirPath_);
    }
}

void MainWindow::OnBrowserRefresh() {
    FillDrives();
    const std::string keepFile = [&] {
        const auto sel = SendMessageA(control(kFile1), LB_GETCURSEL, 0, 0);
        return sel >= 0 ? GetListText(control(kFile1), static_cast<int>(sel)) : std::string();
    }();
    if (!SetDirPath(dirPath_)) SetFilePath(filePath_);
    if (!keepFile.empty())
        SendMessageA(control(kFile1), LB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(keepFile.c_str()));
    DoEvents();
}

void MainWindow::OnBrowserOk() {
    const std::string folder = WithBackslash(dirPath_);
    HWND files = control(kFile1);
    const auto count = SendMessageA(files, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        if (SendMessageA(files, LB_GETSEL, static_cast<WPARAM>(i), 0) <= 0) continue;
        SetField(kText1, MapCase(folder + GetListText(files, static_cast<int>(i)), SystemLower()));
        if (closed_) return;
        SetField(kText2, dirPath_);
        ShowPanel(kFrame2, kFrame3);
        return;
    }
}

void MainWindow::OnBrowserCancel() { ShowPanel(kFrame2, kFrame3); }

}  // namespace corvane
