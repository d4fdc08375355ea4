#pragma once
// `aequa bench`: the speed of each search on this machine, from a fixed piece of work per
// search run to its end in a temporary directory, so that machines can be compared.
#include <cstdio>

namespace aequa::ui {

int RunBench(std::FILE* out);

}  // namespace aequa::ui
