// What the panels ask of the window: the work that spans more than one
// panel — loading the selected favorite, saving, going back to the list,
// launching — and the launch requests of other Corvane processes.
#include "app/main_window.hpp"

#include "app/launch_request.hpp"
#include "platform/win.hpp"

namespace corvane {

namespace {

constexpr const char* kFillInMessage = "Please fill in the required data!";
constexpr const char* kDuplicateMessage = "Favorite already exsists, Please Rename Title!";

}  // namespace

void MainWindow::OpenEditor() {
    ShowPanel(editor_, favorites_);
    editor_.FocusTitle();
}

void MainWindow::CloseEditor() {
    ShowPanel(favorites_, editor_);
    ResetSelection();
}

void MainWindow::OpenBrowser() {
    browse_.Open();
    ShowPanel(browse_, editor_);
}

void MainWindow::ShowPanel(Panel& show, Panel& hide) {
    show.Show(true);
    hide.Show(false);
}

void MainWindow::OnSelectionChanged() {
    // The editor's fields always hold the selected favorite: Launch reads them.
    favorites_.EnableLaunch(false);
    const int index = favorites_.CurrentIndex();
    if (index >= 0) {
        const Favorite chosen = store().at(index);
        if (!editor_.ShowFavorite(chosen)) return;
        favorites_.ShowIcon(editor_.Target());
        favorites_.EnableLaunch(true);
    }
    (void)DoEvents();
}

void MainWindow::Save() {
    if (!editor_.CleanFieldsForSave()) return;
    const EditorFields fields = editor_.Fields();
    if (!FieldsComplete(fields.title, fields.startIn, fields.target)) {
        InfoBox(hwnd(), kFillInMessage);
        return;
    }
    Favorite favorite =
        MakeFavorite(fields.title, fields.target, fields.startIn, fields.parameters, fields.code, SystemLower());
    if (!favorites_.AddUnlessDuplicate(std::move(favorite))) {
        InfoBox(hwnd(), kDuplicateMessage);
        return;
    }
    editor_.MarkNoParameters();
    if (!editor_.Clear() || !DoEvents()) return;
    ShowPanel(favorites_, editor_);
    if (!favorites_.SelectLast()) return;
    (void)DoEvents();
}

void MainWindow::ResetSelection() {
    favorites_.ClearSelection();
    if (!editor_.Clear()) return;
    favorites_.ClearIcon();
    favorites_.EnableLaunch(false);
}

void MainWindow::TargetChosen(const ChosenTarget& chosen) {
    if (!editor_.SetTarget(chosen.program)) return;
    editor_.SetStartIn(chosen.folder);
    ShowPanel(editor_, browse_);
}

void MainWindow::OnLaunch() {
    const EditorFields fields = editor_.Fields();
    LaunchHost host;
    host.window = hwnd();
    host.doEvents = [this] { return DoEvents(); };
    host.cpuCode = [this] { return CpuCode(store().at(favorites_.CurrentIndex()).coded); };
    host.target = [this] { return editor_.Target(); };
    lastLaunch_ = launcher_.Run({fields.title, fields.target, fields.startIn, fields.parameters}, host);
}

void MainWindow::LaunchByDisplay(const std::string& display) {
    bool found = false;
    if (!favorites_.SelectByDisplay(display, found)) return;
    if (!found) {
        InfoBox(hwnd(), UnknownFavoriteMessage(display).c_str());
        return;
    }
    OnLaunch();
}

LRESULT MainWindow::OnCopyData(const COPYDATASTRUCT& data) {
    const auto display = LaunchRequestText(data.dwData, data.lpData, data.cbData);
    if (!display) return FALSE;
    // The sender waits until this returns: the launch runs once it has.
    pendingLaunches_.push_back(*display);
    PostMessageA(hwnd(), kRunPendingLaunch, 0, 0);
    return TRUE;
}

void MainWindow::RunPendingLaunches() {
    while (!pendingLaunches_.empty() && hwnd()) {
        const std::string display = std::move(pendingLaunches_.front());
        pendingLaunches_.erase(pendingLaunches_.begin());
        LaunchByDisplay(display);
    }
}

}  // namespace corvane
