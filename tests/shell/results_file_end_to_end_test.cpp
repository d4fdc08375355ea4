// A results file that cannot be written, through the program itself: the work stops with its
// progress kept, the results wait in memory, and they are written first, whole, once the file
// can be written again. Nothing counts as done before its line is on the disk.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <filesystem>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/process.h"
#include "support/temp_dir.h"

namespace aequa {
namespace {

using test::ReadFile;
using test::WriteFile;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

size_t Count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

struct Search {
  std::vector<std::string> command;
  std::string result;  // a line the search must write
  std::string done;    // its last "done" line, without the tag
};

// Each search, with a results file that is a directory (which even root cannot write): it
// stops, keeps its line, waits, and once the file can be written goes on to the end.
TEST(ResultsFileEndToEnd, EachSearchWaitsForTheFileAndLosesNothing) {
  const Search searches[] = {
      {{"new", "5", "140", "146", "1", "4"}, "(5,1,4) 144=133+110+84+27", "(5,1,3) 145 done in"},
      {{"compute", "3", "1", "20", "2"}, "(3,2,2) at 1729", "(3,2) 20 done in"},
      {{"penta", "5", "133", "134", "2"}, "Penta2:      133^5 +       27^5 +       84^5 -      144^5",
       "(5,2) 133-133 done in"},
  };
  for (const Search& s : searches) {
    test::TempDir dir(false);
    WriteFile(dir.file("aequo.ini"), "Priority=9\r\nWorkers=1\r\nDisplayFrequency=1\r\n");
    std::filesystem::create_directory(dir.file("SOLUTION.TXT"));
    std::vector<std::string> args = {"--dir", dir.path()};
    args.insert(args.end(), s.command.begin(), s.command.end());
    test::BackgroundAequa run(args);
    ASSERT_TRUE(run.WaitForOutput("Waiting until the results file can be written")) << run.Output();
    EXPECT_NE(run.Output().find("Cannot write SOLUTION.TXT"), std::string::npos);
    // Stopped with its line kept: nothing was recorded as done.
    const std::string queued = ReadFile(dir.file("worksum.ini"));
    EXPECT_NE(queued.find("=" + s.command[1] + "," + s.command[2] + ","), std::string::npos)
        << queued;

    std::filesystem::remove(dir.file("SOLUTION.TXT"));
    const test::ProcessResult r = run.Wait();
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("The results file can be written again"), std::string::npos);
    EXPECT_NE(r.out.find("Computation finished."), std::string::npos) << r.out;
    const std::string results = ReadFile(dir.file("SOLUTION.TXT"));
    EXPECT_GE(Count(results, s.result + "\r\n") + Count(results, s.result + " S3:"), 1u) << results;
    EXPECT_NE(results.find(s.done), std::string::npos) << results;
    EXPECT_EQ(ReadFile(dir.file("worksum.ini")), "");
  }
}

// A private mount of a small file system, for as long as the test process lives; only root
// can make one.
bool MountSmallDisk(const std::string& path, const char* size) {
  if (geteuid() != 0 || unshare(CLONE_NEWNS) != 0) return false;
  if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return false;
  const std::string options = std::string("size=") + size;
  return mount("tmpfs", path.c_str(), "tmpfs", 0, options.c_str()) == 0;
}

// A disk that fills up: no line is left half written, and the search finishes once room is
// made, with every line of a run that had room all along.
TEST(ResultsFileEndToEnd, AFullDiskLeavesNoTornLineAndLosesNoResult) {
  test::TempDir reference(false);
  WriteFile(reference.file("aequo.ini"), "Priority=9\r\nWorkers=1\r\n");
  const test::ProcessResult whole =
      test::RunAequa({"--dir", reference.path(), "compute", "3", "1", "3000", "2"});
  ASSERT_EQ(whole.status, 0);

  test::TempDir disk(false);
  if (!MountSmallDisk(disk.path(), "256k")) GTEST_SKIP() << "no private tmpfs (needs root)";
  const std::string data = disk.path() + "/data";
  std::filesystem::create_directory(data);
  WriteFile(data + "/aequo.ini", "Priority=9\r\nWorkers=1\r\nDisplayFrequency=1\r\n");
  // Fill the disk but for a few pages: the collision lines need more than that.
  struct statvfs fs {};
  ASSERT_EQ(statvfs(disk.path().c_str(), &fs), 0);
  const size_t room = static_cast<size_t>(fs.f_bavail) * fs.f_frsize;
  WriteFile(disk.path() + "/filler", std::string(room - 4 * fs.f_frsize, 'x'));

  test::BackgroundAequa run({"--dir", data, "compute", "3", "1", "3000", "2"});
  ASSERT_TRUE(run.WaitForOutput("Waiting until the results file can be written")) << run.Output();
  // A checkpoint that finds the disk full says so in the results file, in a line of its own.
  const std::regex wellFormed(
      R"(\[.{24}\]|\(3,2,2\) at \d+|\(3,2\) \d+ done in \d+ seconds S3:[0-9A-F]{8} |)"
      R"(|Cannot save data)");
  for (const std::string& line : Lines(ReadFile(data + "/SOLUTION.TXT"))) {
    EXPECT_TRUE(std::regex_match(line, wellFormed)) << "torn: " << line;
  }
  std::filesystem::remove(disk.path() + "/filler");
  const test::ProcessResult r = run.Wait();
  EXPECT_EQ(r.status, 0) << r.out;
  std::multiset<std::string> expected, found;
  for (const std::string& line : Lines(ReadFile(reference.file("SOLUTION.TXT")))) {
    if (line.find(" at ") != std::string::npos) expected.insert(line);
  }
  for (const std::string& line : Lines(ReadFile(data + "/SOLUTION.TXT"))) {
    EXPECT_TRUE(std::regex_match(line, wellFormed)) << "torn: " << line;
    if (line.find(" at ") != std::string::npos) found.insert(line);
  }
  // Held lines are written first and the window they came from is searched again, so a line
  // may come twice; none is missing.
  for (const std::string& line : expected) EXPECT_GE(found.count(line), 1u) << line;
  EXPECT_EQ(std::set<std::string>(found.begin(), found.end()),
            std::set<std::string>(expected.begin(), expected.end()));
  umount(disk.path().c_str());
}

}  // namespace
}  // namespace aequa
