#include "core/results_reader.h"

#include <algorithm>
#include <cstdio>

#include "core/crc32.h"
#include "core/work_item.h"

namespace aequa {
namespace {

constexpr std::string_view kTagStart = " S3:";
constexpr size_t kTagDigits = 8;
constexpr size_t kStampLength = 26;  // "[" 24 characters of date and time "]"

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsTagDigit(char c) { return IsDigit(c) || (c >= 'A' && c <= 'F'); }

// A cursor over one line's text that reads the pieces of the known line formats.
class Cursor {
 public:
  explicit Cursor(std::string_view text) : text_(text) {}
  bool AtEnd() const { return pos_ == text_.size(); }
  bool Take(std::string_view word) {
    if (text_.substr(pos_, word.size()) != word) return false;
    pos_ += word.size();
    return true;
  }
  // A decimal number that fits 32 bits.
  bool Number(uint32_t& out) {
    std::string_view digits = DigitRun();
    if (digits.empty() || digits.size() > 10) return false;
    uint64_t value = 0;
    for (char c : digits) value = value * 10 + static_cast<uint64_t>(c - '0');
    if (value > UINT32_MAX) return false;
    out = static_cast<uint32_t>(value);
    return true;
  }
  std::string_view DigitRun() {
    const size_t start = pos_;
    while (pos_ < text_.size() && IsDigit(text_[pos_])) ++pos_;
    return text_.substr(start, pos_ - start);
  }
  void SkipBlanks() {
    while (pos_ < text_.size() && text_[pos_] == ' ') ++pos_;
  }
  std::string_view Rest() const { return text_.substr(pos_); }

 private:
  std::string_view text_;
  size_t pos_ = 0;
};

// "(a,b)" or "(a,b,c)": the numbers in the parentheses.
bool Head(Cursor& c, std::vector<uint32_t>& numbers) {
  if (!c.Take("(")) return false;
  do {
    uint32_t n = 0;
    if (!c.Number(n)) return false;
    numbers.push_back(n);
  } while (c.Take(","));
  return c.Take(")") && (numbers.size() == 2 || numbers.size() == 3);
}

// "(k,m,n) x done in s seconds", "(k,n) X done in s seconds",
// "(5,t) a-b done in s seconds (c candidates)".
bool ReadDone(std::string_view body, ResultsLine& line) {
  Cursor c(body);
  std::vector<uint32_t> head;
  uint32_t first = 0, last = 0, seconds = 0, candidates = 0;
  if (!Head(c, head) || !c.Take(" ") || !c.Number(first)) return false;
  const bool stretch = c.Take("-");
  if (stretch && !c.Number(last)) return false;
  if (!c.Take(" done in ") || !c.Number(seconds) || !c.Take(" seconds")) return false;
  const bool counted = c.Take(" (");
  if (counted && !(c.Number(candidates) && c.Take(" candidates)"))) return false;
  if (!c.AtEnd()) return false;
  if (head.size() == 3 && !stretch && !counted) {
    if (first == UINT32_MAX) return false;
    line.search = {WORK_SUM, head[0], head[1]};
    line.from = first;
    line.to = first + 1;
  } else if (head.size() == 2 && stretch && counted) {
    if (last < first || last == UINT32_MAX) return false;
    line.search = {WORK_PENTA, head[0], head[1]};
    line.from = first;
    line.to = last + 1;
  } else if (head.size() == 2 && !stretch && !counted) {
    line.search = {WORK_ADD, head[0], head[1]};
    line.to = first;
    line.fromLineStart = true;
  } else {
    return false;
  }
  line.kind = ResultsLineKind::Done;
  return true;
}

// "(k,m,c) terms=terms", "(k,m,n) at V", "PentaN: a^5 ...", "S=terms".
bool ReadResult(std::string_view body, ResultsLine& line) {
  Cursor c(body);
  std::vector<uint32_t> head;
  if (Head(c, head)) {
    if (head.size() != 3) return false;
    if (c.Take(" at ")) {
      std::string_view value = c.DigitRun();
      if (value.empty() || !c.AtEnd()) return false;
      line.search = {WORK_ADD, head[0], 0};
      line.position = std::string(value);
    } else {
      if (!c.Take(" ")) return false;
      std::string_view x1 = c.DigitRun();
      if (x1.empty() || c.Rest().find('=') == std::string_view::npos) return false;
      line.search = {WORK_SUM, head[0], head[1]};
      line.position = std::string(x1);
    }
  } else if (c.Take("Penta")) {
    uint32_t type = 0;
    if (!c.Number(type) || !c.Take(":")) return false;
    c.SkipBlanks();
    std::string_view a = c.DigitRun();
    if (a.empty()) return false;
    line.search = {WORK_PENTA, 5, type};
    line.position = std::string(a);
  } else {
    std::string_view sum = c.DigitRun();
    if (sum.empty() || !c.Take("=") || c.AtEnd()) return false;
    line.search = {0, 0, 0};
    line.position = std::string(sum);
  }
  line.kind = ResultsLineKind::Result;
  return true;
}

// Finds the tag " S3:XXXXXXXX" followed by the end of the line or a blank and the name.
void ReadTag(ResultsLine& line) {
  const std::string& text = line.text;
  for (size_t at = text.find(kTagStart); at != std::string::npos;
       at = text.find(kTagStart, at + 1)) {
    const size_t digits = at + kTagStart.size();
    if (text.size() < digits + kTagDigits) return;
    if (!std::all_of(text.begin() + static_cast<std::ptrdiff_t>(digits),
                     text.begin() + static_cast<std::ptrdiff_t>(digits + kTagDigits),
                     IsTagDigit)) {
      continue;
    }
    const size_t after = digits + kTagDigits;
    if (after != text.size() && text[after] != ' ') continue;
    const uint32_t tag =
        static_cast<uint32_t>(std::stoul(text.substr(digits, kTagDigits), nullptr, 16));
    line.isSigned = true;
    line.body = text.substr(0, at);
    line.tagMatches = ResultCrc(line.body.data(), line.body.size()) == tag;
    return;
  }
}

// Compares two decimal digit strings as numbers.
int CompareDecimal(std::string_view a, std::string_view b) {
  while (a.size() > 1 && a.front() == '0') a.remove_prefix(1);
  while (b.size() > 1 && b.front() == '0') b.remove_prefix(1);
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return a.compare(b) < 0 ? -1 : a.compare(b) > 0 ? 1 : 0;
}

}  // namespace

ResultsLine ReadResultsLine(std::string_view text, uint32_t number) {
  ResultsLine line;
  line.number = number;
  line.text = std::string(text);
  line.body = line.text;
  if (text.empty()) {
    line.kind = ResultsLineKind::Blank;
    return line;
  }
  if (text.size() == kStampLength && text.front() == '[' && text.back() == ']') {
    line.kind = ResultsLineKind::Stamp;
    return line;
  }
  if (text.substr(0, 6) == "User: ") {
    line.kind = ResultsLineKind::User;
    return line;
  }
  ReadTag(line);
  if (!ReadDone(line.body, line) && !ReadResult(line.body, line)) {
    line.kind = ResultsLineKind::Message;
    line.search = {};
  }
  return line;
}

std::vector<ResultsLine> ReadResultsText(std::string_view text) {
  std::vector<ResultsLine> lines;
  uint32_t number = 0;
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(ReadResultsLine(line, ++number));
  }
  return lines;
}

bool ResultOrder(const ResultsLine& a, const ResultsLine& b) {
  if (!(a.search == b.search)) return a.search < b.search;
  if (a.kind == ResultsLineKind::Done && b.kind == ResultsLineKind::Done) {
    if (a.from != b.from) return a.from < b.from;
    if (a.to != b.to) return a.to < b.to;
  } else if (int order = CompareDecimal(a.position, b.position); order != 0) {
    return order < 0;
  }
  return a.text < b.text;
}

std::vector<Stretch> StretchSet::Add(uint32_t from, uint32_t to) {
  std::vector<Stretch> overlap;
  if (to <= from) return overlap;
  for (const Stretch& s : stretches_) {
    const uint32_t low = std::max(from, s.from), high = std::min(to, s.to);
    if (low < high) overlap.push_back({low, high});
  }
  // Join every stretch that touches [from, to) into it.
  std::vector<Stretch> kept;
  Stretch joined{from, to};
  for (const Stretch& s : stretches_) {
    if (s.to < joined.from || s.from > joined.to) {
      kept.push_back(s);
    } else {
      joined.from = std::min(joined.from, s.from);
      joined.to = std::max(joined.to, s.to);
    }
  }
  kept.push_back(joined);
  std::sort(kept.begin(), kept.end(),
            [](const Stretch& a, const Stretch& b) { return a.from < b.from; });
  stretches_ = std::move(kept);
  return overlap;
}

void StretchSet::Remove(uint32_t from, uint32_t to) {
  std::vector<Stretch> kept;
  for (const Stretch& s : stretches_) {
    if (s.to <= from || s.from >= to) {
      kept.push_back(s);
      continue;
    }
    if (s.from < from) kept.push_back({s.from, from});
    if (s.to > to) kept.push_back({to, s.to});
  }
  stretches_ = std::move(kept);
}

std::vector<Stretch> StretchSet::Missing(uint32_t from, uint32_t to) const {
  std::vector<Stretch> missing;
  uint32_t next = from;
  for (const Stretch& s : stretches_) {
    if (s.to <= next) continue;
    if (s.from >= to) break;
    if (s.from > next) missing.push_back({next, s.from});
    next = s.to;
  }
  if (next < to) missing.push_back({next, to});
  return missing;
}

std::string StretchesText(const std::vector<Stretch>& stretches) {
  std::string text;
  char piece[48];
  for (const Stretch& s : stretches) {
    if (s.to - s.from == 1) {
      std::snprintf(piece, sizeof piece, "%u", static_cast<unsigned>(s.from));
    } else {
      std::snprintf(piece, sizeof piece, "%u-%u", static_cast<unsigned>(s.from),
                    static_cast<unsigned>(s.to - 1));
    }
    text += (text.empty() ? "" : ", ") + std::string(piece);
  }
  return text;
}

std::string SearchName(const SearchKey& key) {
  char text[96];
  const unsigned power = key.power, group = key.group;
  switch (key.kind) {
    case WORK_SUM:
      std::snprintf(text, sizeof text, "SUM power %u, %u left term%s", power, group,
                    group == 1 ? "" : "s");
      break;
    case WORK_ADD:
      if (group == 0) {
        std::snprintf(text, sizeof text, "ADD power %u", power);
      } else {
        std::snprintf(text, sizeof text, "ADD power %u, %u terms", power, group);
      }
      break;
    case WORK_PENTA:
      std::snprintf(text, sizeof text, "PENTA type %u", group);
      break;
    default:
      std::snprintf(text, sizeof text, "representations");
      break;
  }
  return text;
}

}  // namespace aequa
