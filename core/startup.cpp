#include "core/startup.h"

#include "core/crc32.h"
#include "core/instance_key.h"
#include "core/settings.h"
#include "core/settings_store.h"
#include "platform/directories.h"
#include "platform/instance_lock.h"

namespace aequa {
namespace {
int32_t instanceKey = 0;
}

int32_t InstanceKey() { return instanceKey; }

StartupResult StartUp(const std::string& directory, bool create) {
  StartupResult result;
  if (!platform::EnterDirectory(directory, create, &result.created)) {
    result.outcome = StartupResult::Outcome::NoDirectory;
    result.directory = directory;
    return result;
  }
  result.directory = platform::CurrentDirectory();
  // Every path to the directory gives the same key.
  result.instanceKey = InstanceKeyOf(platform::ResolvedCurrentDirectory());
  platform::InstanceLockResult lock = platform::AcquireInstanceLock(result.instanceKey);
  if (lock.failed) {
    result.outcome = StartupResult::Outcome::LockFailed;
    return result;
  }
  if (!lock.acquired) {
    result.outcome = StartupResult::Outcome::AlreadyRunning;
    result.runningPid = lock.holderPid;
    return result;
  }
  instanceKey = result.instanceKey;
  SetFileNames();
  LoadSettings();
  BuildCrcTable();
  result.workQueued = IniLineCount(WorkFile()) > 0;
  return result;
}

}  // namespace aequa
