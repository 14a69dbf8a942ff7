// Everything Corvane says to the user in its message boxes, menus and tip,
// in one place: these words are part of what users know and scripts may
// look for, so they are kept exactly as they stand.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace corvane::text {

// The tip of the notification-area icon and its menu's exit item.
inline constexpr const char* kTrayTip = "Crv By Tamsel";
inline constexpr const char* kExitCorvane = "Exit Corvane";
// Shown in that menu in place of the favorites past the first twenty: it
// brings the window back, where the whole list is.
inline constexpr const char* kMoreFavorites = "More...";

// The favorites list's context menu.
inline constexpr const char* kMenuLaunch = "&Launch";
inline constexpr const char* kMenuShortcut = "Create Desktop &Shortcut";
inline constexpr const char* kMenuRemove = "&Remove";

// A favorite's desktop shortcut: what it says it does, and the boxes about it.
// `titleOnCore`: "Chess on CPU 1", "Chess on Default".
inline std::string ShortcutDescription(std::string_view titleOnCore) {
    return "Start " + std::string(titleOnCore);
}
inline std::string ShortcutExists(std::string_view file) {
    return "There is already a shortcut \"" + std::string(file) + "\" on the desktop. Replace it?";
}
inline std::string ShortcutCreated(std::string_view file) {
    return "The shortcut \"" + std::string(file) + "\" is on the desktop.";
}
inline std::string ShortcutFailed(std::string_view file, std::string_view reason) {
    return "Corvane could not create the shortcut \"" + std::string(file) + "\" on the desktop:\n" +
           std::string(reason);
}
// A failure the system has no words for, by its number.
inline constexpr const char* kErrorNumber = "Error 0x%08lX.";

// Save refused: a field is too short, or the favorite is already listed.
inline constexpr const char* kFillIn = "Please fill in the required data!";
inline constexpr const char* kDuplicate = "Favorite already exsists, Please Rename Title!";
// Launch refused: the favorite's fields are too short to start anything.
inline constexpr const char* kSelection = "Please make a selection.";

inline constexpr const char* kUsage = "Usage: corvane.exe /launch \"<favorite as the list shows it>\"";

inline constexpr const char* kUnreadable =
    "Corvane could not read the file \"Favorites\", so the list starts empty. The file is left as it is; "
    "favorites you add now are saved to \"Favorites.unsaved\" when Corvane closes.";
inline constexpr const char* kSavedBeside =
    "\"Favorites\" could not be read when Corvane started and was left as it is. This session's favorites "
    "were saved to \"Favorites.unsaved\".";
inline constexpr const char* kBesideFailed =
    "\"Favorites\" could not be read when Corvane started and was left as it is. This session's favorites "
    "could not be saved to \"Favorites.unsaved\" either.";

// Favorites could not be written when Corvane closed; `reason` is the
// system's own words.
inline std::string SaveRefused(std::string_view file, std::string_view reason) {
    return "Corvane could not save your favorites to \"" + std::string(file) + "\": " + std::string(reason) +
           "\n\nPress Retry to try again (close the program that holds the file first), or Cancel to leave the file "
           "as it is; the favorites added in this session are then saved to \"Favorites.unsaved\".";
}
inline constexpr const char* kRefusedSavedBeside =
    "\"Favorites\" could not be saved and was left as it is. This session's favorites were saved to "
    "\"Favorites.unsaved\".";
inline constexpr const char* kRefusedBesideFailed =
    "\"Favorites\" could not be saved and was left as it is. This session's favorites could not be saved to "
    "\"Favorites.unsaved\" either.";

// The list box had no room for the last `count` favorites.
inline std::string NotListed(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " favorite" : " favorites") +
           " could not be shown: the list has no room for more. They are kept in \"Favorites\" and saved with "
           "the rest.";
}

inline std::string UnknownFavorite(std::string_view display) {
    return "There is no favorite \"" + std::string(display) + "\" in the list, so nothing was started.";
}

// The shell could not start a favorite's target: the system's reason.
inline std::string CouldNotStart(std::string_view target, std::string_view reason) {
    return "Windows could not start \"" + std::string(target) + "\": " + std::string(reason);
}

// Told once the window has closed: the favorites asked for that never started.
inline std::string NotStarted(const std::vector<std::string>& displays) {
    std::string text = "Corvane was closed before it could start ";
    for (std::size_t i = 0; i < displays.size(); ++i)
        text += (i > 0 ? ", \"" : "\"") + displays[i] + "\"";
    return text + ".";
}

// Told by a starting Corvane whose request the running one refused or did
// not answer in time.
inline std::string RequestNotTaken(std::string_view display) {
    return "The running Corvane did not take the request to launch \"" + std::string(display) + "\".";
}

}  // namespace corvane::text
