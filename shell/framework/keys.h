#pragma once
// Keys as the framework sees them, independent of how a backend reads them.
#include <cstdint>
#include <string>

namespace aequa::fw {

// Printable characters are their own code; named keys start at 0x100.
enum KeyCode : int32_t {
  kKeyNone = 0,
  kKeyEnter = 0x100,
  kKeyEscape,
  kKeyTab,
  kKeyBackspace,
  kKeyDelete,
  kKeyUp,
  kKeyDown,
  kKeyLeft,
  kKeyRight,
  kKeyHome,
  kKeyEnd,
  kKeyPageUp,
  kKeyPageDown,
  kKeyF1 = 0x200,  // F1..F12 are kKeyF1 + 0..11
};

enum KeyModifier : uint32_t { kModNone = 0, kModCtrl = 1, kModShift = 2, kModAlt = 4 };

struct Key {
  int32_t code = kKeyNone;  // letters are upper case when kModCtrl or kModAlt is set
  uint32_t modifiers = kModNone;
  bool operator==(const Key&) const = default;
};

inline Key Ctrl(char letter) { return Key{letter, kModCtrl}; }
inline Key Alt(int32_t code) { return Key{code, kModAlt}; }
inline Key FunctionKey(int n, uint32_t modifiers = kModNone) {
  return Key{kKeyF1 + n - 1, modifiers};
}

// "Ctrl+N", "Esc", "Alt+F4", "Shift+F1": the text a menu shows for a key.
std::string KeyText(const Key& key);

}  // namespace aequa::fw
