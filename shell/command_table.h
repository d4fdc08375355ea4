#pragma once
// The commands of the program and the fields they take: the only place where a field's name,
// kind and range are written. The command line, the commands forwarded to a running copy and
// the dialogs of every window backend read them from here.
#include <cstdint>
#include <string>
#include <vector>

namespace aequa::ui {

enum class FieldKind {
  Unsigned,  // digits only, within [min, max]
  Signed,    // an optional sign and digits, within [min, max]
  Text,      // at most `max` characters
  PlainText, // at most `max` characters, no line ends or other control characters
  Digits,    // a decimal number of at most `max` characters, below 2^128
  Choice,    // one of `choices`, taken as its index
  Flag,      // an option without a value: given or not
};

struct FieldSpec {
  const char* label;     // the dialog's label; refusals name the field by it
  const char* argument;  // on the command line: "POWER", or the option "--mode"
  FieldKind kind;
  int64_t min;
  int64_t max;
  const char* fallback;  // an option's value when it is not given
  const char* metavar;   // an option's value in the help ("SECONDS"); choices for Choice
  std::vector<std::string> choices;
  bool IsOption() const { return argument[0] == '-'; }
};

// The fields of each command that takes values, by name.
struct NewFields {
  FieldSpec power, start, end, left, right, mode, duration;
};
struct ComputeFields {
  FieldSpec power, start, end, terms, memory;
};
struct PentaFields {
  FieldSpec power, start, end, type;
};
struct SumFields {
  FieldSpec power, terms, number;
};
struct UserFields {
  FieldSpec name, email;
};
struct PreferenceFields {
  FieldSpec save, display;
};
struct PriorityFields {
  FieldSpec priority;
};
struct WorkersFields {
  FieldSpec workers;
};
struct ResultsFields {
  FieldSpec all;
};
struct StatusFields {
  FieldSpec json;
};
// queue: an optional edit ("remove N", "move N M"), whose values the command counts itself.
struct QueueFields {
  FieldSpec edit, line, place;
};
// split: the range is a queueing command with its values and options, or a queue line.
struct SplitFields {
  FieldSpec range, parts, cpuTime, unitMs, into, line, settings, boinc;
};
struct MergeFields {
  FieldSpec inputs, output, range;
};
struct HelpFields {
  FieldSpec topic;
};

extern const NewFields kNewFields;
extern const ComputeFields kComputeFields;
extern const PentaFields kPentaFields;
extern const SumFields kSumFields;
extern const UserFields kUserFields;
extern const PreferenceFields kPreferenceFields;
extern const PriorityFields kPriorityFields;
extern const WorkersFields kWorkersFields;
extern const ResultsFields kResultsFields;
extern const StatusFields kStatusFields;
extern const QueueFields kQueueFields;
extern const SplitFields kSplitFields;
extern const MergeFields kMergeFields;
extern const HelpFields kHelpFields;

struct CommandSpec {
  const char* name;
  std::vector<const FieldSpec*> arguments;  // in their order on the command line
  std::vector<const FieldSpec*> options;
  bool queues;         // adds a work line: takes --queue-only
  const char* summary; // the help's description; "\n" continues it on the next line
};

// Every command of the command line, in the order the help lists them.
const std::vector<CommandSpec>& Commands();
// Null for an unknown command.
const CommandSpec* FindCommand(const std::string& name);
// The help's list of commands, each with its arguments and options.
std::string CommandsHelp();
// True when some command takes `name` as an option with a value, or as a flag.
bool IsValueOption(const std::string& name);
bool IsFlagOption(const std::string& name);
// The option of `command` by its name (a split also takes the options of the range commands);
// null when it takes no such option.
const FieldSpec* FindOption(const CommandSpec& command, const std::string& name);

}  // namespace aequa::ui
