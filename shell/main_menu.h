#pragma once
// The menu "&Test", "Options", "&Help" and the accelerator table of the main window.
#include <vector>

#include "shell/framework/menu.h"

namespace aequa::ui {

fw::MenuBar MainMenu();
std::vector<fw::Accelerator> MainAccelerators();

}  // namespace aequa::ui
