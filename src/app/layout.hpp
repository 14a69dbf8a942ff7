// The window's controls as laid out: kind, container, caption, tooltip,
// position and size in twips, and tab index.
#pragma once

#include <span>

namespace corvane {

// Control identifiers. Their values double as the Win32 control ids.
enum Ctl : int {
    kFrame1 = 1001, kFrame2, kFrame3,
    // favorites panel
    kList1 = 1101, kCommand3, kPicture1, kCommand5, kCommand2,
    // editor panel
    kShape2 = 1201, kLabel2, kLabel1_0, kLabel1_1, kLabel1_2, kLabel1_3, kLabel1_4, kLabel1_5,
    kOption1_0, kOption1_1, kOption1_2, kText1, kText2, kText3, kText4, kText5,
    kCommand4, kCommand6, kCommand1,
    // browse panel
    kDrive1 = 1301, kDir1, kFile1, kCommand9, kCommand7, kCommand8,
    // the frame drawn around each panel's controls, one per panel
    kFrameBox1 = 1401, kFrameBox2, kFrameBox3,
    // menu
    kMnuExit = 2001,
};

enum class Kind { Panel, FrameBox, ListBox, Button, Picture, Shape, Label, Option, Edit, DriveList, DirList, FileList };

struct ControlSpec {
    Ctl id;
    const char* name;
    Kind kind;
    Ctl parent;  // kFrame1..3, or 0 for the window itself
    const char* caption;
    const char* tooltip;
    int left, top, width, height;  // twips, relative to the container
    int tabIndex;                  // -1: takes no part in the tab order
};

inline constexpr int kClientWidth = 6015;   // twips
inline constexpr int kClientHeight = 3615;  // twips
inline constexpr int kPanelLeft = 60;       // where start-up parks the editor and browse panels
inline constexpr int kPanelTop = 30;

std::span<const ControlSpec> Layout();
const ControlSpec* FindSpec(int id);

}  // namespace corvane
