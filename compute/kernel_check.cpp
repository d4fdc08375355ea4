#include "compute/kernel_check.h"

#include <atomic>
#include <cmath>
#include <mutex>

#include "compute/multiword.h"
#include "compute/path_frames.h"
#include "compute/powers_table.h"
#include "compute/run_state.h"
#include "compute/sieve.h"
#include "core/output_log.h"
#include "core/shared_words.h"

namespace aequa {
namespace {

std::atomic<KernelSubstitute> substitute{nullptr};

// The log sink has no room for a context: the answer being collected, one run at a time.
std::mutex collectingLock;
std::vector<std::string>* collecting = nullptr;

void CollectResult(const char* line, bool /*replaced*/) {
  const std::string text = line;
  const std::string prefix = "New result: ";
  if (collecting != nullptr && text.compare(0, prefix.size(), prefix) == 0) {
    std::string result = text.substr(prefix.size());
    const size_t tag = result.find(" S3:");
    if (tag != std::string::npos) result.resize(tag);
    collecting->push_back(result);
  }
}

WorkItem SieveItem(const KernelQuestion& q) {
  WorkItem item;
  item.power = q.power;
  item.leftTerms = q.left;
  item.rightTerms = q.right;
  return item;
}

}  // namespace

int NaturalKernelLevel(const KernelQuestion& q) {
  const long double bits =
      (q.power * std::log(static_cast<long double>(q.value)) +
       std::log(static_cast<long double>(q.left))) / std::log(2.0L);
  return LevelForBits(bits);
}

KernelFamily NaturalKernelFamily(const KernelQuestion& q) {
  SetupSieve(SieveItem(q));
  return ChooseFamily(SieveCount > 0, q.left == 1);
}

KernelAnswer RunKernelOnce(const KernelQuestion& q, KernelFamily family, int level) {
  KernelAnswer answer;
  Power = q.power;
  LeftTerms = q.left;
  RightTerms = q.right;
  SearchLimit = q.right + 1;
  SearchMode = q.mode;
  CurrentValue = q.value;
  PrecisionWords = static_cast<uint32_t>(kLevelWords[level]);
  Resumed = 0;
  SieveRightTerms = q.right;
  SetupSieve(SieveItem(q));
  const uint64_t entries = static_cast<uint64_t>(q.value) + 1;
  if (!AllocPowers((PrecisionWords + 3) * entries * 4) || !AllocPaths(q.left, q.right)) {
    answer.error = 61;
    return answer;
  }
  for (uint32_t& counter : DepthCounters) counter = 0;
  InternalError.store(0);
  RequestFlags.store(0);
  KernelFunction kernel = SelectKernel(family, level);
  if (KernelSubstitute s = substitute.load()) kernel = s(family, level, kernel);
  {
    std::lock_guard<std::mutex> hold(collectingLock);
    collecting = &answer.results;
    SetLogLineSink(&CollectResult);
    kernel();
    SetLogLineSink(nullptr);
    collecting = nullptr;
  }
  answer.error = InternalError.exchange(0);
  FreePaths();
  FreePowers();
  return answer;
}

void SetKernelSubstitute(KernelSubstitute s) { substitute.store(s); }

}  // namespace aequa
