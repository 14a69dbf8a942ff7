#include "panels/browse_panel.hpp"

#include <algorithm>
#include <cstring>

#include "panels/browse_rules.hpp"
#include "platform/handles.hpp"
#include "platform/win.hpp"

namespace corvane {

namespace {

// The full, normalised form of `path`: "c:" becomes that drive's current
// folder, and only a drive root keeps its trailing backslash.
std::string FullPath(const std::string& path) {
    char buffer[MAX_PATH * 2];
    const DWORD length = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
    if (length == 0 || length >= sizeof buffer) return path;
    return WithoutTrailingBackslash(std::string_view(buffer, length), SystemLower().lead);
}

bool LessIgnoringCase(const std::string& a, const std::string& b) {
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) == CSTR_LESS_THAN;
}

bool IsHiddenOrSystem(const WIN32_FIND_DATAA& d) {
    return (d.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0;
}

bool IsListedFolder(const WIN32_FIND_DATAA& d) {
    const std::string_view name = d.cFileName;
    return (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != "." && name != ".." && !IsHiddenOrSystem(d);
}

bool IsListedExe(const WIN32_FIND_DATAA& d) {
    // Matched on the long name: a "*.exe" search would also return "a.exe1"
    // through its short name.
    return !(d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !IsHiddenOrSystem(d) && HasExeExtension(d.cFileName);
}

// The sorted names of the entries of `folder` that `keep` accepts. False
// when the folder cannot be read at all; an empty folder is fine.
template <typename Keep>
bool ReadFolderNames(const std::string& folder, Keep keep, std::vector<std::string>& names) {
    WIN32_FIND_DATAA data;
    UniqueFind find(FindFirstFileA((WithBackslash(folder, SystemLower().lead) + "*").c_str(), &data));
    if (!find) return GetLastError() == ERROR_FILE_NOT_FOUND;
    do {
        if (keep(data)) names.emplace_back(data.cFileName);
    } while (FindNextFileA(find.get(), &data));
    std::sort(names.begin(), names.end(), LessIgnoringCase);
    return true;
}

void FillListBox(HWND list, const std::vector<std::string>& lines) {
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (const std::string& line : lines)
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

}  // namespace

void BrowsePanel::RememberStartFolder() {
    char current[MAX_PATH * 2];
    const DWORD length = GetCurrentDirectoryA(sizeof current, current);
    if (length > 0 && length < sizeof current) startFolder_.assign(current, length);
}

void BrowsePanel::Open() {
    if (filled_) return;
    filled_ = true;
    if (!startFolder_.empty()) ShowFolder(startFolder_);
    FillDrives();
}

void BrowsePanel::FillDrives() {
    HWND list = control(kDriveList);
    char buffer[512];
    const DWORD length = GetLogicalDriveStringsA(sizeof buffer, buffer);
    drives_.clear();
    for (const char* p = buffer; length && length < sizeof buffer && *p; p += std::strlen(p) + 1)
        drives_.push_back(MapCase(p, SystemLower()));
    SendMessageA(list, CB_RESETCONTENT, 0, 0);
    for (const std::string& drive : drives_)
        SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(drive.substr(0, 2).c_str()));
    const std::string current = MapCase(folder_.empty() ? std::string("c:") : folder_.substr(0, 2), SystemLower());
    for (std::size_t i = 0; i < drives_.size(); ++i)
        if (drives_[i].compare(0, 2, current) == 0) SendMessageA(list, CB_SETCURSEL, i, 0);
}

bool BrowsePanel::ShowFolder(const std::string& requested) {
    const std::string path = FullPath(requested);
    std::vector<std::string> children;
    if (!ReadFolderNames(path, IsListedFolder, children)) return false;
    const FolderListing listing = ListFolders(path, children, SystemLower().lead);
    std::vector<std::string> lines;
    folderPaths_.clear();
    for (const FolderLine& line : listing.lines) {
        lines.push_back(line.text);
        folderPaths_.push_back(line.path);
    }
    FillListBox(control(kFolderList), lines);
    SendMessageA(control(kFolderList), LB_SETCURSEL, listing.currentLine, 0);
    folder_ = path;
    // The file list follows the folder list.
    if (!ShowFiles(folder_)) Beep();
    return true;
}

bool BrowsePanel::ShowFiles(const std::string& path) {
    std::vector<std::string> names;
    if (!ReadFolderNames(path, IsListedExe, names)) return false;
    FillListBox(control(kFileList), names);
    filesFolder_ = path;
    return true;
}

void BrowsePanel::OnCommand(int id, int code) {
    switch (id) {
    case kDriveList:
        if (code == CBN_SELCHANGE) OnDriveChange();
        break;
    case kFolderList:
        if (code == LBN_DBLCLK) OnFolderOpen();
        break;
    case kRefreshButton:
        if (code == BN_CLICKED) OnRefresh();
        break;
    case kOkButton:
        if (code == BN_CLICKED) OnOk();
        break;
    case kBrowseCancelButton:
        if (code == BN_CLICKED) (void)Request(&PanelHost::CloseBrowser);  // nothing follows
        break;
    default:
        break;
    }
}

void BrowsePanel::OnEnter() {
    // Enter in the folder list opens the folder, as a double click does.
    if (GetFocus() == control(kFolderList)) OnFolderOpen();
}

void BrowsePanel::OnDriveChange() {
    const auto chosen = SendMessageA(control(kDriveList), CB_GETCURSEL, 0, 0);
    if (chosen < 0 || static_cast<std::size_t>(chosen) >= drives_.size()) return;
    // "x:" names that drive's current folder, as a drive list hands it over.
    if (!ShowFolder(drives_[static_cast<std::size_t>(chosen)].substr(0, 2))) Beep();
}

void BrowsePanel::OnFolderOpen() {
    const auto line = SendMessageA(control(kFolderList), LB_GETCURSEL, 0, 0);
    if (line < 0 || static_cast<std::size_t>(line) >= folderPaths_.size()) return;
    const std::string target = folderPaths_[static_cast<std::size_t>(line)];
    if (target == folder_) return;
    if (!ShowFolder(target)) {
        Beep();
        // Put the highlight back on the folder that is still current.
        ShowFolder(folder_);
    }
}

void BrowsePanel::SelectFile(const std::string& name) {
    // By the whole name: a prefix match would take "a.exe.exe" for a
    // vanished "a.exe", and OK would then pick the wrong program.
    HWND files = control(kFileList);
    const auto count = SendMessageA(files, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        if (GetListText(files, static_cast<int>(i)) != name) continue;
        SendMessageA(files, LB_SETCURSEL, static_cast<WPARAM>(i), 0);
        return;
    }
}

void BrowsePanel::OnRefresh() {
    FillDrives();
    const auto selected = SendMessageA(control(kFileList), LB_GETCURSEL, 0, 0);
    const std::string keep = selected >= 0 ? GetListText(control(kFileList), static_cast<int>(selected)) : "";
    if (!ShowFolder(folder_)) ShowFiles(filesFolder_);
    if (!keep.empty()) SelectFile(keep);
    (void)DoEvents();  // nothing follows
}

void BrowsePanel::OnOk() {
    HWND files = control(kFileList);
    const auto selected = SendMessageA(files, LB_GETCURSEL, 0, 0);
    if (selected < 0) return;
    const ChosenTarget chosen{
        MapCase(WithBackslash(folder_, SystemLower().lead) + GetListText(files, static_cast<int>(selected)),
                SystemLower()),
        folder_};
    (void)Request(&PanelHost::TargetChosen, chosen);  // nothing follows
}

}  // namespace corvane
