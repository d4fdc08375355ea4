#include "core/work_rules.h"

#include <cmath>
#include <iterator>

namespace aequa {
namespace {

// Bits of m * x^k, as (k ln x + ln m) / ln 2; m = 0 gives minus infinity and passes.
long double SumBits(uint32_t power, uint32_t x, uint32_t m) {
  return (static_cast<long double>(power) * std::log(static_cast<long double>(x)) +
          std::log(static_cast<long double>(m))) /
         std::log(2.0L);
}

bool Overflows(uint32_t power, uint32_t x, uint32_t m) {
  return SumBits(power, x, m) >= static_cast<long double>(kMaxSumBits);
}

bool PowerInRange(uint32_t power) { return power >= kMinLinePower && power <= kMaxLinePower; }

const char* const kSumFields[] = {"power",       "start",   "end",     "left terms",
                                  "right terms", "variant", "current", "duration"};
const char* const kAddFields[] = {"power", "start", "end", "terms", "megabytes"};
const char* const kPentaFields[] = {"power", "start", "end", "variant"};

}  // namespace

uint32_t MaxLeftTermsFor(uint32_t power, uint32_t variant) {
  if (variant == kModeExact) return 0xFFFFFFFFu;
  const uint32_t belowPower = power == 0 ? 0 : power - 1;
  return belowPower < kMaxLeftTerms ? belowPower : kMaxLeftTerms;
}

uint32_t MinRightTermsFor(uint32_t left, uint32_t variant) {
  return variant == kModeExact ? 0 : left;
}

uint32_t MaxSumValueFor(uint32_t power, uint32_t left) {
  if (!Overflows(power, 0xFFFFFFFFu, left)) return 0xFFFFFFFFu;
  uint32_t low = 0, high = 0xFFFFFFFFu;  // low passes (0 gives minus infinity), high does not
  while (high - low > 1) {
    const uint32_t mid = low + (high - low) / 2;
    if (Overflows(power, mid, left)) {
      high = mid;
    } else {
      low = mid;
    }
  }
  return low;
}

LineFault CheckSumItem(WorkItem& item) {
  if (!PowerInRange(item.power)) return LineFault::Power;
  // Mode Exact relaxes both term rules (what the search makes of the terms is its own affair).
  if (item.variant != kModeExact &&
      (item.leftTerms == 0 || item.leftTerms > MaxLeftTermsFor(item.power, item.variant))) {
    return LineFault::LeftTerms;
  }
  if (item.rightTerms < MinRightTermsFor(item.leftTerms, item.variant)) {
    return LineFault::RightTerms;
  }
  if (item.rightTerms > kMaxRightTerms) item.rightTerms = kMaxRightTerms;
  if (item.start < kMinSumStart) item.start = kMinSumStart;
  if (item.current < item.start || item.current >= item.end) item.current = item.start;
  if (item.start >= item.end) return LineFault::NoRange;
  if (Overflows(item.power, item.start, item.leftTerms)) return LineFault::StartOverflow;
  if (Overflows(item.power, item.end, item.leftTerms)) return LineFault::EndOverflow;
  return LineFault::None;
}

LineFault CheckAddItem(WorkItem& item) {
  if (!PowerInRange(item.power)) return LineFault::Power;
  if (item.terms < kMinAddTerms || item.terms > kMaxAddTerms) return LineFault::Terms;
  // A range must start at 1 or above and end above its start: an empty or wrapped range
  // would otherwise be reported "done" without a search.
  if (item.start < kMinAddStart || item.start >= item.end) return LineFault::NoRange;
  if (item.megabytes == 0) item.megabytes = 1;
  return LineFault::None;
}

LineFault CheckPentaItem(WorkItem& item) {
  if (item.power != kPentaPower) return LineFault::Power;
  if (item.start >= item.end) return LineFault::NoRange;
  return LineFault::None;
}

const char* const* LineFieldNames(uint32_t kind) {
  switch (kind) {
    case WORK_SUM:
      return kSumFields;
    case WORK_ADD:
      return kAddFields;
    default:
      return kPentaFields;
  }
}

uint32_t LineFieldCount(uint32_t kind) {
  switch (kind) {
    case WORK_SUM:
      return std::size(kSumFields);
    case WORK_ADD:
      return std::size(kAddFields);
    default:
      return std::size(kPentaFields);
  }
}

uint32_t LastFieldRead(LineFault fault) {
  switch (fault) {
    case LineFault::Power:
    case LineFault::None:
      return 0;
    case LineFault::NoRange:
      return 2;  // start and end
    case LineFault::Terms:
      return 3;
    case LineFault::StartOverflow:
    case LineFault::EndOverflow:
      return 3;  // power, start or end, and left terms
    case LineFault::LeftTerms:
    case LineFault::RightTerms:
      return 5;  // the terms and the variant, which relaxes them
  }
  return 0;
}

}  // namespace aequa
