#include "core/queue_edit.h"

#include <gtest/gtest.h>

#include <string>

#include "core/output_log.h"
#include "core/settings.h"
#include "core/settings_store.h"
#include "support/temp_dir.h"

namespace aequa {
namespace {

// A line taken by a worker for the scope's life, as the workers take lines.
class TakenLine {
 public:
  explicit TakenLine(uint32_t id) : id_(id) { IniClaimLine(WorkFile(), id_, 1); }
  ~TakenLine() { IniReleaseLine(WorkFile(), id_, 1); }
  uint32_t lineId() const { return id_; }

 private:
  uint32_t id_;
};

using test::ReadFile;
using test::WriteFile;

class QueueEditing : public ::testing::Test {
 protected:
  void SetUp() override {
    IniFreeAll();
    ResetLog();
    SetFileNames();
    WriteFile("worksum.ini",
              "PENTA=5,1,10,2\r\n# a comment\r\nADD=3,1,20,2,4\r\nSUM=5,80,90,1,4,0,80,0\r\n"
              "PENTA=5,20,30,0\r\n");
  }
  void TearDown() override { IniFreeAll(); }
  uint32_t IdOf(uint32_t number) { return IniLineId(WorkFile(), number); }
  test::TempDir dir;
};

TEST_F(QueueEditing, ListsEveryLineByNumberWithTheRunningOneMarked) {
  const TakenLine running(IdOf(1));
  const auto entries = ListQueue();
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries[0].text, "PENTA=5,1,10,2");
  EXPECT_TRUE(entries[0].running);
  EXPECT_EQ(entries[2].number, 3u);
  EXPECT_EQ(entries[2].item.kind, WORK_SUM);
  EXPECT_FALSE(entries[2].running);
}

TEST_F(QueueEditing, RemoveAndMoveRewriteTheFileOnceAndKeepTheOtherLines) {
  EXPECT_EQ(MoveQueueLine(4, 2), QueueEdit::Done);
  EXPECT_EQ(ReadFile("worksum.ini"),
            "PENTA=5,1,10,2\r\n# a comment\r\nPENTA=5,20,30,0\r\nADD=3,1,20,2,4\r\n"
            "SUM=5,80,90,1,4,0,80,0\r\n");
  EXPECT_EQ(MoveQueueLine(2, 9), QueueEdit::Done);  // past the end: to the end
  EXPECT_EQ(MoveQueueLine(4, 1), QueueEdit::Done);
  EXPECT_EQ(ReadFile("worksum.ini"),
            "PENTA=5,20,30,0\r\n# a comment\r\nPENTA=5,1,10,2\r\nADD=3,1,20,2,4\r\n"
            "SUM=5,80,90,1,4,0,80,0\r\n");
  EXPECT_EQ(RemoveQueueLine(3), QueueEdit::Done);
  EXPECT_EQ(ReadFile("worksum.ini"),
            "PENTA=5,20,30,0\r\n# a comment\r\nPENTA=5,1,10,2\r\nSUM=5,80,90,1,4,0,80,0\r\n");
}

TEST_F(QueueEditing, ARunningLineAndTheSpanAcrossItAreLeftAlone) {
  const std::string before = ReadFile("worksum.ini");
  {
    const TakenLine running(IdOf(2));
    EXPECT_EQ(RemoveQueueLine(2), QueueEdit::Running);
    EXPECT_EQ(MoveQueueLine(2, 4), QueueEdit::Running);
    EXPECT_EQ(MoveQueueLine(4, 1), QueueEdit::Running);  // would shift line 2
    EXPECT_EQ(RemoveQueueLine(5), QueueEdit::NoSuchLine);
    EXPECT_EQ(RemoveQueueLine(0), QueueEdit::NoSuchLine);
    EXPECT_EQ(ReadFile("worksum.ini"), before);
    EXPECT_EQ(MoveQueueLine(4, 3), QueueEdit::Done);  // below the running line
    EXPECT_EQ(IniFindLine(WorkFile(), running.lineId()), 2u);
  }
  EXPECT_EQ(RemoveQueueLine(2), QueueEdit::Done);
  EXPECT_EQ(QueueEditText(QueueEdit::Running, 2),
            "Line 2 or a line it passes is being searched; stop the search first.");
}

}  // namespace
}  // namespace aequa
