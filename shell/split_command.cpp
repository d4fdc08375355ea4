#include "shell/split_command.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string_view>

#include "core/checkpoint_file.h"
#include "core/part_file.h"
#include "core/range_split.h"
#include "core/cost_model.h"
#include "core/settings.h"
#include "core/work_queue.h"
#include "platform/files.h"
#include "shell/command_table.h"
#include "shell/command_values.h"

namespace aequa::ui {
namespace {

namespace fs = std::filesystem;

std::optional<std::string> Option(const CommandInvocation& args, const FieldSpec& field) {
  auto found = args.options.find(field.argument);
  if (found == args.options.end()) return std::nullopt;
  return found->second;
}

// The range from a range command and its values, read as the queue would read its line.
int RangeFromCommand(const CommandInvocation& args, WorkItem& whole) {
  const std::string& name = args.values.front();
  const CommandSpec* command = FindCommand(name);
  if (command == nullptr || !command->queues) {
    return Usage("split takes a range as 'new', 'compute' or 'penta' with its values, or --line");
  }
  const CommandValues values(args.values.begin() + 1, args.values.end());
  if (values.size() != command->arguments.size()) {
    return Usage("'" + name + "' takes " + std::to_string(command->arguments.size()) +
                 " arguments");
  }
  // The options that are not split's own belong to the range command.
  const CommandSpec& split = *FindCommand("split");
  CommandOptions options;
  for (const auto& [option, value] : args.options) {
    bool own = option == "--dir";
    for (const FieldSpec* f : split.options) own = own || option == f->argument;
    if (own) continue;
    if (FindOption(*command, option) == nullptr) {
      return Usage(option + " does not apply to '" + name + "'");
    }
    options[option] = value;
  }
  std::string line;
  if (name == "new") {
    SumRangeValues r{};
    if (auto refusal = CheckSumRange(values, options, r)) return Refused(*refusal);
    line = "SUM=" + SumLineValue(r.power, r.start, r.end, r.left, r.right, r.mode, r.duration);
  } else if (name == "compute") {
    AddRangeValues r{};
    if (auto refusal = CheckAddRange(values, options, r)) return Refused(*refusal);
    line = "ADD=" + AddLineValue(static_cast<uint32_t>(r.power), static_cast<uint32_t>(r.start),
                                 static_cast<uint32_t>(r.end), static_cast<uint32_t>(r.terms),
                                 static_cast<uint32_t>(r.megabytes));
  } else {
    PentaRangeValues r{};
    if (auto refusal = CheckPentaRange(values, r)) return Refused(*refusal);
    line = "PENTA=" + PentaLineValue(static_cast<uint32_t>(r.power),
                                     static_cast<uint32_t>(r.start),
                                     static_cast<uint32_t>(r.end), static_cast<uint32_t>(r.type));
  }
  if (ReadWorkLineText(line, whole) == 0) return Usage("the range " + line + " is not valid");
  return kExitOk;
}

// Line `index` of the work file of the data directory, read without taking its lock.
int RangeFromQueue(const std::string& directory, uint32_t index, WorkItem& whole) {
  const std::string path = (fs::path(directory) / kWorkFileName).string();
  std::string text;
  if (!ReadWholeFile(path, text)) {
    std::fprintf(stderr, "aequa: cannot read %s\n", path.c_str());
    return kExitRefused;
  }
  std::string_view rest = text;
  uint32_t number = 0;
  while (!rest.empty()) {
    const size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line.front() == '#' || line.front() == ';') continue;
    if (++number != index) continue;
    if (ReadWorkLineText(line, whole) != 0) return kExitOk;
    std::fprintf(stderr, "aequa: line %u of %s is not a valid work line: %.*s\n",
                 static_cast<unsigned>(index), path.c_str(), static_cast<int>(line.size()),
                 line.data());
    return kExitRefused;
  }
  std::fprintf(stderr, "aequa: %s has no line %u\n", path.c_str(), static_cast<unsigned>(index));
  return kExitRefused;
}

bool SetsKey(const std::string& settings, std::string_view key) {
  std::string_view rest = settings;
  while (!rest.empty()) {
    const size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    if (line.size() > key.size() && line[key.size()] == '=') {
      bool same = true;
      for (size_t i = 0; i < key.size(); ++i) {
        same = same && std::tolower(static_cast<unsigned char>(line[i])) ==
                           std::tolower(static_cast<unsigned char>(key[i]));
      }
      if (same) return true;
    }
  }
  return false;
}

// The parts' aequo.ini: the given settings file (CR LF line ends) and the defaults it lacks.
bool PartSettings(const std::optional<std::string>& file, std::string& settings) {
  std::string given;
  if (file && !ReadWholeFile(*file, given)) {
    std::fprintf(stderr, "aequa: cannot read the settings file %s\n", file->c_str());
    return false;
  }
  for (char c : given) {
    if (c == '\r') continue;
    if (c == '\n') settings += '\r';
    settings += c;
  }
  if (!settings.empty() && settings.back() != '\n') settings += "\r\n";
  for (const char* line : kPartSettingDefaults) {
    const std::string_view text(line);
    if (!SetsKey(settings, text.substr(0, text.find('=')))) settings += std::string(line) + "\r\n";
  }
  return true;
}

std::string PartName(uint32_t index) {
  char name[32];
  std::snprintf(name, sizeof name, "part-%04u", static_cast<unsigned>(index));
  return name;
}

}  // namespace

int RunSplitCommand(const CommandInvocation& args, const std::string& directory,
                    bool /*explicitDir*/) {
  const SplitFields& f = kSplitFields;
  const auto lineText = Option(args, f.line);
  WorkItem whole;
  if (lineText) {
    if (!args.values.empty()) return Usage("split takes either a range or --line, not both");
    uint32_t index = 0;
    if (auto refusal = ReadField(f.line, *lineText, index)) return Refused(*refusal);
    if (int status = RangeFromQueue(directory, index, whole); status != kExitOk) return status;
  } else {
    if (args.values.empty()) return Usage("split needs a range ('new', 'compute' or 'penta') or --line");
    if (int status = RangeFromCommand(args, whole); status != kExitOk) return status;
  }

  const auto partsText = Option(args, f.parts);
  const auto cpuText = Option(args, f.cpuTime);
  const auto unitText = Option(args, f.unitMs);
  const auto into = Option(args, f.into);
  if (!into) return Usage("split needs --into DIR");
  if (partsText.has_value() == cpuText.has_value()) {
    return Usage("split needs either --parts or --cpu-time (with --unit-ms)");
  }
  if (cpuText.has_value() != unitText.has_value()) {
    return Usage("--cpu-time and --unit-ms go together");
  }
  uint32_t parts = 0;
  if (partsText) {
    if (auto refusal = ReadField(f.parts, *partsText, parts)) return Refused(*refusal);
  } else {
    uint32_t seconds = 0, unitMs = 0;
    if (auto refusal = ReadField(f.cpuTime, *cpuText, seconds)) return Refused(*refusal);
    if (auto refusal = ReadField(f.unitMs, *unitText, unitMs)) return Refused(*refusal);
    parts = PartsForCpuTime(whole, unitMs / 1000.0, seconds, static_cast<uint32_t>(f.parts.max));
  }
  const bool boinc = args.options.count(f.boinc.argument) != 0;
  std::string settings;
  if (!boinc && !PartSettings(Option(args, f.settings), settings)) return kExitRefused;

  const std::vector<WorkItem> lines = SplitRange(whole, parts);
  // Nothing is written over: a part directory may already hold a volunteer's results.
  const fs::path base(*into);
  for (uint32_t i = 1; i <= lines.size(); ++i) {
    const fs::path target = base / (PartName(i) + (boinc ? ".in" : ""));
    std::error_code ec;
    if (fs::exists(fs::symlink_status(target, ec))) {
      std::fprintf(stderr, "aequa: %s exists already: nothing was written\n",
                   target.string().c_str());
      return kExitRefused;
    }
  }
  std::error_code ec;
  fs::create_directories(base, ec);
  const double total = RangeCost(whole, whole.start, whole.end);
  for (uint32_t i = 1; i <= lines.size(); ++i) {
    const PartInfo part{i, static_cast<uint32_t>(lines.size()), lines[i - 1], whole};
    const std::string description = PartFileText(part);
    bool written = false;
    fs::path target = base / PartName(i);
    if (boinc) {
      target += ".in";
      written = platform::ReplaceFile(target.string(), description);
    } else {
      written = fs::create_directory(target, ec) && !ec &&
                platform::ReplaceFile((target / kWorkFileName).string(),
                                      WorkLineText(part.line) + "\r\n") &&
                platform::ReplaceFile((target / kSettingsFileName).string(), settings) &&
                platform::ReplaceFile((target / kPartFileName).string(), description);
    }
    if (!written) {
      std::fprintf(stderr, "aequa: cannot write %s\n", target.string().c_str());
      return kExitRefused;
    }
    const double share =
        total > 0 ? 100.0 * RangeCost(whole, part.line.start, part.line.end) / total : 0.0;
    std::printf("%s  %s  (%.1f%% of the work)\n", target.string().c_str(),
                WorkLineText(part.line).c_str(), share);
  }
  std::printf("%s parts of %s\n", std::to_string(lines.size()).c_str(),
              WorkLineText(whole).c_str());
  return kExitOk;
}

}  // namespace aequa::ui
