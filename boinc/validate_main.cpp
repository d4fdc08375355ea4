// The validator command of a BOINC project running Aequa, for the project's script validator:
//   aequa-validate init RESULTS PART                  exit 0: the replica is valid
//   aequa-validate compare RESULTS1 PART1 RESULTS2 PART2   exit 0: both found the same
// Exit 3 when a file is there but cannot be read now (the validator tries again later), 1 when
// the replica is invalid or the two differ, 2 for a wrong command line.
#include <cstdio>
#include <filesystem>
#include <string>

#include "boinc/replica_check.h"
#include "core/checkpoint_file.h"

namespace {

constexpr int kValid = 0;
constexpr int kInvalid = 1;
constexpr int kUsage = 2;
constexpr int kTransient = 3;

int Read(const char* path, std::string& text) {
  if (aequa::ReadWholeFile(path, text)) return kValid;
  std::error_code ec;
  const bool there = std::filesystem::exists(path, ec);
  std::fprintf(stderr, "aequa-validate: %s %s\n", path, there ? "cannot be read" : "is missing");
  return there ? kTransient : kInvalid;
}

int Report(const std::string& findings) {
  if (findings.empty()) return kValid;
  std::fputs(findings.c_str(), stderr);
  return kInvalid;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (!((command == "init" && argc == 4) || (command == "compare" && argc == 6))) {
    std::fputs("usage: aequa-validate init RESULTS PART\n"
               "       aequa-validate compare RESULTS1 PART1 RESULTS2 PART2\n",
               stderr);
    return kUsage;
  }
  aequa::boinc::Replica first, second;
  for (int status : {Read(argv[2], first.results), Read(argv[3], first.part)}) {
    if (status != kValid) return status;
  }
  if (command == "init") return Report(aequa::boinc::CheckReplica(first));
  for (int status : {Read(argv[4], second.results), Read(argv[5], second.part)}) {
    if (status != kValid) return status;
  }
  return Report(aequa::boinc::CompareReplicas(first, second));
}
