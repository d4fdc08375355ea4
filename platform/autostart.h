#pragma once
// Start at boot: a per-user entry that starts the program in the background for one data
// directory (a systemd user unit, or an XDG autostart file where no systemd user instance
// runs). $XDG_CONFIG_HOME (else ~/.config) is where the entries go; AEQUA_AUTOSTART set to
// "systemd" or "xdg" forces the kind. On Windows: a value named by the program's full path and
// holding it in quotes, under the machine-wide Run key, or the user's own Run key when the
// machine-wide one cannot be written.
#include <string>

namespace aequa::platform {

// BadPath: a path holds a line end or another control character, which no entry can carry
// safely; nothing is written.
enum class AutostartStatus { Done, CannotCreate, CannotWrite, BadPath };

bool AutostartRegistered(const std::string& directory);
// Writes the entry that runs this executable with "--dir <directory> serve", each path quoted
// and escaped as the entry's format requires.
AutostartStatus RegisterAutostart(const std::string& directory);
AutostartStatus UnregisterAutostart(const std::string& directory);
// The entry's file, for messages and tests.
std::string AutostartEntryPath(const std::string& directory);

}  // namespace aequa::platform
