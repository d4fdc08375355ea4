#include "platform/append_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <string>

#include "support/temp_dir.h"

namespace aequa::platform {
namespace {

// A file size limit makes the disk "full" at a chosen length: the write that crosses it is
// cut short and the next one fails, as on a full disk.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved_); }

 private:
  rlimit saved_{};
};

TEST(AppendWhole, ATextReachesTheFileWholeOrNotAtAll) {
  test::TempDir dir;
  std::string error;
  ASSERT_TRUE(AppendWhole("r.txt", std::string(100, 'a') + "\r\n", error));
  {
    FileSizeLimit full(150);
    EXPECT_FALSE(AppendWhole("r.txt", std::string(100, 'b') + "\r\n", error));
    EXPECT_FALSE(error.empty());
  }
  EXPECT_EQ(test::ReadFile("r.txt"), std::string(100, 'a') + "\r\n");
  ASSERT_TRUE(AppendWhole("r.txt", "c\r\n", error));
  EXPECT_EQ(test::ReadFile("r.txt"), std::string(100, 'a') + "\r\nc\r\n");
}

TEST(AppendWhole, NeverAppendsThroughASymbolicLink) {
  test::TempDir dir;
  test::WriteFile("victim", "x");
  ASSERT_EQ(symlink("victim", "r.txt"), 0);
  std::string error;
  EXPECT_FALSE(AppendWhole("r.txt", "y", error));
  EXPECT_EQ(test::ReadFile("victim"), "x");
}

}  // namespace
}  // namespace aequa::platform
