// The work-line reader, the progress writer and the status report on any work file: no crash,
// a report within its bounds, and progress that goes to one line only.
#include <string>

#include "core/output_log.h"
#include "core/settings_store.h"
#include "core/settings.h"
#include "core/work_queue.h"
#include "fuzz_support.h"

using namespace aequa;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::EnterScratchDirectory();
  IniFreeAll();
  ResetLog();
  SetFileNames();
  fuzz::WriteInput(WorkFile(), data, size);
  if (BuildStatusReport().size() >= 2000) fuzz::Violated("a status report past 2000 bytes");
  WorkItem item;
  const uint32_t kind = ParseWorkLine(1, item);
  if (kind == 0) return 0;
  if (item.kind != kind || item.lineId == 0) fuzz::Violated("an item without its line");
  const uint32_t lines = IniLineCount(WorkFile());
  item.start = item.start + 1 < item.end ? item.start + 1 : item.end;
  if (!UpdateWorkLine(item)) fuzz::Violated("the line just read was not found");
  const uint32_t after = IniLineCount(WorkFile());
  if (after != lines && after + 1 != lines) fuzz::Violated("progress changed other lines");
  return 0;
}
