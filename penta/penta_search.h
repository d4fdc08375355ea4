#pragma once
// The twenty-one Penta routines: for one first term a, every b, c and d that the type allows,
// kept as a candidate when the signed sum of the four fifth powers is a fifth-power residue
// modulo every prime its d-loop tests.
#include <atomic>
#include <cstdint>

#include "penta/penta_tables.h"

namespace aequa::penta {

// Result lines written since the driver last reset it.
extern std::atomic<uint32_t> CandidateCount;

// Set when the last routine returned at a stop request, before the end of its a.
extern std::atomic<bool> StoppedEarly;

// Where candidate lines go: ReportResult unless a test sets another sink (null restores it).
using CandidateSink = void (*)(const char* text);
void SetCandidateSink(CandidateSink sink);

// The routine of `type` (0..20) for first term a, with every term below `limit`
// (kTermLimit in the search; tests use smaller bounds). Polls RequestFlags at every triple that
// passes the filter. Sets InternalError and searches nothing when a residue table is missing.
void SearchType(uint32_t type, int32_t a, int32_t limit = kTermLimit);

// SearchType that also counts its work (for measurements).
struct SearchCounts {
  uint64_t triples = 0;  // (b, c) pairs given to the triple filter
  uint64_t passed = 0;   // those that passed it
  uint64_t dSteps = 0;   // d values tested, over all d-loops
};
SearchCounts CountType(uint32_t type, int32_t a, int32_t limit = kTermLimit);

void Penta0(int32_t a);
void Penta1(int32_t a);
void Penta2(int32_t a);
void Penta3(int32_t a);
void Penta4(int32_t a);
void Penta5(int32_t a);
void Penta6(int32_t a);
void Penta7(int32_t a);
void Penta8(int32_t a);
void Penta9(int32_t a);
void Penta10(int32_t a);
void Penta11(int32_t a);
void Penta12(int32_t a);
void Penta13(int32_t a);
void Penta14(int32_t a);
void Penta15(int32_t a);
void Penta16(int32_t a);
void Penta17(int32_t a);
void Penta18(int32_t a);
void Penta19(int32_t a);
void Penta20(int32_t a);

using PentaRoutine = void (*)(int32_t a);
// The routine of a type number; null above 20.
PentaRoutine RoutineOf(uint32_t type);

}  // namespace aequa::penta
