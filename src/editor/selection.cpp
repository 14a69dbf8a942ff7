// Loading the favorite selected in the list into the editor fields: the
// fields always hold the current favorite, and Launch reads them.
#include "app/main_window.hpp"

namespace corvane {

void MainWindow::OnFavoriteSelected() {
    EnableLaunch(false);
    const int index = CurrentIndex();
    if (index >= 0) {
        const Favorite chosen = store_.at(index);
        SetField(kText3, TitleOf(chosen.display));
        // Changing the target runs its change handling, which lets other
        // events run; the window may be gone when it returns.
        SetField(kText1, TargetOf(chosen.coded));
        if (closed_) return;
        SetField(kText2, chosen.startIn);
        SetField(kText4, chosen.params);
        CreateIcon();
        const int option = OptionIndexFor(CpuCode(store_.at(CurrentIndex()).coded));
        for (int i = 0; i < 3; ++i)
            SendMessageA(control(kOption1_0 + i), BM_SETCHECK, i == option ? BST_CHECKED : BST_UNCHECKED, 0);
        EnableLaunch(true);
    }
    DoEvents();
}

void MainWindow::SelectIndex(int index) {
    if (index < 0 || index >= static_cast<int>(store_.size())) return;
    if (SendMessageA(control(kList1), LB_SETCURSEL, static_cast<WPARAM>(index), 0) == LB_ERR) return;
    // A selection made by the program loads the favorite just as a click does.
    OnFavoriteSelected();
}

void MainWindow::SelectLast() { SelectIndex(static_cast<int>(store_.size()) - 1); }

}  // namespace corvane
