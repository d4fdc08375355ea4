#pragma once
// Reads a results file back: stamps, "User:" lines, result lines and "done" lines of each
// search, and the signed lines with their tags checked. The coverage of the done lines (which
// values of which search were searched to their end) is kept as stretches of units, so that
// gaps and work done twice can be listed. Used by the commands that list, check and merge
// results files.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace aequa {

enum class ResultsLineKind {
  Blank,
  Stamp,    // "[Wed Jan 02 02:03:55 1980]"
  User,     // "User: name, address"
  Result,   // a result of a search or of the representation command
  Done,     // a stretch of units searched to its end
  Message,  // anything else: errors, counts, requests to send a file
};

// The search a result or done line belongs to: the work kind (WORK_SUM, WORK_ADD, WORK_PENTA;
// 0 for the representation command), its power and its group: SUM left terms m, ADD terms n
// (0 for a collision line, which does not tell the n of its line), PENTA type.
struct SearchKey {
  uint32_t kind = 0;
  uint32_t power = 0;
  uint32_t group = 0;
  friend bool operator<(const SearchKey& a, const SearchKey& b) {
    if (a.kind != b.kind) return a.kind < b.kind;
    if (a.power != b.power) return a.power < b.power;
    return a.group < b.group;
  }
  friend bool operator==(const SearchKey& a, const SearchKey& b) {
    return a.kind == b.kind && a.power == b.power && a.group == b.group;
  }
};

struct ResultsLine {
  uint32_t number = 0;     // 1-based line number in its file
  std::string text;        // the whole line, without its line end
  ResultsLineKind kind = ResultsLineKind::Message;
  bool isSigned = false;   // ends with " S3:<crc>" and the user's name
  bool tagMatches = false; // signed, and the tag is the CRC-32 of `body`
  std::string body;        // the signed text (the line without its tag and name), else the line
  SearchKey search;        // Result and Done lines
  // Result: the unit the result belongs to, as decimal digits (x1, the collision value, a).
  std::string position;
  // Done: the units [from, to) searched. A sum-collision done line says only that everything
  // below `to` was searched from the start of its line: `fromLineStart` is set and `from` is 0.
  uint32_t from = 0;
  uint32_t to = 0;
  bool fromLineStart = false;
  // A done line whose tag does not match, or that has none, proves nothing.
  bool Trusted() const { return kind == ResultsLineKind::Done && isSigned && tagMatches; }
};

// Splits the text into lines (CR LF or LF) and reads each.
std::vector<ResultsLine> ReadResultsText(std::string_view text);
ResultsLine ReadResultsLine(std::string_view line, uint32_t number);

// Orders result lines as a merged file lists them: by search, then by unit (numerically),
// then by text.
bool ResultOrder(const ResultsLine& a, const ResultsLine& b);

// Stretches [from, to) of units, kept sorted and joined.
struct Stretch {
  uint32_t from = 0;
  uint32_t to = 0;
  friend bool operator==(const Stretch& a, const Stretch& b) {
    return a.from == b.from && a.to == b.to;
  }
};
class StretchSet {
 public:
  // Adds [from, to); returns the parts of it that were already in the set.
  std::vector<Stretch> Add(uint32_t from, uint32_t to);
  void Remove(uint32_t from, uint32_t to);
  // The parts of [from, to) that are not in the set.
  std::vector<Stretch> Missing(uint32_t from, uint32_t to) const;
  const std::vector<Stretch>& Stretches() const { return stretches_; }
  bool Empty() const { return stretches_.empty(); }

 private:
  std::vector<Stretch> stretches_;
};

// "80-84, 87" for stretches [80, 85) and [87, 88): the units, ends included.
std::string StretchesText(const std::vector<Stretch>& stretches);
// "SUM power 5, 1 left term", "ADD power 3, 2 terms", "PENTA type 2".
std::string SearchName(const SearchKey& key);

}  // namespace aequa
