#include "compute/kernel_check.h"

#include <atomic>
#include <cmath>
#include <memory>
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
  std::string text = line;
  // With several workers the log's lines start with a worker number: "[1] ".
  if (text.size() > 1 && text[0] == '[') {
    const size_t close = text.find("] ");
    if (close != std::string::npos) text.erase(0, close + 2);
  }
  const std::string prefix = "New result: ";
  if (collecting != nullptr && text.compare(0, prefix.size(), prefix) == 0) {
    std::string result = text.substr(prefix.size());
    const size_t tag = result.find(" S3:");
    if (tag != std::string::npos) result.resize(tag);
    collecting->push_back(result);
  }
}

}  // namespace

int NaturalKernelLevel(const KernelQuestion& q) {
  const long double bits =
      (q.power * std::log(static_cast<long double>(q.value)) +
       std::log(static_cast<long double>(q.left))) / std::log(2.0L);
  return LevelForBits(bits);
}

KernelFamily NaturalKernelFamily(const KernelQuestion& q) {
  return ChooseFamily(SetupSieve(q.power, q.left, q.right).count > 0, q.left == 1);
}

KernelAnswer RunKernelOnce(const KernelQuestion& q, KernelFamily family, int level) {
  KernelAnswer answer;
  // A run of its own (its path arrays are large: on the heap), on control words of its own.
  SearchControl control;
  auto run = std::make_unique<EqualSumsRun>(control);
  run->power = q.power;
  run->leftTerms = q.left;
  run->rightTerms = q.right;
  run->searchLimit = q.right + 1;
  run->searchMode = q.mode;
  run->currentValue = q.value;
  run->precisionWords = static_cast<uint32_t>(kLevelWords[level]);
  run->resumed = 0;
  run->sieveRightTerms = q.right;
  run->sieve = SetupSieve(q.power, q.left, q.right);
  const uint64_t entries = static_cast<uint64_t>(q.value) + 1;
  if (!run->powers.Allocate((run->precisionWords + 3) * entries * 4) ||
      !run->frames.Allocate(q.left, q.right, run->precisionWords)) {
    answer.error = 61;
    return answer;
  }
  KernelFunction kernel = SelectKernel(family, level);
  if (KernelSubstitute s = substitute.load()) kernel = s(family, level, kernel);
  {
    std::lock_guard<std::mutex> hold(collectingLock);
    collecting = &answer.results;
    SetLogLineSink(&CollectResult);
    kernel(*run);
    SetLogLineSink(nullptr);
    collecting = nullptr;
  }
  answer.error = control.internalError.load();
  return answer;
}

void SetKernelSubstitute(KernelSubstitute s) { substitute.store(s); }

}  // namespace aequa
