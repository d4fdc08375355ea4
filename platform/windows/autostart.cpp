#include "platform/autostart.h"

// Start at boot on Windows is the Run key of the window program; until that program is
// built, nothing is registered and registering reports that the key cannot be created.
namespace aequa::platform {

bool AutostartRegistered(const std::string&) { return false; }
AutostartStatus RegisterAutostart(const std::string&) { return AutostartStatus::CannotCreate; }
AutostartStatus UnregisterAutostart(const std::string&) { return AutostartStatus::CannotWrite; }
std::string AutostartEntryPath(const std::string&) { return std::string(); }

}  // namespace aequa::platform
