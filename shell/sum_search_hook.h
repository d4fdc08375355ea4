#pragma once
// The "Compute Sum" command's search, registered by the program when it is built in; the
// command stays disabled while none is registered.
#include <cstdint>

namespace aequa::ui {

// Starts the representation search of `sumText` as a sum of at most `terms` `power`-th
// powers, on its own thread in the worker's place.
using SumSearchStarter = void (*)(uint32_t power, uint32_t terms, const char* sumText);

void SetSumSearchStarter(SumSearchStarter starter);
SumSearchStarter GetSumSearchStarter();

}  // namespace aequa::ui
