#include "panels/favorites_panel.hpp"

#include "panels/icon_preview.hpp"
#include "panels/panel_host.hpp"

namespace corvane {

void FavoritesPanel::ClearList() {
    SendMessageA(list(), LB_RESETCONTENT, 0, 0);
}

void FavoritesPanel::ListMore(const std::vector<Favorite>& items, std::size_t expected) {
    HWND target = list();
    // Room for every entry at once; the display texts average about 20 bytes.
    if (expected > 0) SendMessageA(target, LB_INITSTORAGE, expected, static_cast<LPARAM>(expected * 24));
    const LRESULT listed = SendMessageA(target, LB_GETCOUNT, 0, 0);
    SendMessageA(target, WM_SETREDRAW, FALSE, 0);
    for (std::size_t i = listed > 0 ? static_cast<std::size_t>(listed) : 0; i < items.size(); ++i) {
        const LRESULT added = SendMessageA(target, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(items[i].display.c_str()));
        // An entry left out would shift every later one off its favorite.
        if (added == LB_ERR || added == LB_ERRSPACE) break;
    }
    SendMessageA(target, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(target, nullptr, TRUE);
}

std::size_t FavoritesPanel::Unlisted() const {
    const LRESULT listed = SendMessageA(list(), LB_GETCOUNT, 0, 0);
    const std::size_t shown = listed > 0 ? static_cast<std::size_t>(listed) : 0;
    return store_.size() > shown ? store_.size() - shown : 0;
}

void FavoritesPanel::Unlist(int index) {
    SendMessageA(list(), LB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

int FavoritesPanel::CurrentIndex() const {
    return static_cast<int>(SendMessageA(list(), LB_GETCURSEL, 0, 0));
}

FavoritesPanel::Selection FavoritesPanel::Select(int index) {
    if (!hwnd()) return Selection::WindowGone;
    if (index < 0 || index >= static_cast<int>(store_.size())) return Selection::NotMade;
    if (SendMessageA(list(), LB_SETCURSEL, static_cast<WPARAM>(index), 0) == LB_ERR) return Selection::NotMade;
    // A selection made by the program loads the favorite just as a click does.
    return Request(&PanelHost::OnSelectionChanged) ? Selection::Made : Selection::WindowGone;
}

void FavoritesPanel::ClearSelection() {
    SendMessageA(list(), LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
}

void FavoritesPanel::EnableLaunch(bool enable) {
    EnableWindow(control(kLaunchButton), enable ? TRUE : FALSE);
}

void FavoritesPanel::ShowIcon(const std::string& program) {
    preview_ = GetIconFromFile(program, 0, true);
    InvalidateRect(control(kPreviewPicture), nullptr, TRUE);
}

void FavoritesPanel::ClearIcon() {
    preview_.reset();
    InvalidateRect(control(kPreviewPicture), nullptr, TRUE);
}

void FavoritesPanel::OnCommand(int id, int code) {
    switch (id) {
    case kFavoritesList:
        if (code == LBN_SELCHANGE)
            (void)Request(&PanelHost::OnSelectionChanged);  // nothing follows
        else if (code == LBN_DBLCLK && DoEvents())
            (void)Request(&PanelHost::Launch);  // nothing follows
        break;
    case kLaunchButton:
        if (code == BN_CLICKED) (void)Request(&PanelHost::Launch);  // nothing follows
        break;
    case kAddButton:
        if (code == BN_CLICKED) (void)Request(&PanelHost::OpenEditor);  // nothing follows
        break;
    case kRemoveButton:
        if (code == BN_CLICKED) (void)Request(&PanelHost::Remove, CurrentIndex());  // nothing follows
        break;
    default:
        break;
    }
}

bool FavoritesPanel::OnDrawItem(const DRAWITEMSTRUCT& item) {
    if (item.CtlID != static_cast<UINT>(kPreviewPicture)) return false;
    FillRect(item.hDC, &item.rcItem, Theme::Background());
    if (HICON icon = previewIcon())
        DrawIconEx(item.hDC, item.rcItem.left, item.rcItem.top, icon, 0, 0, 0, nullptr, DI_NORMAL | DI_DEFAULTSIZE);
    return true;
}

}  // namespace corvane
