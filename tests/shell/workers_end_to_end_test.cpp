// One queue of every search, run through `aequa` by one, two and four workers: the same result
// lines each time, with equal-sums values taking turns in time slices, and with the
// representation command answered beside the workers by a copy in the background.
#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/process.h"
#include "support/temp_dir.h"

namespace aequa {
namespace {

using test::ReadFile;
using test::WriteFile;

const std::vector<std::vector<std::string>> kQueue = {
    // Values of about a second each, in slices of one second, cut between workers.
    {"new", "5", "1000", "1006", "1", "4", "--mode", "exact", "--duration", "1"},
    {"new", "5", "100", "300", "1", "4"},  // 144^5 = 133^5+110^5+84^5+27^5
    {"compute", "3", "1", "8000", "2", "--memory", "1"},  // many windows, cut between workers
    {"penta", "5", "100", "300", "2"},  // the identity at a = 133
};

std::set<std::string> ResultLines(const std::string& file) {
  std::set<std::string> results;
  std::istringstream in(file);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.find(" done in ") != std::string::npos || line.find(" tested ") != std::string::npos) {
      continue;
    }
    if (line.rfind("Penta", 0) == 0 || line.rfind("1729=", 0) == 0 ||
        (line.rfind("(", 0) == 0 &&
         (line.find(" at ") != std::string::npos || line.find('=') != std::string::npos))) {
      results.insert(line);
    }
  }
  return results;
}

std::string Queued(test::TempDir& dir, unsigned workers) {
  WriteFile(dir.file("aequo.ini"), "Priority=9\r\nWorkers=" + std::to_string(workers) + "\r\n");
  for (const auto& search : kQueue) {
    std::vector<std::string> args = {"--dir", dir.path()};
    args.insert(args.end(), search.begin(), search.end());
    args.push_back("--queue-only");
    EXPECT_EQ(test::RunAequa(args).status, 0);
  }
  return dir.path();
}

TEST(Workers, OneTwoAndFourWorkersFindTheSameResults) {
  std::set<std::string> expected;
  for (unsigned workers : {1u, 2u, 4u}) {
    SCOPED_TRACE("workers=" + std::to_string(workers));
    test::TempDir dir(false);
    const std::string d = Queued(dir, workers);
    const test::ProcessResult run = test::RunAequa({"--dir", d, "continue"});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(ReadFile(dir.file("worksum.ini")), "");
    const std::set<std::string> found = ResultLines(ReadFile(dir.file("SOLUTION.TXT")));
    if (workers == 1) {
      expected = found;
      ASSERT_GT(expected.size(), 50u);
    } else {
      EXPECT_EQ(found, expected);
      EXPECT_NE(run.out.find("go to another worker as a line of their own"), std::string::npos);
    }
  }
}

TEST(Workers, TheRepresentationCommandIsAnsweredBesideTheWorkers) {
  test::TempDir dir(false);
  const std::string d = Queued(dir, 2);
  test::BackgroundAequa copy({"--dir", d, "serve"});
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  test::ProcessResult sum;
  do {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    sum = test::RunAequa({"--dir", d, "sum", "3", "2", "1729"});
  } while (sum.status == 3 && std::chrono::steady_clock::now() < deadline);
  EXPECT_EQ(sum.status, 0) << sum.out << sum.err;
  // The queue goes on to its end, and the answer is in the results with the searches'.
  for (int i = 0; i < 600 && !ReadFile(dir.file("worksum.ini")).empty(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  EXPECT_EQ(ReadFile(dir.file("worksum.ini")), "");
  EXPECT_EQ(test::RunAequa({"--dir", d, "exit"}).status, 0);
  copy.Wait();
  const std::set<std::string> found = ResultLines(ReadFile(dir.file("SOLUTION.TXT")));
  EXPECT_EQ(found.count("1729=12+1"), 1u);
  EXPECT_EQ(found.count("1729=10+9"), 1u);
}

}  // namespace
}  // namespace aequa
