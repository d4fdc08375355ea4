#pragma once
// The twenty-one Penta routines: for one first term a, every b, c and d that the type allows,
// kept as a candidate when the signed sum of the four fifth powers is a fifth-power residue
// modulo every prime its d-loop tests.
#include <cstdint>
#include <string>
#include <vector>

#include "core/shared_words.h"
#include "penta/penta_tables.h"

namespace aequa::penta {

// Where candidate lines go: ReportResult, unless a test gives another sink.
using CandidateSink = void (*)(const char* text);

// One Penta search: its tables, its control words, and what its routines have reported.
struct PentaRun {
  explicit PentaRun(SearchControl& control) : control(control) {}
  SearchControl& control;
  Tables tables;
  uint32_t candidates = 0;    // result lines found since the driver last reset it
  bool stoppedEarly = false;  // the last routine returned at a stop, before the end of its a
  CandidateSink sink = nullptr;
  // The result lines of the a being searched, written by the driver once the a is finished:
  // an a left at a stop is searched again, and its lines would otherwise come twice.
  std::vector<std::string> held;
};

// The routine of `type` (0..20) for first term a, with every term below `limit`
// (kTermLimit in the search; tests use smaller bounds). Polls the run's requests at every
// triple that passes the filter. Sets the internal error and searches nothing when a residue
// table is missing.
void SearchType(PentaRun& run, uint32_t type, int32_t a, int32_t limit = kTermLimit);

// SearchType that also counts its work (for measurements).
struct SearchCounts {
  uint64_t triples = 0;  // (b, c) pairs given to the triple filter
  uint64_t passed = 0;   // those that passed it
  uint64_t dSteps = 0;   // d values tested, over all d-loops
};
SearchCounts CountType(PentaRun& run, uint32_t type, int32_t a, int32_t limit = kTermLimit);

void Penta0(PentaRun& run, int32_t a);
void Penta1(PentaRun& run, int32_t a);
void Penta2(PentaRun& run, int32_t a);
void Penta3(PentaRun& run, int32_t a);
void Penta4(PentaRun& run, int32_t a);
void Penta5(PentaRun& run, int32_t a);
void Penta6(PentaRun& run, int32_t a);
void Penta7(PentaRun& run, int32_t a);
void Penta8(PentaRun& run, int32_t a);
void Penta9(PentaRun& run, int32_t a);
void Penta10(PentaRun& run, int32_t a);
void Penta11(PentaRun& run, int32_t a);
void Penta12(PentaRun& run, int32_t a);
void Penta13(PentaRun& run, int32_t a);
void Penta14(PentaRun& run, int32_t a);
void Penta15(PentaRun& run, int32_t a);
void Penta16(PentaRun& run, int32_t a);
void Penta17(PentaRun& run, int32_t a);
void Penta18(PentaRun& run, int32_t a);
void Penta19(PentaRun& run, int32_t a);
void Penta20(PentaRun& run, int32_t a);

using PentaRoutine = void (*)(PentaRun& run, int32_t a);
// The routine of a type number; null above 20.
PentaRoutine RoutineOf(uint32_t type);

}  // namespace aequa::penta
