// The project side: the validator's checks of one replica and of two replicas of a unit, the
// validator command's exit statuses, and the work generator against a stand-in project.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>

#include "boinc/replica_check.h"
#include "core/crc32.h"
#include "support/process.h"
#include "support/temp_dir.h"

namespace aequa::boinc {
namespace {

using test::ReadFile;
using test::WriteFile;

// A line as the program signs it: the body, its tag, and the name.
std::string Signed(const std::string& body, const std::string& name) {
  char tag[16];
  std::snprintf(tag, sizeof tag, "%08X", static_cast<unsigned>(ResultCrc(body.data(), body.size())));
  return body + " S3:" + tag + " " + name + "\r\n";
}

const std::string kPart =
    "Part=1\r\nParts=2\r\nLine=PENTA=5,100,250,2\r\nRange=PENTA=5,100,400,2\r\n";
const std::string kOtherPart =
    "Part=2\r\nParts=2\r\nLine=PENTA=5,250,400,2\r\nRange=PENTA=5,100,400,2\r\n";
const std::string kIdentity = "Penta2:      133^5 +       27^5 +       84^5 -      144^5";

// A replica of the first part as a volunteer named `name` returns it.
Replica Returned(const std::string& name, const std::string& seconds = "1") {
  return {"[Mon Dec 07 14:10:37 2026]\r\n" + Signed(kIdentity, name) +
              Signed("(5,2) 100-249 done in " + seconds + " seconds (1 candidates)", name),
          kPart};
}

TEST(BoincReplicas, AReplicaIsValidOnlyWhenItsTagsCheckAndItCoversItsPart) {
  EXPECT_EQ(CheckReplica(Returned("Ada")), "");

  Replica gap = Returned("Ada");
  gap.results = Signed("(5,2) 100-199 done in 1 seconds (1 candidates)", "Ada");
  EXPECT_NE(CheckReplica(gap).find("Gaps"), std::string::npos) << CheckReplica(gap);

  Replica tampered = Returned("Ada");
  tampered.results.replace(tampered.results.find("100-249"), 7, "100-299");
  EXPECT_NE(CheckReplica(tampered), "");

  Replica unsigned_done = Returned("Ada");
  unsigned_done.results = "(5,2) 100-249 done in 1 seconds (1 candidates)\r\n";
  EXPECT_NE(CheckReplica(unsigned_done), "");

  Replica no_part = Returned("Ada");
  no_part.part = "Part=1\r\n";
  EXPECT_NE(CheckReplica(no_part).find("part file"), std::string::npos);
}

TEST(BoincReplicas, TwoReplicasAgreeOnTheirResultsWhateverTheirNamesAndTimes) {
  EXPECT_EQ(CompareReplicas(Returned("Ada"), Returned("Bob", "7")), "");

  // A restart after a checkpoint repeats lines: they count once.
  Replica restarted = Returned("Bob");
  restarted.results += Signed(kIdentity, "Bob");
  EXPECT_EQ(CompareReplicas(Returned("Ada"), restarted), "");

  Replica missing = Returned("Bob");
  missing.results = Signed("(5,2) 100-249 done in 1 seconds (1 candidates)", "Bob");
  const std::string differs = CompareReplicas(Returned("Ada"), missing);
  EXPECT_NE(differs.find("only in the first: " + kIdentity), std::string::npos) << differs;

  Replica other = Returned("Bob");
  other.part = kOtherPart;
  EXPECT_NE(CompareReplicas(Returned("Ada"), other).find("different parts"), std::string::npos);
}

TEST(BoincReplicas, TheValidatorCommandAnswersWithTheScriptValidatorsStatuses) {
  test::TempDir dir(false);
  const Replica ada = Returned("Ada");
  Replica forged = Returned("Eve");
  forged.results += "Penta2:      1^5 +       2^5 +       3^5 -      4^5 S3:00000000 Eve\r\n";
  WriteFile(dir.file("ada"), ada.results);
  WriteFile(dir.file("bob"), Returned("Bob").results);
  WriteFile(dir.file("eve"), forged.results);
  WriteFile(dir.file("part"), kPart);
  auto validate = [&](std::vector<std::string> args) {
    args.insert(args.begin(), AEQUA_VALIDATE_BINARY);
    for (std::string& arg : args) {
      if (arg.find('/') == std::string::npos && arg != AEQUA_VALIDATE_BINARY && arg != "init" &&
          arg != "compare") {
        arg = dir.file(arg);
      }
    }
    return test::RunProgram(args).status;
  };
  EXPECT_EQ(validate({"init", "ada", "part"}), 0);
  EXPECT_EQ(validate({"init", "eve", "part"}), 1);      // a tag that does not match
  EXPECT_EQ(validate({"init", "missing", "part"}), 1);  // no output file
  EXPECT_EQ(validate({"compare", "ada", "part", "bob", "part"}), 0);
  EXPECT_EQ(validate({"init", "ada"}), 2);
}

TEST(BoincWorkGenerator, EachPartBecomesOneStagedWorkUnitAndABatchIsMadeOnce) {
  test::TempDir project(false);
  std::filesystem::create_directories(project.file("bin"));
  // Stand-ins for the project's tools: they record how they were called.
  for (const char* tool : {"stage_file", "create_work"}) {
    const std::string path = project.file(std::string("bin/") + tool);
    WriteFile(path, std::string("#!/bin/sh\necho \"") + tool +
                        " $*\" >> calls.log\n[ \"$1\" = --copy ] && cp \"$2\" staged-\"$2\"\n"
                        "exit 0\n");
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
  }
  const std::string script = AEQUA_SOURCE_DIR "/boinc/project/make_work.sh";
  const std::string aequa = "AEQUA=" AEQUA_BINARY;
  auto make = [&](const std::string& batch) {
    return test::RunProgram({"env", aequa, "sh", script, project.path(), batch, "penta", "5",
                             "100", "400", "2", "--parts", "2"});
  };
  const auto made = make("p5");
  ASSERT_EQ(made.status, 0) << made.err;
  EXPECT_EQ(ReadFile(project.file("calls.log")),
            "stage_file --copy aequa_p5_part-0001\n"
            "create_work --appname aequa --wu_name aequa_p5_part-0001 --wu_template "
            "templates/aequa_in --result_template templates/aequa_out aequa_p5_part-0001\n"
            "stage_file --copy aequa_p5_part-0002\n"
            "create_work --appname aequa --wu_name aequa_p5_part-0002 --wu_template "
            "templates/aequa_in --result_template templates/aequa_out aequa_p5_part-0002\n");
  EXPECT_EQ(ReadFile(project.file("staged-aequa_p5_part-0002")),
            ReadFile(project.file("aequa_batches/p5/part-0002.in")));
  EXPECT_NE(ReadFile(project.file("staged-aequa_p5_part-0002")).find("Line=PENTA="),
            std::string::npos);

  EXPECT_EQ(make("p5").status, 1);  // the batch exists: nothing is made again
  EXPECT_EQ(make("p 5").status, 2);
  const std::string calls = ReadFile(project.file("calls.log"));
  EXPECT_EQ(std::count(calls.begin(), calls.end(), '\n'), 4);
}

}  // namespace
}  // namespace aequa::boinc
