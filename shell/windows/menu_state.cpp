#include "shell/windows/menu_state.h"

namespace aequa::win {

std::string ReplacedItemText(const std::string& original, const std::string& replacement) {
  std::string text = replacement;
  if (text.find('&') == std::string::npos && !text.empty()) text = "&" + text;
  if (text.find('\t') == std::string::npos) {
    size_t tab = original.find('\t');
    if (tab != std::string::npos) text += original.substr(tab);
  }
  return text;
}

void UpdatePopup(HMENU popup, fw::Application& app) {
  const int count = GetMenuItemCount(popup);
  for (int i = 0; i < count; ++i) {
    const UINT id = GetMenuItemID(popup, i);
    if (id == 0 || id == static_cast<UINT>(-1)) continue;  // separator or sub-menu
    fw::CommandUI ui = app.QueryCommand(id);
    EnableMenuItem(popup, id, MF_BYCOMMAND | (ui.enabled ? MF_ENABLED : MF_GRAYED));
    CheckMenuItem(popup, id, MF_BYCOMMAND | (ui.checked ? MF_CHECKED : MF_UNCHECKED));
    if (!ui.text) continue;
    char current[256] = {};
    GetMenuStringA(popup, id, current, sizeof current, MF_BYCOMMAND);
    const std::string wanted = ReplacedItemText(current, *ui.text);
    if (wanted == current) continue;
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    info.dwTypeData = const_cast<char*>(wanted.c_str());
    SetMenuItemInfoA(popup, id, FALSE, &info);
  }
}

}  // namespace aequa::win
