#include "core/output_log.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <vector>

#include "core/crc32.h"
#include "core/results_file.h"
#include "core/settings.h"
#include "core/window_port.h"

namespace aequa {

std::atomic<bool> NoRedraw{false};

namespace {

// Who wrote a line: 0 the program itself, i + 1 the search thread of control i.
constexpr size_t kOrigins = kMaxWorkers + 2;
uint32_t OriginOf(const SearchControl& from) { return from.index + 1; }

// Line 0 is the line being built, lines 1..47 the completed lines, newest first, so that
// ending a line is one move of the block.
char logLines[kLogLines + 1][kLogLineSize];
uint64_t revision = 0;
std::string userName;
std::string userEmail;
std::string statusText;
std::array<std::string, kMaxWorkers + 1> workerStatus;  // each search thread's status, "" idle
std::mutex logLock;
std::atomic<LogLineSink> lineSink{nullptr};
// Each origin's progress line may be overwritten by its next text while it is the newest line.
bool replaceNext[kOrigins] = {};
uint32_t newestOrigin = 0;

struct Delivered {
  std::string text;
  bool replaced;
};

}  // namespace

namespace {

// Appends text to the log as `origin`'s; with several workers a worker's lines on the screen
// start with its number.
void Write(uint32_t origin, const char* text) {
  std::string prefixed;
  if (origin > 0 && origin <= kMaxWorkers && Settings.Workers.load() > 1) {
    const std::string prefix = "[" + std::to_string(origin) + "] ";
    bool lineStart = true;
    for (const char* p = text; *p != '\0'; ++p) {
      if (lineStart && *p != '\n') prefixed += prefix;
      prefixed += *p;
      lineStart = *p == '\n';
    }
    text = prefixed.c_str();
  }
  std::vector<Delivered> delivered;
  {
    std::lock_guard<std::mutex> guard(logLock);
    // A progress line is overwritten only by its own writer, and only while it is the newest.
    const bool replace = replaceNext[origin] && newestOrigin == origin && logLines[0][0] == '\0';
    replaceNext[origin] = false;
    char* base = replace ? logLines[1] : logLines[0];
    size_t pos = replace ? 0 : std::strlen(logLines[0]);
    bool pendingTail = false;  // characters written since the last line end
    for (const char* p = text; *p != '\0'; ++p) {
      if (*p == '\n') {
        base[pos] = '\0';
        delivered.push_back({base, replace});
        if (!replace) {
          std::memmove(logLines[1], logLines[0], kLogLines * kLogLineSize);
          logLines[0][0] = '\0';
          newestOrigin = origin;
        }
        pos = 0;
        pendingTail = false;
      } else {
        if (pos < kLogLineSize - 1) base[pos++] = *p;
        pendingTail = true;
      }
    }
    // The line being built always ends at the write position. In replace mode a text without
    // a final line end also ends the replaced line there, so no tail of the old text stays.
    if (!replace || pendingTail) base[pos] = '\0';
    ++revision;
  }
  LogLineSink sink = lineSink.load();
  if (sink != nullptr) {
    for (const Delivered& line : delivered) sink(line.text.c_str(), line.replaced);
  }
  if (!NoRedraw.load()) {
    if (WindowPort* window = AttachedWindow()) window->RequestRepaint();
  }
}

std::string SignedLine(const char* text) {
  uint32_t crc = ResultCrc(text, std::strlen(text));
  std::string name = UserName();
  std::string line(std::strlen(text) + name.size() + 32, '\0');
  int n = std::snprintf(line.data(), line.size(), "%s S%d:%08X %s\n", text, 3,
                        static_cast<unsigned>(crc), name.c_str());
  line.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return line;
}

}  // namespace

void LogText(const char* text) { Write(0, text); }
void LogText(const SearchControl& from, const char* text) { Write(OriginOf(from), text); }

void ReplaceNextLine(const SearchControl& from) {
  std::lock_guard<std::mutex> guard(logLock);
  replaceNext[OriginOf(from)] = true;
}

int LogMessage(const SearchControl& from, const char* text) {
  LogText(from, text);
  return AppendResults(text);
}

int ReportResult(const SearchControl& from, const char* text) {
  const std::string line = SignedLine(text);
  LogText(from, line.c_str());
  return AppendResults(line.c_str());
}

int LogMessage(const char* text) {
  LogText(text);
  return AppendResults(text);
}

int ReportResult(const char* text) {
  const std::string line = SignedLine(text);
  LogText(line.c_str());
  return AppendResults(line.c_str());
}

void AnnounceResult(const char* line) {
  if (Settings.ResultBalloon.load() == 0) return;
  std::string text = line;
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  if (WindowPort* window = AttachedWindow()) window->AnnounceResult(text);
}

std::string CompletedLine(int i) {
  if (i < 1 || i > kLogLines) return std::string();
  std::lock_guard<std::mutex> guard(logLock);
  return logLines[i];
}

uint64_t LogRevision() {
  std::lock_guard<std::mutex> guard(logLock);
  return revision;
}

void SetLogLineSink(LogLineSink sink) { lineSink.store(sink); }

void SetUserIdentity(const std::string& name, const std::string& email) {
  std::lock_guard<std::mutex> guard(logLock);
  userName = name.substr(0, 128);
  userEmail = email.substr(0, 128);
}

std::string UserName() {
  std::lock_guard<std::mutex> guard(logLock);
  return userName;
}

std::string UserEmailAddr() {
  std::lock_guard<std::mutex> guard(logLock);
  return userEmail;
}

void RecordStatusText(const std::string& text) {
  std::lock_guard<std::mutex> guard(logLock);
  statusText = text;
  for (std::string& worker : workerStatus) worker.clear();
}

std::string RecordWorkerStatus(uint32_t index, const std::string& text) {
  std::lock_guard<std::mutex> guard(logLock);
  workerStatus[index <= kMaxWorkers ? index : kMaxWorkers] = text;
  // One search: its status alone, as with a single worker; several: each with its number.
  std::string composed;
  int shown = 0;
  for (uint32_t i = 0; i <= kMaxWorkers; ++i) {
    if (workerStatus[i].empty()) continue;
    if (shown++ > 0) composed += " | ";
    composed += "[" + std::to_string(i + 1) + "] " + workerStatus[i];
  }
  if (shown == 1 && Settings.Workers.load() <= 1) {
    for (const std::string& worker : workerStatus) {
      if (!worker.empty()) composed = worker;
    }
  }
  statusText = "Aequa - " + (shown == 0 ? std::string("IDLE") : composed);
  return statusText;
}

std::vector<std::string> WorkerStatusTexts() {
  std::lock_guard<std::mutex> guard(logLock);
  return std::vector<std::string>(workerStatus.begin(), workerStatus.end());
}

std::string LastStatusText() {
  std::lock_guard<std::mutex> guard(logLock);
  return statusText;
}

std::mutex& OutputLock() { return logLock; }

void ResetLog() {
  std::lock_guard<std::mutex> guard(logLock);
  std::memset(logLines, 0, sizeof logLines);
  for (bool& flag : replaceNext) flag = false;
  newestOrigin = 0;
  NoRedraw.store(false);
  ++revision;
}

}  // namespace aequa
