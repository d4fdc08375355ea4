// Speed of the sum-collision search: the whole "ADD" driver over a fixed range.
// - EnginesSideBySide: the windowed engine and the sum tree ("SumEngine=tree") alternated in
//   one run, each run in a child process whose CPU seconds and peak resident memory come from
//   wait4; tree/engine is the ratio of CPU seconds, and both must write the same lines.
// - SumSearchVersusPlain: the tree with a large pool (one window) and with the smallest pool
//   (many windows) against the plain way of finding equal sums: every sum of the range into
//   a vector, sorted, equal neighbours.
//
// Figures on this machine kind (2 cores shared, load about 8), CPU seconds and peak resident
// memory, from `build/default/bench/sums_bench --benchmark_filter=EnginesSideBySide`:
//   taxicab k=3 n=2 end 10000, 64 MB: engine 0.80 s, 68 MB; tree 75.0 s, 69 MB (94x)
//   k=4 n=2 end 6000, 64 MB:          engine 0.29 s, 67 MB; tree 10.9 s, 24 MB (37x)
//   k=3 n=3 end 600, 64 MB:           engine 0.44 s, 67 MB; tree 44.3 s, 67 MB (101x)
//   k=3 n=2 end 4000, 1 MB:           engine 0.29 s, 4 MB;  tree 2.63 s, 4 MB (9x)
// The engine fills the memory it is given; the tree only as far as its distinct sums go.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "core/output_log.h"
#include "core/settings.h"
#include "core/shared_words.h"
#include "core/work_item.h"
#include "sums/sum_search.h"
#include "sums/sum_tree.h"
#include "sums/u128.h"

namespace aequa {
namespace {

// The "ADD" line of terms 1 .. end - 1, n terms, with `megabytes` for the search.
WorkItem AddLine(uint32_t k, uint32_t n, uint32_t end, uint32_t megabytes) {
  WorkItem item;
  item.kind = WORK_ADD;
  item.power = k;
  item.start = 1;
  item.end = end;
  item.terms = n;
  item.megabytes = megabytes;
  return item;
}

using Clock = std::chrono::steady_clock;

// CPU time of the calling thread: the machine is shared, so wall time alone says little.
double ThreadSeconds() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

uint64_t collisionLines = 0;
void CountLines(const char* line, bool) {
  if (std::strstr(line, ") at ") != nullptr) ++collisionLines;
}

// A fresh working directory for the driver's files, removed at the end.
struct ScratchDir {
  std::string path;
  std::string previous = std::filesystem::current_path().string();
  ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "aequa-bench-XXXXXX").string();
    path = mkdtemp(pattern.data());
    std::filesystem::current_path(path);
  }
  ~ScratchDir() {
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(path);
  }
};

struct EngineRun {
  double cpuSeconds = 0;
  double peakMegabytes = 0;
  uint64_t lines = 0;
  bool ok = false;
};

// One whole line run by one engine in a child process (fresh directory, fresh memory): its
// CPU seconds (user and system), peak resident memory and number of collision lines.
EngineRun RunInChild(uint32_t k, uint32_t n, uint32_t end, uint32_t megabytes, bool tree,
                     int runNumber) {
  int pipeEnds[2];
  EngineRun run;
  if (pipe(pipeEnds) != 0) return run;
  const pid_t child = fork();
  if (child == 0) {
    close(pipeEnds[0]);
    const std::string dir = "run" + std::to_string(runNumber);
    std::filesystem::create_directory(dir);
    std::filesystem::current_path(dir);
    Settings.SumTree.store(tree ? 1 : 0);
    Settings.ForceAVL.store(0);
    collisionLines = 0;
    WorkItem item = AddLine(k, n, end, megabytes);
    SearchControl control;
    RunSumSearch(control, item);
    const uint64_t lines = control.internalError.load() == 0 ? collisionLines : ~uint64_t{0};
    const ssize_t written = write(pipeEnds[1], &lines, sizeof lines);
    _exit(written == sizeof lines ? 0 : 1);
  }
  close(pipeEnds[1]);
  if (child < 0) {
    close(pipeEnds[0]);
    return run;
  }
  uint64_t lines = ~uint64_t{0};
  const ssize_t got = read(pipeEnds[0], &lines, sizeof lines);
  close(pipeEnds[0]);
  int status = 0;
  rusage usage;
  if (wait4(child, &status, 0, &usage) != child) return run;
  auto seconds = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) + 1e-6 * static_cast<double>(t.tv_usec);
  };
  run.cpuSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
  run.peakMegabytes = static_cast<double>(usage.ru_maxrss) / 1024.0;
  run.lines = lines;
  run.ok = got == sizeof lines && WIFEXITED(status) && WEXITSTATUS(status) == 0 &&
           lines != ~uint64_t{0};
  return run;
}

// The engine and the tree alternated `rounds` times (engine first); the figures are the
// means, and the peak memory the largest seen.
void EnginesSideBySide(benchmark::State& state, uint32_t k, uint32_t n, uint32_t end,
                       uint32_t megabytes, int rounds) {
  ScratchDir scratch;
  SetLogLineSink(&CountLines);
  EngineRun engine, tree;
  int runNumber = 0;
  for (auto _ : state) {
    for (int round = 0; round < rounds; ++round) {
      for (bool useTree : {false, true}) {
        const EngineRun run = RunInChild(k, n, end, megabytes, useTree, runNumber++);
        if (!run.ok) state.SkipWithError("a run failed");
        EngineRun& total = useTree ? tree : engine;
        total.cpuSeconds += run.cpuSeconds / rounds;
        total.peakMegabytes = std::max(total.peakMegabytes, run.peakMegabytes);
        if (total.lines != 0 && total.lines != run.lines) state.SkipWithError("runs disagree");
        total.lines = run.lines;
      }
    }
    state.SetIterationTime(engine.cpuSeconds);
  }
  if (engine.lines != tree.lines) state.SkipWithError("the engines wrote different lines");
  const double iterations = static_cast<double>(state.iterations());
  state.counters["engine_cpu_s"] = engine.cpuSeconds / iterations;
  state.counters["tree_cpu_s"] = tree.cpuSeconds / iterations;
  state.counters["tree/engine"] = tree.cpuSeconds / engine.cpuSeconds;
  state.counters["engine_peak_MB"] = engine.peakMegabytes;
  state.counters["tree_peak_MB"] = tree.peakMegabytes;
  state.counters["lines"] = static_cast<double>(engine.lines);
  SetLogLineSink(nullptr);
}

// The taxicab workload: all sums of two positive cubes below 10^12 in two or more ways.
BENCHMARK_CAPTURE(EnginesSideBySide, taxicab_k3_n2_end10000_64MB, 3, 2, 10000, 64, 1)
    ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
// Fourth powers, two terms (filtered: primes 5 and 2).
BENCHMARK_CAPTURE(EnginesSideBySide, k4_n2_end6000_64MB, 4, 2, 6000, 64, 1)
    ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
// Cubes, three terms.
BENCHMARK_CAPTURE(EnginesSideBySide, k3_n3_end600_64MB, 3, 3, 600, 64, 1)
    ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
// A small memory: many windows for both.
BENCHMARK_CAPTURE(EnginesSideBySide, k3_n2_end4000_1MB, 3, 2, 4000, 1, 2)
    ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

struct PlainSum {
  U128 key;
  uint32_t terms;
};

// The plain way: every admitted sum of 1..n terms below end^k into one vector, sorted, and
// equal neighbours counted. Returns the number of sums; `equalPairs` gets the neighbours.
struct PlainSearch {
  uint32_t k, n, end;
  std::vector<uint32_t> primes;  // residue filter of the even powers
  std::vector<U128> powers;
  std::vector<uint32_t> residues;  // per term: a byte per prime, 1 when the prime does not divide it
  std::vector<PlainSum> sums;
  U128 endPower;

  void Extend(const U128& sum, uint32_t packed, uint32_t depth, uint32_t limit) {
    for (uint32_t y = 1; y <= limit; ++y) {
      U128 s = sum;
      if (Add128(s, powers[y]) || !Less128(s, endPower)) return;
      const uint32_t r = packed + residues[y];
      bool admitted = true;
      for (size_t i = 0; i < primes.size(); ++i) admitted = admitted && ((r >> (8 * i)) & 0xFF);
      if (admitted) sums.push_back({s, depth});
      if (depth < n) Extend(s, r, depth + 1, y);
    }
  }

  size_t Run(uint64_t& equalPairs) {
    powers.resize(end);
    residues.resize(end);
    for (uint32_t x = 0; x < end; ++x) {
      PowerOf(x, k, powers[x]);
      residues[x] = 0;
      for (size_t i = 0; i < primes.size(); ++i) {
        if (x % primes[i] != 0) residues[x] |= 1u << (8 * i);
      }
    }
    PowerOf(end, k, endPower);
    sums.clear();
    Extend(U128(), 0, 1, end - 1);
    std::sort(sums.begin(), sums.end(), [](const PlainSum& a, const PlainSum& b) {
      return Less128(a.key, b.key);
    });
    equalPairs = 0;
    for (size_t i = 1; i < sums.size(); ++i) equalPairs += sums[i].key == sums[i - 1].key;
    return sums.size();
  }
};

void SumSearchVersusPlain(benchmark::State& state, uint32_t k, uint32_t n, uint32_t end,
                          uint32_t megabytes, std::vector<uint32_t> primes) {
  ScratchDir scratch;
  SetLogLineSink(&CountLines);
  Settings.ForceAVL.store(0);
  Settings.SumTree.store(1);
  double treeSeconds = 0, plainSeconds = 0, treeWall = 0, plainWall = 0;
  size_t sumCount = 0;
  uint64_t equalPairs = 0;
  for (auto _ : state) {
    collisionLines = 0;
    WorkItem item = AddLine(k, n, end, megabytes);
    SearchControl control;
    const auto t0 = Clock::now();
    const double c0 = ThreadSeconds();
    RunSumSearch(control, item);
    const double c1 = ThreadSeconds();
    const auto t1 = Clock::now();
    if (control.internalError.load() != 0) state.SkipWithError("internal error");
    PlainSearch plain{k, n, end, primes, {}, {}, {}, {}};
    sumCount = plain.Run(equalPairs);
    const double c2 = ThreadSeconds();
    const auto t2 = Clock::now();
    treeSeconds += c1 - c0;
    plainSeconds += c2 - c1;
    treeWall += std::chrono::duration<double>(t1 - t0).count();
    plainWall += std::chrono::duration<double>(t2 - t1).count();
    state.SetIterationTime(c1 - c0);
  }
  const double runs = static_cast<double>(state.iterations());
  state.counters["sums"] = static_cast<double>(sumCount);
  state.counters["tree_cpu_s"] = treeSeconds / runs;
  state.counters["plain_cpu_s"] = plainSeconds / runs;
  state.counters["tree_wall_s"] = treeWall / runs;
  state.counters["plain_wall_s"] = plainWall / runs;
  state.counters["tree_sums/s"] = sumCount / (treeSeconds / runs);
  state.counters["plain_sums/s"] = sumCount / (plainSeconds / runs);
  state.counters["plain/tree"] = plainSeconds / treeSeconds;
  state.counters["lines"] = static_cast<double>(collisionLines);
  state.counters["equal_pairs"] = static_cast<double>(equalPairs);
  Settings.SumTree.store(0);
  SetLogLineSink(nullptr);
}

// k = 3, n = 2, terms below 4000 (values below 6.4e10): no residue filter.
BENCHMARK_CAPTURE(SumSearchVersusPlain, k3_n2_end4000_pool512MB, 3, 2, 4000, 512, {})
    ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK_CAPTURE(SumSearchVersusPlain, k3_n2_end4000_pool8MB, 3, 2, 4000, 8, {})
    ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK_CAPTURE(SumSearchVersusPlain, k3_n2_end4000_pool1MB, 3, 2, 4000, 1, {})
    ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);
// k = 4, n = 3, terms below 400: the filtered variant (primes 5 and 2).
BENCHMARK_CAPTURE(SumSearchVersusPlain, k4_n3_end400_pool512MB, 4, 3, 400, 512, {5, 2})
    ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK_CAPTURE(SumSearchVersusPlain, k4_n3_end400_pool8MB, 4, 3, 400, 8, {5, 2})
    ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK_CAPTURE(SumSearchVersusPlain, k4_n3_end400_pool1MB, 4, 3, 400, 1, {5, 2})
    ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
}  // namespace aequa
