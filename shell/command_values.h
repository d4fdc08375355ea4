#pragma once
// The values of the commands that take them, checked as the matching dialogs check them.
// Used by the command line and by the running copy for commands forwarded to it.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace aequa::ui {

// Why a command's values were refused: the field and the dialog's prompt, or (field empty)
// a plain message about the command.
struct Refusal {
  std::string field;
  std::string message;
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

// Each fills `out` from exactly the values the command takes (the caller checks the count)
// and returns the first refusal, if any.
std::optional<Refusal> CheckSumRange(const CommandValues& v, const CommandOptions& o,
                                     SumRangeValues& out);
std::optional<Refusal> CheckAddRange(const CommandValues& v, const CommandOptions& o,
                                     AddRangeValues& out);
std::optional<Refusal> CheckPentaRange(const CommandValues& v, PentaRangeValues& out);
std::optional<Refusal> CheckSumQuestion(const CommandValues& v, SumQuestionValues& out);
std::optional<Refusal> CheckUser(const CommandValues& v, UserValues& out);
std::optional<Refusal> CheckPreferences(const CommandValues& v, PreferenceValues& out);
std::optional<Refusal> CheckPriority(const CommandValues& v, uint32_t& out);

}  // namespace aequa::ui
