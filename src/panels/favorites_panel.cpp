#include "panels/favorites_panel.hpp"

#include "panels/icon_preview.hpp"
#include "panels/panel_host.hpp"
#include "platform/texts.hpp"

namespace corvane {

namespace {

// The context menu's commands, returned by TrackPopupMenu.
enum MenuCommand : UINT { kMenuLaunch = 1, kMenuShortcut, kMenuRemove };

}  // namespace

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

int FavoritesPanel::MenuEntry(POINT& at) {
    if (at.x == -1 && at.y == -1) {
        // The context-menu key or Shift+F10: the selected entry, the menu below it.
        const int index = CurrentIndex();
        RECT item{};
        if (index < 0 ||
            SendMessageA(list(), LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) == LB_ERR)
            return -1;
        at = {item.left, item.bottom};
        ClientToScreen(list(), &at);
        return index;
    }
    POINT client = at;
    ScreenToClient(list(), &client);
    const LRESULT hit = SendMessageA(list(), LB_ITEMFROMPOINT, 0, MAKELPARAM(client.x, client.y));
    // The high word is set below the last entry, where there is nothing to act on.
    if (hit == LB_ERR || HIWORD(hit) != 0) return -1;
    const int index = LOWORD(hit);
    // Selected as a click selects it, so that everything shows the entry the menu acts on.
    return Select(index) == Selection::Made ? index : -1;
}

bool FavoritesPanel::OnContextMenu(HWND from, POINT at) {
    if (from != list()) return false;
    if (MenuEntry(at) < 0 || !hwnd()) return true;
    UniqueMenu menu(CreatePopupMenu());
    const UINT launch = IsWindowEnabled(control(kLaunchButton)) ? MF_STRING : MF_STRING | MF_GRAYED;
    if (!menu || !AppendMenuA(menu.get(), launch, kMenuLaunch, text::kMenuLaunch) ||
        !AppendMenuA(menu.get(), MF_STRING, kMenuShortcut, text::kMenuShortcut) ||
        !AppendMenuA(menu.get(), MF_STRING, kMenuRemove, text::kMenuRemove))
        return true;
    const auto chosen = static_cast<UINT>(
        TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd(), nullptr));
    // The menu let events in.
    if (alive()) OnMenuCommand(chosen);
    return true;
}

void FavoritesPanel::OnMenuCommand(UINT command) {
    // Launch and Remove ask what their buttons ask.
    switch (command) {
    case kMenuLaunch:
        (void)Request(&PanelHost::Launch);  // nothing follows
        break;
    case kMenuShortcut:
        (void)Request(&PanelHost::CreateShortcut, CurrentIndex());  // nothing follows
        break;
    case kMenuRemove:
        (void)Request(&PanelHost::Remove, CurrentIndex());  // nothing follows
        break;
    default:
        break;
    }
}

}  // namespace corvane
