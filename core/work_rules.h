#pragma once
// The rules a work line must meet, with the bounds they rest on. The reader of the work file
// checks every line with them, and the entry of a new range (command line, dialogs) asks the
// same rules, so that nothing is queued that the reader would later drop.
#include <cstdint>

#include "core/work_item.h"

namespace aequa {

// The first rule a line breaks, in the order the reader checks them.
enum class LineFault {
  None,
  Power,          // power out of its range (not 5 for Penta)
  Terms,          // ADD: number of terms
  LeftTerms,      // SUM: left terms
  RightTerms,     // SUM: right terms below left terms
  NoRange,        // start not below end
  StartOverflow,  // SUM: m * start^k needs 512 bits or more
  EndOverflow,    // SUM: m * end^k needs 512 bits or more
};

inline constexpr uint32_t kMinLinePower = 2;
inline constexpr uint32_t kMaxLinePower = 4095;
inline constexpr uint32_t kPentaPower = 5;
inline constexpr uint32_t kMaxLeftTerms = 255;     // outside mode Exact
inline constexpr uint32_t kMaxRightTerms = 4096;   // more are read as this many
inline constexpr uint32_t kMinSumStart = 2;        // smaller starts are read as 2
inline constexpr uint32_t kMinAddStart = 1;
inline constexpr uint32_t kMinAddTerms = 2;
inline constexpr uint32_t kMaxAddTerms = 255;
inline constexpr uint32_t kModeExact = 2;          // SUM variant that relaxes the term rules
inline constexpr double kMaxSumBits = 512.0;
// The reader takes each field as a signed 32-bit number ("%ld"): larger values are not kept.
inline constexpr uint32_t kMaxLineValue = 2147483647u;

// Checks an item of each kind as the reader does, applying the reader's adjustments to the
// item (SUM: right terms capped, start raised to 2, current kept inside the range; ADD: 0
// megabytes read as 1). Returns the first rule broken.
LineFault CheckSumItem(WorkItem& item);
LineFault CheckAddItem(WorkItem& item);
LineFault CheckPentaItem(WorkItem& item);

// The bounds behind the SUM rules, for messages that give the range a field may take.
uint32_t MaxLeftTermsFor(uint32_t power, uint32_t variant);  // 0 when none is allowed
uint32_t MinRightTermsFor(uint32_t left, uint32_t variant);
// The largest x for which m * x^k needs fewer than 512 bits (by the reader's estimate).
uint32_t MaxSumValueFor(uint32_t power, uint32_t left);

// The fields of each kind of line in their order, as messages name them.
const char* const* LineFieldNames(uint32_t kind);
uint32_t LineFieldCount(uint32_t kind);
// The last field (index into LineFieldNames) that a rule reads: a line whose reading stopped
// at an earlier field broke that rule because the field was not a number.
uint32_t LastFieldRead(LineFault fault);

}  // namespace aequa
