// The window's controls as laid out: kind, container, caption, tooltip,
// position and size in twips, tab index, colours and what sets each apart. The name column keeps the
// design's name of each control, so the layout can be checked against it.
#pragma once

#include <span>

namespace corvane {

// Control identifiers. Their values double as the Win32 control ids.
enum ControlId : int {
    kFavoritesPanel = 1001,
    kEditorPanel,
    kBrowsePanel,
    // favorites panel
    kFavoritesList = 1101,
    kLaunchButton,
    kPreviewPicture,
    kAddButton,
    kRemoveButton,
    // editor panel
    kFieldsFrame = 1201,
    kCoreStrip,
    kTargetLabel,
    kStartInLabel,
    kCoreLabel,
    kTitleLabel,
    kParametersLabel,
    kRunLabel,
    kCpu0Option,
    kCpu1Option,
    kDefaultOption,
    kTargetEdit,
    kStartInEdit,
    kTitleEdit,
    kParametersEdit,
    kRunEdit,
    kClearButton,
    kCancelButton,
    kSaveButton,
    // browse panel
    kDriveList = 1301,
    kFolderList,
    kFileList,
    kRefreshButton,
    kBrowseCancelButton,
    kOkButton,
    // the frame drawn around each panel's controls, one per panel
    kFavoritesBox = 1401,
    kEditorBox,
    kBrowseBox,
};

enum class Kind { Panel, FrameBox, ListBox, Button, Picture, Shape, Label, Option, Edit, DriveList, DirList, FileList };

// How a control is coloured, whatever its kind.
enum class ColorRole {
    Panel,    // the panel's grey behind it where the system would paint a static's background
    Caption,  // white text on the panel's grey: the panels' frames and the editor's field captions
    Option,   // black text on white: the core buttons
    Window,   // the system's window colours: the strip the core buttons sit on
    System,   // as the system draws it
};

// What sets a control apart from others of its kind.
enum Trait : unsigned {
    kBordered = 1,       // a single border
    kCentred = 2,        // caption centred
    kReadOnly = 4,       // text the user cannot change
    kTakesFiles = 8,     // files dropped from the shell reach it
    kHiddenAtStart = 16  // a panel that waits to be shown
};

struct ControlSpec {
    ControlId id;
    const char* name;  // the design's name
    Kind kind;
    ControlId parent;  // a panel, or 0 for the window itself
    const char* caption;
    const char* tooltip;
    int left, top, width, height;  // twips, relative to the container
    int tabIndex;                  // -1: takes no part in the tab order
    ColorRole colors = ColorRole::Panel;
    unsigned traits = 0;  // Trait bits
};

inline constexpr int kClientWidth = 6015;   // twips
inline constexpr int kClientHeight = 3615;  // twips
inline constexpr int kPanelLeft = 60;       // where start-up parks the editor and browse panels
inline constexpr int kPanelTop = 30;

std::span<const ControlSpec> Layout();
const ControlSpec* FindSpec(int id);

}  // namespace corvane
