#include "core/settings_store.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>
#include <vector>

#include "core/output_log.h"
#include "platform/files.h"

namespace aequa {
namespace {

struct IniTable {
  std::string fileName;  // empty: a free table
  std::vector<std::string> lines;
  bool autoWrite = true;
  bool pending = false;
  // Complaints about the file's text as last read; a reload of the same text repeats none.
  std::vector<std::string> complained;
};

std::mutex storeLock;
std::array<IniTable, kIniMaxFiles> tables;

// Messages produced while the lock is held; given with LogMessage once it is released.
using Complaints = std::vector<std::string>;

void Emit(const Complaints& complaints) {
  for (const std::string& text : complaints) LogMessage(text.c_str());
}

std::string Format(const char* pattern, const char* a, const char* b = "") {
  char text[512];
  std::snprintf(text, sizeof text, pattern, a, b);
  return text;
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// A line matches a key when its first len(key) characters equal the key, ignoring the case
// of ASCII letters. The character after them is not examined.
bool KeyMatches(const std::string& line, const char* key) {
  size_t n = std::strlen(key);
  if (line.size() < n) return false;
  for (size_t i = 0; i < n; ++i) {
    if (LowerAscii(line[i]) != LowerAscii(key[i])) return false;
  }
  return true;
}

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

void ReadText(IniTable& table, Complaints& complaints);

// Reads the table's file; complaints already given about the same text are not given again.
void ReadFile(IniTable& table, Complaints& complaints) {
  Complaints found;
  ReadText(table, found);
  for (const std::string& text : found) {
    bool given = false;
    for (const std::string& old : table.complained) given = given || old == text;
    if (!given) complaints.push_back(text);
  }
  table.complained = std::move(found);
}

void ReadText(IniTable& table, Complaints& complaints) {
  table.lines.clear();
  std::ifstream in(table.fileName, std::ios::binary);
  if (!in) return;  // a missing file is an empty file
  std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  size_t pos = 0;
  while (pos < content.size()) {
    // A piece is at most 127 characters, ending after a line end.
    size_t len = 0;
    while (pos + len < content.size() && len < kIniLineSize - 1) {
      ++len;
      if (content[pos + len - 1] == '\n') break;
    }
    std::string piece = content.substr(pos, len);
    pos += len;
    if (!piece.empty() && piece.back() == '\n') piece.pop_back();
    if (!piece.empty() && piece.back() == '\r') piece.pop_back();
    if (piece.empty()) continue;
    if (piece.find('=') == std::string::npos) {
      complaints.push_back(Format("Illegal line in %s file: %s\n", table.fileName.c_str(),
                                  piece.c_str()));
      continue;
    }
    if (table.lines.size() >= kIniMaxLines) {
      char text[128];
      std::snprintf(text, sizeof text, "More than %d lines in %s file\n",
                    static_cast<int>(kIniMaxLines), table.fileName.c_str());
      complaints.push_back(text);
      break;
    }
    table.lines.push_back(std::move(piece));
  }
}

// Finds or claims the table of a file; reads the file when claimed, or when `reload` is set
// and no changes are pending. Null when the name cannot have a table.
IniTable* Load(const char* file, bool reload, Complaints& complaints) {
  if (std::strlen(file) == 0 || std::strlen(file) > kIniMaxFileName) {
    complaints.push_back(Format("Cannot use %s as a settings file name\n", file));
    return nullptr;
  }
  for (IniTable& table : tables) {
    if (table.fileName.empty()) {
      table.fileName = file;
      table.autoWrite = true;
      table.pending = false;
      ReadFile(table, complaints);
      return &table;
    }
    if (table.fileName == file) {
      if (reload && !table.pending) ReadFile(table, complaints);
      return &table;
    }
  }
  complaints.push_back(Format("Too many settings files, cannot use %s\n", file));
  return nullptr;
}

void Write(IniTable& table) {
  if (!table.autoWrite) {
    table.pending = true;
    return;
  }
  std::string content;
  for (const std::string& line : table.lines) {
    content += line;
    content += "\r\n";
  }
  // A file that cannot be written keeps its changes in memory, marked pending so that no
  // reload from the older disk copy drops them before the next write succeeds.
  table.pending = !platform::ReplaceFile(table.fileName, content);
  if (!table.pending) table.complained.clear();
}

void CopyBounded(char* dest, size_t size, const char* text) {
  if (size == 0) return;
  size_t n = std::strlen(text);
  if (n >= size) n = size - 1;
  std::memcpy(dest, text, n);
  dest[n] = '\0';
}

// Refuses a line the table cannot hold: too long, or no room left.
bool Storable(const IniTable& table, const std::string& text, bool adding,
              Complaints& complaints) {
  if (text.size() >= kIniLineSize) {
    complaints.push_back(Format("Line too long for %s file, not stored: %s\n",
                                table.fileName.c_str(), text.c_str()));
    return false;
  }
  if (adding && table.lines.size() >= kIniMaxLines) {
    complaints.push_back(Format("No room for another line in %s file, not stored: %s\n",
                                table.fileName.c_str(), text.c_str()));
    return false;
  }
  return true;
}

}  // namespace

void IniGetString(const char* file, const char* key, char* dest, size_t size,
                  const char* defaultText) {
  Complaints complaints;
  {
    std::lock_guard<std::mutex> guard(storeLock);
    IniTable* table = Load(file, false, complaints);
    const std::string* found = nullptr;
    if (table != nullptr) {
      for (const std::string& line : table->lines) {
        if (KeyMatches(line, key)) {
          found = &line;
          break;
        }
      }
    }
    if (found != nullptr) {
      size_t skip = std::strlen(key) + 1;
      CopyBounded(dest, size, skip <= found->size() ? found->c_str() + skip : "");
    } else {
      CopyBounded(dest, size, defaultText != nullptr ? defaultText : "");
    }
  }
  Emit(complaints);
}

std::string IniGetString(const char* file, const char* key, const char* defaultText) {
  char buffer[kIniLineSize];
  IniGetString(file, key, buffer, sizeof buffer, defaultText);
  return buffer;
}

int32_t IniGetInt(const char* file, const char* key, int32_t defaultValue) {
  char defaultText[20];
  std::snprintf(defaultText, sizeof defaultText, "%ld", static_cast<long>(defaultValue));
  char text[20];
  IniGetString(file, key, text, sizeof text, defaultText);
  long long value = std::strtoll(text, nullptr, 10);
  if (value > INT32_MAX) value = INT32_MAX;
  if (value < INT32_MIN) value = INT32_MIN;
  return static_cast<int32_t>(value);
}

void IniSetString(const char* file, const char* key, const char* value) {
  Complaints complaints;
  {
    std::lock_guard<std::mutex> guard(storeLock);
    std::string text = std::string(key) + "=" + value;
    IniTable* table = Load(file, true, complaints);
    if (table != nullptr) {
      std::string* found = nullptr;
      for (std::string& line : table->lines) {
        if (KeyMatches(line, key)) {
          found = &line;
          break;
        }
      }
      if (found != nullptr) {
        if (!EqualIgnoringCase(*found, text) && Storable(*table, text, false, complaints)) {
          *found = text;
          Write(*table);
        }
      } else if (Storable(*table, text, true, complaints)) {
        table->lines.push_back(text);
        Write(*table);
      }
    }
  }
  Emit(complaints);
}

void IniSetInt(const char* file, const char* key, int32_t value) {
  char text[20];
  std::snprintf(text, sizeof text, "%ld", static_cast<long>(value));
  IniSetString(file, key, text);
}

uint32_t IniLineCount(const char* file) {
  Complaints complaints;
  uint32_t count = 0;
  {
    std::lock_guard<std::mutex> guard(storeLock);
    IniTable* table = Load(file, false, complaints);
    if (table != nullptr) count = static_cast<uint32_t>(table->lines.size());
  }
  Emit(complaints);
  return count;
}

void IniHold(const char* file, int autoWrite) {
  Complaints complaints;
  {
    std::lock_guard<std::mutex> guard(storeLock);
    IniTable* table = Load(file, true, complaints);
    if (table != nullptr) table->autoWrite = autoWrite != 0;
  }
  Emit(complaints);
}

void IniRelease(const char* file) {
  Complaints complaints;
  {
    std::lock_guard<std::mutex> guard(storeLock);
    IniTable* table = Load(file, false, complaints);
    if (table != nullptr) {
      table->autoWrite = true;
      Write(*table);
    }
  }
  Emit(complaints);
}

void IniSplitLine(const char* file, uint32_t index, char* key, char* value) {
  Complaints complaints;
  {
    std::lock_guard<std::mutex> guard(storeLock);
    key[0] = '\0';
    value[0] = '\0';
    IniTable* table = Load(file, false, complaints);
    if (table != nullptr && index >= 1 && index <= table->lines.size()) {
      const std::string& line = table->lines[index - 1];
      size_t eq = line.find('=');
      if (eq != std::string::npos) {
        CopyBounded(key, kIniLineSize, line.substr(0, eq).c_str());
        CopyBounded(value, kIniLineSize, line.c_str() + eq + 1);
      }
    }
  }
  Emit(complaints);
}

void IniDeleteLine(const char* file, uint32_t index) {
  Complaints complaints;
  {
    std::lock_guard<std::mutex> guard(storeLock);
    IniTable* table = Load(file, false, complaints);
    if (table != nullptr && index >= 1 && index <= table->lines.size()) {
      table->lines.erase(table->lines.begin() + (index - 1));
      Write(*table);
    }
  }
  Emit(complaints);
}

void IniPutLine(const char* file, uint32_t index, const char* key, const char* value) {
  Complaints complaints;
  {
    std::lock_guard<std::mutex> guard(storeLock);
    IniTable* table = Load(file, false, complaints);
    if (table != nullptr) {
      std::string text = std::string(key) + "=" + value;
      if (index == 0) index = 1;
      bool adding = index > table->lines.size();
      if (Storable(*table, text, adding, complaints)) {
        if (adding) {
          table->lines.push_back(text);
        } else {
          table->lines[index - 1] = text;
        }
        Write(*table);
      }
    }
  }
  Emit(complaints);
}

void IniAppendLine(const char* file, const char* key, const char* value) {
  IniPutLine(file, UINT32_MAX, key, value);
}

void IniFreeAll() {
  std::lock_guard<std::mutex> guard(storeLock);
  for (IniTable& table : tables) table = IniTable{};
}

}  // namespace aequa
