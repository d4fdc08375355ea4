#include "core/work_queue.h"

#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>

#include "core/coordinator.h"
#include "core/cost_model.h"
#include "core/line_clock.h"
#include "core/output_log.h"
#include "core/progress_estimate.h"
#include "core/settings.h"
#include "core/settings_store.h"
#include "core/shared_words.h"
#include "core/status_display.h"
#include "core/work_control.h"
#include "core/work_rules.h"

namespace aequa {
namespace {

// Reads comma-separated decimal numbers into `fields` as "%ld,%ld,..." would: white space is
// skipped before each number, reading stops at the first field that does not match, and
// missing fields are 0. Each number is kept as its low 32 bits (a negative number becomes its
// two's complement, and values written with "%lu" read back unchanged). Returns the index of
// the field where reading stopped on text that is not a number, or the field count when it
// stopped only because the text ended (or every field was read).
uint32_t ReadFields(const char* text, std::initializer_list<uint32_t*> fields) {
  for (uint32_t* field : fields) *field = 0;
  const char* p = text;
  uint32_t index = 0;
  const uint32_t count = static_cast<uint32_t>(fields.size());
  for (uint32_t* field : fields) {
    if (index != 0) {
      if (*p == '\0') return count;
      if (*p != ',') return index - 1;  // the previous number ran on into other text
      ++p;
    }
    while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == '\f' || *p == '\v') ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') {
      negative = *p == '-';
      ++p;
    }
    if (*p < '0' || *p > '9') return *p == '\0' && index == 0 ? count : index;
    uint32_t value = 0;
    while (*p >= '0' && *p <= '9') {
      value = value * 10u + static_cast<uint32_t>(*p - '0');
      ++p;
    }
    *field = negative ? 0u - value : value;
    ++index;
  }
  return count;
}

bool KeyIs(const char* key, std::string_view word) {
  size_t i = 0;
  for (; key[i] != '\0' && i < word.size(); ++i) {
    char c = key[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != word[i]) return false;
  }
  return key[i] == '\0' && i == word.size();
}

// The optional trailing fields of a line, after those LineFieldNames lists: the line's first
// start, and the CPU seconds spent on it. Missing (lines written before they existed) or not
// below the start, the first start is the start itself.
void KeepFirst(WorkItem& item) {
  if (item.first == 0 || item.first > item.start) {
    item.first = item.start;
    item.cpuSeconds = 0;
  }
}

// The trailing fields as written: only when the line has moved or has had CPU time, so that
// a line no search has touched reads as it was queued.
std::string HistoryFields(const WorkItem& item, uint32_t cpuSeconds) {
  if ((item.first == 0 || item.first >= item.start) && cpuSeconds == 0) return "";
  const uint32_t origin = item.first == 0 || item.first > item.start ? item.start : item.first;
  char text[32];
  std::snprintf(text, sizeof text, ",%lu,%lu", static_cast<unsigned long>(origin),
                static_cast<unsigned long>(cpuSeconds));
  return text;
}

// Checks one line into the item; returns the kind, or 0 after reporting the line with the
// message of the first rule it breaks. A rule broken because reading stopped at a field that
// is not a number is reported as that field's fault.
uint32_t ValidateLine(const char* key, const char* value, WorkItem& item, bool quiet = false) {
  auto refuse = [&](const char* pattern) {
    if (quiet) return 0u;
    char text[400];
    std::snprintf(text, sizeof text, pattern, key, value);
    LogMessage(text);
    return 0u;
  };
  uint32_t kind = 0;
  uint32_t stoppedAt = 0;
  LineFault fault = LineFault::None;
  if (KeyIs(key, "ADD")) {
    kind = WORK_ADD;
    stoppedAt = ReadFields(value, {&item.power, &item.start, &item.end, &item.terms,
                                   &item.megabytes, &item.first, &item.cpuSeconds});
    fault = CheckAddItem(item);
  } else if (KeyIs(key, "SUM")) {
    kind = WORK_SUM;
    stoppedAt = ReadFields(value, {&item.power, &item.start, &item.end, &item.leftTerms,
                                   &item.rightTerms, &item.variant, &item.current,
                                   &item.duration, &item.first, &item.cpuSeconds});
    fault = CheckSumItem(item);
  } else if (KeyIs(key, "PENTA")) {
    kind = WORK_PENTA;
    stoppedAt = ReadFields(value, {&item.power, &item.start, &item.end, &item.variant,
                                   &item.first, &item.cpuSeconds});
    fault = CheckPentaItem(item);
  } else {
    return refuse("Illegal line in INI file: %s=%s\n");
  }
  if (fault == LineFault::None) {
    KeepFirst(item);
    return item.kind = kind;
  }
  if (stoppedAt < LineFieldCount(kind) && stoppedAt <= LastFieldRead(fault)) {
    char pattern[80];
    std::snprintf(pattern, sizeof pattern, "Not a number for %s in INI file: %%s=%%s\n",
                  LineFieldNames(kind)[stoppedAt]);
    return refuse(pattern);
  }
  switch (fault) {
    case LineFault::Power:
      return refuse("Illegal power in INI file: %s=%s\n");
    case LineFault::Terms:
      return refuse("Illegal number of terms in INI file: %s=%s\n");
    case LineFault::LeftTerms:
      return refuse("Illegal number of left terms in INI file: %s=%s\n");
    case LineFault::RightTerms:
      return refuse("Illegal number of right terms in INI file: %s=%s\n");
    case LineFault::NoRange:
      return refuse("No range in INI file: %s=%s\n");
    case LineFault::StartOverflow:
      return refuse("Overflow on startrange in INI file: %s=%s\n");
    case LineFault::EndOverflow:
      return refuse("Overflow on endrange in INI file: %s=%s\n");
    case LineFault::None:
      break;
  }
  return item.kind = kind;
}

uint32_t ValidateLineQuietly(const char* key, const char* value, WorkItem& item) {
  return ValidateLine(key, value, item, true);
}

// Two lines of the same search (kind, power, terms, mode or type) whose ranges share a value.
bool Overlapping(const WorkItem& a, const WorkItem& b) {
  if (a.kind != b.kind || a.power != b.power) return false;
  const bool same = a.kind == WORK_SUM   ? a.leftTerms == b.leftTerms && a.variant == b.variant
                    : a.kind == WORK_ADD ? a.terms == b.terms
                                         : a.variant == b.variant;
  return same && a.start < b.end && b.start < a.end;
}

bool Identical(const WorkItem& a, const WorkItem& b) {
  return a.kind == b.kind && a.power == b.power && a.start == b.start && a.end == b.end &&
         a.leftTerms == b.leftTerms && a.rightTerms == b.rightTerms &&
         a.variant == b.variant && a.duration == b.duration && a.terms == b.terms &&
         a.megabytes == b.megabytes;
}

const char* KeyOf(uint32_t kind) {
  switch (kind) {
    case WORK_SUM:
      return "SUM";
    case WORK_ADD:
      return "ADD";
    default:
      return "PENTA";
  }
}

std::string FormatSumLine(uint32_t power, uint32_t start, uint32_t end, uint32_t left,
                          uint32_t right, uint32_t variant, uint32_t current,
                          uint32_t duration) {
  char text[160];
  std::snprintf(text, sizeof text, "%lu,%lu,%lu,%lu,%lu,%lu,%lu,%lu",
                static_cast<unsigned long>(power), static_cast<unsigned long>(start),
                static_cast<unsigned long>(end), static_cast<unsigned long>(left),
                static_cast<unsigned long>(right), static_cast<unsigned long>(variant),
                static_cast<unsigned long>(current), static_cast<unsigned long>(duration));
  return text;
}

std::string ValueOf(const WorkItem& item) {
  std::string value;
  switch (item.kind) {
    case WORK_SUM:
      value = FormatSumLine(item.power, item.start, item.end, item.leftTerms, item.rightTerms,
                            item.variant, item.current, item.duration);
      break;
    case WORK_ADD:
      value = AddLineValue(item.power, item.start, item.end, item.terms, item.megabytes);
      break;
    default:
      value = PentaLineValue(item.power, item.start, item.end, item.variant);
      break;
  }
  return value;
}

// The line as written: its fields, then where it began and its CPU seconds when it has any
// history.
std::string LineValue(const WorkItem& item, uint32_t cpuSeconds) {
  return ValueOf(item) + HistoryFields(item, cpuSeconds);
}

}  // namespace

uint32_t LineCpuSeconds(const WorkItem& item) {
  return item.cpuSeconds + (LineCpuMilliseconds() - item.cpuMark) / 1000u;
}

uint32_t ParseWorkLine(uint32_t index, WorkItem& item) {
  const char* file = WorkFile();
  for (;;) {
    item = WorkItem{};
    uint32_t id = 0;
    uint32_t owner = 0;
    std::string key;
    std::string value;
    if (!IniGetLine(file, index, id, key, value, owner)) return 0;
    const uint32_t kind = ValidateLine(key.c_str(), value.c_str(), item);
    if (kind != 0) {
      item.lineId = id;
      item.cpuMark = LineCpuMilliseconds();
      return kind;
    }
    item = WorkItem{};
    // By its id: another thread may have moved the lines meanwhile.
    IniDeleteLineById(file, id);
  }
}

bool UpdateWorkLine(const WorkItem& item) {
  const char* file = WorkFile();
  const uint32_t cpu = LineCpuSeconds(item);
  const bool found =
      item.start < item.end
          ? IniPutLineById(file, item.lineId, KeyOf(item.kind), LineValue(item, cpu).c_str())
          : IniDeleteLineById(file, item.lineId);
  if (found) {
    SetStatusProgress(item.start < item.end ? ShortProgressText(EstimateProgress(item, cpu)) : "");
  }
  if (!found && item.lineId != 0) {
    const std::string text = std::string("The line ") + KeyOf(item.kind) + "=" + ValueOf(item) +
                             " is no longer in the work file; its progress is not written\n";
    LogText(text.c_str());
  }
  return found || item.lineId == 0;  // an item of no line has nothing to record
}

void DeleteWorkLine(const WorkItem& item) { IniDeleteLineById(WorkFile(), item.lineId); }


SearchOutcome FailLine(SearchControl& control, const WorkItem& item, const std::string& errorLine,
                       const std::string& fileToSend) {
  LogMessage(control, errorLine.c_str());
  // Only a file that is there can be sent.
  if (!fileToSend.empty() && std::filesystem::exists(fileToSend)) {
    const std::string send = "Please send file " + fileToSend + " to " + CoordinatorEmail() + "\n";
    LogMessage(control, send.c_str());
  }
  DeleteWorkLine(item);
  return SearchOutcome::Failed;
}

bool Splittable(const WorkItem& item, uint32_t from) {
  // In modes Best and Same a result lowers n for every later value of the line: its values
  // are searched in order, by one worker.
  if (item.kind == WORK_SUM && item.variant != kModeExact) return false;
  return item.end > from && item.end - from >= 2;
}

bool OfferSplit(SearchControl& control, WorkItem& item, uint32_t from) {
  if (control.splitWanted.exchange(0) == 0) return false;
  if (!Splittable(item, from)) return false;
  const uint32_t end = item.end;
  const uint32_t cut = BalancedCut(item, from, end);
  if (!SplitWorkLine(item, cut)) return false;
  char text[160];
  std::snprintf(text, sizeof text, "%u to %u go to another worker as a line of their own\n",
                static_cast<unsigned>(cut), static_cast<unsigned>(end));
  LogText(control, text);
  return true;
}

namespace {

// Two lines that must not be searched at the same time: equal-sums lines of the same power,
// left terms and mode share the checkpoint names of their common values.
bool Conflicting(const WorkItem& a, const WorkItem& b) {
  return a.kind == WORK_SUM && b.kind == WORK_SUM && a.power == b.power &&
         a.leftTerms == b.leftTerms && a.start < b.end && b.start < a.end;
}

uint32_t OwnerOf(uint32_t worker) { return worker + 1; }

}  // namespace

std::vector<TakenLine> TakenLines() {
  std::vector<TakenLine> taken;
  const char* file = WorkFile();
  uint32_t id = 0;
  uint32_t owner = 0;
  std::string key;
  std::string value;
  for (uint32_t i = 1; IniGetLine(file, i, id, key, value, owner); ++i) {
    WorkItem item;
    if (owner == 0 || ValidateLineQuietly(key.c_str(), value.c_str(), item) == 0) continue;
    item.lineId = id;
    taken.push_back({owner - 1, item});
  }
  return taken;
}

uint32_t TakeWorkLine(uint32_t worker, WorkItem& item) {
  const char* file = WorkFile();
  for (uint32_t index = 1;; ++index) {
    const uint32_t kind = ParseWorkLine(index, item);
    if (kind == 0) return 0;
    uint32_t id = 0;
    uint32_t owner = 0;
    std::string key;
    std::string value;
    if (!IniGetLine(file, index, id, key, value, owner) || id != item.lineId) continue;
    if (owner != 0 && owner != OwnerOf(worker)) continue;
    if (!IniClaimLine(file, item.lineId, OwnerOf(worker))) continue;
    // Two workers that took conflicting lines at once: the one with the higher number gives
    // its line back.
    bool yields = false;
    for (const TakenLine& other : TakenLines()) {
      if (other.worker != worker && Conflicting(other.item, item) &&
          (other.worker < worker || other.item.lineId == item.lineId)) {
        yields = true;
      }
    }
    if (!yields) return kind;
    IniReleaseLine(file, item.lineId, OwnerOf(worker));
  }
}

void ReleaseWorkLine(uint32_t worker, const WorkItem& item) {
  IniReleaseLine(WorkFile(), item.lineId, OwnerOf(worker));
}

bool SplitWorkLine(WorkItem& item, uint32_t cut) {
  if (cut <= item.start || cut >= item.end || (item.kind == WORK_SUM && cut <= item.current)) {
    return false;
  }
  WorkItem part = item;
  part.start = cut;
  part.current = item.kind == WORK_SUM ? cut : 0;
  part.first = cut;
  WorkItem own = item;
  own.end = cut;
  const char* file = WorkFile();
  // One write of the file holds both lines: a crash leaves the old line or both parts. The
  // new part goes in first: when it cannot (a full table), nothing has changed.
  IniHold(file, 0);
  const bool done =
      IniInsertLineAfter(file, item.lineId, KeyOf(part.kind), LineValue(part, 0).c_str()) &&
      IniPutLineById(file, item.lineId, KeyOf(item.kind),
                     LineValue(own, LineCpuSeconds(item)).c_str());
  IniRelease(file);
  if (done) item.end = cut;
  return done;
}

std::string BuildStatusReport() {
  std::string text = "Below is a report on the work you have queued.\n";
  const char* file = WorkFile();
  IniHold(file, 0);
  if (!IniReadable(file)) {
    IniRelease(file);
    return std::string("The work file ") + file + " cannot be read; it is left as it is.";
  }
  int counted = 0;
  WorkItem item;
  for (uint32_t i = 1; ParseWorkLine(i, item) != 0; ++i) {
    if (text.size() >= 1800) continue;
    ++counted;
    char line[200];
    text += std::to_string(i) + ". ";
    const int power = static_cast<int32_t>(item.power);
    const int start = static_cast<int32_t>(item.start);
    const int end = static_cast<int32_t>(item.end);
    if (item.kind == WORK_SUM && item.duration != 0) {
      std::snprintf(line, sizeof line, "k=%d, from %d to %d, m=%d, n=%d (current=%d, duration=%d)\n",
                    power, start, end, static_cast<int32_t>(item.leftTerms),
                    static_cast<int32_t>(item.rightTerms), static_cast<int32_t>(item.current),
                    static_cast<int32_t>(item.duration));
    } else if (item.kind == WORK_SUM) {
      std::snprintf(line, sizeof line, "k=%d, from %d to %d, m=%d, n=%d (current=%d)\n", power,
                    start, end, static_cast<int32_t>(item.leftTerms),
                    static_cast<int32_t>(item.rightTerms), static_cast<int32_t>(item.current));
    } else if (item.kind == WORK_ADD) {
      std::snprintf(line, sizeof line, "k=%d, from %d to %d, %d terms, %d megabytes\n", power,
                    start, end, static_cast<int32_t>(item.terms),
                    static_cast<int32_t>(item.megabytes));
    } else {
      std::snprintf(line, sizeof line, "Penta%d on k=%d, from %d to %d\n",
                    static_cast<int32_t>(item.variant), power, start, end);
    }
    text += line;
    // Its progress; a line being searched names its worker (numbered from 1, as on the log).
    const uint32_t owner = IniLineOwner(file, i);
    text += "  " + ProgressText(EstimateProgress(item, item.cpuSeconds));
    if (owner == 0) {
      text += "\n";
    } else if (Settings.Workers.load() > 1) {
      text += " (being searched by worker " + std::to_string(owner) + ")\n";
    } else {
      text += " (being searched)\n";
    }
  }
  IniRelease(file);
  if (counted == 0) text = "You have no work queued up.";
  if (text.size() >= 2000) text.resize(1999);
  return text;
}

bool AddWorkLine(const char* key, const char* value, bool startIfIdle) {
  const char* file = WorkFile();
  IniReload(file);
  if (!IniReadable(file)) {
    LogText("The range is not queued: the work file cannot be read.\n");
    return false;
  }
  const uint32_t limit = MaxQueueLines();
  if (IniLineCount(file) >= limit) {
    LogText("Range truncated.  Maximum number of exponents exceeded.\n");
    return false;
  }
  // Compare with the queued lines as the reader takes them (an invalid new line is queued
  // and reported when it is read, as before).
  WorkItem added;
  if (ValidateLineQuietly(key, value, added) != 0) {
    const uint32_t lines = IniLineCount(file);
    for (uint32_t i = 1; i <= lines; ++i) {
      char queuedKey[kIniLineSize];
      char queuedValue[kIniLineSize];
      IniSplitLine(file, i, queuedKey, queuedValue);
      WorkItem queued;
      if (ValidateLineQuietly(queuedKey, queuedValue, queued) == 0) continue;
      if (Identical(queued, added)) {
        LogText("This range is already queued\n");
        return false;
      }
      if (Overlapping(queued, added)) {
        const std::string text = std::string("This range overlaps the queued line ") +
                                 queuedKey + "=" + queuedValue + "\n";
        LogText(text.c_str());
      }
    }
  }
  IniAppendLine(file, key, value);
  if (startIfIdle && WorkerRunning.load() == 0 && TimerRunning.load() == 0) StartWork();
  return true;
}

std::string SumLineValue(uint32_t power, uint32_t start, uint32_t end, uint32_t left,
                         uint32_t right, uint32_t mode, uint32_t duration) {
  return FormatSumLine(power, start, end, left, right, mode, start, duration);
}

std::string AddLineValue(uint32_t power, uint32_t start, uint32_t end, uint32_t terms,
                         uint32_t megabytes) {
  char text[120];
  std::snprintf(text, sizeof text, "%lu,%lu,%lu,%lu,%lu", static_cast<unsigned long>(power),
                static_cast<unsigned long>(start), static_cast<unsigned long>(end),
                static_cast<unsigned long>(terms), static_cast<unsigned long>(megabytes));
  return text;
}

std::string PentaLineValue(uint32_t power, uint32_t start, uint32_t end, uint32_t type) {
  char text[100];
  std::snprintf(text, sizeof text, "%lu,%lu,%lu,%lu", static_cast<unsigned long>(power),
                static_cast<unsigned long>(start), static_cast<unsigned long>(end),
                static_cast<unsigned long>(type));
  return text;
}

std::string WorkLineText(const WorkItem& item) {
  return std::string(KeyOf(item.kind)) + "=" + ValueOf(item);
}

uint32_t ReadWorkLineText(std::string_view line, WorkItem& item) {
  item = WorkItem{};
  const size_t equals = line.find('=');
  if (equals == std::string_view::npos) return 0;
  const std::string key(line.substr(0, equals));
  const std::string value(line.substr(equals + 1));
  return ValidateLineQuietly(key.c_str(), value.c_str(), item);
}

}  // namespace aequa
