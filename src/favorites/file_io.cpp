#include "favorites/file_io.hpp"

#include <windows.h>

#include <algorithm>

#include "favorites/favorites_file.hpp"
#include "platform/win.hpp"

namespace corvane {

std::vector<Favorite> ReadFavoritesFile(const char* path) {
    UniqueHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        file.release();
        return {};
    }
    std::string bytes;
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file.get(), &size) && size.QuadPart > 0 && size.QuadPart < (1LL << 31))
        bytes.reserve(static_cast<std::size_t>(size.QuadPart));
    char chunk[64 * 1024];
    for (;;) {
        DWORD got = 0;
        // A read error part-way keeps what was read before it.
        if (!ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr) || got == 0) break;
        bytes.append(chunk, got);
    }
    return ParseFavorites(bytes);
}

namespace {

// The folder part of `path` (with its trailing backslash), or "." for a bare
// name, so the temporary file lands on the same volume as the target.
std::string FolderOf(const char* path) {
    const std::string p(path);
    const auto slash = p.find_last_of("\\/");
    if (slash == std::string::npos) return ".";
    return p.substr(0, slash + 1);
}

bool WriteAll(HANDLE file, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
        DWORD wrote = 0;
        if (!WriteFile(file, bytes.data() + done, want, &wrote, nullptr) || wrote == 0) return false;
        done += wrote;
    }
    return true;
}

// The bytes of SerializeFavorites, written a slice at a time through one small
// reused buffer. A single buffer for the whole file (about 130 bytes a
// favorite) is fresh memory, and touching that much new memory costs more
// than writing it: about a quarter of the shutdown with a full list.
bool WriteFavorites(HANDLE file, const std::vector<Favorite>& favorites) {
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

bool WriteFavoritesFile(const std::vector<Favorite>& favorites, const char* path) {
    char temp[MAX_PATH + 16];
    if (!GetTempFileNameA(FolderOf(path).c_str(), "fav", 0, temp)) return false;

    bool ok = false;
    {
        UniqueHandle file(CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.get() == INVALID_HANDLE_VALUE) {
            file.release();
        } else {
            ok = WriteFavorites(file.get(), favorites) && FlushFileBuffers(file.get());
        }
    }
    if (ok) ok = MoveFileExA(temp, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    if (!ok) DeleteFileA(temp);
    return ok;
}

}  // namespace corvane
