// A favorite's desktop shortcut: a link to this corvane.exe that asks the
// running Corvane (or a new one, in this folder) to launch the favorite.
#include "app/main_window.hpp"

#include "platform/shell_link.hpp"
#include "platform/shell_rules.hpp"
#include "platform/texts.hpp"
#include "platform/win.hpp"

namespace corvane {

namespace {

ShellLink LinkFor(const Favorite& favorite) {
    ShellLink link;
    link.target = ProgramPath();
    link.arguments = "/launch " + QuotedArgument(favorite.display);
    // Where this Corvane found its Favorites, so the shortcut's Corvane reads the same list.
    link.folder = CurrentFolder();
    const FavoriteFields fields = FieldsOf(favorite);
    link.iconFile = fields.target;
    link.iconIndex = 0;
    link.description = text::ShortcutDescription(DisplayText(fields.title, fields.core));
    return link;
}

}  // namespace

void MainWindow::CreateShortcut(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= store_.size()) return;
    // A copy: the boxes below let events in.
    const Favorite favorite = store_.at(index);
    const std::string file = FileNameFrom(favorite.display, SystemUpper().lead) + ".lnk";
    com_.Enter();
    const Folder desktop = DesktopFolder();
    if (FAILED(desktop.result)) {
        WarningBox(hwnd(), text::ShortcutFailed(file, SystemReason(desktop.result)).c_str());
        return;
    }
    const std::string path = desktop.path + "\\" + file;
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES &&
        !AskYesNo(hwnd(), text::ShortcutExists(file).c_str()))
        return;
    if (!hwnd()) return;  // closed while the question was up
    const HRESULT written = WriteShellLink(path, LinkFor(favorite));
    if (SUCCEEDED(written))
        InfoBox(hwnd(), text::ShortcutCreated(file).c_str());
    else
        WarningBox(hwnd(), text::ShortcutFailed(file, SystemReason(written)).c_str());
}

}  // namespace corvane
