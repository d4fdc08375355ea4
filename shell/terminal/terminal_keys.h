#pragma once
// Keys on a terminal: which accelerators a terminal cannot deliver or may keep for itself,
// the alternative keys that stand in for them, and the texts the menu shows for them.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "shell/framework/menu.h"

namespace aequa::term {

// The window-level command that minimises the window (the title bar's button elsewhere).
inline constexpr uint32_t kMinimiseCommand = 0xF020;
inline constexpr const char* kMinimiseMenuText = "Minimis&e\tCtrl+Z";

struct KeyAlternative {
  fw::Key original;
  fw::Key alternative;
  bool originalArrives;  // false: the terminal never delivers the original (Ctrl+M is Enter)
};

const std::vector<KeyAlternative>& KeyAlternatives();

// The command of `key` in `table`, with the alternatives standing in for their originals.
std::optional<uint32_t> FindAccelerator(const std::vector<fw::Accelerator>& table,
                                        const fw::Key& key);
// The menu text of `item` as a terminal shows it: the accelerator text names the keys that
// work here ("&Compute\tCtrl+C/F2", "Co&mpute Sum\tF3").
std::string TerminalMenuText(const fw::MenuItem& item, const std::vector<fw::Accelerator>& table);
// The window's keys, for the help box.
std::string TerminalKeyHelp();

}  // namespace aequa::term
