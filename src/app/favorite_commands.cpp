// What the panels ask of the window: the work that spans more than one
// panel — loading the selected favorite, saving, going back to the list,
// launching — and the launch requests of other Corvane processes.
#include "app/main_window.hpp"

#include "app/launch_request.hpp"
#include "platform/texts.hpp"
#include "platform/win.hpp"

namespace corvane {

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
        if (!editor_.Load(FieldsOf(store_.at(index)))) return;
        favorites_.ShowIcon(editor_.Target());
        favorites_.EnableLaunch(true);
    }
    (void)DoEvents();  // nothing follows
}

void MainWindow::Save() {
    if (!editor_.CleanFieldsForSave()) return;
    const FavoriteFields fields = editor_.Fields();
    if (!FieldsComplete(fields.title, fields.startIn, fields.target)) {
        InfoBox(hwnd(), text::kFillIn);
        return;
    }
    Favorite favorite =
        MakeFavorite(fields.title, fields.target, fields.startIn, fields.parameters, fields.code, SystemLower());
    if (!store_.AddUnlessDuplicate(std::move(favorite))) {
        InfoBox(hwnd(), text::kDuplicate);
        return;
    }
    favorites_.ListMore(store_.items());
    editor_.MarkNoParameters();
    if (!editor_.Clear() || !DoEvents()) return;
    ShowPanel(favorites_, editor_);
    if (favorites_.SelectLast() == FavoritesPanel::Selection::WindowGone) return;
    (void)DoEvents();  // nothing follows
}

void MainWindow::Remove(int index) {
    if (index >= 0) {
        store_.RemoveAt(index);
        favorites_.Unlist(index);
    }
    if (!DoEvents()) return;
    ResetSelection();
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
    // A click or double click during another launch's pause waits for it
    // instead of running inside it.
    if (launching_) {
        pendingLaunches_.emplace_back(std::nullopt);
        return;
    }
    LaunchHost host;
    // The selected favorite's core, not the option buttons'.
    host.cpuCode = [this] { return CpuCode(store_.at(favorites_.CurrentIndex()).coded); };
    host.target = [this] { return editor_.Target(); };
    RunLaunch(editor_.Fields(), host);
}

void MainWindow::LaunchStored(const std::string& display) {
    const Favorite* found = store_.Find(display);
    if (!found) {
        InfoBox(hwnd(), text::UnknownFavorite(display).c_str());
        return;
    }
    // A copy: the favorite may be removed while the launch lets events in.
    const FavoriteFields fields = FieldsOf(*found);
    LaunchHost host;
    host.cpuCode = [code = fields.code] { return code; };
    host.target = [target = fields.target] { return target; };
    RunLaunch(fields, host);
}

void MainWindow::RunLaunch(const FavoriteFields& fields, LaunchHost host) {
    host.window = hwnd();
    host.doEvents = [this] { return DoEvents(); };
    launching_ = true;
    lastLaunch_ = launcher_.Run(fields, host);
    launching_ = false;
    RunPendingLaunchesLater();
}

void MainWindow::LaunchByDisplay(const std::string& display) {
    pendingLaunches_.emplace_back(display);
    RunPendingLaunchesLater();
}

LRESULT MainWindow::OnCopyData(const COPYDATASTRUCT& data) {
    const auto display = LaunchRequestText(data.dwData, data.lpData, data.cbData);
    if (!display) return FALSE;
    // The sender waits until this returns: the launch runs once it has.
    LaunchByDisplay(*display);
    return TRUE;
}

void MainWindow::RunPendingLaunchesLater() {
    if (!pendingLaunches_.empty() && hwnd()) PostMessageA(hwnd(), kRunPendingLaunch, 0, 0);
}

void MainWindow::RunPendingLaunches() {
    // A launch under way, or a message box up (it disables the window it
    // belongs to), lets events in; what arrives then waits until it is over,
    // and the end of either asks again.
    while (!pendingLaunches_.empty() && hwnd() && !launching_ && IsWindowEnabled(hwnd())) {
        const std::optional<std::string> next = std::move(pendingLaunches_.front());
        pendingLaunches_.pop_front();
        if (next)
            LaunchStored(*next);
        else
            OnLaunch();
    }
}

}  // namespace corvane
