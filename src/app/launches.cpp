// Launches: the user's Launch and double click, and the launch requests of
// other Corvane processes. Each becomes one launch order when it is asked
// for, and waits its turn behind a launch that runs or a message box.
#include <string>
#include <vector>

#include "app/launch_request.hpp"
#include "app/main_window.hpp"
#include "platform/texts.hpp"
#include "platform/win.hpp"

namespace corvane {

void MainWindow::OnLaunch() {
    // The selected favorite as it is stored, not the editor's fields: what
    // was clicked is what starts, however long it waits. With nothing
    // selected the launcher refuses and says so.
    QueuedLaunch launch;
    if (const int index = favorites_.CurrentIndex(); index >= 0)
        launch.order = {store_.at(index).display, FieldsOf(store_.at(index))};
    pendingLaunches_.push_back(std::move(launch));
    // A click during another launch's pause waits for it instead of running
    // inside it.
    RunPendingLaunches();
}

void MainWindow::LaunchByDisplay(const std::string& display) {
    // Resolved as it arrives: what the list holds then is what starts.
    const Favorite* found = store_.Find(display);
    pendingLaunches_.push_back({{display, found ? FieldsOf(*found) : FavoriteFields{}}, found != nullptr});
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
    while (!pendingLaunches_.empty() && state_ == State::Running && hwnd() && IsWindowEnabled(hwnd())) {
        const QueuedLaunch next = std::move(pendingLaunches_.front());
        pendingLaunches_.pop_front();
        if (next.listed)
            RunLaunch(next.order);
        else
            InfoBox(hwnd(), text::UnknownFavorite(next.order.display).c_str());
    }
}

void MainWindow::RunLaunch(const LaunchOrder& order) {
    state_ = State::Launching;
    com_.Enter();  // the shell's calls want this thread in an apartment
    lastLaunch_ = launcher_.Run(order, {hwnd(), [this] { return DoEvents(); }});
    if (state_ == State::Launching) state_ = State::Running;
    // Closed before it started anything, the launch still waits, to be told.
    if (lastLaunch_ == LaunchOutcome::ClosedBeforeStart) pendingLaunches_.push_front({order, true});
    RunPendingLaunchesLater();
}

void MainWindow::TellLaunchesNotStarted() const {
    std::vector<std::string> waiting;
    for (const QueuedLaunch& launch : pendingLaunches_)
        if (!launch.order.display.empty()) waiting.push_back(launch.order.display);
    // While the session ends a box would only hold it up.
    if (waiting.empty() || GetSystemMetrics(SM_SHUTTINGDOWN)) return;
    InfoBox(nullptr, text::NotStarted(waiting).c_str());
}

}  // namespace corvane
