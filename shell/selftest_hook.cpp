#include "shell/selftest_hook.h"

#include <atomic>

#include "platform/background.h"

namespace aequa::ui {
namespace {
std::atomic<SelftestRunner> runner{nullptr};
}

void SetSelftestRunner(SelftestRunner r) { runner.store(r); }
SelftestRunner GetSelftestRunner() { return runner.load(); }

int RunSelftestAsChild(std::string& report) { return platform::RunSelfCaptured({"selftest"}, report); }

}  // namespace aequa::ui
