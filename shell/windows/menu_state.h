#pragma once
// Menu items follow their commands' state each time a menu opens: enabled or greyed, checked,
// and the text an update handler sets ("Install" / "Uninstall").
#include <string>

#include "shell/framework/application.h"
#include "shell/windows/win32.h"

namespace aequa::win {

// The item text for a replacement text: an accelerator part after a tab is kept, and a text
// without a mnemonic gets its first letter as the mnemonic, so that the item stays reachable
// from the keyboard.
std::string ReplacedItemText(const std::string& original, const std::string& replacement);

// Updates every item of `popup` from the application's command states.
void UpdatePopup(HMENU popup, fw::Application& app);

}  // namespace aequa::win
