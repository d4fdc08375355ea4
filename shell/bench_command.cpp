#include "shell/bench_command.h"

#include <chrono>
#include <string>

#include "core/settings.h"
#include "core/settings_store.h"
#include "core/work_control.h"
#include "core/work_queue.h"
#include "shell/command_status.h"
#include "shell/scratch_directory.h"

namespace aequa::ui {
namespace {

// A fixed piece of work of one search, a few seconds long on a machine of today.
struct BenchCase {
  const char* name;
  const char* key;
  std::string value;
  uint32_t units;    // the units the line holds
  const char* unit;  // what they are
};

}  // namespace

int RunBench(std::FILE* out) {
  ScratchDirectory scratch;
  if (!scratch.ready()) {
    std::fprintf(out, "aequa: cannot make a temporary directory for the benchmark\n");
    return kExitRefused;
  }
  const BenchCase cases[] = {
      {"equal sums, k=5, m=1, n=4", "SUM", SumLineValue(5, 200, 320, 1, 4, 0, 0), 120, "values"},
      {"sum collisions, k=4, 2 terms", "ADD", AddLineValue(4, 1, 2000, 2, 16), 1999,
       "term bounds"},
      {"Penta type 2", "PENTA", PentaLineValue(5, 1000, 1080, 2), 80, "values of a"},
  };
  int status = kExitOk;
  for (const BenchCase& c : cases) {
    IniAppendLine(WorkFile(), c.key, c.value.c_str());
    const auto begun = std::chrono::steady_clock::now();
    StartWork();
    WaitForWorkEnd();
    scratch.Quiet();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - begun).count();
    if (LastWorkEnd() != WorkEnd::Finished || IniLineCount(WorkFile()) != 0) {
      std::fprintf(out, "%-28s did not finish\n", c.name);
      status = kExitRefused;
      continue;
    }
    std::fprintf(out, "%-28s %10.1f %s per second (%s=%s in %.2f s)\n", c.name,
                 seconds > 0 ? c.units / seconds : 0.0, c.unit, c.key, c.value.c_str(), seconds);
    std::fflush(out);
  }
  return status;
}

}  // namespace aequa::ui
