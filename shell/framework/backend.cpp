#include "shell/framework/backend.h"

#include <atomic>
#include <cstdlib>

namespace aequa::fw {
namespace {

// Until a backend is installed (start-up, tests without a window) requests go nowhere.
class NoBackend : public Backend {
 public:
  void RunMessageLoop() override {}
  int RunModalDialog(Dialog&) override { return 2; }
  int MessageBox(const std::string&, unsigned) override { return 1; }
  void ShowHelp() override {}
  void Quit() override {}
  void PostCommand(uint32_t) override {}
  void Invalidate() override {}
  void WindowChanged() override {}
};

NoBackend noBackend;
std::atomic<Backend*> current{nullptr};

}  // namespace

Backend& CurrentBackend() {
  Backend* b = current.load();
  return b != nullptr ? *b : noBackend;
}

void SetCurrentBackend(Backend* backend) { current.store(backend); }

}  // namespace aequa::fw
