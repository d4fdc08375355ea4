// Property: however a queue of all three searches is stopped and continued (SIGINT, SIGTERM,
// SIGHUP, or SIGKILL at random moments), by one worker or several (which split its lines), it
// ends with the result lines of one uninterrupted run by one worker, and every "done" line
// comes after the results of the work it says was searched.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <map>
#include <random>
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

const std::vector<std::vector<std::string>> kSearches = {
    {"new", "5", "100", "400", "1", "4"},  // finds 144^5 = 133^5+110^5+84^5+27^5
    {"compute", "3", "1", "8000", "2", "--memory", "1"},  // cubes in two ways, many windows
    {"penta", "5", "100", "300", "2"},     // the identity at a = 133
};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

bool IsDone(const std::string& line) { return line.find(" done in ") != std::string::npos; }
bool IsResult(const std::string& line) {
  return !IsDone(line) && (line.rfind("Penta", 0) == 0 ||
                           (line[0] == '(' && (line.find(" at ") != std::string::npos ||
                                               line.find('=') != std::string::npos)));
}

// What a "done" line says was searched, as a test on result lines: true for each result that
// must already be in the file.
struct Claim {
  std::string kind;  // "sum", "add", "penta"
  unsigned long long low = 0, high = 0;  // values x, a, or the bound X^k of the sums
};

bool ParseClaim(const std::string& line, Claim& claim) {
  unsigned k = 0, m = 0, n = 0, x = 0, a = 0, b = 0;
  if (std::sscanf(line.c_str(), "(%u,%u,%u) %u done in", &k, &m, &n, &x) == 4) {
    claim = {"sum", x, x};
    return true;
  }
  if (std::sscanf(line.c_str(), "(5,%u) %u-%u done in", &n, &a, &b) == 3) {
    claim = {"penta", a, b};
    return true;
  }
  if (std::sscanf(line.c_str(), "(3,%u) %u done in", &n, &x) == 2) {
    claim = {"add", 0, 1ull * x * x * x};
    return true;
  }
  return false;
}

bool Covered(const Claim& claim, const std::string& result) {
  unsigned k = 0, m = 0, c = 0, x = 0, t = 0;
  unsigned long long v = 0;
  if (claim.kind == "sum") {
    return std::sscanf(result.c_str(), "(%u,%u,%u) %u=", &k, &m, &c, &x) == 4 && x == claim.low;
  }
  if (claim.kind == "add") {
    return std::sscanf(result.c_str(), "(3,%u,%u) at %llu", &m, &c, &v) == 3 && v < claim.high;
  }
  return std::sscanf(result.c_str(), "Penta%u: %u", &t, &x) == 2 && x >= claim.low &&
         x <= claim.high;
}

std::multiset<std::string> Results(const std::string& file) {
  std::multiset<std::string> results;
  for (const std::string& line : Lines(file)) {
    if (IsResult(line)) results.insert(line);
  }
  return results;
}

// The lines one multiset has more often than the other, for a failure's message.
std::string Difference(const std::multiset<std::string>& found,
                       const std::multiset<std::string>& expected) {
  std::string text;
  for (const std::string& line : std::set<std::string>(found.begin(), found.end())) {
    if (found.count(line) > expected.count(line)) text += "\nextra: " + line;
  }
  for (const std::string& line : std::set<std::string>(expected.begin(), expected.end())) {
    if (expected.count(line) > found.count(line)) text += "\nmissing: " + line;
  }
  return text;
}

// Seed of the stops, and the number of workers.
class StopAndContinue : public ::testing::TestWithParam<std::pair<unsigned, unsigned>> {
 protected:
  static std::string NewDir(test::TempDir& dir, unsigned workers) {
    WriteFile(dir.file("aequo.ini"), "Priority=9\r\nWorkers=" + std::to_string(workers) +
                                         "\r\nUserName=Ann\r\n");
    return dir.path();
  }
};

TEST_P(StopAndContinue, EndsWithTheResultsOfOneRunAndNoFalseDoneLine) {
  test::TempDir reference(false);
  const std::string ref = NewDir(reference, 1);
  for (const auto& search : kSearches) {
    std::vector<std::string> args = {"--dir", ref};
    args.insert(args.end(), search.begin(), search.end());
    ASSERT_EQ(test::RunAequa(args).status, 0);
  }
  const std::multiset<std::string> expected = Results(ReadFile(reference.file("SOLUTION.TXT")));
  ASSERT_GT(expected.size(), 1000u);

  test::TempDir dir(false);
  const auto [seed, workers] = GetParam();
  const std::string d = NewDir(dir, workers);
  for (const auto& search : kSearches) {
    std::vector<std::string> args = {"--dir", d};
    args.insert(args.end(), search.begin(), search.end());
    args.push_back("--queue-only");
    ASSERT_EQ(test::RunAequa(args).status, 0);
  }
  std::mt19937 random(seed);
  const int signals[] = {SIGINT, SIGTERM, SIGHUP, SIGKILL};
  bool killed = false;
  std::string history;
  for (int round = 0; round < 8 && !ReadFile(dir.file("worksum.ini")).empty(); ++round) {
    test::BackgroundAequa run({"--dir", d, "continue"});
    std::this_thread::sleep_for(std::chrono::milliseconds(30 + random() % 300));
    const int sig = signals[random() % 4];
    killed = killed || sig == SIGKILL;
    history += std::to_string(sig) + " ";
    run.Signal(sig);
    run.Wait();
  }
  const test::ProcessResult last = test::RunAequa({"--dir", d, "continue"});
  ASSERT_EQ(ReadFile(dir.file("worksum.ini")), "") << history << last.out;

  const std::string file = ReadFile(dir.file("SOLUTION.TXT"));
  const std::multiset<std::string> found = Results(file);
  if (killed) {
    // A kill loses what was not yet saved: that work is done again, and its lines may come
    // twice; none is missing or new.
    EXPECT_EQ(std::set<std::string>(found.begin(), found.end()),
              std::set<std::string>(expected.begin(), expected.end()))
        << history;
  } else {
    EXPECT_EQ(found, expected) << history << Difference(found, expected);
  }
  // Every done line follows the results of what it says was searched.
  std::multiset<std::string> seen;
  for (const std::string& line : Lines(file)) {
    if (IsResult(line)) seen.insert(line);
    Claim claim;
    if (!IsDone(line) || !ParseClaim(line, claim)) continue;
    // The done line of a collision line covers the values from that line's start: once
    // lines are split, that start is not in the line.
    if (claim.kind == "add" && workers > 1) continue;
    for (const std::string& result : expected) {
      if (Covered(claim, result)) {
        EXPECT_GT(seen.count(result), 0u) << line << " before " << result;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(SeedsAndWorkers, StopAndContinue,
                         ::testing::Values(std::pair{1u, 1u}, std::pair{2u, 1u}, std::pair{3u, 1u},
                                           std::pair{4u, 2u}, std::pair{5u, 4u}));

}  // namespace
}  // namespace aequa
