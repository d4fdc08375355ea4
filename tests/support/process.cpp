#include "support/process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "support/temp_dir.h"

namespace aequa::test {
namespace {

std::string TempFileName(const char* tag) {
  static int counter = 0;
  return (std::filesystem::temp_directory_path() /
          ("aequa-" + std::to_string(getpid()) + "-" + std::to_string(++counter) + tag))
      .string();
}

pid_t Spawn(const std::string& program, const std::vector<std::string>& args,
            const std::string& out, const std::string& err) {
  pid_t pid = fork();
  if (pid == 0) {
    int in = open("/dev/null", O_RDONLY);
    int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(in, 0);
    dup2(o, 1);
    dup2(e, 2);
    // The test process may have blocked signals for its own threads; the child starts clean.
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execvp(program.c_str(), argv.data());
    _exit(127);
  }
  return pid;
}

int ExitStatus(int raw) { return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1; }

}  // namespace

ProcessResult RunAequa(const std::vector<std::string>& args) {
  BackgroundAequa process(args);
  return process.Wait();
}

ProcessResult RunProgram(const std::vector<std::string>& argv) {
  BackgroundAequa process(argv[0], std::vector<std::string>(argv.begin() + 1, argv.end()));
  return process.Wait();
}

BackgroundAequa::BackgroundAequa(const std::vector<std::string>& args)
    : BackgroundAequa(AEQUA_BINARY, args) {}

BackgroundAequa::BackgroundAequa(const std::string& program,
                                 const std::vector<std::string>& args)
    : outPath_(TempFileName(".out")), errPath_(TempFileName(".err")) {
  pid_ = Spawn(program, args, outPath_, errPath_);
}

BackgroundAequa::~BackgroundAequa() {
  if (!finished_ && !reaped_ && pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  std::remove(outPath_.c_str());
  std::remove(errPath_.c_str());
}

std::string BackgroundAequa::Output() const { return ReadFile(outPath_); }

bool BackgroundAequa::WaitForOutput(const std::string& text, double seconds) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < deadline) {
    if (Output().find(text) != std::string::npos) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

void BackgroundAequa::Signal(int sig) {
  if (!finished_) kill(pid_, sig);
}

bool BackgroundAequa::WaitForExit(double seconds) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (!reaped_ && !finished_) {
    if (waitpid(pid_, &rawStatus_, WNOHANG) == pid_) {
      reaped_ = true;
      break;
    }
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

ProcessResult BackgroundAequa::Wait() {
  ProcessResult result;
  if (!finished_) {
    if (!reaped_) waitpid(pid_, &rawStatus_, 0);
    finished_ = true;
    result.status = ExitStatus(rawStatus_);
  }
  result.out = ReadFile(outPath_);
  result.err = ReadFile(errPath_);
  return result;
}

}  // namespace aequa::test
