// The window entry points on terminals: the copy in the background and the terminal that
// shows its window.
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <algorithm>
#include <cstdio>

#include "core/settings_store.h"
#include "core/startup.h"
#include "platform/background.h"
#include "platform/clock.h"
#include "platform/directories.h"
#include "platform/instance_lock.h"
#include "platform/local_socket.h"
#include "platform/signals.h"
#include "shell/aequo_app.h"
#include "shell/selftest_hook.h"
#include "shell/terminal/forwarded_commands.h"
#include "shell/terminal/terminal_backend.h"
#include "shell/terminal/terminal_client.h"
#include "shell/terminal/wire.h"
#include "shell/window_entry.h"

namespace aequa::ui {
namespace {

std::atomic<term::TerminalBackend*> serving{nullptr};

void ExitOnSignal() {
  if (term::TerminalBackend* b = serving.load()) b->RequestExit();
}

}  // namespace

int ServeDirectory(const std::string& directory, bool create) {
  StartupResult started = StartUp(directory, create);
  if (started.created) {
    std::fprintf(stderr, "aequa: Created data directory %s\n", started.directory.c_str());
  }
  switch (started.outcome) {
    case StartupResult::Outcome::Started:
      break;
    case StartupResult::Outcome::AlreadyRunning:
      std::fprintf(stderr, "aequa: another copy is running in %s\n", started.directory.c_str());
      return 3;
    default:
      std::fprintf(stderr, "aequa: cannot use the directory %s\n", started.directory.c_str());
      return 1;
  }
  // Holding the directory's lock, any socket found here was left by a copy that died.
  int listenFd = platform::ListenLocal(term::kSocketName);
  if (listenFd < 0) {
    std::fprintf(stderr, "aequa: cannot listen on %s/%s\n", started.directory.c_str(),
                 term::kSocketName);
    IniFreeAll();
    platform::ReleaseInstanceLock();
    return 1;
  }
  signal(SIGHUP, SIG_IGN);
  signal(SIGPIPE, SIG_IGN);
  platform::InstallStopHandler(&ExitOnSignal);
  SetSelftestRunner(&RunSelftestAsChild);
  int status = 0;
  {
    term::TerminalBackend backend(listenFd);
    CAequoApp app;
    backend.SetApplication(&app);
    fw::SetCurrentBackend(&backend);
    serving.store(&backend);
    // No new terminal or command is taken once the window is closed.
    status = app.Run();
    serving.store(nullptr);
    fw::SetCurrentBackend(nullptr);
  }
  platform::CloseSocket(listenFd);
  unlink(term::kSocketName);
  platform::ReleaseInstanceLock();
  return status;
}

int OpenWindow(const std::string& directory, bool create) {
  if (!isatty(STDIN_FILENO) || !isatty(STDOUT_FILENO)) {
    std::fprintf(stderr, "aequa: no command given, and the window needs a terminal\n"
                         "Try 'aequa --help'.\n");
    return 2;
  }
  bool created = false;
  if (!platform::EnterDirectory(directory, create, &created)) {
    std::fprintf(stderr, "aequa: cannot use the directory %s\n", directory.c_str());
    return 1;
  }
  const std::string here = platform::CurrentDirectory();
  if (created) std::fprintf(stderr, "aequa: Created data directory %s\n", here.c_str());
  int fd = platform::ConnectLocal(term::kSocketName);
  if (fd < 0) {
    long child = platform::StartDetached({"--dir", here, "serve"});
    bool childEnded = false;
    for (int waited = 0; fd < 0 && waited < 10000; waited += 50) {
      platform::SleepMilliseconds(50);
      fd = platform::ConnectLocal(term::kSocketName);
      if (fd < 0 && !childEnded && child > 0 && !platform::ChildRunning(child)) {
        // It found the directory taken; a copy that is starting up may still open its
        // socket, so go on waiting a little.
        childEnded = true;
        waited = std::max(waited, 8000);
      }
    }
  }
  if (fd < 0) {
    std::fprintf(stderr,
                 "aequa: cannot reach the program in %s: another copy runs there in the "
                 "foreground, or the directory cannot hold its socket\n",
                 here.c_str());
    return 3;
  }
  return term::RunTerminalClient(fd);
}

std::optional<int> ForwardToRunningCopy(const std::vector<std::string>& arguments) {
  return term::ForwardCommand(arguments);
}

}  // namespace aequa::ui
