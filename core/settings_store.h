#pragma once
// The settings file store: small "key=value" text files held in memory, one line table per
// file, every change written back by rewriting the whole file. The settings file is used as a
// map addressed by key, the work file as an ordered list of lines addressed by a 1-based index.
// Lines starting with "#" or ";" are comments: kept in place, never read as keys or lines.
// A file that exists but cannot be read is never written over. Lines past the 128th are
// kept in the file unchanged. All operations are serialised by one lock; complaints about a
// malformed file are given with LogMessage after the lock is released.
#include <cstddef>
#include <cstdint>
#include <string>

namespace aequa {

inline constexpr uint32_t kIniMaxLines = 128;   // lines held per file
inline constexpr size_t kIniLineSize = 128;     // bytes per line, with the terminating zero
inline constexpr size_t kIniMaxFiles = 4;       // file tables
inline constexpr size_t kIniMaxFileName = 15;   // characters of a file name

// Copies the value of the first line whose key matches `key` (a case-insensitive prefix
// test), bounded to size - 1 characters; else the default (when given) or "".
void IniGetString(const char* file, const char* key, char* dest, size_t size,
                  const char* defaultText);
std::string IniGetString(const char* file, const char* key, const char* defaultText);

// The value read as a decimal number; the default when the key is missing, 0 when the value
// is empty or not a number.
int32_t IniGetInt(const char* file, const char* key, int32_t defaultValue);

// Replaces (or appends) the line of `key` and writes the file; an equal line (ignoring
// letter case) changes nothing and is not rewritten. The file is re-read first unless it
// holds unwritten changes.
void IniSetString(const char* file, const char* key, const char* value);
void IniSetInt(const char* file, const char* key, int32_t value);

uint32_t IniLineCount(const char* file);

// Re-reads the file (unless changes are pending) and sets whether changes are written at
// once (1) or held in memory until IniRelease (0).
void IniHold(const char* file, int autoWrite);
// Ends a batch: writes the file once, whatever it holds, and writes through again.
void IniRelease(const char* file);

// Copies the key and value of line `index` (1-based), each bounded to 128 bytes.
void IniSplitLine(const char* file, uint32_t index, char* key, char* value);
void IniDeleteLine(const char* file, uint32_t index);
// Sets line `index` to "key=value"; 0 is taken as 1, an index past the end appends.
void IniPutLine(const char* file, uint32_t index, const char* key, const char* value);
void IniAppendLine(const char* file, const char* key, const char* value);

// A number that stays with line `index` while the line is rewritten in place or the file is
// re-read with the line unchanged; 0 for no line. IniFindLine gives the line's current index,
// 0 when it is gone.
uint32_t IniLineId(const char* file, uint32_t index);
uint32_t IniFindLine(const char* file, uint32_t id);

// Taking lines (in memory only, never written): a line can be taken by one owner (non-zero)
// at a time. IniClaimLine is true when the line with that id is now the owner's;
// IniReleaseLine gives it back; IniLineOwner tells who has line `index` (0: nobody).
bool IniClaimLine(const char* file, uint32_t id, uint32_t owner);
void IniReleaseLine(const char* file, uint32_t id, uint32_t owner);
uint32_t IniLineOwner(const char* file, uint32_t index);

// Operations on a line named by its id, each under the lock as one step, so that threads that
// change the same file never act on a line that moved meanwhile. IniGetLine copies line
// `index` with its id and owner; the others return false when the line is gone.
bool IniGetLine(const char* file, uint32_t index, uint32_t& id, std::string& key,
                std::string& value, uint32_t& owner);
bool IniPutLineById(const char* file, uint32_t id, const char* key, const char* value);
bool IniDeleteLineById(const char* file, uint32_t id);
// Inserts "key=value" right after the line (refused like an append when the table is full).
bool IniInsertLineAfter(const char* file, uint32_t id, const char* key, const char* value);
// Re-reads the file (unless changes are pending), leaving the write mode as it is.
void IniReload(const char* file);

// False when the file exists but could not be read (it is then neither read nor written).
bool IniReadable(const char* file);

// Forgets every table (the program's exit, and tests).
void IniFreeAll();

}  // namespace aequa
