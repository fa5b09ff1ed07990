#pragma once

#include <QIcon>

// The pictures of the frame's commands: the desktop theme's icon where it has
// a fitting one, otherwise a small drawing of our own (the grouping commands
// have no counterpart in any theme).
namespace frame_icons {

enum class Picture {
    ClearList,
    Export,
    NewGroup,
    AddToGroup,
    RemoveFromGroup,
    Run,
    Back,
    About,
    Options,
    ManagePack,
    Help,
    HomePage,
    Application,
};

QIcon Get(Picture picture);

}  // namespace frame_icons
