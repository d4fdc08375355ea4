#pragma once
// Binary checkpoint files: little-endian 32-bit words, and a save that keeps the previous
// file as a backup and never leaves either half written.
#include <cstddef>
#include <cstdint>
#include <string>

namespace aequa {

void PutWord(std::string& bytes, uint32_t word);
// The word at `offset`; the caller checks that four bytes are there.
uint32_t GetWord(const std::string& bytes, size_t offset);

// Whole file as bytes; false when it cannot be opened.
bool ReadWholeFile(const std::string& name, std::string& bytes);

// Appends the CRC-32 of everything before it, and checks a file that ends with one.
void AppendCrc(std::string& bytes);
bool CrcMatches(const std::string& bytes);

// Renames a checkpoint that cannot be trusted to "<name>.BAD" (kept for the coordinator) and
// says so, with `why`, on the log and in the results file; the work is then searched afresh.
void SetCheckpointAside(const std::string& name, const char* why);

// Copies the current checkpoint `name` to `backup` (removing a stale backup when there is
// none), then replaces `name` with `bytes`; each file is written to a temporary file and
// renamed, so a crash at any moment leaves a complete checkpoint under its name. A failure
// gives "Cannot save data" on the log and in the results file.
void SaveCheckpointFile(const std::string& name, const std::string& backup,
                        const std::string& bytes);

// Writes `bytes` to `name` through a temporary file and a rename (no backup); false, and a
// "Cannot save data" line, when it could not.
bool SaveWholeFile(const std::string& name, const std::string& bytes);

}  // namespace aequa
