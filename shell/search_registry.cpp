#include "shell/search_registry.h"

#include "compute/equal_sums_driver.h"
#include "core/drivers.h"
#include "penta/penta_driver.h"
#include "shell/sum_search_hook.h"
#include "sums/sum_check.h"
#include "sums/sum_search.h"

namespace aequa::ui {

void RegisterSearches() {
  SearchDrivers drivers;
  drivers.equalSums = &ComputeEqualSums;
  drivers.sumCollision = static_cast<SearchDriver>(&RunSumSearch);
  drivers.penta = static_cast<SearchDriver>(&penta::RunPentaLine);
  RegisterDrivers(drivers);
  SetSumSearchStarter(&StartSumCheckFromWindow);
}

}  // namespace aequa::ui
