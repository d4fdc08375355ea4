#include "shell/search_registry.h"

#include "core/drivers.h"

namespace aequa::ui {

void RegisterSearches() {
  SearchDrivers drivers;
  RegisterDrivers(drivers);
}

}  // namespace aequa::ui
