#pragma once
// Start at boot: a per-user entry that starts the program in the background for one data
// directory (a systemd user unit, or an XDG autostart file where no systemd user instance
// runs). $XDG_CONFIG_HOME (else ~/.config) is where the entries go; AEQUA_AUTOSTART set to
// "systemd" or "xdg" forces the kind.
#include <string>

namespace aequa::platform {

enum class AutostartStatus { Done, CannotCreate, CannotWrite };

bool AutostartRegistered(const std::string& directory);
// Writes the entry that runs this executable with "--dir <directory> serve".
AutostartStatus RegisterAutostart(const std::string& directory);
AutostartStatus UnregisterAutostart(const std::string& directory);
// The entry's file, for messages and tests.
std::string AutostartEntryPath(const std::string& directory);

}  // namespace aequa::platform
