// The `aequa` program end to end, in a temporary data directory.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "core/instance_key.h"
#include "platform/instance_lock.h"
#include "support/process.h"
#include "support/temp_dir.h"

namespace aequa {
namespace {

using test::ReadFile;
using test::RunAequa;
using test::TempDir;

class CommandLine : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return dir.file(name); }
  TempDir dir{false};
};

TEST_F(CommandLine, HelpAndVersionNeedNoDirectory) {
  test::ProcessResult help = RunAequa({"--help"});
  EXPECT_EQ(help.status, 0);
  for (const char* command : {"continue", "new", "compute", "penta", "status", "user",
                              "preferences", "priority"}) {
    EXPECT_NE(help.out.find(std::string("  ") + command), std::string::npos) << command;
  }
  test::ProcessResult version = RunAequa({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.rfind("aequa ", 0), 0u);
}

TEST_F(CommandLine, BadCommandsAndValuesAreRefusedAndWriteNothing) {
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  const Case cases[] = {
      {{"frobnicate"}, "unknown command 'frobnicate'"},
      {{}, "no command given"},
      {{"new", "5", "80", "90", "1"}, "'new' takes 5 arguments"},
      {{"new", "1", "80", "90", "1", "4"}, "Power: Please enter an integer between 2 and 256."},
      {{"new", "5", "-80", "90", "1", "4"}, "Start: Please enter a positive integer."},
      {{"new", "5", "80", "90", "0", "4"}, "Left terms: Please enter an integer between 1 and 256."},
      {{"new", "5", "80", "90", "1", "4097"}, "Right terms: Please enter an integer between 2 and 4096."},
      {{"new", "5", "80", "90", "1", "4", "--mode", "fast"}, "--mode takes best, same or exact"},
      {{"compute", "3", "1", "x", "2"}, "End: Please enter an integer."},
      {{"compute", "3", "1", "100", "2", "--memory", "lots"}, "Memory size: Please enter an integer."},
      {{"penta", "5", "1", "100002", "0"}, "End: Please enter an integer between 0 and 100000."},
      {{"penta", "5", "1", "100", "21"}, "Type: Please enter an integer between 0 and 20."},
      // What the work-line reader or a search would refuse later is refused here.
      {{"new", "5", "80", "90", "5", "4"}, "Left terms: Please enter an integer between 1 and 4."},
      {{"new", "5", "90", "90", "1", "4"}, "End: Please enter an integer between 91 and 2147483647."},
      {{"new", "5", "80", "2147483648", "1", "4"}, "End: Please enter an integer between 0 and 2147483647."},
      {{"penta", "4", "1", "100", "0"}, "Power: Please enter an integer between 5 and 5."},
      {{"penta", "5", "100", "100", "0"}, "End: Please enter an integer between 101 and 100000."},
      {{"compute", "3", "1", "100", "2", "--memory", "-1"}, "Memory size: Please enter an integer between 1 and 131071."},
      {{"sum", "3", "2", "abc"}, "Sum: Please enter decimal digits only."},
      {{"sum", "3", "2", "17x29"}, "Sum: Please enter decimal digits only."},
      {{"sum", "3", "2", "1e5"}, "Sum: Please enter decimal digits only."},
      {{"sum", "2", "2", "4503599627370496"}, "Sum: Please enter a number below 4503599627370496."},
      {{"user", "Ann\nPriority=10", "x@y"}, "Name: Please enter no line ends or other control characters."},
      {{"priority", "99999999999"}, "Priority: Please enter an integer between 1 and 10."},
      {{"user", std::string(129, 'a'), "a@b"}, "Name: Please enter no more than 128 characters."},
      {{"priority", "11"}, "Priority: Please enter an integer between 1 and 10."},
      {{"preferences", "x", "5"}, "Save each: Please enter a positive integer."},
      {{"status", "--memory", "5"}, "--memory does not apply to 'status'"},
      {{"status", "--bogus"}, "unknown option --bogus"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"--dir", dir.path()};
    args.insert(args.end(), c.args.begin(), c.args.end());
    test::ProcessResult r = RunAequa(args);
    SCOPED_TRACE(c.message);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_FALSE(test::FileExists(Path("worksum.ini")));
    EXPECT_FALSE(test::FileExists(Path("aequo.ini")));
  }
}

TEST_F(CommandLine, QueueStatusAndSettingsCommands) {
  const std::string d = dir.path() + "/data";  // created on first use, and said so
  test::ProcessResult first = RunAequa({"--dir", d, "new", "5", "80", "90", "1", "4", "--queue-only"});
  EXPECT_EQ(first.status, 0);
  EXPECT_NE(first.err.find("Created data directory " + d), std::string::npos) << first.err;
  test::ProcessResult second = RunAequa({"compute", "3", "1", "1000", "2", "--queue-only",
                                         "--memory", "4", "--dir", d});
  EXPECT_EQ(second.status, 0);
  EXPECT_EQ(second.err.find("Created"), std::string::npos);
  EXPECT_EQ(RunAequa({"--dir", d, "penta", "5", "1000", "1010", "7", "--queue-only"}).status, 0);
  EXPECT_EQ(RunAequa({"--dir", d, "new", "3", "10", "20", "2", "2", "--mode", "exact",
                      "--duration", "60", "--queue-only"}).status, 0);
  EXPECT_EQ(ReadFile(d + "/worksum.ini"),
            "SUM=5,80,90,1,4,0,80,0\r\nADD=3,1,1000,2,4\r\nPENTA=5,1000,1010,7\r\n"
            "SUM=3,10,20,2,2,2,10,60\r\n");
  test::ProcessResult status = RunAequa({"--dir", d, "status"});
  EXPECT_EQ(status.status, 0);
  const std::string kNotStarted = "  0.0% done, 0:00:00 CPU, time left not known yet\n";
  EXPECT_EQ(status.out,
            "Below is a report on the work you have queued.\n"
            "1. k=5, from 80 to 90, m=1, n=4 (current=80)\n" +
                kNotStarted + "2. k=3, from 1 to 1000, 2 terms, 4 megabytes\n" + kNotStarted +
                "3. Penta7 on k=5, from 1000 to 1010\n" + kNotStarted +
                "4. k=3, from 10 to 20, m=2, n=2 (current=10, duration=60)\n" + kNotStarted);

  EXPECT_EQ(RunAequa({"--dir", d, "user", "Ann Smith", "ann@example.org"}).status, 0);
  EXPECT_EQ(RunAequa({"--dir", d, "preferences", "0", "45"}).status, 0);
  EXPECT_EQ(RunAequa({"--dir", d, "priority", "3"}).status, 0);
  const std::string settings = ReadFile(d + "/aequo.ini");
  for (const char* line : {"UserName=Ann Smith\r\n", "UserEmailAddr=ann@example.org\r\n",
                           "SaveFrequency=1\r\n", "DisplayFrequency=45\r\n", "Priority=3\r\n"}) {
    EXPECT_NE(settings.find(line), std::string::npos) << line;
  }
  EXPECT_NE(ReadFile(d + "/SOLUTION.TXT").find("User: Ann Smith, ann@example.org\r\n"),
            std::string::npos);
}

// In a data directory another user can write to, links planted at the names the program
// used for its temporary files lead nowhere: the files they point to stay untouched.
TEST_F(CommandLine, PlantedLinksInTheDataDirectoryAreNotFollowed) {
  TempDir elsewhere(false);
  const std::string victim = elsewhere.file("victim");
  test::WriteFile(victim, "precious\n");
  for (const char* name : {"worksum.ini.tmp", "aequo.ini.tmp"}) {
    ASSERT_EQ(symlink(victim.c_str(), Path(name).c_str()), 0);
  }
  EXPECT_EQ(RunAequa({"--dir", dir.path(), "new", "5", "80", "90", "1", "4", "--queue-only"}).status,
            0);
  EXPECT_EQ(RunAequa({"--dir", dir.path(), "priority", "3"}).status, 0);
  EXPECT_EQ(ReadFile(victim), "precious\n");
  EXPECT_EQ(ReadFile(Path("worksum.ini")), "SUM=5,80,90,1,4,0,80,0\r\n");
  EXPECT_NE(ReadFile(Path("aequo.ini")).find("Priority=3\r\n"), std::string::npos);
}

// Only the first start of the window registers the program at boot: neither a copy started
// in the background from a shell nor a command does.
TEST_F(CommandLine, NeitherServeNorACommandRegistersAtBoot) {
  setenv("XDG_CONFIG_HOME", (dir.path() + "/config").c_str(), 1);
  setenv("AEQUA_AUTOSTART", "xdg", 1);
  const std::string d = dir.path() + "/data";
  std::filesystem::create_directories(d);
  test::WriteFile(d + "/aequo.ini", "Priority=9\r\nWorkers=1\r\n");
  test::BackgroundAequa serve({"--dir", d, "serve"});
  for (int i = 0; i < 600 && !test::FileExists(d + "/aequa.sock"); ++i) usleep(50000);
  EXPECT_EQ(RunAequa({"--dir", d, "penta", "5", "1", "10", "0", "--queue-only"}).status, 0);
  EXPECT_EQ(RunAequa({"--dir", d, "exit"}).status, 0);
  ASSERT_TRUE(serve.WaitForExit());
  EXPECT_EQ(serve.Wait().status, 0);
  EXPECT_EQ(RunAequa({"--dir", d, "status"}).status, 0);
  EXPECT_FALSE(std::filesystem::exists(dir.path() + "/config/autostart"));
  EXPECT_EQ(ReadFile(d + "/aequo.ini").find("AutoInstall"), std::string::npos);
}

TEST_F(CommandLine, AFullQueueRefusesTheRange) {
  test::WriteFile(Path("aequo.ini"), "MaxExponents=1\r\n");
  EXPECT_EQ(RunAequa({"--dir", dir.path(), "penta", "5", "1", "10", "0", "--queue-only"}).status,
            0);
  test::ProcessResult r =
      RunAequa({"--dir", dir.path(), "penta", "5", "1", "10", "0", "--queue-only"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("Range truncated.  Maximum number of exponents exceeded."),
            std::string::npos);
  EXPECT_EQ(ReadFile(Path("worksum.ini")), "PENTA=5,1,10,0\r\n");
}

// A queue or settings file that exists but cannot be read (here a directory, which not even
// root can read as a file) is never taken as empty and never written over.
TEST_F(CommandLine, FilesThatCannotBeReadAreNeverWrittenOver) {
  std::filesystem::create_directory(Path("worksum.ini"));
  test::ProcessResult status = RunAequa({"--dir", dir.path(), "status"});
  EXPECT_EQ(status.status, 1);
  EXPECT_NE(status.out.find("The work file worksum.ini cannot be read"), std::string::npos)
      << status.out;
  EXPECT_EQ(RunAequa({"--dir", dir.path(), "penta", "5", "1", "10", "0", "--queue-only"}).status,
            1);
  test::ProcessResult work = RunAequa({"--dir", dir.path(), "continue"});
  EXPECT_NE(work.out.find("The work file cannot be read"), std::string::npos) << work.out;
  EXPECT_EQ(work.out.find("There are no more work to do."), std::string::npos);
  EXPECT_TRUE(std::filesystem::is_directory(Path("worksum.ini")));

  std::filesystem::create_directory(Path("aequo.ini"));
  test::ProcessResult priority = RunAequa({"--dir", dir.path(), "priority", "3"});
  EXPECT_EQ(priority.status, 1);
  EXPECT_NE(priority.out.find("Cannot read the aequo.ini file"), std::string::npos);
  EXPECT_TRUE(std::filesystem::is_directory(Path("aequo.ini")));
}

TEST_F(CommandLine, ContinueWithNothingQueuedFinishesAtOnce) {
  test::ProcessResult r = RunAequa({"--dir", dir.path(), "continue"});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("There are no more work to do.\nPlease send the solution.txt file to "),
            std::string::npos);
  EXPECT_NE(r.out.find("Computation finished.\nAsk for a new range.\n"), std::string::npos);
}

// A line that only a hand edit could queue (type 21 does not exist) ends in an internal
// error: the status tells a script that a file is to be sent.
TEST_F(CommandLine, AnInternalErrorHasAStatusOfItsOwn) {
  test::WriteFile(Path("aequo.ini"), "Priority=9\r\nWorkers=1\r\n");
  test::WriteFile(Path("worksum.ini"), "PENTA=5,1,10,21\r\n");
  test::ProcessResult r = RunAequa({"--dir", dir.path(), "continue"});
  EXPECT_EQ(r.status, 5);
  EXPECT_NE(r.out.find("Internal error 6000 on 5,1,10,21"), std::string::npos) << r.out;
  EXPECT_EQ(ReadFile(Path("worksum.ini")), "");
}

TEST_F(CommandLine, ASecondCopyInTheSameDirectoryIsRefusedAndTouchesNothing) {
  test::WriteFile(Path("worksum.ini"), "FOO=1\n");
  {
    // This test process plays the running copy.
    TempDir inside(false);
    ASSERT_EQ(chdir(dir.path().c_str()), 0);
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    ASSERT_TRUE(platform::AcquireInstanceLock(InstanceKeyOf(cwd)).acquired);
  }
  for (std::vector<std::string> command :
       {std::vector<std::string>{"continue"}, {"status"}, {"penta", "5", "1", "10", "0"}}) {
    std::vector<std::string> args = {"--dir", dir.path()};
    args.insert(args.end(), command.begin(), command.end());
    test::ProcessResult r = RunAequa(args);
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.err.find("(pid " + std::to_string(getpid()) + ")"), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);
  }
  EXPECT_EQ(ReadFile(Path("worksum.ini")), "FOO=1\n");  // not even cleaned
  EXPECT_FALSE(test::FileExists(Path("SOLUTION.TXT")));
  EXPECT_FALSE(test::FileExists(Path("aequo.ini")));
  platform::ReleaseInstanceLock();
}

// The same directory mounted a second time is one data directory: a copy started through the
// second path finds the copy that runs through the first. (Runs where a private mount can be
// made: `unshare` with a user and mount namespace.)
TEST_F(CommandLine, ACopyThroughASecondMountOfTheDirectoryFindsTheFirst) {
  if (std::system("unshare -rm true >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "no private mount namespace here";
  }
  const std::string script =
      "set -u\n"
      "A=\"$1\"; T=\"$2\"\n"
      "mkdir -p \"$T/a\" \"$T/b\" \"$T/config\"\n"
      "mount --bind \"$T/a\" \"$T/b\" || exit 90\n"
      "export XDG_CONFIG_HOME=\"$T/config\" AEQUA_AUTOSTART=xdg\n"
      "printf 'Priority=9\\r\\n' > \"$T/a/aequo.ini\"\n"
      "\"$A\" --dir \"$T/a\" serve >/dev/null 2>&1 &\n"
      "P=$!\n"
      "i=0; while [ ! -S \"$T/a/aequa.sock\" ] && [ $i -lt 600 ]; do sleep 0.05; i=$((i+1)); done\n"
      "timeout 30 \"$A\" --dir \"$T/b\" serve 2>\"$T/second.err\"; echo \"second=$?\"\n"
      "\"$A\" --dir \"$T/b\" status\n"
      "\"$A\" --dir \"$T/a\" exit >/dev/null 2>&1 || kill $P\n"
      "wait $P\n";
  test::WriteFile(Path("mounts.sh"), script);
  test::ProcessResult r = test::RunProgram(
      {"unshare", "-rm", "sh", Path("mounts.sh"), AEQUA_BINARY, dir.path()});
  if (r.status == 90) GTEST_SKIP() << "no bind mount here";
  EXPECT_NE(r.out.find("second=3"), std::string::npos) << r.out << r.err;
  EXPECT_NE(ReadFile(Path("second.err")).find("another copy is running"), std::string::npos);
  // The status came from the running copy, through the second path.
  EXPECT_NE(r.out.find("You have no work queued up."), std::string::npos) << r.out;
}

}  // namespace
}  // namespace aequa

namespace aequa {
namespace {

// A long Penta line (type 12 takes minutes per a) gives the signals something to stop.
TEST(CommandLineSignals, SigintSigtermAndSighupStopTheSearchAndKeepTheLine) {
  TempDir dir(false);
  test::WriteFile(dir.file("aequo.ini"), "Priority=9\r\nWorkers=1\r\n");
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
    std::vector<std::string> args = {"--dir", dir.path()};
    if (sig == SIGINT) {
      args.insert(args.end(), {"penta", "5", "1004", "1010", "12"});
    } else {
      args.push_back("continue");
    }
    test::BackgroundAequa run(args);
    ASSERT_TRUE(run.WaitForOutput("Searching 5 5's on 1004 Penta12\n")) << run.Output();
    run.Signal(sig);
    test::ProcessResult r = run.Wait();
    EXPECT_EQ(r.status, 4);  // halted with work left
    EXPECT_NE(r.out.find("Execution halted.\nChoose Test/Continue to restart.\n"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(ReadFile(dir.file("worksum.ini")), "PENTA=5,1004,1010,12\r\n");
  }
}

// Closing the terminal of a foreground search saves its checkpoint, as Stop does.
TEST(CommandLineSignals, SighupSavesTheEqualSumsCheckpoint) {
  TempDir dir(false);
  test::WriteFile(dir.file("aequo.ini"), "Priority=9\r\nWorkers=1\r\n");
  test::BackgroundAequa run({"--dir", dir.path(), "new", "5", "3000", "3001", "1", "5"});
  ASSERT_TRUE(run.WaitForOutput("Searching (5,1,5) at 3000"));
  run.Signal(SIGHUP);
  test::ProcessResult r = run.Wait();
  EXPECT_NE(r.out.find("Break at 5,1,5: 3000-"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Execution halted."), std::string::npos);
  EXPECT_TRUE(test::FileExists(dir.file("S1-3000.5")));
  EXPECT_EQ(ReadFile(dir.file("worksum.ini")), "SUM=5,3000,3001,1,5,0,3000,0\r\n");
}

}  // namespace
}  // namespace aequa
