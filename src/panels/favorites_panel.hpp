// The favorites panel: the list of favorites with the store behind it, the
// icon of the selected favorite's program, and Launch, Add and Remove.
#pragma once

#include <ocidl.h>

#include <string>
#include <vector>

#include "favorites/store.hpp"
#include "panels/panel.hpp"
#include "platform/handles.hpp"

namespace corvane {

class FavoritesPanel : public Panel {
public:
    FavoritesPanel(const Theme& theme, PanelHost& host) : Panel(kFavoritesPanel, theme, host) {}

    const FavoriteStore& store() const { return store_; }

    // Empties the list and the store.
    void Clear();
    // Lists the first favorites the file held, before the store has them,
    // with room made for about `expected` in all.
    void ListFirst(const std::vector<Favorite>& first, std::size_t expected);
    // The store: every favorite the file held. The list may still show only
    // the first ones, as indexes into the store.
    void Load(WholeList favorites) { store_.Load(std::move(favorites)); }
    // Lists what the store holds and the list does not show yet.
    void ListRest();
    // Appends unless its display text is empty or already listed.
    bool AddUnlessDuplicate(Favorite favorite);

    // The list's current index, -1 when nothing is selected.
    int CurrentIndex() const;
    // Selects an entry as a click would, loading it everywhere; false once
    // the window is gone.
    [[nodiscard]] bool Select(int index);
    [[nodiscard]] bool SelectLast() { return Select(static_cast<int>(store_.size()) - 1); }
    void ClearSelection();

    void EnableLaunch(bool enable);

    // The preview of the first large icon of `program`; nothing if it has none.
    void ShowIcon(const std::string& program);
    void ClearIcon();
    HICON previewIcon() const;

private:
    void OnCommand(int id, int code) override;
    bool OnDrawItem(const DRAWITEMSTRUCT& item) override;
    void OnRemove();
    void AddToList(const std::vector<Favorite>& items, std::size_t from);
    HWND list() const { return control(kFavoritesList); }

    FavoriteStore store_;
    ComPtr<IPicture> picture_;  // owns the preview's icon
};

}  // namespace corvane
