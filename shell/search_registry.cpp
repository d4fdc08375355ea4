#include "shell/search_registry.h"

#include "core/drivers.h"
#include "sums/sum_search.h"

namespace aequa::ui {

void RegisterSearches() {
  SearchDrivers drivers;
  drivers.sumCollision = &RunSumSearch;
  RegisterDrivers(drivers);
}

}  // namespace aequa::ui
