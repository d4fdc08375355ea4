// The settings store on any file: no crash, every line within bounds, and what it writes back
// reads back the same.
#include <cstring>
#include <string>
#include <vector>

#include "core/output_log.h"
#include "core/settings_store.h"
#include "fuzz_support.h"

using namespace aequa;

namespace {

std::vector<std::string> Snapshot(const char* file) {
  std::vector<std::string> lines;
  const uint32_t count = IniLineCount(file);
  for (uint32_t i = 1; i <= count; ++i) {
    char key[kIniLineSize];
    char value[kIniLineSize];
    IniSplitLine(file, i, key, value);
    if (std::strlen(key) >= kIniLineSize || std::strlen(value) >= kIniLineSize) {
      fuzz::Violated("a line longer than the store holds");
    }
    lines.push_back(std::string(key) + "=" + value);
  }
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::EnterScratchDirectory();
  IniFreeAll();
  ResetLog();
  fuzz::WriteInput("w.ini", data, size);
  const char* file = "w.ini";
  if (IniLineCount(file) > kIniMaxLines) fuzz::Violated("more lines than the store holds");
  char value[20];
  IniGetString(file, "K", value, sizeof value, "default");
  (void)IniGetInt(file, "Priority", 1);
  IniSetString(file, "Priority", "3");
  IniDeleteLine(file, 1);
  IniAppendLine(file, "SUM", "5,80,90,1,4,0,80,0");
  const std::vector<std::string> held = Snapshot(file);
  IniFreeAll();
  if (IniReadable(file) && Snapshot(file) != held) fuzz::Violated("the file reads back otherwise");
  return 0;
}
