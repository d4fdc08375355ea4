#include "shell/command_table.h"

#include "core/settings_store.h"
#include "core/shared_words.h"
#include "core/work_rules.h"
#include "penta/penta_tables.h"
#include "penta/penta_types.h"
#include "sums/sum_tree.h"

namespace aequa::ui {
namespace {

constexpr int64_t kIntMax = INT32_MAX;
constexpr int64_t kUnsignedMax = UINT32_MAX;
constexpr int64_t kLineMax = kMaxLineValue;
constexpr int64_t kDialogMaxPower = 256;

FieldSpec Number(const char* label, const char* argument, FieldKind kind, int64_t min,
                 int64_t max) {
  return {label, argument, kind, min, max, nullptr, nullptr, {}};
}

FieldSpec Option(const char* label, const char* option, FieldKind kind, int64_t min,
                 int64_t max, const char* fallback, const char* metavar) {
  return {label, option, kind, min, max, fallback, metavar, {}};
}

FieldSpec Words(const char* label, const char* argument, FieldKind kind, int64_t maxChars) {
  return {label, argument, kind, 0, maxChars, nullptr, nullptr, {}};
}

}  // namespace

// Start, end and duration go into the work line, whose reader takes signed 32-bit values.
const NewFields kNewFields = {
    Number("Power", "POWER", FieldKind::Unsigned, kMinLinePower, kDialogMaxPower),
    Number("Start", "START", FieldKind::Unsigned, 0, kLineMax),
    Number("End", "END", FieldKind::Unsigned, 0, kLineMax),
    Number("Left terms", "LEFT", FieldKind::Unsigned, 1, kDialogMaxPower),
    Number("Right terms", "RIGHT", FieldKind::Unsigned, 2, kMaxRightTerms),
    {"Search", "--mode", FieldKind::Choice, 0, 2, "best", "best|same|exact",
     {"best", "same", "exact"}},
    Option("Duration", "--duration", FieldKind::Unsigned, 0, kLineMax, "0", "SECONDS"),
};

const ComputeFields kComputeFields = {
    Number("Power", "POWER", FieldKind::Signed, kMinLinePower, kDialogMaxPower),
    Number("Start", "START", FieldKind::Signed, 1, kIntMax),
    Number("End", "END", FieldKind::Signed, 0, kIntMax),
    Number("Number of terms", "TERMS", FieldKind::Signed, kMinAddTerms, kMaxAddTerms),
    Option("Memory size", "--memory", FieldKind::Signed, 1, kMaxPoolMegabytes, "1", "MB"),
};

// Every term of the Penta search lies below its term limit.
const PentaFields kPentaFields = {
    Number("Power", "POWER", FieldKind::Signed, kPentaPower, kPentaPower),
    Number("Start", "START", FieldKind::Signed, 0, penta::kTermLimit - 1),
    Number("End", "END", FieldKind::Signed, 0, penta::kTermLimit),
    Number("Type", "TYPE", FieldKind::Signed, 0, penta::kTypeCount - 1),
};

const SumFields kSumFields = {
    Number("Power", "POWER", FieldKind::Signed, kMinLinePower, kDialogMaxPower),
    Number("Terms", "TERMS", FieldKind::Signed, 2, kDialogMaxPower),
    Words("Sum", "NUMBER", FieldKind::Digits, 128),
};

// The identity is stored as lines of the settings file.
const UserFields kUserFields = {
    Words("Name", "NAME", FieldKind::PlainText, 128),
    Words("Email address", "EMAIL", FieldKind::PlainText, 128),
};

const PreferenceFields kPreferenceFields = {
    Number("Save each", "SAVE_MINUTES", FieldKind::Unsigned, 0, kUnsignedMax),
    Number("Display each", "DISPLAY_SECONDS", FieldKind::Unsigned, 0, kUnsignedMax),
};

const PriorityFields kPriorityFields = {
    Number("Priority", "N", FieldKind::Unsigned, 1, 10),
};

// Searches that run at once, one thread each.
const WorkersFields kWorkersFields = {
    Number("Workers", "N", FieldKind::Unsigned, 1, kMaxWorkers),
};

const ResultsFields kResultsFields = {
    {"All lines", "--all", FieldKind::Flag, 0, 1, nullptr, nullptr, {}},
};

const StatusFields kStatusFields = {
    {"JSON", "--json", FieldKind::Flag, 0, 1, nullptr, nullptr, {}},
};

const QueueFields kQueueFields = {
    Words("Edit", "[remove N | move N M]", FieldKind::PlainText, 0),
    Number("Line", "N", FieldKind::Unsigned, 1, kIniMaxLines),
    Number("New place", "M", FieldKind::Unsigned, 1, kIniMaxLines),
};

// A part count no larger than a directory listing stays readable; the queue line is an index
// into the work file's table.
const SplitFields kSplitFields = {
    Words("Range", "SEARCH VALUES...", FieldKind::PlainText, 0),
    Option("Parts", "--parts", FieldKind::Unsigned, 1, 100000, nullptr, "N"),
    Option("CPU time per part", "--cpu-time", FieldKind::Unsigned, 1, kUnsignedMax, nullptr,
           "SECONDS"),
    Option("First unit's time", "--unit-ms", FieldKind::Unsigned, 1, kUnsignedMax, nullptr,
           "MS"),
    Option("Into", "--into", FieldKind::PlainText, 1, 4096, nullptr, "DIR"),
    Option("Queue line", "--line", FieldKind::Unsigned, 1, kIniMaxLines, nullptr, "N"),
    Option("Settings file", "--settings", FieldKind::PlainText, 1, 4096, nullptr, "FILE"),
    {"Work units", "--boinc", FieldKind::Flag, 0, 1, nullptr, nullptr, {}},
};

const MergeFields kMergeFields = {
    Words("Results", "PART...", FieldKind::PlainText, 4096),
    Option("Output", "--output", FieldKind::PlainText, 1, 4096, "MERGED.TXT", "FILE"),
    Option("Range", "--range", FieldKind::PlainText, 1, 200, nullptr, "LINE"),
};

// The topic is optional: without it the help lists the topics.
const HelpFields kHelpFields = {
    Words("Topic", "[TOPIC]", FieldKind::PlainText, 40),
};

const std::vector<CommandSpec>& Commands() {
  static const std::vector<CommandSpec> commands = {
      {"continue", {}, {}, false, "resume the queued work in the foreground (Ctrl+C stops it)"},
      {"new",
       {&kNewFields.power, &kNewFields.start, &kNewFields.end, &kNewFields.left,
        &kNewFields.right},
       {&kNewFields.mode, &kNewFields.duration},
       true,
       "queue an equal-sums range (SUM) and run the queue"},
      {"compute",
       {&kComputeFields.power, &kComputeFields.start, &kComputeFields.end,
        &kComputeFields.terms},
       {&kComputeFields.memory},
       true,
       "queue a sum-collision range (ADD) and run the queue"},
      {"penta",
       {&kPentaFields.power, &kPentaFields.start, &kPentaFields.end, &kPentaFields.type},
       {},
       true,
       "queue a Penta range (PENTA) and run the queue"},
      {"sum",
       {&kSumFields.power, &kSumFields.terms, &kSumFields.number},
       {},
       false,
       "list every way of writing NUMBER as a sum of at most\n"
       "TERMS POWER-th powers (Ctrl+C stops it)"},
      {"status", {}, {&kStatusFields.json}, false,
       "show the queued work with its progress, CPU time and\n"
       "time left (--json: the same and what runs, as JSON)"},
      {"queue", {&kQueueFields.edit}, {}, false,
       "list the queued lines by number; remove line N, or\n"
       "move line N to place M (not a line being searched)"},
      {"results", {}, {&kResultsFields.all}, false,
       "list the results of SOLUTION.TXT (--all: every line),\n"
       "check each signed line's tag, and show which parts of\n"
       "each search have done lines and where the gaps are"},
      {"split",
       {&kSplitFields.range},
       {&kSplitFields.parts, &kSplitFields.cpuTime, &kSplitFields.unitMs, &kSplitFields.into,
        &kSplitFields.line, &kSplitFields.settings, &kSplitFields.boinc},
       false,
       "cut a range into parts of equal work, each a data\n"
       "directory DIR/part-NNNN (--boinc: a work-unit input\n"
       "file DIR/part-NNNN.in). The range is 'new', 'compute'\n"
       "or 'penta' with its values and options, or --line N\n"
       "of the queue. Give --parts, or --cpu-time with --unit-ms:\n"
       "the CPU milliseconds the range's first unit takes (a\n"
       "trial run's done line tells). Parts get the lines of\n"
       "--settings FILE as aequo.ini, and Priority=9 and\n"
       "Workers=1 unless it sets them"},
      {"merge",
       {&kMergeFields.inputs},
       {&kMergeFields.output, &kMergeFields.range},
       false,
       "merge the results of parts (directories with SOLUTION.TXT\n"
       "and part.ini, or results files): check the tags and that\n"
       "done lines cover each range, list gaps and lines given\n"
       "twice, write the sorted results to FILE;\n"
       "--range LINE"
       " names the range when no part.ini does"},
      {"selftest", {}, {}, false,
       "run known-answer cases of every search and kernel in a\n"
       "temporary directory: PASS or FAIL and the time of each"},
      {"bench", {}, {}, false,
       "measure the speed of each search on this machine, a few\n"
       "seconds each, in a temporary directory"},
      {"user", {&kUserFields.name, &kUserFields.email}, {}, false,
       "record your name and e-mail address"},
      {"preferences", {&kPreferenceFields.save, &kPreferenceFields.display}, {}, false,
       "set the checkpoint and progress intervals"},
      {"priority", {&kPriorityFields.priority}, {}, false,
       "set the search priority, 1 (lowest) to 10"},
      {"workers", {&kWorkersFields.workers}, {}, false,
       "set how many searches run at once, 1 to 64 (the default\nis the number of processors)"},
      {"stop", {}, {}, false, "stop the search of the running copy (progress is kept)"},
      {"exit", {}, {}, false, "end the running copy, as its Exit command does"},
      {"serve", {}, {}, false,
       "run in the background with the window closed (start at\nboot uses this)"},
      {"help", {&kHelpFields.topic}, {}, false,
       "explain a topic: each search and its progress lines, the\n"
       "work lines, the results, the files, the settings\n"
       "(without TOPIC: the list of topics)"},
  };
  return commands;
}

const CommandSpec* FindCommand(const std::string& name) {
  for (const CommandSpec& c : Commands()) {
    if (name == c.name) return &c;
  }
  return nullptr;
}

std::string CommandsHelp() {
  constexpr size_t kColumn = 32;
  std::string text;
  for (const CommandSpec& c : Commands()) {
    std::string usage = std::string("  ") + c.name;
    for (const FieldSpec* f : c.arguments) usage += std::string(" ") + f->argument;
    for (const FieldSpec* f : c.options) {
      usage += std::string(" [") + f->argument +
               (f->kind == FieldKind::Flag ? "" : std::string(" ") + f->metavar) + "]";
    }
    text += usage;
    if (usage.size() + 2 <= kColumn) {
      text += std::string(kColumn - usage.size(), ' ');
    } else {
      text += "\n" + std::string(kColumn, ' ');
    }
    for (const char* p = c.summary; *p != '\0'; ++p) {
      text += *p;
      if (*p == '\n') text += std::string(kColumn, ' ');
    }
    text += "\n";
  }
  return text;
}

bool IsValueOption(const std::string& name) {
  for (const CommandSpec& c : Commands()) {
    for (const FieldSpec* f : c.options) {
      if (name == f->argument) return f->kind != FieldKind::Flag;
    }
  }
  return false;
}

bool IsFlagOption(const std::string& name) {
  for (const CommandSpec& c : Commands()) {
    for (const FieldSpec* f : c.options) {
      if (name == f->argument) return f->kind == FieldKind::Flag;
    }
  }
  return false;
}

const FieldSpec* FindOption(const CommandSpec& command, const std::string& name) {
  for (const FieldSpec* f : command.options) {
    if (name == f->argument) return f;
  }
  if (std::string(command.name) == "split") {
    for (const CommandSpec& c : Commands()) {
      if (!c.queues) continue;
      for (const FieldSpec* f : c.options) {
        if (name == f->argument) return f;
      }
    }
  }
  return nullptr;
}

}  // namespace aequa::ui
