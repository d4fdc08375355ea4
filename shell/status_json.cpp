#include "shell/status_json.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "core/checkpoint_file.h"
#include "core/progress_estimate.h"
#include "core/queue_edit.h"
#include "core/results_file.h"
#include "core/results_reader.h"
#include "core/settings.h"
#include "core/settings_store.h"
#include "core/shared_words.h"
#include "core/output_log.h"
#include "core/work_rules.h"

namespace aequa::ui {
namespace {

std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (u < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", u);
      out += escape;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string Number(double value) {
  if (!std::isfinite(value)) return "null";
  char text[40];
  std::snprintf(text, sizeof text, "%.3f", value);
  return text;
}

const char* KindName(uint32_t kind) {
  switch (kind) {
    case WORK_SUM:
      return "SUM";
    case WORK_ADD:
      return "ADD";
    case WORK_PENTA:
      return "PENTA";
    default:
      return "invalid";
  }
}

// Builds one object's members in order.
class Members {
 public:
  void Add(const char* name, const std::string& json) {
    text_ += (text_.empty() ? "" : ",") + Quoted(name) + ":" + json;
  }
  void Add(const char* name, uint32_t value) { Add(name, std::to_string(value)); }
  void Add(const char* name, bool value) { Add(name, std::string(value ? "true" : "false")); }
  std::string Object() const { return "{" + text_ + "}"; }

 private:
  std::string text_;
};

// The line's fields by the names LineFieldNames gives them, spaces as underscores.
void AddFields(const WorkItem& item, Members& m) {
  const uint32_t values[] = {item.power,      item.start,   item.end,     item.leftTerms,
                             item.rightTerms, item.variant, item.current, item.duration};
  const uint32_t addValues[] = {item.power, item.start, item.end, item.terms, item.megabytes};
  const uint32_t pentaValues[] = {item.power, item.start, item.end, item.variant};
  const uint32_t* field = item.kind == WORK_ADD     ? addValues
                          : item.kind == WORK_PENTA ? pentaValues
                                                    : values;
  const char* const* names = LineFieldNames(item.kind);
  for (uint32_t i = 0; i < LineFieldCount(item.kind); ++i) {
    std::string name = names[i];
    for (char& c : name) c = c == ' ' ? '_' : c;
    m.Add(name.c_str(), field[i]);
  }
  m.Add("first_start", item.first);
}

std::string LineJson(const QueueEntry& e) {
  Members m;
  m.Add("number", e.number);
  m.Add("text", Quoted(e.text));
  m.Add("kind", Quoted(KindName(e.item.kind)));
  m.Add("valid", e.item.kind != 0);
  m.Add("running", e.running);
  if (e.item.kind != 0) {
    AddFields(e.item, m);
    const LineProgress p = EstimateProgress(e.item, e.item.cpuSeconds);
    m.Add("percent_done", Number(p.percent));
    m.Add("cpu_seconds", p.cpuSeconds);
    m.Add("units_done", p.unitsDone);
    m.Add("units_total", p.unitsTotal);
    m.Add("units_per_hour", Number(p.unitsPerHour));
    m.Add("seconds_left", p.secondsLeft < 0 ? std::string("null") : std::to_string(p.secondsLeft));
  }
  return m.Object();
}

// The last result line of the results file, or null.
std::string LastResultJson() {
  std::string text;
  if (!ReadWholeFile(kResultsFileName, text)) return "null";
  const std::vector<ResultsLine> lines = ReadResultsText(text);
  for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
    if (it->kind == ResultsLineKind::Result) return Quoted(it->body);
  }
  return "null";
}

}  // namespace

std::string BuildStatusJson() {
  Members m;
  m.Add("running", WorkerRunning.load() != 0);
  m.Add("stopping", WorkerRunning.load() != 0 && HaltPending());
  m.Add("workers", static_cast<uint32_t>(Settings.Workers.load()));
  // What each search thread shows (workers from 1, then the representation command), as
  // the status line shows it; idle ones are left out.
  std::string searches;
  const std::vector<std::string> statuses = WorkerStatusTexts();
  for (size_t i = 0; i < statuses.size(); ++i) {
    if (statuses[i].empty()) continue;
    Members w;
    w.Add("worker", static_cast<uint32_t>(i + 1));
    w.Add("status", Quoted(statuses[i]));
    searches += (searches.empty() ? "" : ",") + w.Object();
  }
  m.Add("searches", "[" + searches + "]");
  m.Add("work_file_readable", IniReadable(WorkFile()));
  std::string lines;
  for (const QueueEntry& e : ListQueue()) lines += (lines.empty() ? "" : ",") + LineJson(e);
  m.Add("lines", "[" + lines + "]");
  m.Add("last_result", LastResultJson());
  return m.Object() + "\n";
}

}  // namespace aequa::ui
