#pragma once
// The values of the commands that take them, read by the fields of the command table and
// checked by the rules between them, so that nothing the work-line reader or a search would
// refuse later is accepted. Used by the command line, by the running copy for commands
// forwarded to it, and by the dialogs.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "shell/command_table.h"

namespace aequa::ui {

// Why a command's values were refused: the field and its prompt, or (no field) a plain
// message about the command.
struct Refusal {
  const FieldSpec* field = nullptr;
  std::string message;
  // "Power: Please enter ...", or the message alone.
  std::string Text() const;
};

using CommandOptions = std::map<std::string, std::string>;  // "--mode" -> "best"
using CommandValues = std::vector<std::string>;

struct SumRangeValues {
  uint32_t power, start, end, left, right, mode, duration;
};
struct AddRangeValues {
  int32_t power, start, end, terms, megabytes;
};
struct PentaRangeValues {
  int32_t power, start, end, type;
};
struct SumQuestionValues {
  int32_t power, terms;
  std::string number;
};
struct UserValues {
  std::string name, email;
};
struct PreferenceValues {
  uint32_t saveMinutes, displaySeconds;
};

// Reads one field's text by the rules of its FieldSpec (a Choice gives its index).
std::optional<Refusal> ReadField(const FieldSpec& field, const std::string& text, uint32_t& out);
std::optional<Refusal> ReadField(const FieldSpec& field, const std::string& text, int32_t& out);
std::optional<Refusal> ReadField(const FieldSpec& field, const std::string& text,
                                 std::string& out);

// The rules between the fields of a range, once every field was read: each refusal names the
// field to change and the range it may take given the fields before it.
std::optional<Refusal> SumRangeRules(const SumRangeValues& v);
std::optional<Refusal> AddRangeRules(const AddRangeValues& v);
std::optional<Refusal> PentaRangeRules(const PentaRangeValues& v);
// The number must be one whose table of powers the representation search can build.
std::optional<Refusal> SumQuestionRules(const SumQuestionValues& v);

// Each fills `out` from exactly the values the command takes (the caller checks their count
// against the command table) and returns the first refusal, if any.
std::optional<Refusal> CheckSumRange(const CommandValues& v, const CommandOptions& o,
                                     SumRangeValues& out);
std::optional<Refusal> CheckAddRange(const CommandValues& v, const CommandOptions& o,
                                     AddRangeValues& out);
std::optional<Refusal> CheckPentaRange(const CommandValues& v, PentaRangeValues& out);
std::optional<Refusal> CheckSumQuestion(const CommandValues& v, SumQuestionValues& out);
std::optional<Refusal> CheckUser(const CommandValues& v, UserValues& out);
std::optional<Refusal> CheckPreferences(const CommandValues& v, PreferenceValues& out);
std::optional<Refusal> CheckPriority(const CommandValues& v, uint32_t& out);
std::optional<Refusal> CheckWorkers(const CommandValues& v, uint32_t& out);

}  // namespace aequa::ui
