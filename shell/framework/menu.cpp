#include "shell/framework/menu.h"

#include <cctype>

namespace aequa::fw {

MenuText ParseMenuText(const std::string& text) {
  MenuText result;
  size_t tab = text.find('\t');
  std::string label = text.substr(0, tab);
  if (tab != std::string::npos) result.accelerator = text.substr(tab + 1);
  for (size_t i = 0; i < label.size(); ++i) {
    if (label[i] == '&' && i + 1 < label.size()) {
      ++i;
      if (label[i] != '&' && result.mnemonic == 0) {
        result.mnemonic = static_cast<char>(std::toupper(static_cast<unsigned char>(label[i])));
        result.mnemonicIndex = static_cast<int>(result.label.size());
      }
    }
    result.label += label[i];
  }
  return result;
}

}  // namespace aequa::fw
