#include "shell/framework/keys.h"

namespace aequa::fw {

std::string KeyText(const Key& key) {
  std::string text;
  if (key.modifiers & kModCtrl) text += "Ctrl+";
  if (key.modifiers & kModAlt) text += "Alt+";
  if (key.modifiers & kModShift) text += "Shift+";
  if (key.code >= kKeyF1 && key.code < kKeyF1 + 12) return text + "F" + std::to_string(key.code - kKeyF1 + 1);
  switch (key.code) {
    case kKeyEnter: return text + "Enter";
    case kKeyEscape: return text + "Esc";
    case kKeyTab: return text + "Tab";
    case kKeyBackspace: return text + "Backspace";
    case kKeyDelete: return text + "Del";
    case kKeyUp: return text + "Up";
    case kKeyDown: return text + "Down";
    case kKeyLeft: return text + "Left";
    case kKeyRight: return text + "Right";
    case kKeyHome: return text + "Home";
    case kKeyEnd: return text + "End";
    case kKeyPageUp: return text + "PgUp";
    case kKeyPageDown: return text + "PgDn";
    default: break;
  }
  if (key.code > 32 && key.code < 127) return text + static_cast<char>(key.code);
  if (key.code == ' ') return text + "Space";
  return text + "?";
}

}  // namespace aequa::fw
