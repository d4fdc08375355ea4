#pragma once
// The menu "&Test", "Options", "&Help" and the accelerator table of the main window, and the
// tray icon's menu.
#include <vector>

#include "shell/framework/menu.h"

namespace aequa::ui {

fw::MenuBar MainMenu();
std::vector<fw::Accelerator> MainAccelerators();
// Open, Stop (while a search runs) or Continue, Status, Exit.
std::vector<fw::MenuItem> TrayMenu(bool searching);

}  // namespace aequa::ui
