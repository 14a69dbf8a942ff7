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
    // What the file held: the first favorites, with room made for about
    // `expected` in all, then the rest.
    void Fill(std::vector<Favorite> first, std::size_t expected);
    void FillMore(std::vector<Favorite> more);
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
    void AddToList(std::size_t from);
    HWND list() const { return control(kFavoritesList); }

    FavoriteStore store_;
    ComPtr<IPicture> picture_;  // owns the preview's icon
};

}  // namespace corvane
