#include "shell/terminal/terminal_keys.h"

namespace aequa::term {

const std::vector<KeyAlternative>& KeyAlternatives() {
  static const std::vector<KeyAlternative> table = {
      {fw::Ctrl('C'), fw::FunctionKey(2), true},   // some terminals copy with Ctrl+C
      {fw::Ctrl('M'), fw::FunctionKey(3), false},  // Ctrl+M is Enter
      {fw::Ctrl('H'), fw::FunctionKey(5), true},   // Ctrl+H is Backspace on some terminals
      {fw::Ctrl('S'), fw::FunctionKey(6), true},   // flow control on some terminals
      {fw::FunctionKey(4, fw::kModAlt), fw::Ctrl('Q'), true},  // the desktop closes the terminal
  };
  return table;
}

std::optional<uint32_t> FindAccelerator(const std::vector<fw::Accelerator>& table,
                                        const fw::Key& key) {
  for (const fw::Accelerator& a : table) {
    if (a.key == key) return a.id;
  }
  for (const KeyAlternative& alt : KeyAlternatives()) {
    if (alt.alternative == key) {
      for (const fw::Accelerator& a : table) {
        if (a.key == alt.original) return a.id;
      }
    }
  }
  return std::nullopt;
}

std::string TerminalMenuText(const fw::MenuItem& item, const std::vector<fw::Accelerator>& table) {
  const size_t tab = item.text.find('\t');
  if (tab == std::string::npos) return item.text;
  const std::string label = item.text.substr(0, tab);
  for (const fw::Accelerator& a : table) {
    if (a.id != item.id) continue;
    for (const KeyAlternative& alt : KeyAlternatives()) {
      if (alt.original == a.key) {
        std::string keys = alt.originalArrives
                               ? fw::KeyText(alt.original) + "/" + fw::KeyText(alt.alternative)
                               : fw::KeyText(alt.alternative);
        return label + "\t" + keys;
      }
    }
  }
  return item.text;
}

std::string TerminalKeyHelp() {
  // Paragraphs; the message box wraps them to the terminal's width.
  return "Aequa in a terminal\n"
         "\n"
         "F10 or Alt+letter opens the menu; the arrows, Enter and Esc work in it. "
         "Ctrl+N New, Ctrl+C or F2 Compute, F3 Compute Sum, Ctrl+H or F5 Penta search, "
         "Ctrl+S or F6 Status, Ctrl+U User Information, Ctrl+O Continue, Esc Stop, "
         "Ctrl+Q Exit.\n"
         "\n"
         "Ctrl+Z or F9 minimises: with Tray Icon or No Icon on, the window leaves the "
         "terminal and the search goes on in the background. Run aequa to bring the window "
         "back. Closing the terminal does the same as minimising.\n"
         "\n"
         "In dialogs: Tab and the arrows move, Space picks a choice, Enter is OK, Esc is "
         "Cancel.";
}

}  // namespace aequa::term
