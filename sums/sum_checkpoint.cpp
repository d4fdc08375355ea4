#include "sums/sum_checkpoint.h"

#include <cstdint>
#include <cstdio>

#include "core/checkpoint_file.h"
#include "core/output_log.h"
#include "core/shared_words.h"
#include "sums/sum_run_state.h"
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

std::string NameFor(const char* format) {
  char name[64];
  std::snprintf(name, sizeof name, format, static_cast<int>(SumRun.k),
                static_cast<int>(SumRun.n));
  return name;
}

}  // namespace

std::string SumCheckpointName() { return NameFor("A%d-%d"); }
std::string SumCheckpointBackupName() { return NameFor("A%d-%d.BAK"); }

void SaveSumCheckpoint() {
  std::string bytes;
  for (uint32_t word : {kSumCheckpointVersion, SumRun.k, SumRun.n, SumRun.start,
                        ElapsedSeconds.load(), WindowLow.w[0], WindowLow.w[1], WindowLow.w[2],
                        WindowLow.w[3], SumRun.end}) {
    PutWord(bytes, word);
  }
  AppendCrc(bytes);
  SaveCheckpointFile(SumCheckpointName(), SumCheckpointBackupName(), bytes);
}

void LoadSumCheckpoint() {
  ElapsedSeconds.store(0);
  std::string bytes;
  const std::string name = SumCheckpointName();
  if (!ReadFileStart(name, kLongestLayout + 1, bytes) || bytes.empty()) return;
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
  if (power != SumRun.k || terms != SumRun.n) {
    return reject("belongs to another search than its name says");
  }
  // Another line of the same power and terms uses the same name: its file is left alone.
  if (version == 6 && GetWord(bytes, 36) != SumRun.end) return;
  U128 low;
  for (int i = 0; i < 4; ++i) low.w[i] = GetWord(bytes, offset + 4 * i);
  U128 startPower;
  Power128(SumRun.start, startPower);
  // Everything below the window low counts as searched: it may not claim more than the line
  // holds, nor a start of its own past the line's.
  const uint32_t claimedStart = startAt != 0 ? GetWord(bytes, startAt) : savedStart;
  if (Less128(EndPower, low) || claimedStart > SumRun.start || savedStart > SumRun.start) {
    return reject("claims more than its line has searched");
  }
  // A window low below the line's start (a line written just before its checkpoint): the
  // line's start is where the search goes on.
  if (Less128(low, startPower)) return;
  WindowLow = low;
  ElapsedSeconds.store(elapsedAt != 0 ? GetWord(bytes, elapsedAt) : 0);
}

void DeleteSumCheckpoint() {
  std::remove(SumCheckpointName().c_str());
  std::remove(SumCheckpointBackupName().c_str());
}

}  // namespace aequa
