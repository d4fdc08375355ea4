#include "shell/framework/command_target.h"

namespace aequa::fw {

void CommandTarget::OnCommand(uint32_t id, std::function<void()> handler) {
  handlers_[id] = std::move(handler);
}

void CommandTarget::OnUpdate(uint32_t id, std::function<void(CommandUI&)> handler) {
  updaters_[id] = std::move(handler);
}

bool CommandTarget::OnCmdMsg(uint32_t id) {
  auto h = handlers_.find(id);
  if (h == handlers_.end()) return false;
  h->second();
  return true;
}

bool CommandTarget::OnUpdateCmdUI(CommandUI& ui) {
  if (auto u = updaters_.find(ui.id); u != updaters_.end()) {
    u->second(ui);
    return true;
  }
  if (handlers_.count(ui.id) != 0) {
    ui.Enable(true);
    return true;
  }
  return false;
}

}  // namespace aequa::fw
