// What the panels ask of the window: the work that spans more than one
// panel — loading the selected favorite, saving, going back to the list.
#include "app/main_window.hpp"

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
    // The editor's fields always hold the selected favorite.
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
        MakeFavorite(fields.title, fields.target, fields.startIn, fields.parameters, fields.core, SystemLower());
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

}  // namespace corvane
