// Speed of the equal-sums kernels: each family on a fixed value at the precision levels 0 to
// 4 and 6, against the same search compiled for a word count known only at run time (loops
// over the words, W = 0), and the time to search a whole range for k = 5, m = 1, n = 4.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "compute/kernel_search.h"
#include "compute/kernels.h"
#include "compute/path_frames.h"
#include "compute/powers_table.h"
#include "compute/run_state.h"
#include "compute/sieve.h"
#include "core/output_log.h"
#include "core/shared_words.h"

namespace aequa {

// The word count of the W = 0 instantiations, which only this benchmark makes.
int DynamicWordCount = 1;

namespace {

// The run every benchmark searches on.
EqualSumsRun& BenchRun() {
  static SearchControl control;
  static EqualSumsRun* run = new EqualSumsRun(control);
  return *run;
}

struct Workload {
  const char* name;
  KernelFamily family;
  uint32_t power, left, right, value;
};

// One value per family, small enough for level 0 and free of results, so that the time is
// the search alone.
const Workload kWorkloads[] = {
    {"PlainSingle", KernelFamily::PlainSingle, 3, 1, 4, 600},
    {"PlainMulti", KernelFamily::PlainMulti, 3, 2, 3, 300},
    {"SieveSingle", KernelFamily::SieveSingle, 4, 1, 6, 241},
    {"SieveMulti", KernelFamily::SieveMulti, 4, 2, 5, 91},
};

template <KernelFamily F>
KernelFunction Generic() {
  return &RunKernel<F, 0>;
}

KernelFunction GenericKernel(KernelFamily family) {
  switch (family) {
    case KernelFamily::PlainSingle: return Generic<KernelFamily::PlainSingle>();
    case KernelFamily::PlainMulti: return Generic<KernelFamily::PlainMulti>();
    case KernelFamily::SieveSingle: return Generic<KernelFamily::SieveSingle>();
    case KernelFamily::SieveMulti: return Generic<KernelFamily::SieveMulti>();
  }
  return nullptr;
}

void Prepare(const Workload& w, int level) {
  EqualSumsRun& run = BenchRun();
  run.power = w.power;
  run.leftTerms = w.left;
  run.rightTerms = w.right;
  run.searchMode = 2;
  run.currentValue = w.value;
  run.precisionWords = static_cast<uint32_t>(kLevelWords[level]);
  DynamicWordCount = kLevelWords[level];
  run.sieve = SetupSieve(w.power, w.left, w.right);
  run.powers.Allocate((run.precisionWords + 3) * (static_cast<uint64_t>(w.value) + 1) * 4);
  run.frames.Allocate(w.left, w.right, run.precisionWords);
}

uint64_t RunOnce(KernelFunction kernel, uint32_t right) {
  EqualSumsRun& run = BenchRun();
  run.rightTerms = right;
  run.searchLimit = right + 1;
  run.resumed = 0;
  run.control.internalError.store(0);
  run.control.requests.store(0);
  for (uint32_t& c : run.depthCounters) c = 0;
  kernel(run);
  uint64_t visits = 0;
  for (uint32_t d = 0; d < right; ++d) visits += run.depthCounters[d];
  return visits;
}

void KernelBench(benchmark::State& state, Workload w, int level, bool specialised) {
  Prepare(w, level);
  const KernelFunction kernel =
      specialised ? SelectKernel(w.family, level) : GenericKernel(w.family);
  uint64_t visits = 0;
  for (auto _ : state) visits += RunOnce(kernel, w.right);
  if (BenchRun().control.internalError.load() != 0) state.SkipWithError("internal error");
  state.counters["depths/s"] =
      benchmark::Counter(static_cast<double>(visits), benchmark::Counter::kIsRate);
  state.counters["values/s"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                  benchmark::Counter::kIsRate);
}

// k = 5, m = 1, n = 4 (mode Best) over the values 2..150, each at its own level.
void FifthPowerRange(benchmark::State& state) {
  int found = 0;
  for (auto _ : state) {
    found = 0;
    for (uint32_t x = 2; x <= 150; ++x) {
      const Workload w{"", KernelFamily::PlainSingle, 5, 1, 4, x};
      const long double bits = 5 * std::log2(static_cast<long double>(x));
      const int level = LevelForBits(bits);
      Prepare(w, level);
      BenchRun().searchMode = 0;
      const int before = static_cast<int>(LogRevision());
      RunOnce(SelectKernel(KernelFamily::PlainSingle, level), 4);
      found += static_cast<int>(LogRevision()) - before;
    }
  }
  if (found != 1) state.SkipWithError("expected exactly 144^5 = 133^5+110^5+84^5+27^5");
  state.counters["results"] = found;
}

// Keeps every run's time, so that the ratios can be printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) times[run.benchmark_name()] = run.GetAdjustedCPUTime();
    ConsoleReporter::ReportRuns(runs);
  }
  // The median of repeated runs when there are repetitions, else the single run.
  std::map<std::string, double>::const_iterator Find(const std::string& name) const {
    const auto median = times.find(name + "_median");
    return median != times.end() ? median : times.find(name);
  }
  std::map<std::string, double> times;
};

std::string Name(const Workload& w, int level, bool specialised) {
  return std::string(w.name) + (specialised ? "/level:" : "/runtime_words:") +
         std::to_string(level);
}

}  // namespace
}  // namespace aequa

int main(int argc, char** argv) {
  using namespace aequa;
  // Results and messages go to files in the current directory: use a scratch one.
  char pattern[] = "/tmp/aequa-bench-XXXXXX";
  const char* scratch = mkdtemp(pattern);
  if (scratch != nullptr) std::filesystem::current_path(scratch);

  const int levels[] = {0, 1, 2, 3, 4, 6};
  for (const Workload& w : kWorkloads) {
    for (int level : levels) {
      for (bool specialised : {true, false}) {
        benchmark::RegisterBenchmark(Name(w, level, specialised).c_str(), KernelBench, w, level,
                                     specialised)
            ->Unit(benchmark::kMillisecond);
      }
    }
  }
  benchmark::RegisterBenchmark("FifthPowers_2_to_150", FifthPowerRange)
      ->Unit(benchmark::kMillisecond);

  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);

  std::printf("\nruntime word count / specialised (CPU time ratio, higher is better):\n");
  std::printf("%-12s", "family");
  for (int level : levels) std::printf("  level %d", level);
  std::printf("\n");
  for (const Workload& w : kWorkloads) {
    std::printf("%-12s", w.name);
    for (int level : levels) {
      const auto fast = reporter.Find(Name(w, level, true));
      const auto slow = reporter.Find(Name(w, level, false));
      if (fast == reporter.times.end() || slow == reporter.times.end() || fast->second <= 0) {
        std::printf("  %7s", "-");
      } else {
        std::printf("  %7.2f", slow->second / fast->second);
      }
    }
    std::printf("\n");
  }
  benchmark::Shutdown();
  if (scratch != nullptr) {
    std::filesystem::current_path("/");
    std::filesystem::remove_all(scratch);
  }
  return 0;
}
