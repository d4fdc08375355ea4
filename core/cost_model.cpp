#include "core/cost_model.h"

#include <algorithm>
#include <cmath>

namespace aequa {
namespace {

// The exponent e of a unit's cost u^e: the work of [a, b) is then the integral of u^e,
// (b^(e+1) - a^(e+1)) / (e+1). Capped so that the powers stay finite in a double.
double Exponent(const WorkItem& item) {
  switch (item.kind) {
    case WORK_SUM:
      return std::clamp(static_cast<double>(item.rightTerms) + item.leftTerms - 2.0, 1.0, 24.0);
    case WORK_ADD:
      return std::clamp(static_cast<double>(item.terms) - 1.0, 1.0, 24.0);
    default:
      return 0.0;
  }
}

// The integral of u^e from 0 to x, scaled so that only ratios matter.
double Integral(double e, double x) { return std::pow(x, e + 1.0) / (e + 1.0); }

}  // namespace

double RangeCost(const WorkItem& item, uint32_t from, uint32_t to) {
  if (to <= from) return 0.0;
  const double e = Exponent(item);
  return Integral(e, to) - Integral(e, from);
}

uint32_t CutAtFraction(const WorkItem& item, uint32_t from, uint32_t to, double fraction) {
  if (to <= from) return from;
  fraction = std::clamp(fraction, 0.0, 1.0);
  const double e = Exponent(item);
  // Solve integral(c) = integral(from) + fraction * (integral(to) - integral(from)) for c, on
  // a scale where `to` is 1 so that large powers do not overflow.
  const double a = static_cast<double>(from) / to;
  const double target = std::pow(a, e + 1.0) + fraction * (1.0 - std::pow(a, e + 1.0));
  const double c = std::pow(target, 1.0 / (e + 1.0)) * to;
  return static_cast<uint32_t>(std::clamp(std::llround(c), static_cast<long long>(from),
                                          static_cast<long long>(to)));
}

uint32_t BalancedCut(const WorkItem& item, uint32_t from, uint32_t to) {
  if (to <= from || to - from < 2) return from;
  return std::clamp(CutAtFraction(item, from, to, 0.5), from + 1, to - 1);
}

}  // namespace aequa
