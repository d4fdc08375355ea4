#include "penta/penta_search.h"

#include <array>
#include <cstdio>
#include <utility>

#include "core/output_log.h"
#include "penta/penta_starts.h"
#include "penta/penta_types.h"

namespace aequa::penta {

namespace {

using Sums = std::array<int32_t, kPrimeCount>;

constexpr bool Tested(Moduli moduli, size_t i) {
  const int32_t p = kPrimes[i];
  switch (moduli) {
    case Moduli::All: return true;
    case Moduli::No311: return p != 311;
    case Moduli::No281And271: return p != 281 && p != 271;
    case Moduli::No311And281And271: return p != 311 && p != 281 && p != 271;
  }
  return true;
}

// One d against every tested prime, the largest first, stopping at the first failure.
// marks[i] already points at the loop's offset p * (subtracted terms) + signed residue sum of
// a, b and c, so the lookup is one table read for d's residue and one byte read.
template <Moduli M, int Sign, size_t... I>
inline bool PassesAll(const uint8_t* const* marks, const uint32_t* const* residues, int32_t d,
                      std::index_sequence<I...>) {
  return ((!Tested(M, I) || marks[I][Sign * static_cast<int32_t>(residues[I][d])] != 0) && ...);
}

// The hot loop: the first candidate d from `d` on in steps of `step`, or `end` when none.
template <Moduli M, int Sign>
int32_t NextCandidate(const uint8_t* const* marks, const uint32_t* const* residues, int32_t d,
                      int32_t step, int32_t end) {
  for (; d < end; d += step) {
    if (PassesAll<M, Sign>(marks, residues, d, std::make_index_sequence<kPrimeCount>{})) return d;
  }
  return end;
}

[[gnu::noinline]] void ReportCandidate(PentaRun& run, const char* label, int32_t a, int32_t b,
                                       int32_t c, int32_t d) {
  char text[128];
  std::snprintf(text, sizeof text, label, static_cast<long>(a), static_cast<long>(b),
                static_cast<long>(c), static_cast<long>(d));
  if (run.sink != nullptr) {
    run.sink(text);
  } else {
    run.held.emplace_back(text);
  }
  ++run.candidates;
}

[[gnu::noinline]] void ShowProgress(PentaRun& run, const char* format, int32_t a, int32_t b,
                                    int32_t c) {
  char text[96];
  std::snprintf(text, sizeof text, format, static_cast<long>(a), static_cast<long>(b),
                static_cast<long>(c));
  LogText(run.control, text);
  ReplaceNextLine(run.control);
}

// What a d-loop needs to know of its triple.
struct Triple {
  int32_t a, b, c;
  int32_t fifthSum;  // a^5 +- b^5 +- c^5, modulo 3125 up to a multiple
  int32_t termSum;   // a +- b +- c
  int32_t subtracted;  // how many of b, c are subtracted
  const Sums* residueSums;  // a +- b +- c in fifth-power residues, per prime
};

template <uint32_t T, int L, bool Count>
void SearchD(PentaRun& run, const Triple& t, int32_t limit, SearchCounts* counts) {
  constexpr const DLoop& loop = kPentaTypes[T].loops[L];
  if constexpr (loop.onlyWhenCBelowB) {
    if (t.c >= t.b) return;
  }
  if constexpr (loop.skipWhenSeedAboveC) {
    if (FiveAdicSeed(t.a + t.b + t.c) > t.c) return;
  }
  int32_t d = 0;
  if constexpr (loop.start == DStart::FiveAdic1250 || loop.start == DStart::FiveAdic20000) {
    d = FiveAdicStart(t.fifthSum, t.termSum, loop.signD, loop.step);
    if (d < 0) return;  // the triple has no 5-adic class (cannot happen for these b-loops)
  } else {
    d = TwoAdicStart(loop.start, t.c, loop.step);
  }
  const int32_t end = loop.bound == Bound::BelowC ? t.c : limit;
  if constexpr (Count) {
    if (d < end) counts->dSteps += static_cast<uint64_t>((end - d + loop.step - 1) / loop.step);
  }
  const int32_t subtracted = t.subtracted + (loop.signD < 0 ? 1 : 0);
  std::array<const uint8_t*, kPrimeCount> marks;
  for (int i = 0; i < kPrimeCount; ++i) {
    marks[i] = run.tables.marks[i].data() + kPrimes[i] * subtracted + (*t.residueSums)[i];
  }
  const uint32_t* const* residues = run.tables.residues.data();
  constexpr Moduli kModuli = loop.moduli;
  constexpr int kSign = loop.signD;
  for (d = NextCandidate<kModuli, kSign>(marks.data(), residues, d, loop.step, end); d < end;
       d = NextCandidate<kModuli, kSign>(marks.data(), residues, d + loop.step, loop.step, end)) {
    if constexpr (loop.skip == SkipD::EqualToA) {
      if (d == t.a) continue;
    }
    if constexpr (loop.skip == SkipD::EqualToB) {
      if (d == t.b) continue;
    }
    ReportCandidate(run, loop.label, t.a, t.b, t.c, d);
  }
}

// The one shape of every routine, filled in from the type table.
template <uint32_t T, bool Count>
void Search(PentaRun& run, int32_t a, int32_t limit, SearchCounts* counts) {
  constexpr const PentaType& type = kPentaTypes[T];
  run.stoppedEarly = false;
  if (!TablesComplete(run.tables)) {
    run.control.internalError.store(kMissingTableError);
    return;
  }
  if (a <= 0 || a >= limit || a % 5 == 0 || !Accepts(type.a, a)) return;
  const uint32_t* const* residues = run.tables.residues.data();
  constexpr int32_t kSubtracted = (type.signB < 0 ? 1 : 0) + (type.signC < 0 ? 1 : 0);

  Sums ofA;
  for (int i = 0; i < kPrimeCount; ++i) ofA[i] = static_cast<int32_t>(residues[i][a]);
  const int32_t bEnd = EndOf(type.bBound, a, 0, 0, limit);
  for (int32_t b = FirstB(type.bStart, a); b < bEnd; b += type.bStep) {
    Sums ofAB;
    for (int i = 0; i < kPrimeCount; ++i) {
      ofAB[i] = ofA[i] + type.signB * static_cast<int32_t>(residues[i][b]);
    }
    const int32_t fifthAB = FifthMod3125(a) + type.signB * FifthMod3125(b);
    const int32_t cEnd = EndOf(type.cBound, a, b, 0, limit);
    for (int32_t c = FirstC(type.cStart, b); c < cEnd; c += type.cStep) {
      if (c % 5 == 0) continue;
      if constexpr (type.cSkipsB) {
        if (c == b) continue;
      }
      if constexpr (Count) ++counts->triples;
      Sums ofABC;
      // Triple filter: the exclusion primes 101, 71, 61, 41, 31, 11 first.
      bool excluded = false;
      for (int j = 0; j < kExclusionCount && !excluded; ++j) {
        const int i = kFirstExclusionPrime + j;
        ofABC[i] = ofAB[i] + type.signC * static_cast<int32_t>(residues[i][c]);
        excluded = run.tables.exclusions[j][kPrimes[i] * kSubtracted + ofABC[i]] != 0;
      }
      if (excluded) continue;
      if constexpr (Count) ++counts->passed;
      for (int i = 0; i < kFirstExclusionPrime; ++i) {
        ofABC[i] = ofAB[i] + type.signC * static_cast<int32_t>(residues[i][c]);
      }

      const uint32_t flags = run.control.requests.load(std::memory_order_relaxed);
      if (flags != 0) {
        if ((flags & REQ_DISPLAY) != 0) {
          run.control.requests.fetch_and(~REQ_DISPLAY);
          ShowProgress(run, type.progress, a, b, c);
        }
        if ((flags & REQ_HALT) != 0) {
          run.stoppedEarly = true;
          return;
        }
      }

      const Triple triple{a,        b,
                          c,        fifthAB + type.signC * FifthMod3125(c),
                          a + type.signB * b + type.signC * c,
                          kSubtracted, &ofABC};
      SearchD<T, 0, Count>(run, triple, limit, counts);
      if constexpr (type.loopCount > 1) SearchD<T, 1, Count>(run, triple, limit, counts);
    }
  }
}

using Searcher = void (*)(PentaRun& run, int32_t a, int32_t limit, SearchCounts* counts);

template <bool Count, size_t... T>
constexpr std::array<Searcher, sizeof...(T)> MakeSearchers(std::index_sequence<T...>) {
  return {&Search<T, Count>...};
}
constexpr std::array<Searcher, kTypeCount> kSearchers =
    MakeSearchers<false>(std::make_index_sequence<kTypeCount>{});
constexpr std::array<Searcher, kTypeCount> kCountingSearchers =
    MakeSearchers<true>(std::make_index_sequence<kTypeCount>{});

template <uint32_t T>
void Routine(PentaRun& run, int32_t a) {
  Search<T, false>(run, a, kTermLimit, nullptr);
}

template <size_t... T>
constexpr std::array<PentaRoutine, sizeof...(T)> MakeRoutines(std::index_sequence<T...>) {
  return {&Routine<T>...};
}
constexpr std::array<PentaRoutine, kTypeCount> kRoutines =
    MakeRoutines(std::make_index_sequence<kTypeCount>{});

}  // namespace

void SearchType(PentaRun& run, uint32_t type, int32_t a, int32_t limit) {
  if (type >= kTypeCount) return;
  if (limit > kTermLimit) limit = kTermLimit;
  kSearchers[type](run, a, limit, nullptr);
}

SearchCounts CountType(PentaRun& run, uint32_t type, int32_t a, int32_t limit) {
  SearchCounts counts;
  if (type >= kTypeCount) return counts;
  if (limit > kTermLimit) limit = kTermLimit;
  kCountingSearchers[type](run, a, limit, &counts);
  return counts;
}

PentaRoutine RoutineOf(uint32_t type) { return type < kTypeCount ? kRoutines[type] : nullptr; }

void Penta0(PentaRun& run, int32_t a) { Routine<0>(run, a); }
void Penta1(PentaRun& run, int32_t a) { Routine<1>(run, a); }
void Penta2(PentaRun& run, int32_t a) { Routine<2>(run, a); }
void Penta3(PentaRun& run, int32_t a) { Routine<3>(run, a); }
void Penta4(PentaRun& run, int32_t a) { Routine<4>(run, a); }
void Penta5(PentaRun& run, int32_t a) { Routine<5>(run, a); }
void Penta6(PentaRun& run, int32_t a) { Routine<6>(run, a); }
void Penta7(PentaRun& run, int32_t a) { Routine<7>(run, a); }
void Penta8(PentaRun& run, int32_t a) { Routine<8>(run, a); }
void Penta9(PentaRun& run, int32_t a) { Routine<9>(run, a); }
void Penta10(PentaRun& run, int32_t a) { Routine<10>(run, a); }
void Penta11(PentaRun& run, int32_t a) { Routine<11>(run, a); }
void Penta12(PentaRun& run, int32_t a) { Routine<12>(run, a); }
void Penta13(PentaRun& run, int32_t a) { Routine<13>(run, a); }
void Penta14(PentaRun& run, int32_t a) { Routine<14>(run, a); }
void Penta15(PentaRun& run, int32_t a) { Routine<15>(run, a); }
void Penta16(PentaRun& run, int32_t a) { Routine<16>(run, a); }
void Penta17(PentaRun& run, int32_t a) { Routine<17>(run, a); }
void Penta18(PentaRun& run, int32_t a) { Routine<18>(run, a); }
void Penta19(PentaRun& run, int32_t a) { Routine<19>(run, a); }
void Penta20(PentaRun& run, int32_t a) { Routine<20>(run, a); }

}  // namespace aequa::penta
