#include "core/settings_store.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <vector>

#include "core/output_log.h"
#include "platform/files.h"

namespace aequa {
namespace {

// A line of the table, with the comment lines that stand before it in the file and an id
// that stays with the line while it is rewritten or while the file is re-read unchanged.
struct Line {
  std::string text;
  uint32_t id = 0;
  std::vector<std::string> commentsBefore;
  uint32_t owner = 0;  // in memory only: who has taken the line (0: nobody)
};

struct IniTable {
  std::string fileName;  // empty: a free table
  std::vector<Line> lines;
  std::vector<std::string> trailingComments;  // comment lines after the last line
  // Physical lines past the 128th line, written back unchanged after the held lines.
  std::vector<std::string> tail;
  bool autoWrite = true;
  bool pending = false;
  bool unreadable = false;  // the file exists but could not be read: never written
  // Complaints about the file's text as last read; a reload of the same text repeats none.
  std::vector<std::string> complained;
};

std::mutex storeLock;
std::array<IniTable, kIniMaxFiles> tables;
uint32_t nextLineId = 1;

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

bool IsComment(const std::string& text) {
  return !text.empty() && (text[0] == '#' || text[0] == ';');
}

std::string WithoutLineEnd(std::string text) {
  if (!text.empty() && text.back() == '\n') text.pop_back();
  if (!text.empty() && text.back() == '\r') text.pop_back();
  return text;
}

// Reads the whole file. False when it exists but cannot be read; a missing file is empty.
bool ReadContent(const std::string& name, std::string& content) {
  content.clear();
  std::error_code error;
  const auto status = std::filesystem::status(name, error);
  if (status.type() == std::filesystem::file_type::not_found) return true;
  if (error || status.type() == std::filesystem::file_type::directory) return false;
  std::ifstream in(name, std::ios::binary);
  if (!in) return false;
  content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
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
  std::vector<Line> previous = std::move(table.lines);
  table.lines.clear();
  table.trailingComments.clear();
  table.tail.clear();
  std::string content;
  const bool wasUnreadable = table.unreadable;
  table.unreadable = !ReadContent(table.fileName, content);
  if (table.unreadable) {
    if (!wasUnreadable) {
      complaints.push_back(Format("Cannot read the %s file: it is left as it is and nothing is "
                                  "written to it until it can be read\n",
                                  table.fileName.c_str()));
    }
    return;
  }
  std::vector<bool> reused(previous.size(), false);
  std::vector<std::string> comments;
  size_t pos = 0;
  while (pos < content.size()) {
    size_t lineEnd = content.find('\n', pos);
    lineEnd = lineEnd == std::string::npos ? content.size() : lineEnd + 1;
    const bool atLineStart = pos == 0 || content[pos - 1] == '\n';
    if (!table.tail.empty() || (atLineStart && IsComment(content.substr(pos, 1)))) {
      // Comments, and everything past the 128th line, are kept whole as they stand.
      std::string physical = WithoutLineEnd(content.substr(pos, lineEnd - pos));
      pos = lineEnd;
      if (!table.tail.empty()) {
        table.tail.push_back(std::move(physical));
      } else {
        comments.push_back(std::move(physical));
      }
      continue;
    }
    // A piece is at most 127 characters, ending after a line end.
    const size_t len = std::min(lineEnd - pos, kIniLineSize - 1);
    std::string piece = WithoutLineEnd(content.substr(pos, len));
    const size_t pieceStart = pos;
    pos += len;
    if (piece.empty()) continue;
    if (piece.find('=') == std::string::npos) {
      complaints.push_back(Format("Illegal line in %s file: %s\n", table.fileName.c_str(),
                                  piece.c_str()));
      continue;
    }
    if (table.lines.size() >= kIniMaxLines) {
      char text[256];
      std::snprintf(text, sizeof text,
                    "More than %d lines in %s file\nThe lines past line %d are kept in the file "
                    "as they are and read once earlier lines are gone.\n",
                    static_cast<int>(kIniMaxLines), table.fileName.c_str(),
                    static_cast<int>(kIniMaxLines));
      complaints.push_back(text);
      table.tail = std::move(comments);
      comments.clear();
      table.tail.push_back(WithoutLineEnd(content.substr(pieceStart, lineEnd - pieceStart)));
      pos = lineEnd;
      continue;
    }
    Line line{std::move(piece), 0, std::move(comments)};
    comments.clear();
    // A line that was already held keeps its id, so that whoever took it still finds it.
    for (size_t i = 0; i < previous.size() && line.id == 0; ++i) {
      if (!reused[i] && previous[i].text == line.text) {
        reused[i] = true;
        line.id = previous[i].id;
        line.owner = previous[i].owner;
      }
    }
    if (line.id == 0) line.id = nextLineId++;
    table.lines.push_back(std::move(line));
  }
  table.trailingComments = std::move(comments);
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
  if (table.unreadable) return;  // never written over what could not be read
  if (!table.autoWrite) {
    table.pending = true;
    return;
  }
  std::string content;
  auto put = [&content](const std::string& text) {
    content += text;
    content += "\r\n";
  };
  for (const Line& line : table.lines) {
    for (const std::string& comment : line.commentsBefore) put(comment);
    put(line.text);
  }
  for (const std::string& comment : table.trailingComments) put(comment);
  for (const std::string& text : table.tail) put(text);
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

// A new line goes to the very end of the file, after any comments that end it.
void AppendLine(IniTable& table, const std::string& text) {
  table.lines.push_back(Line{text, nextLineId++, std::move(table.trailingComments)});
  table.trailingComments.clear();
}

// A file that could not be read is never changed: a change written back would replace what
// the file holds with the little the table knows.
bool Changeable(const IniTable& table, Complaints& complaints) {
  if (!table.unreadable) return true;
  complaints.push_back(Format("Cannot change the %s file: it could not be read\n",
                              table.fileName.c_str()));
  return false;
}

// Refuses a line the table cannot hold: too long, or no room left.
bool Storable(const IniTable& table, const std::string& text, bool adding,
              Complaints& complaints) {
  if (text.size() >= kIniLineSize) {
    complaints.push_back(Format("Line too long for %s file, not stored: %s\n",
                                table.fileName.c_str(), text.c_str()));
    return false;
  }
  // With lines kept past the 128th, a new line would not be the last: refuse it as well.
  if (adding && (table.lines.size() >= kIniMaxLines || !table.tail.empty())) {
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
      for (const Line& line : table->lines) {
        if (KeyMatches(line.text, key)) {
          found = &line.text;
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
    if (table != nullptr && Changeable(*table, complaints)) {
      std::string* found = nullptr;
      for (Line& line : table->lines) {
        if (KeyMatches(line.text, key)) {
          found = &line.text;
          break;
        }
      }
      if (found != nullptr) {
        if (!EqualIgnoringCase(*found, text) && Storable(*table, text, false, complaints)) {
          *found = text;
          Write(*table);
        }
      } else if (Storable(*table, text, true, complaints)) {
        AppendLine(*table, text);
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
      const std::string& line = table->lines[index - 1].text;
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
    if (table != nullptr && index >= 1 && index <= table->lines.size() &&
        Changeable(*table, complaints)) {
      // The comments before the line stay where they are: before the line that follows.
      auto gone = table->lines.begin() + (index - 1);
      std::vector<std::string>& next = index < table->lines.size()
                                           ? table->lines[index].commentsBefore
                                           : table->trailingComments;
      next.insert(next.begin(), gone->commentsBefore.begin(), gone->commentsBefore.end());
      table->lines.erase(gone);
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
    if (table != nullptr && Changeable(*table, complaints)) {
      std::string text = std::string(key) + "=" + value;
      if (index == 0) index = 1;
      bool adding = index > table->lines.size();
      if (Storable(*table, text, adding, complaints)) {
        if (adding) {
          AppendLine(*table, text);
        } else {
          table->lines[index - 1].text = text;
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

uint32_t IniLineId(const char* file, uint32_t index) {
  Complaints complaints;
  uint32_t id = 0;
  {
    std::lock_guard<std::mutex> guard(storeLock);
    IniTable* table = Load(file, false, complaints);
    if (table != nullptr && index >= 1 && index <= table->lines.size()) {
      id = table->lines[index - 1].id;
    }
  }
  Emit(complaints);
  return id;
}

uint32_t IniFindLine(const char* file, uint32_t id) {
  Complaints complaints;
  uint32_t index = 0;
  {
    std::lock_guard<std::mutex> guard(storeLock);
    IniTable* table = Load(file, false, complaints);
    for (size_t i = 0; table != nullptr && i < table->lines.size() && index == 0; ++i) {
      if (id != 0 && table->lines[i].id == id) index = static_cast<uint32_t>(i + 1);
    }
  }
  Emit(complaints);
  return index;
}

bool IniReadable(const char* file) {
  Complaints complaints;
  bool readable = false;
  {
    std::lock_guard<std::mutex> guard(storeLock);
    IniTable* table = Load(file, false, complaints);
    readable = table != nullptr && !table->unreadable;
  }
  Emit(complaints);
  return readable;
}

bool IniGetLine(const char* file, uint32_t index, uint32_t& id, std::string& key,
                std::string& value, uint32_t& owner) {
  Complaints complaints;
  bool found = false;
  {
    std::lock_guard<std::mutex> guard(storeLock);
    IniTable* table = Load(file, false, complaints);
    if (table != nullptr && index >= 1 && index <= table->lines.size()) {
      const Line& line = table->lines[index - 1];
      const size_t eq = line.text.find('=');
      key = line.text.substr(0, eq);
      value = eq == std::string::npos ? std::string() : line.text.substr(eq + 1);
      id = line.id;
      owner = line.owner;
      found = true;
    }
  }
  Emit(complaints);
  return found;
}

bool IniPutLineById(const char* file, uint32_t id, const char* key, const char* value) {
  Complaints complaints;
  bool found = false;
  {
    std::lock_guard<std::mutex> guard(storeLock);
    IniTable* table = Load(file, false, complaints);
    for (size_t i = 0; table != nullptr && i < table->lines.size() && id != 0; ++i) {
      if (table->lines[i].id != id) continue;
      found = true;
      const std::string text = std::string(key) + "=" + value;
      if (Changeable(*table, complaints) && Storable(*table, text, false, complaints)) {
        table->lines[i].text = text;
        Write(*table);
      }
      break;
    }
  }
  Emit(complaints);
  return found;
}

bool IniDeleteLineById(const char* file, uint32_t id) {
  Complaints complaints;
  bool deleted = false;
  {
    std::lock_guard<std::mutex> guard(storeLock);
    IniTable* table = Load(file, false, complaints);
    for (size_t i = 0; table != nullptr && i < table->lines.size() && id != 0; ++i) {
      if (table->lines[i].id != id) continue;
      if (Changeable(*table, complaints)) {
        // The comments before the line stay where they are: before the line that follows.
        auto gone = table->lines.begin() + static_cast<std::ptrdiff_t>(i);
        std::vector<std::string>& next = i + 1 < table->lines.size()
                                             ? table->lines[i + 1].commentsBefore
                                             : table->trailingComments;
        next.insert(next.begin(), gone->commentsBefore.begin(), gone->commentsBefore.end());
        table->lines.erase(gone);
        Write(*table);
        deleted = true;
      }
      break;
    }
  }
  Emit(complaints);
  return deleted;
}

bool IniInsertLineAfter(const char* file, uint32_t id, const char* key, const char* value) {
  Complaints complaints;
  bool inserted = false;
  {
    std::lock_guard<std::mutex> guard(storeLock);
    IniTable* table = Load(file, false, complaints);
    const std::string text = std::string(key) + "=" + value;
    for (size_t i = 0; table != nullptr && i < table->lines.size() && id != 0; ++i) {
      if (table->lines[i].id != id) continue;
      if (Changeable(*table, complaints) && Storable(*table, text, true, complaints)) {
        table->lines.insert(table->lines.begin() + static_cast<std::ptrdiff_t>(i + 1),
                            Line{text, nextLineId++, {}, 0});
        Write(*table);
        inserted = true;
      }
      break;
    }
  }
  Emit(complaints);
  return inserted;
}

void IniReload(const char* file) {
  Complaints complaints;
  {
    std::lock_guard<std::mutex> guard(storeLock);
    Load(file, true, complaints);
  }
  Emit(complaints);
}

bool IniClaimLine(const char* file, uint32_t id, uint32_t owner) {
  Complaints complaints;
  bool claimed = false;
  {
    std::lock_guard<std::mutex> guard(storeLock);
    IniTable* table = Load(file, false, complaints);
    for (size_t i = 0; table != nullptr && i < table->lines.size(); ++i) {
      Line& line = table->lines[i];
      if (id == 0 || line.id != id) continue;
      if (line.owner == 0 || line.owner == owner) {
        line.owner = owner;
        claimed = true;
      }
      break;
    }
  }
  Emit(complaints);
  return claimed;
}

void IniReleaseLine(const char* file, uint32_t id, uint32_t owner) {
  std::lock_guard<std::mutex> guard(storeLock);
  for (IniTable& table : tables) {
    if (table.fileName != file) continue;
    for (Line& line : table.lines) {
      if (line.id == id && line.owner == owner) line.owner = 0;
    }
  }
}

uint32_t IniLineOwner(const char* file, uint32_t index) {
  Complaints complaints;
  uint32_t owner = 0;
  {
    std::lock_guard<std::mutex> guard(storeLock);
    IniTable* table = Load(file, false, complaints);
    if (table != nullptr && index >= 1 && index <= table->lines.size()) {
      owner = table->lines[index - 1].owner;
    }
  }
  Emit(complaints);
  return owner;
}

void IniFreeAll() {
  std::lock_guard<std::mutex> guard(storeLock);
  for (IniTable& table : tables) table = IniTable{};
}

}  // namespace aequa
