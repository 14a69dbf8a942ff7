#include "favorites/file_io.hpp"

#include <windows.h>

#include <algorithm>
#include <new>

#include "favorites/favorites_file.hpp"
#include "platform/handles.hpp"
#include "platform/paths.hpp"

namespace corvane {

namespace {

// More than a 32-bit process can hold next to its list; such a file is not
// a list of favorites anyone typed, but it is not ours to destroy either.
constexpr LONGLONG kLargestReadable = 256LL << 20;

// The system's error when the file cannot be read whole, 0 when it was.
DWORD ReadAll(HANDLE file, std::string& bytes) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size)) return GetLastError();
    if (size.QuadPart > kLargestReadable) return ERROR_FILE_TOO_LARGE;
    bytes.reserve(static_cast<std::size_t>(size.QuadPart));
    char chunk[64 * 1024];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file, chunk, sizeof chunk, &got, nullptr)) return GetLastError();
        if (got == 0) return ERROR_SUCCESS;
        if (bytes.size() + got > static_cast<std::size_t>(kLargestReadable)) return ERROR_FILE_TOO_LARGE;
        bytes.append(chunk, got);
    }
}

}  // namespace

ReadResult ReadFavoritesFile(const char* path) {
    // Others may hold the file open, even for writing (sync tools, editors,
    // virus scanners): reading must not need it to themselves.
    UniqueFile file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) {
        const DWORD error = GetLastError();
        const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        return {missing ? ReadStatus::Missing : ReadStatus::Unreadable, {}, error};
    }
    try {
        ReadResult read{ReadStatus::Read, {}};
        if (const DWORD error = ReadAll(file.get(), read.bytes)) return {ReadStatus::Unreadable, {}, error};
        return read;
    } catch (...) {
        return {ReadStatus::Unreadable, {}, ERROR_NOT_ENOUGH_MEMORY};
    }
}

namespace {

// The folder part of `path` (with its trailing backslash), or "." for a bare
// name, so the temporary file lands on the same volume as the target.
std::string TempFolderFor(const std::string& path) {
    const auto slash = path.find_last_of("\\/");
    if (slash == std::string::npos) return ".";
    return path.substr(0, slash + 1);
}

// Where the file `path` names really is: a symbolic link's target, so that
// replacing it replaces the target and leaves the link. A file not there yet
// is made, empty, for the new list to replace at once: a link to a file not
// there yet cannot be told from no file at all, and making the file through
// the link is what gives it its target. `path` itself when the system cannot
// say.
std::string FinalPathOf(const char* path) {
    const auto open = [path](DWORD access, DWORD disposition) {
        return UniqueFile(CreateFileA(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      disposition, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    };
    UniqueFile file = open(0, OPEN_EXISTING);
    if (!file && GetLastError() == ERROR_FILE_NOT_FOUND) file = open(GENERIC_WRITE, OPEN_ALWAYS);
    if (!file) return path;
    char buffer[MAX_PATH * 4];
    const DWORD length =
        GetFinalPathNameByHandleA(file.get(), buffer, sizeof buffer, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0 || length >= sizeof buffer) return path;
    return DosPathOf(std::string_view(buffer, length));
}

bool WriteAll(HANDLE file, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
        DWORD wrote = 0;
        if (!WriteFile(file, bytes.data() + done, want, &wrote, nullptr) || wrote == 0) return false;
        done += wrote;
    }
    return true;
}

// `head` as it stands, then the bytes of SerializeFavorites, written a slice
// at a time through one small reused buffer. A single buffer for the whole
// file (about 130 bytes a favorite) is fresh memory, and touching that much
// new memory costs more than writing it: about a quarter of the shutdown
// with a full list.
bool WriteFavorites(HANDLE file, std::string_view head, const std::vector<Favorite>& favorites) {
    if (!WriteAll(file, head)) return false;
    constexpr std::size_t kSlice = 64 * 1024;
    std::string slice;
    slice.reserve(kSlice + 1024);
    for (const Favorite& f : favorites) {
        AppendFavorite(slice, f);
        if (slice.size() >= kSlice) {
            if (!WriteAll(file, slice)) return false;
            slice.clear();
        }
    }
    return WriteAll(file, slice);
}

}  // namespace

bool WriteFavoritesFile(const std::vector<Favorite>& favorites, const char* path, std::string_view head) {
    const std::string target = FinalPathOf(path);
    char temp[MAX_PATH + 16];
    if (!GetTempFileNameA(TempFolderFor(target).c_str(), "fav", 0, temp)) return false;
    bool ok = false;
    {
        UniqueFile file(CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        ok = file && WriteFavorites(file.get(), head, favorites) && FlushFileBuffers(file.get());
    }
    if (ok) ok = MoveFileExA(temp, target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    if (!ok) {
        // The caller tells the user why: the cleaning up must not change that.
        const DWORD error = GetLastError();
        DeleteFileA(temp);
        SetLastError(error);
    }
    return ok;
}

void FavoritesFile::Open() {
    ReadResult read = ReadFavoritesFile(path_.c_str());
    unreadable_ = read.status == ReadStatus::Unreadable;
    if (read.status == ReadStatus::Read) read_ = FingerprintOf(read.bytes);
    bytes_ = std::move(read.bytes);
    reader_ = FavoritesReader(bytes_);
}

std::vector<Favorite> FavoritesFile::Next(std::size_t count) {
    std::vector<Favorite> favorites;
    // The first part gets room for the whole list: the store takes it over,
    // and the rest then joins it without needing memory it might not get.
    const std::size_t estimate = reader_.Estimate();
    const std::size_t left = estimate - std::min(taken_, estimate);
    const std::size_t room = taken_ == 0 ? left : std::min(count, left);
    if (ReadInto(reader_, count, room, favorites)) {
        taken_ += favorites.size();
    } else {
        unreadable_ = true;
        std::vector<Favorite>().swap(favorites);
        reader_ = FavoritesReader();
        std::string().swap(bytes_);
    }
    return favorites;
}

WholeList FavoritesFile::ReadToEnd(std::vector<Favorite>&& readSoFar) {
    // Nothing a failure to hold the rest can throw may end the program: the
    // file then counts as unreadable, and only what was read so far is kept.
    if (!ReadInto(reader_, SIZE_MAX, reader_.Estimate(), readSoFar)) unreadable_ = true;
    // The list holds everything now; whether the file changed meanwhile is
    // told by its fingerprint.
    reader_ = FavoritesReader();
    std::string().swap(bytes_);
    readToEnd_ = true;
    return FavoritesReader().ReadToEnd(std::move(readSoFar));
}

bool FavoritesFile::Replace(const std::vector<Favorite>& favorites, std::string_view head) {
    if (WriteFavoritesFile(favorites, path_.c_str(), head)) return true;
    error_ = GetLastError();
    return false;
}

FavoritesFile::SaveResult FavoritesFile::Save(const std::vector<Favorite>& favorites, const Changes& changes) {
    if (!readToEnd_) return SaveResult::LeftAlone;
    if (unreadable_) return changes.empty() ? SaveResult::LeftAlone : SaveBeside(changes.added);
    if (changes.empty()) {
        // Only a file that is still missing is made, never one put there
        // meanwhile; a folder that refuses it loses nothing.
        if (read_.present) return SaveResult::LeftAlone;
        const UniqueFile made(
            CreateFileA(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        return made ? SaveResult::Written : SaveResult::LeftAlone;
    }
    try {
        const ReadResult now = ReadFavoritesFile(path_.c_str());
        if (now.status == ReadStatus::Unreadable) {
            error_ = now.error;
            return SaveResult::Failed;
        }
        const FileFingerprint found = now.status == ReadStatus::Read ? FingerprintOf(now.bytes) : FileFingerprint{};
        // Another program wrote to the file meanwhile: what it wrote stays.
        const bool ok = found == read_ ? Replace(favorites, {}) : Replace({}, MergeChanges(now.bytes, changes));
        return ok ? SaveResult::Written : SaveResult::Failed;
    } catch (const std::exception&) {
        error_ = ERROR_NOT_ENOUGH_MEMORY;
        return SaveResult::Failed;
    }
}

FavoritesFile::SaveResult FavoritesFile::SaveBeside(const std::vector<Favorite>& added) const {
    const ReadResult beside = ReadFavoritesFile(unsavedPath().c_str());
    if (beside.status == ReadStatus::Unreadable) return SaveResult::BesideFailed;
    try {
        const std::string more = Additions(beside.bytes, added);
        if (more.empty()) return SaveResult::LeftAlone;
        return WriteFavoritesFile({}, unsavedPath().c_str(), beside.bytes + more) ? SaveResult::SavedBeside
                                                                                  : SaveResult::BesideFailed;
    } catch (const std::exception&) {
        return SaveResult::BesideFailed;
    }
}

}  // namespace corvane
