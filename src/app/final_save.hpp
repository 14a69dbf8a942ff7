// The end of a session's favorites: saved once, whatever ends the session and
// however many ends arrive. When Favorites refuses the save, the user is asked
// to retry or to give up; giving up puts the favorites the session added into
// Favorites.unsaved. At log-off there is no one to ask: they go there at once.
#pragma once

#include <windows.h>

#include "favorites/file_io.hpp"
#include "favorites/store.hpp"

namespace corvane {

class FinalSave {
public:
    FinalSave(FavoritesFile& file, const FavoriteStore& store) : file_(file), store_(store) {}

    enum class Asking { User, Nobody };
    // Saves, unless that is done. Asking the user shows a box owned by
    // `owner`, which lets events in: a Run meanwhile that may ask nobody
    // settles it at once (the box's answer then changes nothing); one that
    // may ask the user leaves it to the box.
    void Run(Asking asking, HWND owner);
    // A box of Run is up, waiting for the user.
    bool asking() const { return state_ == State::Asking; }

    // Where the favorites went when Favorites did not take them, in a box;
    // nothing when it did. Run once the message loop has ended: a box shown
    // while the loop's quit message waits would end at once.
    void TellWhereTheyWent() const;

private:
    enum class State { NotRun, Asking, Done };
    void GiveUp();

    FavoritesFile& file_;
    const FavoriteStore& store_;
    State state_ = State::NotRun;
    FavoritesFile::SaveResult result_ = FavoritesFile::SaveResult::LeftAlone;
    bool refused_ = false;  // Favorites refused the save, not only its reading
};

}  // namespace corvane
