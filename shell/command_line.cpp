#include "shell/command_line.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/coordinator.h"
#include "core/output_log.h"
#include "core/settings.h"
#include "core/settings_store.h"
#include "core/shared_words.h"
#include "core/startup.h"
#include "core/work_control.h"
#include "core/work_queue.h"
#include "platform/directories.h"
#include "platform/instance_lock.h"
#include "platform/signals.h"
#include "shell/bench_command.h"
#include "shell/dialog_actions.h"
#include "shell/help_topics.h"
#include "shell/command_status.h"
#include "shell/command_table.h"
#include "shell/command_values.h"
#include "shell/merge_command.h"
#include "shell/queue_command.h"
#include "shell/results_command.h"
#include "shell/selftest_command.h"
#include "shell/split_command.h"
#include "shell/status_json.h"
#include "shell/window_entry.h"
#include "sums/sum_check.h"

namespace aequa::ui {
namespace {

// The help: the commands, their arguments and options come from the command table.
std::string HelpText() {
  std::string queuing;
  for (const CommandSpec& c : Commands()) {
    if (c.queues) queuing += (queuing.empty() ? "" : ", ") + std::string(c.name);
  }
  return "Usage: aequa [--dir DIR] [COMMAND [ARGUMENTS]]\n"
         "\n"
         "Searches for equal sums of like powers. Every command works on the data directory:\n"
         "the program's own directory, or DIR (created if missing).\n"
         "\n"
         "Without a command, opens the window in this terminal (starting the program in the\n"
         "background when it does not run yet). While a copy runs in the directory, the\n"
         "commands below are carried out by that copy.\n"
         "\n"
         "Commands:\n" +
         CommandsHelp() +
         "\n"
         "Options:\n"
         "  --dir DIR                     use DIR as the data directory\n"
         "  --queue-only                  with " + queuing + ": queue the range and exit\n"
         "  --help                        show this text ('aequa help' explains more)\n"
         "  --version                     show the program's version\n";
}

using Arguments = CommandInvocation;

void PrintLogLine(const char* line, bool /*replaced*/) {
  std::fputs(line, stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

// A stop that comes before the work has started is kept, so that starting the work (which
// clears the requests) does not lose it.
std::atomic<bool> stopRequested{false};
void StopOnSignal() {
  stopRequested.store(true);
  StopWork();
}
void HonourEarlyStop() {
  if (stopRequested.load()) StopWork();
}

// The command as the running copy takes it: command, values, options (without --dir).
std::vector<std::string> ForwardedArguments(const Arguments& args) {
  std::vector<std::string> out{args.command};
  out.insert(out.end(), args.values.begin(), args.values.end());
  for (const auto& [option, value] : args.options) {
    if (option == "--dir") continue;
    out.push_back(option);
    out.push_back(value);
  }
  if (args.queueOnly) out.push_back("--queue-only");
  return out;
}

// The data directory: --dir (created when missing), else the default one (created on first
// use when it is the per-user one).
std::pair<std::string, bool> DataDirectory(const Arguments& args) {
  auto dir = args.options.find("--dir");
  if (dir != args.options.end()) return {dir->second, true};
  platform::DataDirectoryChoice choice = platform::DefaultDataDirectory();
  return {choice.path, choice.create};
}

// Takes the data directory's lock and loads the settings. Returns an exit status when the
// command cannot go on.
std::optional<int> Start(const Arguments& args) {
  auto [directory, create] = DataDirectory(args);
  StartupResult started = StartUp(directory, create);
  if (started.created) {
    std::fprintf(stderr, "aequa: Created data directory %s\n", started.directory.c_str());
  }
  switch (started.outcome) {
    case StartupResult::Outcome::Started:
      return std::nullopt;
    case StartupResult::Outcome::NoDirectory:
      std::fprintf(stderr, "aequa: cannot use the directory %s\n", started.directory.c_str());
      return kExitRefused;
    case StartupResult::Outcome::LockFailed:
      std::fprintf(stderr, "aequa: cannot create the lock file in %s\n",
                   started.directory.c_str());
      return kExitRefused;
    case StartupResult::Outcome::AlreadyRunning:
      // The copy that runs there carries the command out, when it takes commands.
      if (auto forwarded = ForwardToRunningCopy(ForwardedArguments(args))) return *forwarded;
      if (started.runningPid > 0) {
        std::fprintf(stderr, "aequa: another copy is running in %s (pid %ld)\n",
                     started.directory.c_str(), started.runningPid);
      } else {
        std::fprintf(stderr, "aequa: another copy is running in %s\n",
                     started.directory.c_str());
      }
      return kExitRunning;
  }
  return kExitRefused;
}

int Finish(int status) {
  IniFreeAll();
  platform::ReleaseInstanceLock();
  return status;
}

// The foreground run: log lines to stdout, Ctrl+C and SIGTERM stop the search. The status
// tells how the worker ended.
int RunInForeground(bool startWork) {
  if (startWork && ContinueEnabled()) StartWork();
  HonourEarlyStop();
  WaitForWorkEnd();
  switch (LastWorkEnd()) {
    case WorkEnd::InternalError:
      return kExitInternalError;
    case WorkEnd::NoSearch:
      return kExitRefused;
    case WorkEnd::Halted:
      return IniLineCount(WorkFile()) > 0 ? kExitHalted : kExitOk;
    case WorkEnd::Finished:
      break;
  }
  return kExitOk;
}

// Adds a range as the menu command does: the work starts when none runs, and the command
// then runs it in the foreground, unless only queueing was asked for.
int QueueAndRun(const Arguments& args, const std::function<bool(bool startIfIdle)>& queue) {
  if (auto s = Start(args)) return *s;
  platform::InstallStopHandler(&StopOnSignal);
  if (!queue(!args.queueOnly)) return Finish(kExitRefused);
  return Finish(args.queueOnly ? kExitOk : RunInForeground(false));
}

// The command takes as many values as the command table gives it arguments.
bool ExpectValues(const Arguments& args, int& status) {
  const size_t count = FindCommand(args.command)->arguments.size();
  if (args.values.size() == count) return true;
  status = Usage("'" + args.command + "' takes " + std::to_string(count) + " argument" +
                 (count == 1 ? "" : "s"));
  return false;
}

int CommandNew(const Arguments& args) {
  int status = 0;
  if (!ExpectValues(args, status)) return status;
  SumRangeValues r{};
  if (auto refusal = CheckSumRange(args.values, args.options, r)) return Refused(*refusal);
  return QueueAndRun(args, [&](bool startIfIdle) {
    return QueueSumRange(r.power, r.start, r.end, r.left, r.right, r.mode, r.duration,
                         startIfIdle);
  });
}

int CommandCompute(const Arguments& args) {
  int status = 0;
  if (!ExpectValues(args, status)) return status;
  AddRangeValues r{};
  if (auto refusal = CheckAddRange(args.values, args.options, r)) return Refused(*refusal);
  return QueueAndRun(args, [&](bool startIfIdle) {
    return QueueAddRange(r.power, r.start, r.end, r.terms, r.megabytes, startIfIdle);
  });
}

int CommandPenta(const Arguments& args) {
  int status = 0;
  if (!ExpectValues(args, status)) return status;
  PentaRangeValues r{};
  if (auto refusal = CheckPentaRange(args.values, r)) return Refused(*refusal);
  return QueueAndRun(args, [&](bool startIfIdle) {
    return QueuePentaRange(r.power, r.start, r.end, r.type, startIfIdle);
  });
}

// The representation search runs on its own thread, in the foreground; nothing is queued.
int CommandSum(const Arguments& args) {
  int status = 0;
  if (!ExpectValues(args, status)) return status;
  SumQuestionValues q{};
  if (auto refusal = CheckSumQuestion(args.values, q)) return Refused(*refusal);
  if (auto s = Start(args)) return *s;
  platform::InstallStopHandler(&StopOnSignal);
  SumCheckResult result;
  if (!StartSumCheck(static_cast<uint32_t>(q.power), static_cast<uint32_t>(q.terms),
                     q.number.c_str(), &result)) {
    return Finish(kExitInternalError);
  }
  HonourEarlyStop();
  WaitForWorkEnd();
  if (ControlOf(kQuestionControl).internalError.load() != 0) return Finish(kExitInternalError);
  return Finish(result.countLineWritten ? kExitOk : kExitRefused);
}

int CommandContinue(const Arguments& args) {
  int status = 0;
  if (!ExpectValues(args, status)) return status;
  if (auto s = Start(args)) return *s;
  platform::InstallStopHandler(&StopOnSignal);
  return Finish(RunInForeground(true));
}

int CommandStatus(const Arguments& args) {
  int status = 0;
  if (!ExpectValues(args, status)) return status;
  if (auto s = Start(args)) return *s;
  std::string report;
  if (args.options.count(kStatusFields.json.argument) != 0) {
    report = BuildStatusJson();
  } else {
    report = BuildStatusReport();
    if (report.empty() || report.back() != '\n') report += '\n';
  }
  std::fputs(report.c_str(), stdout);
  return Finish(IniReadable(WorkFile()) ? kExitOk : kExitRefused);
}

// queue counts its own values (none, remove N, or move N M); a running copy carries it out.
int CommandQueue(const Arguments& args) {
  if (auto s = Start(args)) return *s;
  const CommandOutput output = RunQueueCommand(args.values);
  std::fputs(output.out.c_str(), stdout);
  std::fputs(output.err.c_str(), stderr);
  return Finish(output.status);
}

int CommandUser(const Arguments& args) {
  int status = 0;
  if (!ExpectValues(args, status)) return status;
  UserValues user;
  if (auto refusal = CheckUser(args.values, user)) return Refused(*refusal);
  if (auto s = Start(args)) return *s;
  return Finish(StoreUserInformation(user.name, user.email) ? kExitOk : kExitRefused);
}

int CommandPreferences(const Arguments& args) {
  int status = 0;
  if (!ExpectValues(args, status)) return status;
  PreferenceValues p{};
  if (auto refusal = CheckPreferences(args.values, p)) return Refused(*refusal);
  if (auto s = Start(args)) return *s;
  return Finish(StorePreferences(p.saveMinutes, p.displaySeconds) ? kExitOk : kExitRefused);
}

int CommandPriority(const Arguments& args) {
  int status = 0;
  if (!ExpectValues(args, status)) return status;
  uint32_t priority = 0;
  if (auto refusal = CheckPriority(args.values, priority)) return Refused(*refusal);
  if (auto s = Start(args)) return *s;
  return Finish(StorePriority(priority) ? kExitOk : kExitRefused);
}

int CommandWorkers(const Arguments& args) {
  int status = 0;
  if (!ExpectValues(args, status)) return status;
  uint32_t workers = 0;
  if (auto refusal = CheckWorkers(args.values, workers)) return Refused(*refusal);
  if (auto s = Start(args)) return *s;
  return Finish(StoreWorkers(workers) ? kExitOk : kExitRefused);
}

// stop and exit act on a running copy; Start only returns here when none runs.
int CommandStopOrExit(const Arguments& args) {
  int status = 0;
  if (!ExpectValues(args, status)) return status;
  if (auto s = Start(args)) return *s;
  std::fprintf(stderr, "aequa: no copy is running in %s\n", platform::CurrentDirectory().c_str());
  return Finish(kExitRefused);
}


// Help needs no data directory; the text is wrapped to a terminal's width.
int CommandHelp(const Arguments& args) {
  constexpr size_t kWidth = 79;
  if (args.values.size() > 1) return Usage("'help' takes at most 1 argument");
  if (args.values.empty()) {
    std::fputs((HelpContents() + "\nSee also: aequa --help\n").c_str(), stdout);
    return kExitOk;
  }
  const HelpTopic* topic = FindHelpTopic(args.values[0]);
  if (topic == nullptr) {
    return Usage("no help topic '" + args.values[0] + "'; 'aequa help' lists the topics");
  }
  std::fputs(WrapHelpText(HelpTopicText(*topic), kWidth).c_str(), stdout);
  return kExitOk;
}

bool CommandTakesOption(const CommandSpec& command, const std::string& name) {
  return name == "--dir" || FindOption(command, name) != nullptr;
}

}  // namespace

int Usage(const std::string& message) {
  std::fprintf(stderr, "aequa: %s\nTry 'aequa --help'.\n", message.c_str());
  return kExitUsage;
}

int Refused(const Refusal& refusal) {
  if (refusal.field == nullptr) return Usage(refusal.message);
  std::fprintf(stderr, "aequa: %s\n", refusal.Text().c_str());
  return kExitUsage;
}

int RunCommandLine(int argc, char** argv) {
  Arguments args;
  bool help = false;
  bool version = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      help = true;
    } else if (arg == "--version") {
      version = true;
    } else if (arg == "--queue-only") {
      args.queueOnly = true;
    } else if (IsFlagOption(arg)) {
      args.options[arg] = "1";
    } else if (arg == "--dir" || IsValueOption(arg)) {
      if (i + 1 >= argc) return Usage(arg + " needs a value");
      args.options[arg] = argv[++i];
    } else if (arg.size() > 2 && arg.compare(0, 2, "--") == 0) {
      return Usage("unknown option " + arg);
    } else if (args.command.empty()) {
      args.command = arg;
    } else {
      args.values.push_back(arg);
    }
  }
  if (help) {
    std::fputs(HelpText().c_str(), stdout);
    return kExitOk;
  }
  if (version) {
    std::printf("aequa %s\n", VersionText());
    return kExitOk;
  }
  if (args.command.empty()) {
    if (!args.values.empty() || args.queueOnly || args.options.size() > args.options.count("--dir")) {
      return Usage("options need a command");
    }
    auto [directory, create] = DataDirectory(args);
    return OpenWindow(directory, create);
  }
  const CommandSpec* command = FindCommand(args.command);
  if (command == nullptr) return Usage("unknown command '" + args.command + "'");
  for (const auto& [option, value] : args.options) {
    if (!CommandTakesOption(*command, option)) {
      return Usage(option + " does not apply to '" + args.command + "'");
    }
  }
  if (args.queueOnly && !command->queues) {
    return Usage("--queue-only does not apply to '" + args.command + "'");
  }

  if (args.command == "help") return CommandHelp(args);
  SetLogLineSink(&PrintLogLine);
  if (args.command == "new") return CommandNew(args);
  if (args.command == "compute") return CommandCompute(args);
  if (args.command == "penta") return CommandPenta(args);
  if (args.command == "sum") return CommandSum(args);
  if (args.command == "continue") return CommandContinue(args);
  if (args.command == "status") return CommandStatus(args);
  if (args.command == "queue") return CommandQueue(args);
  if (args.command == "results") {
    auto [directory, create] = DataDirectory(args);
    return RunResultsCommand(args, directory, create);
  }
  if (args.command == "split") {
    auto [directory, create] = DataDirectory(args);
    return RunSplitCommand(args, directory, create);
  }
  if (args.command == "merge") return RunMergeCommand(args);
  if (args.command == "selftest") {
    int status = 0;
    if (!ExpectValues(args, status)) return status;
    return RunSelftest(stdout);
  }
  if (args.command == "bench") {
    int status = 0;
    if (!ExpectValues(args, status)) return status;
    return RunBench(stdout);
  }
  if (args.command == "user") return CommandUser(args);
  if (args.command == "preferences") return CommandPreferences(args);
  if (args.command == "priority") return CommandPriority(args);
  if (args.command == "workers") return CommandWorkers(args);
  if (args.command == "stop" || args.command == "exit") return CommandStopOrExit(args);
  if (args.command == "serve") {
    int status = 0;
    if (!ExpectValues(args, status)) return status;
    auto [directory, create] = DataDirectory(args);
    return ServeDirectory(directory, create);
  }
  return Usage("unknown command '" + args.command + "'");
}

}  // namespace aequa::ui
