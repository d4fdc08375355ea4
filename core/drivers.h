#pragma once
// The searches that the worker hands each work line to, one per kind. The program registers
// the searches it is built with; the worker does not depend on them.
#include <cstdint>

#include "core/work_item.h"

namespace aequa {

// Equal sums ("SUM"): non-zero ends the worker loop (halt, internal error, precision
// overflow); the driver has already updated or deleted its line.
using EqualSumsDriver = int32_t (*)(WorkItem& item);
// Sum collisions ("ADD"): the worker inspects InternalError afterwards.
using SumCollisionDriver = void (*)(WorkItem& item);
// Penta ("PENTA"): the result is not used by the worker.
using PentaDriver = int32_t (*)(WorkItem& item);

struct SearchDrivers {
  EqualSumsDriver equalSums = nullptr;
  SumCollisionDriver sumCollision = nullptr;
  PentaDriver penta = nullptr;
};

void RegisterDrivers(const SearchDrivers& drivers);
const SearchDrivers& RegisteredDrivers();

}  // namespace aequa
