// Reading and writing the Favorites file on disk, and the rule that a file
// that could not be read is never replaced.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "favorites/favorite.hpp"
#include "favorites/favorites_file.hpp"

namespace corvane {

inline constexpr const char* kFavoritesFileName = "Favorites";
inline constexpr const char* kUnsavedSuffix = ".unsaved";

enum class ReadStatus {
    Missing,     // no such file: an empty list, and a new file at exit
    Read,        // read whole
    Unreadable,  // there, but not read whole: locked, failed part way, too large
};

struct ReadResult {
    ReadStatus status = ReadStatus::Missing;
    std::string bytes;
    std::uint32_t error = 0;  // the system's, when unreadable
};

ReadResult ReadFavoritesFile(const char* path = kFavoritesFileName);

// Writes `head` as it stands and then the favorites to a temporary file
// beside `path`, and only then puts it in place, so a failure (read-only
// folder, full disk, the file locked by another program) leaves the previous
// file whole. Where `path` is a symbolic link, the file it points to is the
// one replaced, and the link stays. Returns whether the new file is in
// place; if not, the system's last error says why.
bool WriteFavoritesFile(const std::vector<Favorite>& favorites, const char* path = kFavoritesFileName,
                        std::string_view head = {});

// The Favorites file of one session: read at start-up, written at the end
// only when the session changed the list, never undoing what another
// program wrote to it meanwhile, and never replaced when it could not be
// read, since what it holds would be lost. The session's own favorites then
// go beside it.
class FavoritesFile {
public:
    explicit FavoritesFile(std::string path = kFavoritesFileName) : path_(std::move(path)) {}

    // Reads the file's bytes; the favorites in them are taken out with Next
    // and ReadToEnd.
    void Open();
    // Up to `count` more favorites. A list too large to hold stops here, and
    // the file then counts as unreadable: what it holds beyond the favorites
    // taken so far must not be lost by a write. The first part comes with
    // room for all the rest after it.
    std::vector<Favorite> Next(std::size_t count);
    // What Next gave with every favorite after it; the bytes read are let go.
    // A list too large to hold in memory stops early, and the file then
    // counts as unreadable: what it holds beyond the favorites taken so far
    // must not be lost by a write.
    WholeList ReadToEnd(std::vector<Favorite>&& readSoFar);
    std::size_t EstimatedCount() const { return reader_.Estimate(); }
    bool unreadable() const { return unreadable_; }
    const std::string& path() const { return path_; }
    std::string unsavedPath() const { return path_ + kUnsavedSuffix; }

    enum class SaveResult { Written, Failed, LeftAlone, SavedBeside, BesideFailed };
    // A file not yet read to its end is left alone: the list in memory is not
    // all of it. Unchanged, the file is left alone too; only one that was
    // missing and still is becomes an empty file. Changed, the list is
    // written if the file still holds what was read, and otherwise the
    // changes are made to what it holds now. Beside an unreadable file the
    // added favorites go to Favorites.unsaved (see SaveBeside). Failed: the
    // system's reason is error().
    SaveResult Save(const std::vector<Favorite>& favorites, const Changes& changes);
    // Adds to Favorites.unsaved those of `added` it does not hold yet. It
    // only grows, since an earlier session's favorites in it are as
    // unrecoverable elsewhere as this one's; an unreadable one is not
    // replaced either.
    SaveResult SaveBeside(const std::vector<Favorite>& added) const;
    std::uint32_t error() const { return error_; }

private:
    bool Replace(const std::vector<Favorite>& favorites, std::string_view head);

    std::string path_;
    std::string bytes_;  // only until read to the end
    FileFingerprint read_;
    FavoritesReader reader_;
    std::size_t taken_ = 0;  // favorites handed out so far
    std::uint32_t error_ = 0;
    bool unreadable_ = false;
    bool readToEnd_ = false;
};

}  // namespace corvane
