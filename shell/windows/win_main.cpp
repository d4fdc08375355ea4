// Aequa.exe: the program's directory is its data directory; one copy runs per directory,
// and a second one brings the first one's window back and ends. Started with the argument
// "selftest" (as the Help menu's Self-test does), it runs the self-test with no window, its
// report on the standard output it was given, and takes no directory.
#include <cstdlib>
#include <cstring>

#include "core/settings_store.h"
#include "core/startup.h"
#include "platform/directories.h"
#include "platform/instance_lock.h"
#include "shell/aequo_app.h"
#include "shell/search_registry.h"
#include "shell/selftest_command.h"
#include "shell/selftest_hook.h"
#include "shell/windows/instance_window.h"
#include "shell/windows/win32_backend.h"

namespace {

int RunProgram(HINSTANCE instance) {
  using aequa::StartupResult;
  aequa::ui::RegisterSearches();
  const StartupResult started = aequa::StartUp(aequa::platform::ProgramDirectory(), false);
  switch (started.outcome) {
    case StartupResult::Outcome::Started:
      break;
    case StartupResult::Outcome::AlreadyRunning:
      aequa::win::RestoreRunningCopy(started.instanceKey);
      return 0;
    default:
      return 1;
  }
  aequa::ui::SetSelftestRunner(&aequa::ui::RunSelftestAsChild);
  int status = 1;
  {
    aequa::win::Win32Backend backend(instance);
    aequa::ui::CAequoApp app;
    if (backend.CreateMainWindow(app, app.Frame(), aequa::InstanceKey())) {
      aequa::fw::SetCurrentBackend(&backend);
      status = app.Run();
      aequa::fw::SetCurrentBackend(nullptr);
    }
  }
  aequa::IniFreeAll();
  aequa::platform::ReleaseInstanceLock();
  return status;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  if (__argc == 2 && std::strcmp(__argv[1], "selftest") == 0) {
    aequa::ui::RegisterSearches();
    return aequa::ui::RunSelftest(stdout);
  }
  return RunProgram(instance);
}
