#include "shell/sum_search_hook.h"

#include <atomic>

namespace aequa::ui {
namespace {
std::atomic<SumSearchStarter> starter{nullptr};
}

void SetSumSearchStarter(SumSearchStarter s) { starter.store(s); }
SumSearchStarter GetSumSearchStarter() { return starter.load(); }

}  // namespace aequa::ui
