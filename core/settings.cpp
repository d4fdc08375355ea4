#include "core/settings.h"

#include <string>

#include "core/output_log.h"
#include "core/settings_store.h"
#include "core/shared_words.h"
#include "platform/scheduling.h"

namespace aequa {

SettingsValues Settings;

namespace {
const char* settingsFile = kSettingsFileName;
const char* workFile = kWorkFileName;
}  // namespace

void SetFileNames() {
  settingsFile = kSettingsFileName;
  workFile = kWorkFileName;
}

const char* SettingsFile() { return settingsFile; }
const char* WorkFile() { return workFile; }

int32_t AdjustFrequency(int32_t value) { return value < 1 ? 1 : value; }

int32_t AdjustPriority(int32_t value) {
  if (value == 0) return 1;
  if (static_cast<uint32_t>(value) > 10) return 10;
  return value;
}

int32_t DefaultWorkers() { return AdjustWorkers(static_cast<int32_t>(platform::ProcessorCount())); }

int32_t AdjustWorkers(int32_t value) {
  if (value < 1) return 1;
  return value > static_cast<int32_t>(kMaxWorkers) ? static_cast<int32_t>(kMaxWorkers) : value;
}

void LoadSettings() {
  const char* f = SettingsFile();
  SetUserIdentity(IniGetString(f, "UserName", ""), IniGetString(f, "UserEmailAddr", ""));
  Settings.DisplayFrequency = AdjustFrequency(IniGetInt(f, "DisplayFrequency", 30));
  Settings.SaveFrequency = AdjustFrequency(IniGetInt(f, "SaveFrequency", 15));
  Settings.Priority = AdjustPriority(IniGetInt(f, "Priority", 1));
  Settings.Affinity = IniGetInt(f, "Affinity", 99);
  Settings.TrayIcon = IniGetInt(f, "TrayIcon", 1);
  Settings.HideIcon = IniGetInt(f, "HideIcon", 0);
  Settings.NoSave = IniGetInt(f, "NoSave", 0);
  Settings.Info = IniGetInt(f, "Info", 0);
  Settings.ForceAVL = IniGetInt(f, "ForceAVL", 0);
  Settings.SumTree = IniGetString(f, "SumEngine", "") == "tree" ? 1 : 0;
  Settings.ForceDisplay = IniGetInt(f, "ForceDisplay", 0);
  Settings.AutoInstall = IniGetInt(f, "AutoInstall", 0);
  Settings.Workers = AdjustWorkers(IniGetInt(f, "Workers", DefaultWorkers()));
  Settings.ResultBalloon = IniGetInt(f, "ResultBalloon", 0);
}

uint32_t MaxQueueLines() {
  int32_t value = IniGetInt(SettingsFile(), "MaxExponents", 20);
  // The store holds 128 lines; a larger limit would let the queue overrun it.
  if (value > static_cast<int32_t>(kIniMaxLines)) return kIniMaxLines;
  return value < 0 ? 0u : static_cast<uint32_t>(value);
}

}  // namespace aequa
