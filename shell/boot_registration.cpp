#include "shell/boot_registration.h"

#include <atomic>

#include "core/output_log.h"
#include "core/settings.h"
#include "core/settings_store.h"
#include "platform/autostart.h"
#include "platform/directories.h"

namespace aequa::ui {
namespace {
std::atomic<bool> registered{false};
}

void CheckBootRegistration() {
  registered = platform::AutostartRegistered(platform::CurrentDirectory());
}

bool RegisteredAtBoot() { return registered.load(); }

void ToggleBootRegistration() {
  const std::string directory = platform::CurrentDirectory();
  if (!platform::AutostartRegistered(directory)) {
    switch (platform::RegisterAutostart(directory)) {
      case platform::AutostartStatus::CannotCreate:
        LogText("Can't create registry key.\n");
        return;
      case platform::AutostartStatus::CannotWrite:
        LogText("Can't write registry value.\n");
        return;
      case platform::AutostartStatus::BadPath:
        LogText("Can't start at boot: the directory's name holds a line end or another control "
                "character.\n");
        return;
      case platform::AutostartStatus::Done:
        registered = true;
        LogText("Aequa will start automatically the next time you'll restart your computer\n");
        LogText("You can disable it by clicking on Options/Uninstall\n");
        return;
    }
  } else if (platform::UnregisterAutostart(directory) == platform::AutostartStatus::Done) {
    registered = false;
    LogText("Aequa is disabled at boot\n");
  } else {
    LogText("Can't write registry value.\n");
  }
}

void RegisterOnFirstStart() {
  if (Settings.AutoInstall.load() != 0) return;
  Settings.AutoInstall = 1;
  if (!RegisteredAtBoot()) ToggleBootRegistration();
  IniSetInt(SettingsFile(), "AutoInstall", 1);
}

}  // namespace aequa::ui
