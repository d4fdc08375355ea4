#pragma once
// Registers the searches this program is built with as the worker's drivers.

namespace aequa::ui {

void RegisterSearches();

}  // namespace aequa::ui
