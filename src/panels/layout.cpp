#include "panels/layout.hpp"

#include <iterator>

namespace corvane {

namespace {

constexpr ControlId kWindow = static_cast<ControlId>(0);

// Within each container, controls are created in this order, which is also
// the tab order: it is sorted by tab index, decorations last.
constexpr ControlSpec kLayout[] = {
    {kFavoritesPanel, "Frame1", Kind::Panel, kWindow, "Favorites", nullptr, 75, 30, 5880, 3495, 12},
    {kEditorPanel, "Frame2", Kind::Panel, kWindow, "Add New Favorite", nullptr, 90, 3735, 5880, 3495, 13,
     ColorRole::Panel, kHiddenAtStart},
    {kBrowsePanel, "Frame3", Kind::Panel, kWindow, "Select Exe", nullptr, 135, 7545, 5880, 3495, 28, ColorRole::Panel,
     kHiddenAtStart},

    {kLaunchButton, "Command3", Kind::Button, kFavoritesPanel, "Launch", "Run selected Favorite and set it's Affinty",
     180, 3030, 1100, 375, 9},
    {kRemoveButton, "Command2", Kind::Button, kFavoritesPanel, "Remove", "Delete selected favorite", 4635, 3030, 1100,
     375, 14},
    {kFavoritesList, "List1", Kind::ListBox, kFavoritesPanel, "", nullptr, 90, 210, 5685, 2730, 15},
    {kAddButton, "Command5", Kind::Button, kFavoritesPanel, "Add", "Add or Edit Favorite", 2407, 3030, 1100, 375, 16},
    {kPreviewPicture, "Picture1", Kind::Picture, kFavoritesPanel, "", nullptr, 1350, 2970, 555, 465, 22},
    {kFavoritesBox, "Frame1", Kind::FrameBox, kFavoritesPanel, "Favorites", nullptr, 0, 0, 5880, 3495, -1,
     ColorRole::Caption},

    {kDefaultOption, "Option1(2)", Kind::Option, kEditorPanel, "Default", nullptr, 3840, 570, 825, 195, 0,
     ColorRole::Option},
    {kCpu0Option, "Option1(0)", Kind::Option, kEditorPanel, "CPU 0", nullptr, 1020, 555, 780, 195, 1,
     ColorRole::Option},
    {kCpu1Option, "Option1(1)", Kind::Option, kEditorPanel, "CPU 1", nullptr, 2430, 570, 780, 195, 2,
     ColorRole::Option},
    {kTitleEdit, "Text3", Kind::Edit, kEditorPanel, "", nullptr, 900, 888, 4410, 285, 3},
    {kTargetEdit, "Text1", Kind::Edit, kEditorPanel, "", "Drag and Drop .EXE file here instead of typing", 900, 1266,
     4410, 285, 4, ColorRole::Panel, kTakesFiles},
    {kStartInEdit, "Text2", Kind::Edit, kEditorPanel, "", nullptr, 900, 2025, 4410, 285, 5},
    {kSaveButton, "Command1", Kind::Button, kEditorPanel, "Save", "Add to my list of favorites", 4635, 3030, 1100, 375,
     6},
    {kClearButton, "Command4", Kind::Button, kEditorPanel, "Clear", "Clear all text boxes", 180, 3030, 1100, 375, 7},
    {kCancelButton, "Command6", Kind::Button, kEditorPanel, "Cancel", "Go Back", 2407, 3030, 1100, 375, 8},
    {kTitleLabel, "Label1(3)", Kind::Label, kEditorPanel, "Title", nullptr, 315, 888, 300, 195, 17, ColorRole::Caption},
    {kStartInLabel, "Label1(1)", Kind::Label, kEditorPanel, "Start in:", nullptr, 315, 2025, 540, 195, 18,
     ColorRole::Caption},
    {kTargetLabel, "Label1(0)", Kind::Label, kEditorPanel, "Target", "Click to Browse for EXE", 240, 1275, 615, 255, 19,
     ColorRole::Caption, kBordered | kCentred},
    {kCoreLabel, "Label1(2)", Kind::Label, kEditorPanel, "Core", nullptr, 315, 510, 330, 195, 20, ColorRole::Caption},
    {kCoreStrip, "Label2", Kind::Label, kEditorPanel, "", nullptr, 900, 510, 4410, 285, 21, ColorRole::Window,
     kBordered},
    {kParametersEdit, "Text4", Kind::Edit, kEditorPanel, "", "A.K.A. File Parameters", 900, 1644, 4410, 285, 23},
    {kParametersLabel, "Label1(4)", Kind::Label, kEditorPanel, "Options", nullptr, 300, 1644, 540, 195, 24,
     ColorRole::Caption},
    {kRunEdit, "Text5", Kind::Edit, kEditorPanel, "Normal Window", nullptr, 885, 2415, 4410, 285, 26, ColorRole::System,
     kReadOnly},
    {kRunLabel, "Label1(5)", Kind::Label, kEditorPanel, "Run:", nullptr, 330, 2430, 540, 195, 27, ColorRole::Caption},
    {kFieldsFrame, "Shape2", Kind::Shape, kEditorPanel, "", nullptr, 180, 330, 5505, 2535, -1},
    {kEditorBox, "Frame2", Kind::FrameBox, kEditorPanel, "Add New Favorite", nullptr, 0, 0, 5880, 3495, -1,
     ColorRole::Caption},

    {kDriveList, "Drive1", Kind::DriveList, kBrowsePanel, "", nullptr, 105, 225, 5655, 315, 29},
    {kRefreshButton, "Command9", Kind::Button, kBrowsePanel, "Refresh", "Clear all text boxes", 180, 3030, 1100, 375,
     30},
    {kOkButton, "Command8", Kind::Button, kBrowsePanel, "OK", "Add to my list of favorites", 4635, 3030, 1100, 375, 31},
    {kBrowseCancelButton, "Command7", Kind::Button, kBrowsePanel, "Cancel", "Go Back", 2407, 3030, 1100, 375, 32},
    {kFolderList, "Dir1", Kind::DirList, kBrowsePanel, "", nullptr, 105, 607, 5655, 1440, 33},
    {kFileList, "File1", Kind::FileList, kBrowsePanel, "", nullptr, 105, 2115, 5655, 810, 34},
    {kBrowseBox, "Frame3", Kind::FrameBox, kBrowsePanel, "Select Exe", nullptr, 0, 0, 5880, 3495, -1,
     ColorRole::Caption},
};

}  // namespace

std::span<const ControlSpec> Layout() {
    return kLayout;
}

const ControlSpec* FindSpec(int id) {
    for (const ControlSpec& item : kLayout)
        if (item.id == id) return &item;
    return nullptr;
}

}  // namespace corvane
