#include "shell/selftest_hook.h"

#include <atomic>

namespace aequa::ui {
namespace {
std::atomic<SelftestRunner> runner{nullptr};
}

void SetSelftestRunner(SelftestRunner r) { runner.store(r); }
SelftestRunner GetSelftestRunner() { return runner.load(); }

}  // namespace aequa::ui
