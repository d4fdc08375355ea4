// The whole program with the Penta search, run as a child process.
#include <gtest/gtest.h>

#include <string>

#include "support/process.h"
#include "support/temp_dir.h"

namespace aequa::penta {
namespace {

using test::ReadFile;
using test::TempDir;

// The whole program: a queued line runs through the worker and reports the identity.
TEST(PentaEndToEnd, TheAequaBinaryFindsTheIdentityOfType2) {
  TempDir dir;
  const test::ProcessResult r =
      test::RunAequa({"--dir", dir.path(), "penta", "5", "133", "134", "2"});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string results = ReadFile(dir.file("SOLUTION.TXT"));
  EXPECT_NE(results.find("Penta2:      133^5 +       27^5 +       84^5 -      144^5 S3:"),
            std::string::npos)
      << results;
  EXPECT_NE(results.find("(5,2) 133-133 done in "), std::string::npos) << results;
  EXPECT_EQ(ReadFile(dir.file("worksum.ini")), "");
  EXPECT_NE(r.out.find("There are no more work to do."), std::string::npos) << r.out;
}

}  // namespace
}  // namespace aequa::penta
