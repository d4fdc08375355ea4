// The program in the background and its window in real terminals under tmux: opening,
// entering work, minimising, closing the terminal, attaching again, Stop, Status, Exit;
// command hand-over, the socket's permissions, and recovery from a copy that was killed.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <filesystem>

#include "platform/local_socket.h"
#include "support/temp_dir.h"
#include "terminal_support.h"

namespace aequa::test {
namespace {

class TerminalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (Shell("tmux -V").status != 0) GTEST_SKIP() << "tmux is not installed";
    // Start at boot goes into the temporary directory, never into the user's own.
    setenv("XDG_CONFIG_HOME", (tmp.path() + "/config").c_str(), 1);
    setenv("AEQUA_AUTOSTART", "xdg", 1);
    data = tmp.path() + "/data";
    // Searches at a priority that a busy machine still serves.
    std::filesystem::create_directories(data);
    WriteFile(data + "/aequo.ini", "Priority=9\r\n");
  }
  void TearDown() override {
    if (Running()) Aequa(data, "exit");
    WaitFor([&] { return !Running(); });
  }
  // A copy runs while its socket answers.
  bool Running() {
    int fd = platform::ConnectLocal(data + "/aequa.sock");
    platform::CloseSocket(fd);
    return fd >= 0;
  }
  void StartInBackground() {
    Shell(Quoted(AEQUA_BINARY) + " --dir " + Quoted(data) + " serve >/dev/null 2>&1 &");
    ASSERT_TRUE(WaitFor([&] { return Running(); }));
  }
  long RunningPid() {
    return std::atol(ReadFile(data + "/aequa.lock").c_str());
  }
  // The log area of a captured window: the rows between the menu bar and the key line.
  static std::string LogArea(const std::string& screen) {
    size_t start = screen.find('\n', screen.find('\n') + 1);
    size_t end = screen.find(" F10 Menu");
    return screen.substr(start + 1, end - start - 1);
  }

  TempDir tmp{false};
  std::string data;
  Tmux tmux{tmp.path() + "/tmux.sock"};
};

TEST_F(TerminalTest, WorkGoesOnWhileTheWindowIsAwayAndComesBackWithIt) {
  tmux.OpenWindow("one", data);
  ASSERT_TRUE(tmux.WaitForText("one", "F10 Menu")) << tmux.Capture("one");
  EXPECT_TRUE(tmux.WaitForText("one", "You can disable it by clicking on Options/Uninstall"));
  // The copy started in the background shows in ps and top under the program's name.
  const std::string pid = std::to_string(RunningPid());
  EXPECT_EQ(ReadFile("/proc/" + pid + "/comm"), "aequa\n");
  EXPECT_EQ(ReadFile("/proc/" + pid + "/cmdline").rfind(std::string(AEQUA_BINARY) + '\0', 0),
            0u);

  // New: a range typed into the dialog is queued and run. It is long enough to outlast the
  // test where the search is built in; the search may advance its start meanwhile.
  tmux.Keys("one", "C-n");
  ASSERT_TRUE(tmux.WaitForText("one", "Enter a range")) << tmux.Capture("one");
  tmux.Keys("one", "5 Tab 80 Tab 100000 Tab 1 Tab 3 Enter");
  ASSERT_TRUE(WaitFor([&] {
    return ReadFile(data + "/worksum.ini").find(",100000,1,3,0,") != std::string::npos;
  })) << tmux.Capture("one");
  // The worker logs about the line, whether or not this program can search it.
  ASSERT_TRUE(WaitFor([&] {
    std::string log = LogArea(tmux.Capture("one"));
    return log.find("(5,1,3)") != std::string::npos || log.find("SUM lines") != std::string::npos;
  })) << tmux.Capture("one");
  // The tray tip (the status) is the terminal's title.
  EXPECT_TRUE(WaitFor([&] { return tmux.Title("one").find("Aequa - ") != std::string::npos; }))
      << tmux.Title("one");

  // Minimise: the window leaves the terminal, the program goes on.
  const std::string before = LogArea(tmux.Capture("one"));
  tmux.Keys("one", "C-z");
  ASSERT_TRUE(tmux.WaitForText("one", "window closed: 0")) << tmux.Capture("one");
  EXPECT_NE(tmux.Capture("one").find("Aequa goes on in the background"), std::string::npos);
  tmux.Close("one");
  ASSERT_TRUE(Running());

  // Without a window the copy takes commands: stop, then continue, which logs again.
  Aequa(data, "stop");
  ASSERT_TRUE(WaitFor([&] { return Aequa(data, "continue").status == 0; }));

  // Attach again: the log is still there and has gone on.
  tmux.OpenWindow("two", data);
  ASSERT_TRUE(tmux.WaitForText("two", "F10 Menu")) << tmux.Capture("two");
  ASSERT_TRUE(WaitFor([&] { return LogArea(tmux.Capture("two")) != before; }));
  // Old lines may have scrolled away (a search logs several lines a value); the run's lines
  // are there.
  const std::string after = LogArea(tmux.Capture("two"));
  EXPECT_TRUE(after.find("(5,1,") != std::string::npos ||
              after.find("SUM lines") != std::string::npos)
      << after;

  // Stop: when a search runs, it halts with its progress kept.
  if (LogArea(tmux.Capture("two")).find("Searching") != std::string::npos) {
    tmux.Keys("two", "Escape");
    EXPECT_TRUE(tmux.WaitForText("two", "Execution halted.")) << tmux.Capture("two");
  }

  // Status shows the queue.
  tmux.Keys("two", "C-s");
  ASSERT_TRUE(tmux.WaitForText("two", "Below is a report on the work you have queued."))
      << tmux.Capture("two");
  EXPECT_NE(tmux.Capture("two").find(" to 100000, m=1, n=3"), std::string::npos);
  tmux.Keys("two", "Enter");

  // Exit ends the program.
  tmux.Keys("two", "C-q");
  ASSERT_TRUE(tmux.WaitForText("two", "window closed: 0")) << tmux.Capture("two");
  EXPECT_NE(tmux.Capture("two").find("Aequa has ended."), std::string::npos);
  ASSERT_TRUE(WaitFor([&] { return !Running(); }));
  EXPECT_FALSE(std::filesystem::exists(data + "/aequa.sock"));
  // The directory is free again: a command runs on its own.
  CommandResult status = Aequa(data, "status");
  EXPECT_EQ(status.status, 0) << status.output;
  EXPECT_NE(status.output.find(" to 100000, m=1, n=3"), std::string::npos);
}

TEST_F(TerminalTest, CommandsAreHandedToTheRunningCopyThroughAPrivateSocket) {
  StartInBackground();
  struct stat st;
  ASSERT_EQ(stat((data + "/aequa.sock").c_str(), &st), 0);
  EXPECT_TRUE(S_ISSOCK(st.st_mode));
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  if (geteuid() == 0) {
    // Another user cannot connect.
    pid_t child = fork();
    if (child == 0) {
      if (setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
      _exit(platform::ConnectLocal(data + "/aequa.sock") < 0 ? 0 : 1);
    }
    int wstatus = 0;
    waitpid(child, &wstatus, 0);
    EXPECT_TRUE(WIFEXITED(wstatus) && WEXITSTATUS(wstatus) == 0);
  }

  CommandResult queued = Aequa(data, "new 5 80 90 1 4 --queue-only --mode exact");
  EXPECT_EQ(queued.status, 0) << queued.output;
  EXPECT_NE(ReadFile(data + "/worksum.ini").find("SUM=5,80,90,1,4,2,80,0"), std::string::npos);
  CommandResult status = Aequa(data, "status");
  EXPECT_EQ(status.status, 0);
  EXPECT_NE(status.output.find("k=5, from 80 to 90, m=1, n=4"), std::string::npos);
  EXPECT_EQ(Aequa(data, "priority 3").status, 0);
  EXPECT_NE(ReadFile(data + "/aequo.ini").find("Priority=3\r\n"), std::string::npos);
  CommandResult refused = Aequa(data, "priority 11");
  EXPECT_EQ(refused.status, 2);
  EXPECT_NE(refused.output.find("Please enter an integer between 1 and 10."), std::string::npos);
  EXPECT_EQ(Aequa(data, "user Ann ann@example.org").status, 0);
  EXPECT_NE(ReadFile(data + "/aequo.ini").find("UserName=Ann\r\n"), std::string::npos);
  EXPECT_EQ(Aequa(data, "stop").status, 0);

  // A window attaches; a second terminal takes it over; closing that terminal only detaches.
  tmux.OpenWindow("a", data);
  ASSERT_TRUE(tmux.WaitForText("a", "F10 Menu")) << tmux.Capture("a");
  tmux.OpenWindow("b", data);
  ASSERT_TRUE(tmux.WaitForText("b", "F10 Menu")) << tmux.Capture("b");
  EXPECT_TRUE(tmux.WaitForText("a", "The window was opened in another terminal."));
  tmux.Close("b");
  EXPECT_EQ(Aequa(data, "status").status, 0);
  ASSERT_TRUE(Running());

  CommandResult exit = Aequa(data, "exit");
  EXPECT_EQ(exit.status, 0) << exit.output;
  EXPECT_TRUE(WaitFor([&] { return !Running(); }));
  CommandResult none = Aequa(data, "stop");
  EXPECT_EQ(none.status, 1);
  EXPECT_NE(none.output.find("no copy is running"), std::string::npos);
}

TEST_F(TerminalTest, ASocketLeftByAKilledCopyIsRecovered) {
  StartInBackground();
  const long pid = RunningPid();
  ASSERT_GT(pid, 0);
  kill(static_cast<pid_t>(pid), SIGKILL);
  ASSERT_TRUE(WaitFor([&] { return kill(static_cast<pid_t>(pid), 0) != 0; }));
  ASSERT_TRUE(std::filesystem::exists(data + "/aequa.sock"));  // left behind
  EXPECT_FALSE(Running());

  // With no copy running, a command runs by itself despite the stale socket.
  EXPECT_EQ(Aequa(data, "new 5 80 90 1 4 --queue-only").status, 0);
  // The window starts a new copy, which replaces the socket.
  tmux.OpenWindow("w", data);
  ASSERT_TRUE(tmux.WaitForText("w", "F10 Menu")) << tmux.Capture("w");
  EXPECT_TRUE(Running());
  CommandResult status = Aequa(data, "status");
  EXPECT_EQ(status.status, 0) << status.output;
  tmux.Keys("w", "C-q");
  EXPECT_TRUE(tmux.WaitForText("w", "window closed: 0"));
}

}  // namespace
}  // namespace aequa::test
