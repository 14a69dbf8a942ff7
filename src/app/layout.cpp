#include "app/layout.hpp"

#include <iterator>

namespace corvane {

namespace {

constexpr Ctl kWindow = static_cast<Ctl>(0);

// Within each container, controls are created in this order, which is also
// the tab order: it is sorted by tab index, decorations last.
constexpr ControlSpec kLayout[] = {
    {kFrame1, "Frame1", Kind::Panel, kWindow, "Favorites", nullptr, 75, 30, 5880, 3495, 12},
    {kFrame2, "Frame2", Kind::Panel, kWindow, "Add New Favorite", nullptr, 90, 3735, 5880, 3495, 13},
    {kFrame3, "Frame3", Kind::Panel, kWindow, "Select Exe", nullptr, 135, 7545, 5880, 3495, 28},

    {kCommand3, "Command3", Kind::Button, kFrame1, "Launch", "Run selected Favorite and set it's Affinty", 180, 3030, 1100, 375, 9},
    {kCommand2, "Command2", Kind::Button, kFrame1, "Remove", "Delete selected favorite", 4635, 3030, 1100, 375, 14},
    {kList1, "List1", Kind::ListBox, kFrame1, "", nullptr, 90, 210, 5685, 2730, 15},
    {kCommand5, "Command5", Kind::Button, kFrame1, "Add", "Add or Edit Favorite", 2407, 3030, 1100, 375, 16},
    {kPicture1, "Picture1", Kind::Picture, kFrame1, "", nullptr, 1350, 2970, 555, 465, 22},
    {kFrameBox1, "Frame1", Kind::FrameBox, kFrame1, "Favorites", nullptr, 0, 0, 5880, 3495, -1},

    {kOption1_2, "Option1(2)", Kind::Option, kFrame2, "Default", nullptr, 3840, 570, 825, 195, 0},
    {kOption1_0, "Option1(0)", Kind::Option, kFrame2, "CPU 0", nullptr, 1020, 555, 780, 195, 1},
    {kOption1_1, "Option1(1)", Kind::Option, kFrame2, "CPU 1", nullptr, 2430, 570, 780, 195, 2},
    {kText3, "Text3", Kind::Edit, kFrame2, "", nullptr, 900, 888, 4410, 285, 3},
    {kText1, "Text1", Kind::Edit, kFrame2, "", "Drag and Drop .EXE file here instead of typing", 900, 1266, 4410, 285, 4},
    {kText2, "Text2", Kind::Edit, kFrame2, "", nullptr, 900, 2025, 4410, 285, 5},
    {kCommand1, "Command1", Kind::Button, kFrame2, "Save", "Add to my list of favorites", 4635, 3030, 1100, 375, 6},
    {kCommand4, "Command4", Kind::Button, kFrame2, "Clear", "Clear all text boxes", 180, 3030, 1100, 375, 7},
    {kCommand6, "Command6", Kind::Button, kFrame2, "Cancel", "Go Back", 2407, 3030, 1100, 375, 8},
    {kLabel1_3, "Label1(3)", Kind::Label, kFrame2, "Title", nullptr, 315, 888, 300, 195, 17},
    {kLabel1_1, "Label1(1)", Kind::Label, kFrame2, "Start in:", nullptr, 315, 2025, 540, 195, 18},
    {kLabel1_0, "Label1(0)", Kind::Label, kFrame2, "Target", "Click to Browse for EXE", 240, 1275, 615, 255, 19},
    {kLabel1_2, "Label1(2)", Kind::Label, kFrame2, "Core", nullptr, 315, 510, 330, 195, 20},
    {kLabel2, "Label2", Kind::Label, kFrame2, "", nullptr, 900, 510, 4410, 285, 21},
    {kText4, "Text4", Kind::Edit, kFrame2, "", "A.K.A. File Parameters", 900, 1644, 4410, 285, 23},
    {kLabel1_4, "Label1(4)", Kind::Label, kFrame2, "Options", nullptr, 300, 1644, 540, 195, 24},
    {kText5, "Text5", Kind::Edit, kFrame2, "Normal Window", nullptr, 885, 2415, 4410, 285, 26},
    {kLabel1_5, "Label1(5)", Kind::Label, kFrame2, "Run:", nullptr, 330, 2430, 540, 195, 27},
    {kShape2, "Shape2", Kind::Shape, kFrame2, "", nullptr, 180, 330, 5505, 2535, -1},
    {kFrameBox2, "Frame2", Kind::FrameBox, kFrame2, "Add New Favorite", nullptr, 0, 0, 5880, 3495, -1},

    {kDrive1, "Drive1", Kind::DriveList, kFrame3, "", nullptr, 105, 225, 5655, 315, 29},
    {kCommand9, "Command9", Kind::Button, kFrame3, "Refresh", "Clear all text boxes", 180, 3030, 1100, 375, 30},
    {kCommand8, "Command8", Kind::Button, kFrame3, "OK", "Add to my list of favorites", 4635, 3030, 1100, 375, 31},
    {kCommand7, "Command7", Kind::Button, kFrame3, "Cancel", "Go Back", 2407, 3030, 1100, 375, 32},
    {kDir1, "Dir1", Kind::DirList, kFrame3, "", nullptr, 105, 607, 5655, 1440, 33},
    {kFile1, "File1", Kind::FileList, kFrame3, "", nullptr, 105, 2115, 5655, 810, 34},
    {kFrameBox3, "Frame3", Kind::FrameBox, kFrame3, "Select Exe", nullptr, 0, 0, 5880, 3495, -1},
};

}  // namespace

std::span<const ControlSpec> Layout() { return kLayout; }

const ControlSpec* FindSpec(int id) {
    for (const ControlSpec& item : kLayout)
        if (item.id == id) return &item;
    return nullptr;
}

}  // namespace corvane
