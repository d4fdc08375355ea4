#include "shell/search_registry.h"

#include "compute/equal_sums_driver.h"
#include "core/drivers.h"

namespace aequa::ui {

void RegisterSearches() {
  SearchDrivers drivers;
  drivers.equalSums = &ComputeEqualSums;
  RegisterDrivers(drivers);
}

}  // namespace aequa::ui
