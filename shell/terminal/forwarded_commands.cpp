#include "shell/terminal/forwarded_commands.h"

#include <cstdio>
#include <map>

#include "core/output_log.h"
#include "core/work_control.h"
#include "core/work_queue.h"
#include "platform/local_socket.h"
#include "shell/dialog_actions.h"
#include "shell/command_table.h"
#include "shell/command_values.h"
#include "shell/queue_command.h"
#include "shell/status_json.h"
#include "shell/sum_search_hook.h"
#include "shell/terminal/terminal_backend.h"
#include "shell/terminal/wire.h"

namespace aequa::term {
namespace {

struct Parsed {
  std::string command;
  std::vector<std::string> values;
  std::map<std::string, std::string> options;
  bool queueOnly = false;
};

Parsed Parse(const std::string& payload) {
  std::vector<std::string> args;
  size_t start = 0;
  while (start < payload.size()) {
    size_t end = payload.find('\0', start);
    if (end == std::string::npos) end = payload.size();
    args.push_back(payload.substr(start, end - start));
    start = end + 1;
  }
  Parsed p;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--queue-only") {
      p.queueOnly = true;
    } else if (args[i].rfind("--", 0) == 0 && i + 1 < args.size()) {
      p.options[args[i]] = args[i + 1];
      ++i;
    } else if (p.command.empty()) {
      p.command = args[i];
    } else {
      p.values.push_back(args[i]);
    }
  }
  return p;
}

ForwardedReply Refused(const ui::Refusal& refusal) {
  return {2, "", "aequa: " + refusal.Text() + "\n"};
}

// The command, its number of values and its options as the command table has them.
bool TakesTheseArguments(const Parsed& p) {
  const ui::CommandSpec* command = ui::FindCommand(p.command);
  if (command == nullptr || p.values.size() != command->arguments.size()) return false;
  if (p.queueOnly && !command->queues) return false;
  for (const auto& [option, value] : p.options) {
    bool known = false;
    for (const ui::FieldSpec* f : command->options) known = known || option == f->argument;
    if (!known) return false;
  }
  return true;
}

ForwardedReply QueueResult(bool added) {
  if (added) return {0, "The range is queued in the running copy.\n", ""};
  return {1, "", "aequa: Range truncated.  Maximum number of exponents exceeded.\n"};
}

// The values were checked by the command line already; they are checked again here because
// anything of this user may write to the socket.
ForwardedReply Execute(const Parsed& p, TerminalBackend& backend) {
  using namespace ui;
  const auto& v = p.values;
  if (p.command == "queue" && p.options.empty() && !p.queueOnly) {
    const CommandOutput output = RunQueueCommand(v);
    return {output.status, output.out, output.err};
  }
  if (!TakesTheseArguments(p)) {
    return {2, "", "aequa: the running copy does not take '" + p.command +
                       "' with these arguments\n"};
  }
  if (p.command == "new") {
    SumRangeValues r{};
    if (auto refusal = CheckSumRange(v, p.options, r)) return Refused(*refusal);
    return QueueResult(QueueSumRange(r.power, r.start, r.end, r.left, r.right, r.mode,
                                     r.duration, !p.queueOnly));
  }
  if (p.command == "compute") {
    AddRangeValues r{};
    if (auto refusal = CheckAddRange(v, p.options, r)) return Refused(*refusal);
    return QueueResult(
        QueueAddRange(r.power, r.start, r.end, r.terms, r.megabytes, !p.queueOnly));
  }
  if (p.command == "penta") {
    PentaRangeValues r{};
    if (auto refusal = CheckPentaRange(v, r)) return Refused(*refusal);
    return QueueResult(QueuePentaRange(r.power, r.start, r.end, r.type, !p.queueOnly));
  }
  if (p.command == "sum") {
    SumQuestionValues q{};
    if (auto refusal = CheckSumQuestion(v, q)) return Refused(*refusal);
    SumSearchStarter starter = GetSumSearchStarter();
    if (starter == nullptr) return {1, "", "aequa: this program has no representation search\n"};
    // It runs beside the workers, one at a time.
    if (!QuestionEnabled()) {
      return {1, "", "aequa: the running copy is already finding representations; wait until "
                     "it ends\n"};
    }
    starter(static_cast<uint32_t>(q.power), static_cast<uint32_t>(q.terms), q.number.c_str());
    return {0, "The representation search runs in the running copy; see its window.\n", ""};
  }
  if (p.command == "status") {
    if (p.options.count(kStatusFields.json.argument) != 0) return {0, BuildStatusJson(), ""};
    std::string report = BuildStatusReport();
    if (report.empty() || report.back() != '\n') report += '\n';
    return {0, report, ""};
  }
  if (p.command == "continue") {
    if (!ContinueEnabled()) return {0, "The queued work is already running.\n", ""};
    StartWork();
    return {0, "The queued work continues in the running copy.\n", ""};
  }
  if (p.command == "stop") {
    if (!StopEnabled()) return {0, "No search is running.\n", ""};
    StopWork();
    return {0, "The search is stopping; its progress is kept.\n", ""};
  }
  if (p.command == "exit") {
    backend.RequestExit();
    return {0, "The running copy saves its work and ends.\n", ""};
  }
  if (p.command == "user") {
    UserValues user;
    if (auto refusal = CheckUser(v, user)) return Refused(*refusal);
    StoreUserInformation(user.name, user.email);
    return {0, "", ""};
  }
  if (p.command == "preferences") {
    PreferenceValues prefs{};
    if (auto refusal = CheckPreferences(v, prefs)) return Refused(*refusal);
    StorePreferences(prefs.saveMinutes, prefs.displaySeconds);
    return {0, "", ""};
  }
  if (p.command == "priority") {
    uint32_t priority = 0;
    if (auto refusal = CheckPriority(v, priority)) return Refused(*refusal);
    StorePriority(priority);
    return {0, "The priority applies from the next Continue.\n", ""};
  }
  if (p.command == "workers") {
    uint32_t workers = 0;
    if (auto refusal = CheckWorkers(v, workers)) return Refused(*refusal);
    StoreWorkers(workers);
    return {0, "The number of workers applies from the next Continue.\n", ""};
  }
  return {2, "", "aequa: the running copy does not take '" + p.command + "' with these arguments\n"};
}

}  // namespace

ForwardedReply ExecuteForwardedCommand(const std::string& payload, TerminalBackend& backend) {
  return Execute(Parse(payload), backend);
}

std::string EncodeReply(const ForwardedReply& reply) {
  return std::to_string(reply.status) + "\n" + reply.out + std::string(1, '\0') + reply.err;
}

bool DecodeReply(const std::string& text, ForwardedReply& reply) {
  size_t nl = text.find('\n');
  size_t zero = text.find('\0');
  if (nl == std::string::npos || zero == std::string::npos || zero < nl) return false;
  reply.status = std::atoi(text.substr(0, nl).c_str());
  reply.out = text.substr(nl + 1, zero - nl - 1);
  reply.err = text.substr(zero + 1);
  return true;
}

std::optional<int> ForwardCommand(const std::vector<std::string>& arguments) {
  int fd = platform::ConnectLocal(kSocketName);
  if (fd < 0) return std::nullopt;
  platform::SetSocketTimeouts(fd, 30000);
  std::string payload;
  for (const std::string& a : arguments) payload += a + std::string(1, '\0');
  Message type;
  std::string answer;
  ForwardedReply reply;
  const bool ok = SendMessage(fd, Message::Command, payload) && ReceiveMessage(fd, type, answer) &&
                  type == Message::Reply && DecodeReply(answer, reply);
  platform::CloseSocket(fd);
  if (!ok) {
    std::fprintf(stderr, "aequa: the running copy did not answer\n");
    return 1;
  }
  std::fputs(reply.out.c_str(), stdout);
  std::fputs(reply.err.c_str(), stderr);
  return reply.status;
}

}  // namespace aequa::term
