#include "sums/sum_checkpoint.h"

#include <cstdint>
#include <cstdio>

#include "core/checkpoint_file.h"
#include "core/output_log.h"
#include "core/shared_words.h"
#include "sums/u128.h"

namespace aequa {
namespace {

// Version 6: version 5 followed by the end of the line's range and a CRC-32 of the file.
// Versions 1 to 5 are still read.
constexpr uint32_t kSumCheckpointVersion = 6;
constexpr size_t kLongestLayout = 44;  // versions 3 and 6

// Up to `limit` bytes of the file; false when it cannot be opened.
bool ReadFileStart(const std::string& name, size_t limit, std::string& bytes) {
  std::FILE* file = std::fopen(name.c_str(), "rb");
  if (file == nullptr) return false;
  bytes.assign(limit, '\0');
  const size_t got = std::fread(bytes.data(), 1, limit, file);
  std::fclose(file);
  bytes.resize(got);
  return true;
}

}  // namespace

std::string SumCheckpointName(const SumRun& run) {
  char name[80];
  std::snprintf(name, sizeof name, "A%u-%u-%u-%u", static_cast<unsigned>(run.k),
                static_cast<unsigned>(run.n), static_cast<unsigned>(run.first),
                static_cast<unsigned>(run.end));
  return name;
}

std::string SumCheckpointBackupName(const SumRun& run) {
  return SumCheckpointName(run) + ".BAK";
}

std::string LegacySumCheckpointName(const SumRun& run) {
  char name[48];
  std::snprintf(name, sizeof name, "A%u-%u", static_cast<unsigned>(run.k),
                static_cast<unsigned>(run.n));
  return name;
}

void SaveSumCheckpoint(SumRun& run) {
  std::string bytes;
  for (uint32_t word : {kSumCheckpointVersion, run.k, run.n, run.start,
                        run.control.elapsedSeconds.load(), run.windowLow.w[0],
                        run.windowLow.w[1], run.windowLow.w[2], run.windowLow.w[3], run.end}) {
    PutWord(bytes, word);
  }
  AppendCrc(bytes);
  SaveCheckpointFile(SumCheckpointName(run), SumCheckpointBackupName(run), bytes);
}

void LoadSumCheckpoint(SumRun& run) {
  run.control.elapsedSeconds.store(0);
  std::string bytes;
  std::string name = SumCheckpointName(run);
  if (!ReadFileStart(name, kLongestLayout + 1, bytes)) {
    // A line queued before the files were named for their lines.
    name = LegacySumCheckpointName(run);
    if (!ReadFileStart(name, kLongestLayout + 1, bytes)) return;
  }
  if (bytes.empty()) return;
  auto reject = [&name](const char* why) { SetCheckpointAside(name, why); };
  if (bytes.size() < 16) return reject("is too short to be read");
  const uint32_t version = GetWord(bytes, 0);
  const uint32_t power = GetWord(bytes, 4);
  const uint32_t terms = GetWord(bytes, 8);
  const uint32_t savedStart = GetWord(bytes, 12);
  // Layouts by version: the word offsets of elapsed and of a second saved start (0: none),
  // and where the window low begins.
  size_t elapsedAt = 0;
  size_t startAt = 0;
  size_t offset = 16;
  switch (version) {
    case 1:
      offset = 20;
      break;
    case 2:
    case 4:
      elapsedAt = 20;
      offset = 24;
      break;
    case 3:
      elapsedAt = 20;
      startAt = 24;
      offset = 28;
      break;
    case 5:
    case 6:
      elapsedAt = 16;
      offset = 20;
      break;
    default:
      break;
  }
  if (version > kSumCheckpointVersion) {
    LogMessage("Bad file version\n");
    return;
  }
  if (bytes.size() < offset + 16) return reject("is too short to be read");
  if (version == 6 && (bytes.size() != kLongestLayout || !CrcMatches(bytes))) {
    return reject("fails its checksum");
  }
  if (power != run.k || terms != run.n) {
    return reject("belongs to another search than its name says");
  }
  // Another line of the same power and terms uses the same name: its file is left alone.
  if (version == 6 && GetWord(bytes, 36) != run.end) return;
  U128 low;
  for (int i = 0; i < 4; ++i) low.w[i] = GetWord(bytes, offset + 4 * i);
  U128 startPower;
  RunPower(run, run.start, startPower);
  // Everything below the window low counts as searched: it may not claim more than the line
  // holds, nor a start of its own past the line's.
  const uint32_t claimedStart = startAt != 0 ? GetWord(bytes, startAt) : savedStart;
  if (Less128(run.endPower, low) || claimedStart > run.start || savedStart > run.start) {
    return reject("claims more than its line has searched");
  }
  // A window low below the line's start (a line written just before its checkpoint): the
  // line's start is where the search goes on.
  if (Less128(low, startPower)) return;
  run.windowLow = low;
  run.control.elapsedSeconds.store(elapsedAt != 0 ? GetWord(bytes, elapsedAt) : 0);
  if (name != SumCheckpointName(run)) {
    // The shared file now belongs to this line alone: it moves to the line's own name, so
    // that no later line of the same power and terms resumes from it.
    SaveSumCheckpoint(run);
    std::remove(name.c_str());
    std::remove((name + ".BAK").c_str());
  }
}

void DeleteSumCheckpoint(const SumRun& run) {
  std::remove(SumCheckpointName(run).c_str());
  std::remove(SumCheckpointBackupName(run).c_str());
}

}  // namespace aequa
