#include "core/settings_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/output_log.h"
#include "support/temp_dir.h"

namespace aequa {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

class SettingsStore : public ::testing::Test {
 protected:
  void SetUp() override {
    IniFreeAll();
    ResetLog();
  }
  void TearDown() override { IniFreeAll(); }
  TempDir dir;
};

TEST_F(SettingsStore, KeysMatchAsCaseInsensitivePrefixes) {
  WriteFile("s.ini", "username=Bob\r\nInfoLevel=3\r\nNoSave=\r\n");
  EXPECT_EQ(IniGetString("s.ini", "UserName", ""), "Bob");
  // Same text but for case: nothing is rewritten.
  IniSetString("s.ini", "UserName", "BOB");
  EXPECT_EQ(ReadFile("s.ini"), "username=Bob\r\nInfoLevel=3\r\nNoSave=\r\n");
  IniSetString("s.ini", "UserName", "Ann");
  EXPECT_EQ(ReadFile("s.ini"), "UserName=Ann\r\nInfoLevel=3\r\nNoSave=\r\n");

  // "Info" matches "InfoLevel=3" and reads the value from its sixth character: not a number.
  EXPECT_EQ(IniGetInt("s.ini", "Info", 7), 0);
  IniSetInt("s.ini", "Info", 1);
  EXPECT_EQ(ReadFile("s.ini"), "UserName=Ann\r\nInfo=1\r\nNoSave=\r\n");

  EXPECT_EQ(IniGetInt("s.ini", "NoSave", 5), 0);     // present but empty
  EXPECT_EQ(IniGetInt("s.ini", "Missing", 42), 42);  // absent: the default
  EXPECT_EQ(IniGetInt("s.ini", "Missing", -7), -7);
}

TEST_F(SettingsStore, GetStringIsBoundedToTheBuffer) {
  WriteFile("s.ini", "Name=abcdefghij\n");
  char small[5];
  IniGetString("s.ini", "Name", small, sizeof small, nullptr);
  EXPECT_STREQ(small, "abcd");
  IniGetString("s.ini", "Other", small, sizeof small, "0123456789");
  EXPECT_STREQ(small, "0123");
  IniGetString("s.ini", "Other", small, sizeof small, nullptr);
  EXPECT_STREQ(small, "");
}

TEST_F(SettingsStore, LoadingDropsBlankAndBadLinesAndReportsThemOnce) {
  WriteFile("w.ini", "SUM=1\r\n\r\nno equals here\nADD=2\n\n");
  EXPECT_EQ(IniLineCount("w.ini"), 2u);
  EXPECT_EQ(CompletedLine(1), "Illegal line in w.ini file: no equals here");
  EXPECT_EQ(CompletedLine(2), "");
  // Reading the same text again (the worker's and the status report's reloads) does not
  // repeat the complaint.
  IniHold("w.ini", 1);
  EXPECT_EQ(CompletedLine(2), "");
  IniRelease("w.ini");
  EXPECT_EQ(ReadFile("w.ini"), "SUM=1\r\nADD=2\r\n");
  // The complaint also reached the results file, once.
  const std::string results = ReadFile("SOLUTION.TXT");
  const std::string complaint = "Illegal line in w.ini file: no equals here\r\n";
  ASSERT_NE(results.find(complaint), std::string::npos);
  EXPECT_EQ(results.find(complaint, results.find(complaint) + 1), std::string::npos);
  // Once the file was rewritten, a bad line put there again is a new complaint.
  WriteFile("w.ini", "no equals here\n");
  IniHold("w.ini", 1);
  EXPECT_EQ(CompletedLine(1), "Illegal line in w.ini file: no equals here");
  EXPECT_EQ(CompletedLine(2), "Illegal line in w.ini file: no equals here");
}

TEST_F(SettingsStore, LongPhysicalLinesArriveAsPiecesOf127) {
  std::string longLine = "K=" + std::string(200, 'x');
  WriteFile("w.ini", longLine + "\n");
  // The first piece holds "K=" and 125 x; the rest has no equals sign and is dropped.
  ASSERT_EQ(IniLineCount("w.ini"), 1u);
  char key[kIniLineSize];
  char value[kIniLineSize];
  IniSplitLine("w.ini", 1, key, value);
  EXPECT_STREQ(key, "K");
  EXPECT_EQ(std::string(value), std::string(125, 'x'));
}

TEST_F(SettingsStore, LinesPast128AreKeptUnchangedAndReadOnceEarlierLinesAreGone) {
  std::string text;
  for (int i = 1; i <= 130; ++i) text += "L" + std::to_string(i) + "=" + std::to_string(i) + "\n";
  WriteFile("worksum.ini", text + "# note at the end\n");
  EXPECT_EQ(IniLineCount("worksum.ini"), 128u);
  EXPECT_EQ(CompletedLine(2), "More than 128 lines in worksum.ini file");
  // A new line would not be last: it is refused rather than put before the kept lines.
  IniAppendLine("worksum.ini", "L", "131");
  IniDeleteLine("worksum.ini", 1);
  std::string written = ReadFile("worksum.ini");
  EXPECT_EQ(written.find("L1=1\r\n"), std::string::npos);
  EXPECT_NE(written.find("L128=128\r\nL129=129\r\nL130=130\r\n# note at the end\r\n"),
            std::string::npos);
  EXPECT_EQ(written.find("L131"), std::string::npos);
  IniHold("worksum.ini", 1);  // the next read takes them in
  EXPECT_EQ(IniLineCount("worksum.ini"), 128u);
  IniDeleteLine("worksum.ini", 1);
  IniHold("worksum.ini", 1);
  EXPECT_EQ(IniLineCount("worksum.ini"), 128u);
  char key[kIniLineSize];
  char value[kIniLineSize];
  IniSplitLine("worksum.ini", 128, key, value);
  EXPECT_STREQ(value, "130");
}

TEST_F(SettingsStore, CommentLinesStayInPlaceAndAreNeverLines) {
  const std::string longComment = "; " + std::string(200, 'c');
  WriteFile("w.ini", "# queue of Ann\nSUM=1\n" + longComment + "\nADD=2\n#last\n");
  EXPECT_EQ(IniLineCount("w.ini"), 2u);
  EXPECT_EQ(IniGetString("w.ini", "#", "none"), "none");
  IniDeleteLine("w.ini", 1);
  EXPECT_EQ(ReadFile("w.ini"), "# queue of Ann\r\n" + longComment + "\r\nADD=2\r\n#last\r\n");
  IniDeleteLine("w.ini", 1);
  IniAppendLine("w.ini", "PENTA", "3");
  EXPECT_EQ(ReadFile("w.ini"),
            "# queue of Ann\r\n" + longComment + "\r\n#last\r\nPENTA=3\r\n");
}

TEST_F(SettingsStore, AFileThatCannotBeReadIsNeverWrittenOver) {
  // A directory in the file's place cannot be read, even by root.
  std::filesystem::create_directory("aequo.ini");
  EXPECT_FALSE(IniReadable("aequo.ini"));
  EXPECT_NE(CompletedLine(1).find("Cannot read the aequo.ini file"), std::string::npos);
  IniSetInt("aequo.ini", "Priority", 3);
  IniAppendLine("aequo.ini", "K", "1");
  EXPECT_EQ(IniGetInt("aequo.ini", "Priority", 1), 1);
  EXPECT_TRUE(std::filesystem::is_directory("aequo.ini"));
  EXPECT_NE(CompletedLine(1).find("Cannot change the aequo.ini file"), std::string::npos);
  // Readable again: read as usual on the next reload.
  std::filesystem::remove("aequo.ini");
  WriteFile("aequo.ini", "Priority=5\n");
  IniHold("aequo.ini", 1);
  EXPECT_TRUE(IniReadable("aequo.ini"));
  EXPECT_EQ(IniGetInt("aequo.ini", "Priority", 1), 5);
}

TEST_F(SettingsStore, ALineKeepsItsIdWhileRewrittenOrReReadUnchanged) {
  WriteFile("w.ini", "A=1\nB=2\nB=2\n");
  const uint32_t first = IniLineId("w.ini", 2);
  const uint32_t second = IniLineId("w.ini", 3);
  EXPECT_NE(first, second);
  IniPutLine("w.ini", 2, "B", "5");
  WriteFile("w.ini", "C=0\nB=5\nB=2\n");  // edited on disk: a line in front
  IniHold("w.ini", 1);
  EXPECT_EQ(IniFindLine("w.ini", first), 2u);
  EXPECT_EQ(IniFindLine("w.ini", second), 3u);
  IniDeleteLine("w.ini", 2);
  EXPECT_EQ(IniFindLine("w.ini", first), 0u);
  EXPECT_EQ(IniFindLine("w.ini", second), 2u);
}

TEST_F(SettingsStore, AFullTableOrAnOverlongLineIsRefusedAndNothingIsLost) {
  for (int i = 1; i <= 128; ++i) IniAppendLine("w.ini", "L", std::to_string(i).c_str());
  const std::string before = ReadFile("w.ini");
  IniAppendLine("w.ini", "L", "129");
  IniSetString("w.ini", "New", "1");
  IniPutLine("w.ini", 500, "X", "1");
  EXPECT_EQ(IniLineCount("w.ini"), 128u);
  EXPECT_EQ(ReadFile("w.ini"), before);
  EXPECT_NE(CompletedLine(1).find("No room for another line in w.ini file"), std::string::npos);

  IniPutLine("w.ini", 1, "K", std::string(130, 'v').c_str());
  EXPECT_NE(CompletedLine(1).find("Line too long for w.ini file"), std::string::npos);
  char key[kIniLineSize];
  char value[kIniLineSize];
  IniSplitLine("w.ini", 1, key, value);
  EXPECT_STREQ(value, "1");
}

TEST_F(SettingsStore, AFifthFileNameIsRefused) {
  for (const char* name : {"a.ini", "b.ini", "c.ini", "d.ini"}) IniSetInt(name, "K", 1);
  IniSetInt("e.ini", "K", 1);
  EXPECT_FALSE(test::FileExists("e.ini"));
  EXPECT_EQ(IniGetInt("e.ini", "K", 9), 9);
  EXPECT_NE(CompletedLine(1).find("Too many settings files"), std::string::npos);
  EXPECT_EQ(IniGetInt("d.ini", "K", 9), 1);
}

TEST_F(SettingsStore, HeldChangesAreWrittenOnceAndSurviveAReload) {
  WriteFile("w.ini", "A=1\nB=2\nC=3\n");
  IniHold("w.ini", 0);
  IniDeleteLine("w.ini", 1);
  IniPutLine("w.ini", 1, "B", "20");
  // Nothing on disk yet.
  EXPECT_EQ(ReadFile("w.ini"), "A=1\nB=2\nC=3\n");
  // A reload requested meanwhile keeps the pending changes.
  WriteFile("w.ini", "Z=9\n");
  IniSetString("w.ini", "C", "30");
  IniHold("w.ini", 0);
  EXPECT_EQ(IniLineCount("w.ini"), 2u);
  IniRelease("w.ini");
  EXPECT_EQ(ReadFile("w.ini"), "B=20\r\nC=30\r\n");
  // Writing through again: a reload now reads the disk.
  WriteFile("w.ini", "Z=9\n");
  IniHold("w.ini", 1);
  EXPECT_EQ(IniGetInt("w.ini", "Z", 0), 9);
}

TEST_F(SettingsStore, LineIndexesOutsideTheTableAreHandledAsSpecified) {
  WriteFile("w.ini", "A=1\nB=2\n");
  IniDeleteLine("w.ini", 0);
  IniDeleteLine("w.ini", 3);
  EXPECT_EQ(IniLineCount("w.ini"), 2u);
  EXPECT_EQ(ReadFile("w.ini"), "A=1\nB=2\n");  // untouched
  IniPutLine("w.ini", 0, "A", "10");           // 0 is taken as 1
  IniPutLine("w.ini", 99, "C", "3");           // far past the end appends
  EXPECT_EQ(ReadFile("w.ini"), "A=10\r\nB=2\r\nC=3\r\n");
  char key[kIniLineSize];
  char value[kIniLineSize];
  IniSplitLine("w.ini", 7, key, value);
  EXPECT_STREQ(key, "");
  EXPECT_STREQ(value, "");
}

TEST_F(SettingsStore, AMissingFileIsEmptyAndCreatedByTheFirstWrite) {
  EXPECT_EQ(IniLineCount("aequo.ini"), 0u);
  EXPECT_FALSE(test::FileExists("aequo.ini"));
  IniSetInt("aequo.ini", "AutoInstall", 1);
  EXPECT_EQ(ReadFile("aequo.ini"), "AutoInstall=1\r\n");
  EXPECT_FALSE(test::FileExists("aequo.ini.tmp"));
}

TEST_F(SettingsStore, AFileThatCannotBeWrittenKeepsTheChangeInMemory) {
  IniSetInt("s.ini", "K", 1);
  // A directory where the temporary file would go makes every write fail, even for root.
  std::filesystem::create_directory("s.ini.tmp");
  IniSetInt("s.ini", "K", 2);
  EXPECT_EQ(IniGetInt("s.ini", "K", 0), 2);
  EXPECT_EQ(ReadFile("s.ini"), "K=1\r\n");  // the old file is intact
  std::filesystem::remove("s.ini.tmp");
  IniSetInt("s.ini", "L", 3);
  EXPECT_EQ(ReadFile("s.ini"), "K=2\r\nL=3\r\n");
}

}  // namespace
}  // namespace aequa
