#include "core/output_log.h"

#include <cstdio>
#include <cstring>
#include <mutex>
#include <vector>

#include "core/crc32.h"
#include "core/results_file.h"
#include "core/settings.h"
#include "core/window_port.h"

namespace aequa {

std::atomic<bool> ReplaceLastLine{false};
std::atomic<bool> NoRedraw{false};

namespace {

// Line 0 is the line being built, lines 1..47 the completed lines, newest first, so that
// ending a line is one move of the block.
char logLines[kLogLines + 1][kLogLineSize];
uint64_t revision = 0;
std::string userName;
std::string userEmail;
std::string statusText;
std::mutex logLock;
std::atomic<LogLineSink> lineSink{nullptr};

struct Delivered {
  std::string text;
  bool replaced;
};

}  // namespace

void LogText(const char* text) {
  std::vector<Delivered> delivered;
  {
    std::lock_guard<std::mutex> guard(logLock);
    const bool replace = ReplaceLastLine.load();
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
    ReplaceLastLine.store(false);
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

int LogMessage(const char* text) {
  LogText(text);
  return AppendResults(text);
}

int ReportResult(const char* text) {
  uint32_t crc = ResultCrc(text, std::strlen(text));
  std::string name = UserName();
  std::string line(std::strlen(text) + name.size() + 32, '\0');
  int n = std::snprintf(line.data(), line.size(), "%s S%d:%08X %s\n", text, 3,
                        static_cast<unsigned>(crc), name.c_str());
  line.resize(n > 0 ? static_cast<size_t>(n) : 0);
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
}

std::string LastStatusText() {
  std::lock_guard<std::mutex> guard(logLock);
  return statusText;
}

std::mutex& OutputLock() { return logLock; }

void ResetLog() {
  std::lock_guard<std::mutex> guard(logLock);
  std::memset(logLines, 0, sizeof logLines);
  ReplaceLastLine.store(false);
  NoRedraw.store(false);
  ++revision;
}

}  // namespace aequa
