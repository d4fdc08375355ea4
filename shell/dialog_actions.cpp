#include "shell/dialog_actions.h"

#include "core/output_log.h"
#include "core/results_file.h"
#include "core/settings.h"
#include "core/settings_store.h"
#include "core/work_queue.h"

namespace aequa::ui {

bool StoreUserInformation(const std::string& name, const std::string& email) {
  SetUserIdentity(name, email);
  IniSetString(SettingsFile(), "UserName", UserName().c_str());
  IniSetString(SettingsFile(), "UserEmailAddr", UserEmailAddr().c_str());
  std::string line = "User: " + UserName() + ", " + UserEmailAddr() + "\n";
  AppendResults(line.c_str());
  return IniReadable(SettingsFile());
}

bool StorePreferences(uint32_t saveMinutes, uint32_t displaySeconds) {
  const int32_t save = AdjustFrequency(static_cast<int32_t>(saveMinutes));
  const int32_t display = AdjustFrequency(static_cast<int32_t>(displaySeconds));
  Settings.SaveFrequency = save;
  Settings.DisplayFrequency = display;
  IniSetInt(SettingsFile(), "SaveFrequency", save);
  IniSetInt(SettingsFile(), "DisplayFrequency", display);
  return IniReadable(SettingsFile());
}

bool StorePriority(uint32_t priority) {
  if (static_cast<int32_t>(priority) == Settings.Priority.load()) return true;
  Settings.Priority = static_cast<int32_t>(priority);
  IniSetInt(SettingsFile(), "Priority", static_cast<int32_t>(priority));
  return IniReadable(SettingsFile());
}

bool StoreWorkers(uint32_t workers) {
  const int32_t value = AdjustWorkers(static_cast<int32_t>(workers));
  Settings.Workers = value;
  IniSetInt(SettingsFile(), "Workers", value);
  return IniReadable(SettingsFile());
}

bool QueueSumRange(uint32_t power, uint32_t start, uint32_t end, uint32_t left, uint32_t right,
                   uint32_t mode, uint32_t duration, bool startIfIdle) {
  return AddWorkLine("SUM", SumLineValue(power, start, end, left, right, mode, duration).c_str(),
                     startIfIdle);
}

bool QueueAddRange(int32_t power, int32_t start, int32_t end, int32_t terms, int32_t megabytes,
                   bool startIfIdle) {
  // The dialog's signed numbers are written with "%lu", as their 32-bit patterns.
  return AddWorkLine("ADD",
                     AddLineValue(static_cast<uint32_t>(power), static_cast<uint32_t>(start),
                                  static_cast<uint32_t>(end), static_cast<uint32_t>(terms),
                                  static_cast<uint32_t>(megabytes))
                         .c_str(),
                     startIfIdle);
}

bool QueuePentaRange(int32_t power, int32_t start, int32_t end, int32_t type, bool startIfIdle) {
  return AddWorkLine("PENTA",
                     PentaLineValue(static_cast<uint32_t>(power), static_cast<uint32_t>(start),
                                    static_cast<uint32_t>(end), static_cast<uint32_t>(type))
                         .c_str(),
                     startIfIdle);
}

}  // namespace aequa::ui
