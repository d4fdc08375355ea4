#include "sums/sum_checkpoint.h"

#include <cstdint>
#include <cstdio>

#include "core/checkpoint_file.h"
#include "core/output_log.h"
#include "core/shared_words.h"
#include "sums/sum_run_state.h"

namespace aequa {
namespace {

constexpr uint32_t kSumCheckpointVersion = 5;
constexpr size_t kLongestLayout = 44;  // version 3

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
                        WindowLow.w[3]}) {
    PutWord(bytes, word);
  }
  SaveCheckpointFile(SumCheckpointName(), SumCheckpointBackupName(), bytes);
}

void LoadSumCheckpoint() {
  ElapsedSeconds.store(0);
  std::string bytes;
  if (!ReadFileStart(SumCheckpointName(), kLongestLayout, bytes)) return;
  if (bytes.size() < 16) return;
  const uint32_t version = GetWord(bytes, 0);
  const uint32_t power = GetWord(bytes, 4);
  const uint32_t terms = GetWord(bytes, 8);
  // Layouts by version: the word offsets of elapsed and of a saved start (0: none), and
  // where the window low begins.
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
      elapsedAt = 16;
      offset = 20;
      break;
    default:
      break;
  }
  if (bytes.size() < offset + 16) return;  // shorter than its layout: as if there were none
  const uint32_t elapsed = elapsedAt != 0 ? GetWord(bytes, elapsedAt) : 0;
  if (startAt != 0) {
    const uint32_t savedStart = GetWord(bytes, startAt);
    if (savedStart > SumRun.start) SumRun.start = savedStart;
  }
  if (version > kSumCheckpointVersion) {
    LogMessage("Bad file version\n");
    return;
  }
  if (power != SumRun.k || terms != SumRun.n) return;
  for (int i = 0; i < 4; ++i) WindowLow.w[i] = GetWord(bytes, offset + 4 * i);
  ElapsedSeconds.store(elapsed);
}

void DeleteSumCheckpoint() {
  std::remove(SumCheckpointName().c_str());
  std::remove(SumCheckpointBackupName().c_str());
}

}  // namespace aequa
