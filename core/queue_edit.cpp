#include "core/queue_edit.h"

#include <algorithm>

#include "core/settings.h"
#include "core/settings_store.h"
#include "core/work_queue.h"

namespace aequa {
namespace {

std::string LineText(const char* file, uint32_t index) {
  char key[kIniLineSize];
  char value[kIniLineSize];
  IniSplitLine(file, index, key, value);
  return std::string(key) + "=" + value;
}

// Holds the work file's table for one batch of edits, written once at the end.
class HeldWorkFile {
 public:
  HeldWorkFile() : file_(WorkFile()) { IniHold(file_, 0); }
  ~HeldWorkFile() { IniRelease(file_); }
  HeldWorkFile(const HeldWorkFile&) = delete;
  HeldWorkFile& operator=(const HeldWorkFile&) = delete;
  const char* file() const { return file_; }

 private:
  const char* file_;
};

}  // namespace

std::vector<QueueEntry> ListQueue() {
  std::vector<QueueEntry> entries;
  HeldWorkFile held;
  if (!IniReadable(held.file())) return entries;
  const uint32_t lines = IniLineCount(held.file());
  for (uint32_t i = 1; i <= lines; ++i) {
    QueueEntry entry;
    entry.number = i;
    entry.text = LineText(held.file(), i);
    ReadWorkLineText(entry.text, entry.item);
    entry.running = IniLineOwner(held.file(), i) != 0;
    entries.push_back(std::move(entry));
  }
  return entries;
}

QueueEdit RemoveQueueLine(uint32_t number) {
  HeldWorkFile held;
  if (!IniReadable(held.file())) return QueueEdit::Unreadable;
  if (number == 0 || number > IniLineCount(held.file())) return QueueEdit::NoSuchLine;
  if (IniLineOwner(held.file(), number) != 0) return QueueEdit::Running;
  IniDeleteLine(held.file(), number);
  return QueueEdit::Done;
}

QueueEdit MoveQueueLine(uint32_t from, uint32_t to) {
  HeldWorkFile held;
  if (!IniReadable(held.file())) return QueueEdit::Unreadable;
  const uint32_t lines = IniLineCount(held.file());
  if (from == 0 || from > lines) return QueueEdit::NoSuchLine;
  to = std::clamp<uint32_t>(to, 1, lines);
  if (from == to) return QueueEdit::Done;
  const uint32_t low = std::min(from, to);
  const uint32_t high = std::max(from, to);
  // Every line of the span is rewritten in place: a running line there would have another
  // line's text put under its id.
  for (uint32_t i = low; i <= high; ++i) {
    if (IniLineOwner(held.file(), i) != 0) return QueueEdit::Running;
  }
  std::vector<std::string> span;
  for (uint32_t i = low; i <= high; ++i) span.push_back(LineText(held.file(), i));
  if (from < to) {
    std::rotate(span.begin(), span.begin() + 1, span.end());
  } else {
    std::rotate(span.rbegin(), span.rbegin() + 1, span.rend());
  }
  for (uint32_t i = low; i <= high; ++i) {
    const std::string& text = span[i - low];
    const size_t equals = text.find('=');
    IniPutLine(held.file(), i, text.substr(0, equals).c_str(), text.substr(equals + 1).c_str());
  }
  return QueueEdit::Done;
}

std::string QueueEditText(QueueEdit outcome, uint32_t number) {
  const std::string line = "Line " + std::to_string(number);
  switch (outcome) {
    case QueueEdit::Done:
      return "The queue is changed.";
    case QueueEdit::NoSuchLine:
      return "There is no line " + std::to_string(number) + " in the queue.";
    case QueueEdit::Running:
      return line + " or a line it passes is being searched; stop the search first.";
    case QueueEdit::Unreadable:
      return std::string("The work file ") + WorkFile() + " cannot be read; it is left as it is.";
  }
  return "";
}

}  // namespace aequa
