// The favorites panel: the list of the favorites the window's store holds,
// the icon of the selected favorite's program, and Launch, Add and Remove.
#pragma once

#include <string>
#include <vector>

#include "favorites/store.hpp"
#include "panels/panel.hpp"
#include "platform/handles.hpp"

namespace corvane {

class FavoritesPanel : public Panel {
public:
    // The list shows `store`, whose entries are its indexes; the store
    // belongs to the window and changes only there.
    FavoritesPanel(const Theme& theme, const FavoriteStore& store, PanelHost& host)
        : Panel(kFavoritesPanel, theme, host), store_(store) {}

    void ClearList();
    // Lists those of `items` the list does not show yet: at start-up first
    // the favorites read before the store has them, with room made for about
    // `expected` in all, then the store's. The list shows a beginning of the
    // store, entry for entry: it stops at the first favorite it has no room
    // for.
    void ListMore(const std::vector<Favorite>& items, std::size_t expected = 0);
    // How many of the store's favorites the list has no room for.
    std::size_t Unlisted() const;
    // Takes the entry at `index` off the list, after the store dropped it.
    void Unlist(int index);

    // The list's current index, -1 when nothing is selected.
    int CurrentIndex() const;
    enum class Selection {
        Made,        // and the favorite loaded everywhere
        NotMade,     // no such entry, or the list refused it
        WindowGone,  // loading it let events in that closed the window
    };
    // Selects an entry as a click would, loading it everywhere.
    [[nodiscard]] Selection Select(int index);
    [[nodiscard]] Selection SelectLast() { return Select(static_cast<int>(store_.size()) - 1); }
    void ClearSelection();

    void EnableLaunch(bool enable);

    // The preview of the first large icon of `program`; nothing if it has none.
    void ShowIcon(const std::string& program);
    void ClearIcon();
    HICON previewIcon() const { return preview_.get(); }

private:
    void OnCommand(int id, int code) override;
    bool OnDrawItem(const DRAWITEMSTRUCT& item) override;
    // The list's menu: Launch, Create Desktop Shortcut and Remove, for the
    // entry under the pointer (which it selects first) or the selected one.
    bool OnContextMenu(HWND from, POINT at) override;
    int MenuEntry(POINT& at);
    void OnMenuCommand(UINT command);
    HWND list() const { return control(kFavoritesList); }

    const FavoriteStore& store_;
    UniqueIcon preview_;
};

}  // namespace corvane
