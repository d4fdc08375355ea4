#include "core/checkpoint_file.h"

#include <cstdio>

#include "core/crc32.h"
#include "core/output_log.h"
#include "platform/files.h"

namespace aequa {

void PutWord(std::string& bytes, uint32_t word) {
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>((word >> (8 * i)) & 0xFF));
}

uint32_t GetWord(const std::string& bytes, size_t offset) {
  uint32_t word = 0;
  for (size_t i = 0; i < 4; ++i) {
    word |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[offset + i])) << (8 * i);
  }
  return word;
}

bool ReadWholeFile(const std::string& name, std::string& bytes) {
  std::FILE* file = std::fopen(name.c_str(), "rb");
  if (file == nullptr) return false;
  bytes.clear();
  char buffer[4096];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
  std::fclose(file);
  return true;
}

void AppendCrc(std::string& bytes) { PutWord(bytes, ResultCrc(bytes.data(), bytes.size())); }

bool CrcMatches(const std::string& bytes) {
  if (bytes.size() < 4) return false;
  return GetWord(bytes, bytes.size() - 4) == ResultCrc(bytes.data(), bytes.size() - 4);
}

void SetCheckpointAside(const std::string& name, const char* why) {
  const std::string aside = name + ".BAD";
  const bool moved = platform::RenameReplacing(name, aside);
  const std::string text = "The checkpoint " + name + " " + why +
                           (moved ? "; it is set aside as " + aside : "; it is ignored") +
                           " and the work is searched afresh\n";
  LogMessage(text.c_str());
}

void SaveCheckpointFile(const std::string& name, const std::string& backup,
                        const std::string& bytes) {
  std::string previous;
  if (ReadWholeFile(name, previous)) {
    platform::ReplaceFile(backup, previous);
  } else {
    std::remove(backup.c_str());
  }
  SaveWholeFile(name, bytes);
}

bool SaveWholeFile(const std::string& name, const std::string& bytes) {
  if (platform::ReplaceFile(name, bytes)) return true;
  LogMessage("Cannot save data\n");
  return false;
}

}  // namespace aequa
