#include "shell/queue_command.h"

#include "core/progress_estimate.h"
#include "core/queue_edit.h"
#include "shell/command_status.h"
#include "shell/command_table.h"
#include "shell/command_values.h"

namespace aequa::ui {
namespace {

CommandOutput UsageOutput(const std::string& message) {
  return {kExitUsage, "", "aequa: " + message + "\nTry 'aequa --help'.\n"};
}

CommandOutput EditOutput(QueueEdit outcome, uint32_t number) {
  const std::string text = QueueEditText(outcome, number) + "\n";
  if (outcome == QueueEdit::Done) return {kExitOk, text, ""};
  return {kExitRefused, "", "aequa: " + text};
}

}  // namespace

std::string QueueListing() {
  const std::vector<QueueEntry> entries = ListQueue();
  if (entries.empty()) return "You have no work queued up.\n";
  std::string text;
  for (const QueueEntry& e : entries) {
    text += std::to_string(e.number) + ". " + e.text;
    if (e.running) text += "  (running)";
    text += "\n   ";
    text += e.item.kind == 0 ? std::string("not a valid line; it is dropped when it is read")
                             : ProgressText(EstimateProgress(e.item, e.item.cpuSeconds));
    text += "\n";
  }
  return text;
}

CommandOutput RunQueueCommand(const std::vector<std::string>& values) {
  if (values.empty()) return {kExitOk, QueueListing(), ""};
  const std::string& action = values[0];
  const size_t expected = action == "remove" ? 2 : action == "move" ? 3 : 0;
  if (expected == 0) return UsageOutput("'queue' takes remove N or move N M");
  if (values.size() != expected) {
    return UsageOutput("'queue " + action + "' takes " + std::to_string(expected - 1) +
                       (expected == 2 ? " line number" : " line numbers"));
  }
  uint32_t from = 0, to = 0;
  if (auto refusal = ReadField(kQueueFields.line, values[1], from)) {
    return {kExitUsage, "", "aequa: " + refusal->Text() + "\n"};
  }
  if (action == "remove") return EditOutput(RemoveQueueLine(from), from);
  if (auto refusal = ReadField(kQueueFields.place, values[2], to)) {
    return {kExitUsage, "", "aequa: " + refusal->Text() + "\n"};
  }
  return EditOutput(MoveQueueLine(from, to), from);
}

}  // namespace aequa::ui
