// Speed of the Penta routines: d-values and triples per second for a fixed a, the same space
// checked plainly (exact 128-bit signed sum tested for being a fifth power), and the time of a
// whole a.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "penta/penta_search.h"
#include "penta/penta_starts.h"
#include "penta/penta_tables.h"
#include "penta/penta_types.h"

namespace aequa::penta {
namespace {

using I128 = __int128;

void Discard(const char*) {}

// The run every benchmark searches on: tables built once, candidates discarded.
PentaRun& Prepare() {
  static SearchControl control;
  static PentaRun* run = [] {
    auto* r = new PentaRun(control);
    BuildTables(r->tables);
    r->sink = &Discard;
    return r;
  }();
  return *run;
}

const std::vector<I128>& FifthPowers() {
  static std::vector<I128> powers = [] {
    std::vector<I128> p(kTermLimit);
    for (int64_t x = 0; x < kTermLimit; ++x) p[x] = static_cast<I128>(x) * x * x * x * x;
    return p;
  }();
  return powers;
}

bool IsFifthPower(I128 s) {
  if (s < 0) s = -s;
  const long double root = std::pow(static_cast<long double>(s), 0.2L);
  const int64_t e = std::llround(root);
  for (int64_t x = e - 1; x <= e + 1; ++x) {
    if (x >= 0 && static_cast<I128>(x) * x * x * x * x == s) return true;
  }
  return false;
}

// The routine's (b, c, d) space for one a, every quadruple checked exactly; returns the number
// of fifth powers found and counts the quadruples.
uint64_t PlainCheck(uint32_t t, int32_t a, int32_t limit, uint64_t& quadruples) {
  const PentaType& type = kPentaTypes[t];
  const auto& p5 = FifthPowers();
  uint64_t hits = 0;
  if (a % 5 == 0 || !Accepts(type.a, a)) return 0;
  for (int32_t b = FirstB(type.bStart, a); b < EndOf(type.bBound, a, 0, 0, limit);
       b += type.bStep) {
    for (int32_t c = FirstC(type.cStart, b); c < EndOf(type.cBound, a, b, 0, limit);
         c += type.cStep) {
      if (c % 5 == 0 || (type.cSkipsB && c == b)) continue;
      const I128 abc = p5[a] + type.signB * p5[b] + type.signC * p5[c];
      for (int l = 0; l < type.loopCount; ++l) {
        const DLoop& loop = type.loops[l];
        if (loop.onlyWhenCBelowB && c >= b) continue;
        if (loop.skipWhenSeedAboveC && FiveAdicSeed(a + b + c) > c) continue;
        int32_t d = 0;
        if (loop.start == DStart::FiveAdic1250 || loop.start == DStart::FiveAdic20000) {
          d = FiveAdicStart(FifthMod3125(a) + type.signB * FifthMod3125(b) +
                                type.signC * FifthMod3125(c),
                            a + type.signB * b + type.signC * c, loop.signD, loop.step);
        } else {
          d = TwoAdicStart(loop.start, c, loop.step);
        }
        const int32_t end = loop.bound == Bound::BelowC ? c : limit;
        for (; d >= 0 && d < end; d += loop.step) {
          ++quadruples;
          hits += IsFifthPower(loop.signD > 0 ? abc + p5[d] : abc - p5[d]) ? 1 : 0;
        }
      }
    }
  }
  return hits;
}

// args: type, a, limit (every term below it)
void BM_Routine(benchmark::State& state) {
  Prepare();
  const auto type = static_cast<uint32_t>(state.range(0));
  const auto a = static_cast<int32_t>(state.range(1));
  const auto limit = static_cast<int32_t>(state.range(2));
  const SearchCounts counts = CountType(Prepare(), type, a, limit);
  for (auto _ : state) SearchType(Prepare(), type, a, limit);
  const double n = static_cast<double>(state.iterations());
  using benchmark::Counter;
  state.counters["d_per_s"] = Counter(n * static_cast<double>(counts.dSteps), Counter::kIsRate);
  state.counters["triples_per_s"] =
      Counter(n * static_cast<double>(counts.triples), Counter::kIsRate);
  state.counters["passed_per_s"] =
      Counter(n * static_cast<double>(counts.passed), Counter::kIsRate);
  state.counters["d_steps"] = static_cast<double>(counts.dSteps);
}

// The same space as BM_Routine, checked plainly; "speedup" is the plain time over the
// routine's time for the same space.
void BM_Plain(benchmark::State& state) {
  Prepare();
  const auto type = static_cast<uint32_t>(state.range(0));
  const auto a = static_cast<int32_t>(state.range(1));
  const auto limit = static_cast<int32_t>(state.range(2));
  FifthPowers();
  const auto t0 = std::chrono::steady_clock::now();
  SearchType(Prepare(), type, a, limit);
  const double routineSeconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  uint64_t quadruples = 0;
  double plainSeconds = 0;
  for (auto _ : state) {
    quadruples = 0;
    const auto t1 = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(PlainCheck(type, a, limit, quadruples));
    plainSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t1).count();
  }
  using benchmark::Counter;
  state.counters["quads_per_s"] = Counter(static_cast<double>(quadruples) *
                                              static_cast<double>(state.iterations()),
                                          Counter::kIsRate);
  state.counters["speedup"] = plainSeconds / routineSeconds;
}

// A whole a, every term below 100000.
void BM_WholeA(benchmark::State& state) {
  Prepare();
  const auto type = static_cast<uint32_t>(state.range(0));
  const auto a = static_cast<int32_t>(state.range(1));
  for (auto _ : state) SearchType(Prepare(), type, a);
}

// Types 0 (5-adic, two loops), 2 (5-adic, b <= a), 5 (step 20000), 12 (2-adic, step 160),
// 13 (2-adic, steps 320 and 5120), with a space small enough for the plain check.
#define SPACES(B)                                                                           \
  B->Args({0, 1002, 20000})->Args({2, 1001, 20000})->Args({5, 1001, 8000})->Args(           \
      {12, 1004, 4000})->Args({13, 1004, 20000})->Unit(benchmark::kMillisecond)
SPACES(BENCHMARK(BM_Routine));
SPACES(BENCHMARK(BM_Plain)->Iterations(1));

BENCHMARK(BM_WholeA)
    ->Args({0, 1002})->Args({0, 50002})
    ->Args({2, 1001})->Args({2, 50001})
    ->Args({5, 1001})->Args({5, 50001})
    ->Args({13, 1004})
    ->Iterations(1)->Unit(benchmark::kSecond);

// Whole a's that take a minute or more (b, c and d all run to 100000, or b to 50000): run only
// when AEQUA_BENCH_LONG is set.
const bool kLongRegistered = [] {
  if (std::getenv("AEQUA_BENCH_LONG") == nullptr) return false;
  benchmark::RegisterBenchmark("BM_WholeA", &BM_WholeA)
      ->Args({12, 1004})->Args({13, 50004})
      ->Iterations(1)->Unit(benchmark::kSecond);
  return true;
}();

}  // namespace
}  // namespace aequa::penta
