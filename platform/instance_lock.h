#pragma once
// One running copy per data directory: a lock that the system releases when the process dies,
// and that every path to the directory reaches (a link or a second mount of it included).
#include <cstdint>
#include <string>

namespace aequa::platform {

struct InstanceLockResult {
  bool acquired = false;   // this process now holds the lock
  bool failed = false;     // the lock could not be created at all
  long holderPid = 0;      // when not acquired: the process that holds it (0 if unknown)
};

// Takes the lock of the current directory. On Linux it is the file "aequa.lock" inside the
// directory, so that every path to it finds the same lock; on Windows the named mutex
// "SUM <key>", `key` being computed from the directory's resolved path. Held until
// ReleaseInstanceLock or the end of the process. A process that does not get the lock changes
// no file.
InstanceLockResult AcquireInstanceLock(int32_t key);
void ReleaseInstanceLock();

// The name of the lock (file or mutex) for a key, for messages and tests.
std::string InstanceLockName(int32_t key);

}  // namespace aequa::platform
