#pragma once
// Command routing: each target holds a map from command ids to handlers and to update
// handlers that set the command's enabled, checked and text state (a message map).
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>

namespace aequa::fw {

// The state of one command as its menu item and accelerator show it.
struct CommandUI {
  uint32_t id = 0;
  bool enabled = true;
  bool checked = false;
  std::optional<std::string> text;  // replaces the menu item's text when set
  void Enable(bool on = true) { enabled = on; }
  void SetCheck(bool on = true) { checked = on; }
  void SetText(const std::string& t) { text = t; }
};

class CommandTarget {
 public:
  virtual ~CommandTarget() = default;
  // Runs the handler of `id`; false when this target has none.
  bool OnCmdMsg(uint32_t id);
  // Runs the update handler of ui.id; with none, a command that has a handler is enabled.
  // False when this target knows neither.
  bool OnUpdateCmdUI(CommandUI& ui);

 protected:
  void OnCommand(uint32_t id, std::function<void()> handler);
  void OnUpdate(uint32_t id, std::function<void(CommandUI&)> handler);

 private:
  std::map<uint32_t, std::function<void()>> handlers_;
  std::map<uint32_t, std::function<void(CommandUI&)>> updaters_;
};

}  // namespace aequa::fw
