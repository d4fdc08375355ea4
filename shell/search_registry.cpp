#include "shell/search_registry.h"

#include "core/drivers.h"
#include "penta/penta_driver.h"

namespace aequa::ui {

void RegisterSearches() {
  SearchDrivers drivers;
  drivers.penta = &penta::RunPentaLine;
  RegisterDrivers(drivers);
}

}  // namespace aequa::ui
