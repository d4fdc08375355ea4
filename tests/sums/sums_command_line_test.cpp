// The sum-collision search and the representation command through the program itself.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/temp_dir.h"

extern char** environ;

namespace aequa {
namespace {

struct Outcome {
  int status = -1;
  std::string output;
};

// Runs the program with `args` in `dir`; when `interruptAfterLines` is not 0, sends SIGINT
// once that many lines have been printed.
Outcome RunAequa(const std::string& dir, std::vector<std::string> args,
                 size_t interruptAfterLines = 0) {
  args.insert(args.begin(), {AEQUA_BINARY, "--dir", dir});
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return {};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
  posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 2);
  posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, AEQUA_BINARY, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipeEnds[1]);
  Outcome outcome;
  if (spawned != 0) {
    close(pipeEnds[0]);
    return outcome;
  }
  bool interrupted = false;
  char buffer[4096];
  ssize_t got;
  while ((got = read(pipeEnds[0], buffer, sizeof buffer)) > 0) {
    outcome.output.append(buffer, static_cast<size_t>(got));
    if (interruptAfterLines != 0 && !interrupted &&
        static_cast<size_t>(std::count(outcome.output.begin(), outcome.output.end(), '\n')) >=
            interruptAfterLines) {
      kill(pid, SIGINT);
      interrupted = true;
    }
  }
  close(pipeEnds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return outcome;
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(SumsCommandLine, ComputeRunsAnAddRangeToItsEnd) {
  test::TempDir dir(false);
  const Outcome run = RunAequa(dir.path(), {"compute", "2", "1", "10", "2"});
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_TRUE(Contains(run.output, "Using faster AVL...\nRange: 1-100 (1 done in 0 seconds)\n"))
      << run.output;
  EXPECT_TRUE(Contains(run.output, "(2,2,1) at 25\n"));
  EXPECT_FALSE(Contains(run.output, " at 50"));
  EXPECT_TRUE(Contains(run.output, "(2,2) 10 done in 0 seconds S3:"));
  EXPECT_TRUE(Contains(run.output, "Computation finished."));
  EXPECT_EQ(test::ReadFile(dir.file("worksum.ini")), "");
  EXPECT_FALSE(test::FileExists(dir.file("A2-2")));
  EXPECT_TRUE(Contains(test::ReadFile(dir.file("SOLUTION.TXT")), "(2,2,1) at 25\r\n"));
}

TEST(SumsCommandLine, ComputeStoppedByInterruptResumesFromItsCheckpoint) {
  test::TempDir dir(false);
  // A range long enough to be interrupted in its first window.
  const Outcome first =
      RunAequa(dir.path(), {"compute", "3", "1", "1000000", "2", "--memory", "1"}, 3);
  EXPECT_EQ(first.status, 0) << first.output;
  EXPECT_TRUE(Contains(first.output, "Execution halted.")) << first.output;
  EXPECT_TRUE(test::FileExists(dir.file("A3-2")));
  EXPECT_TRUE(Contains(test::ReadFile(dir.file("worksum.ini")), "ADD=3,"));
  // The next start continues from the saved window.
  const std::string saved = test::ReadFile(dir.file("A3-2"));
  ASSERT_EQ(saved.size(), 36u);
  EXPECT_EQ(saved[0], 5);
  unsigned __int128 low = 0;
  for (int i = 35; i >= 20; --i) low = (low << 8) | static_cast<unsigned char>(saved[i]);
  std::string lowText;
  do {
    lowText.insert(lowText.begin(), static_cast<char>('0' + static_cast<int>(low % 10)));
    low /= 10;
  } while (low != 0);
  const Outcome second = RunAequa(dir.path(), {"continue"}, 2);
  EXPECT_TRUE(Contains(second.output, "Range: " + lowText + "-")) << second.output;
}

TEST(SumsCommandLine, SumListsRepresentationsAndChecksItsArguments) {
  test::TempDir dir(false);
  const Outcome run = RunAequa(dir.path(), {"sum", "3", "2", "1729"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.output, "1729=12+1\n1729=10+9\nFound 2 sums of 1729 with 2 terms\n");
  EXPECT_EQ(test::ReadFile(dir.file("worksum.ini")), "");

  const Outcome badPower = RunAequa(dir.path(), {"sum", "1", "2", "9"});
  EXPECT_EQ(badPower.status, 2);
  EXPECT_TRUE(Contains(badPower.output, "Power: Please enter an integer between 2 and 256."))
      << badPower.output;
  const Outcome badTerms = RunAequa(dir.path(), {"sum", "2", "257", "9"});
  EXPECT_EQ(badTerms.status, 2);
  EXPECT_TRUE(Contains(badTerms.output, "Terms:"));
  const Outcome longNumber = RunAequa(dir.path(), {"sum", "2", "2", std::string(129, '1')});
  EXPECT_EQ(longNumber.status, 2);
  EXPECT_TRUE(Contains(longNumber.output, "Sum: Please enter no more than 128 characters."))
      << longNumber.output;
  const Outcome tooLarge = RunAequa(dir.path(), {"sum", "2", "2", "99999999999999999999"});
  EXPECT_EQ(tooLarge.status, 1);
  EXPECT_TRUE(Contains(tooLarge.output, "The number is too large for power 2"));
  EXPECT_TRUE(Contains(RunAequa(dir.path(), {"--help"}).output, "sum POWER TERMS NUMBER"));
}

TEST(SumsCommandLine, InterruptedSumStillWritesTheCountLine) {
  test::TempDir dir(false);
  const Outcome run = RunAequa(dir.path(), {"sum", "3", "6", "1000000000000"}, 5);
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(Contains(run.output, "Break at 3,0,6: -")) << run.output;
  EXPECT_TRUE(Contains(run.output, "sums of 1000000000000 with 6 terms\n")) << run.output;
}

}  // namespace
}  // namespace aequa
