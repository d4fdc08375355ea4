// Published identities among fifth powers that the types reach, and the routines' polls.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/output_log.h"
#include "core/shared_words.h"
#include "penta/penta_search.h"
#include "penta/penta_tables.h"

namespace aequa::penta {
namespace {

std::vector<std::string> found;
void Collect(const char* text) { found.emplace_back(text); }

std::vector<std::string> logLines;
void CollectLog(const char* line, bool) { logLines.emplace_back(line); }

class Identities : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(BuildTables(run.tables));
    run.sink = &Collect;
    found.clear();
  }
  void TearDown() override { SetLogLineSink(nullptr); }
  SearchControl control;
  PentaRun run{control};
  bool Found(const std::string& line) {
    return std::find(found.begin(), found.end(), line) != found.end();
  }
};

// 27^5 + 84^5 + 110^5 + 133^5 = 144^5, as 133^5 + 27^5 + 84^5 - 144^5 = -110^5: type 2, a = 133
// (b = 160 - 133, c even, d = 144 in the subtracting loop).
TEST_F(Identities, TheFirstCounterexampleIsFoundByType2) {
  Penta2(run, 133);
  EXPECT_TRUE(Found("Penta2:      133^5 +       27^5 +       84^5 -      144^5"));
  EXPECT_EQ(run.candidates, found.size());
  // Its multiple by 3: 399^5 + 81^5 + 252^5 - 432^5 = -330^5.
  found.clear();
  Penta2(run, 399);
  EXPECT_TRUE(Found("Penta2:      399^5 +       81^5 +      252^5 -      432^5"));
}

// -220^5 + 5027^5 + 6237^5 + 14068^5 = 14132^5, as 14068^5 + 6237^5 + 5027^5 - 14132^5 = 220^5:
// type 0, a = 14068. Searched up to just above its largest term to keep the test short.
TEST_F(Identities, TheNegativeTermIdentityIsFoundByType0) {
  SearchType(run, 0, 14068, 14133);
  EXPECT_TRUE(Found("Penta0:    14068^5 +     6237^5 +     5027^5 -    14132^5"));
  found.clear();
  SearchType(run, 0, 42204, 42397);  // times 3
  EXPECT_TRUE(Found("Penta0:    42204^5 +    18711^5 +    15081^5 -    42396^5"));
}

TEST_F(Identities, ADisplayRequestShowsOneProgressLineAndIsCleared) {
  SetLogLineSink(&CollectLog);
  logLines.clear();
  control.requests = REQ_DISPLAY;
  SearchType(run, 2, 133, 2000);
  EXPECT_EQ(control.requests.load(), 0u);
  // The first triple of a = 133 that passes the filter.
  ASSERT_EQ(logLines.size(), 1u);
  EXPECT_EQ(logLines[0].rfind("133+27+", 0), 0u) << logLines[0];
}

TEST_F(Identities, AHaltRequestEndsTheRoutineBeforeAnyDLoop) {
  for (auto& marks : run.tables.marks) marks.fill(1);  // every d would be a candidate
  control.requests = REQ_HALT;
  SearchType(run, 0, 2, 3000);
  EXPECT_TRUE(found.empty());
  control.requests = 0;
  SearchType(run, 0, 2, 3000);
  EXPECT_FALSE(found.empty());
}

TEST_F(Identities, AMissingTableStopsTheRoutineWithAnInternalError) {
  delete[] run.tables.residues[7];
  run.tables.residues[7] = nullptr;
  control.internalError = 0;
  Penta2(run, 133);
  EXPECT_EQ(control.internalError.load(), kMissingTableError);
  EXPECT_TRUE(found.empty());
  control.internalError = 0;
}

}  // namespace
}  // namespace aequa::penta
