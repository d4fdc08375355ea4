#pragma once
// Menus and accelerator tables, described as data so that every backend builds the same ones.
#include <cstdint>
#include <string>
#include <vector>

#include "shell/framework/keys.h"

namespace aequa::fw {

// A menu item; id 0 is a separator. The text holds "&" before its mnemonic and, after a tab,
// the accelerator's text ("&New\tCtrl+N").
struct MenuItem {
  uint32_t id = 0;
  std::string text;
};

struct Popup {
  std::string text;  // "&Test"
  std::vector<MenuItem> items;
};

using MenuBar = std::vector<Popup>;

struct Accelerator {
  Key key;
  uint32_t id = 0;
};

// A menu text taken apart: label without "&", the mnemonic (upper case, 0 when none) and the
// accelerator text after the tab.
struct MenuText {
  std::string label;
  char mnemonic = 0;
  int mnemonicIndex = -1;  // position of the mnemonic in `label`
  std::string accelerator;
};
MenuText ParseMenuText(const std::string& text);

}  // namespace aequa::fw
