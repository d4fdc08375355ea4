#include "boinc/work_unit.h"

#include <algorithm>
#include <filesystem>

#include "core/checkpoint_file.h"
#include "core/cost_model.h"
#include "core/results_file.h"
#include "core/settings.h"
#include "core/settings_store.h"
#include "core/work_queue.h"
#include "platform/files.h"

namespace aequa::boinc {
namespace {

// A name fit for one settings line and the end of result lines: printable, and short.
std::string SettingsLineText(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7f) out += c;
    if (out.size() == 60) break;
  }
  return out;
}

}  // namespace

SlotState PrepareSlot(const std::string& input, const PartInfo& part,
                      const std::string& userName) {
  std::string existing;
  if (ReadWholeFile(kPartFileName, existing)) {
    return existing == input ? SlotState::Resumed : SlotState::OtherPart;
  }
  std::error_code ec;
  if (std::filesystem::exists(kPartFileName, ec)) return SlotState::Unwritable;
  std::string settings;
  for (const char* line : kPartSettingDefaults) settings += std::string(line) + "\r\n";
  const std::string name = SettingsLineText(userName);
  if (!name.empty()) settings += "UserName=" + name + "\r\n";
  // The part file goes last: a start that was cut short lays the directory out again.
  const bool written = platform::ReplaceFile(kSettingsFileName, settings) &&
                       platform::ReplaceFile(kWorkFileName, WorkLineText(part.line) + "\r\n") &&
                       platform::ReplaceFile(kPartFileName, input);
  return written ? SlotState::Fresh : SlotState::Unwritable;
}

bool PartLeftTheQueue() { return IniLineCount(WorkFile()) == 0; }

double FractionDone(const PartInfo& part) {
  if (PartLeftTheQueue()) return 1.0;
  char key[kIniLineSize] = {};
  char value[kIniLineSize] = {};
  IniSplitLine(WorkFile(), 1, key, value);
  WorkItem now;
  if (ReadWorkLineText(std::string(key) + "=" + value, now) == 0 || now.kind != part.line.kind) {
    return 0.0;
  }
  const WorkItem& line = part.line;
  const double total = RangeCost(line, line.start, line.end);
  if (total <= 0) return 0.0;
  const uint32_t from = std::clamp(now.start, line.start, line.end);
  return std::clamp(1.0 - RangeCost(line, from, line.end) / total, 0.0, 1.0);
}

bool WriteOutputs(const std::string& resultsPath, const std::string& partPath) {
  std::string results, description;
  std::error_code ec;
  if (!ReadWholeFile(kResultsFileName, results) &&
      std::filesystem::exists(kResultsFileName, ec)) {
    return false;
  }
  return ReadWholeFile(kPartFileName, description) &&
         platform::ReplaceFile(resultsPath, results) &&
         platform::ReplaceFile(partPath, description);
}

}  // namespace aequa::boinc
