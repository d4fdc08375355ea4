#include "penta/penta_driver.h"

#include <cstdio>

#include "core/output_log.h"
#include "core/settings.h"
#include "core/settings_store.h"
#include "core/shared_words.h"
#include "core/status_display.h"
#include "core/work_queue.h"
#include "penta/penta_search.h"
#include "penta/penta_tables.h"
#include "penta/penta_types.h"

namespace aequa::penta {

std::atomic<uint32_t> CurrentPower{0};
std::atomic<uint32_t> CurrentType{0};

namespace {

PentaRoutineOverride routineOverride = nullptr;

int D(uint32_t value) { return static_cast<int>(static_cast<int32_t>(value)); }

// "(k,type) first-last done in N seconds (M candidates)" for the stretch since the last report.
void FormatStretch(char (&text)[160], const WorkItem& item, uint32_t first, uint32_t last) {
  std::snprintf(text, sizeof text, "(%d,%d) %d-%d done in %d seconds (%d candidates)",
                D(item.power), D(item.variant), D(first), D(last), D(ElapsedSeconds.load()),
                D(CandidateCount.load()));
}

void ResetCounters() {
  ElapsedSeconds.store(0);
  CandidateCount.store(0);
}

// Logs the internal error with the line's values and drops the line from the queue.
int32_t RefuseLine(const WorkItem& item) {
  char text[160];
  std::snprintf(text, sizeof text, "Internal error %d on %d,%d,%d,%d\n",
                static_cast<int>(InternalError.load()), D(item.power), D(item.start),
                D(item.end), D(item.variant));
  LogMessage(text);
  DeleteWorkLine(item);
  ReleaseTables();
  return 1;
}

}  // namespace

int32_t RunPentaLine(WorkItem& item) {
  CurrentPower.store(item.power);
  CurrentType.store(item.variant);
  if (item.power != 5) {
    InternalError.store(kUnimplementedError);
    LogMessage("Unimplemented Penta routine\n");
    return 1;
  }
  if (item.start >= item.end) {
    UpdateWorkLine(item);
    return 0;
  }
  ResetCounters();
  // A missing residue table refuses the line: no routine runs without its tables.
  if (!BuildTables()) {
    InternalError.store(kMissingTableError);
    return RefuseLine(item);
  }
  const PentaRoutine routine =
      routineOverride != nullptr && item.variant < kTypeCount ? routineOverride : RoutineOf(item.variant);
  uint32_t first = item.start;
  bool finishedSinceReport = false;
  uint32_t last = 0;
  while (item.start < item.end) {
    char text[128];
    std::snprintf(text, sizeof text, "k=%d, from %d to %d", D(item.power), D(item.start),
                  D(item.end));
    ShowStatus(text);
    if (Settings.TrayIcon.load() != 0) SetTrayIcon(0, text);
    std::snprintf(text, sizeof text, "Searching %d %d's on %d Penta%d\n", D(item.power),
                  D(item.power), D(item.start), D(item.variant));
    LogText(text);
    ReplaceLastLine.store(true);
    InternalError.store(0);

    StoppedEarly.store(false);
    if (routine != nullptr) {
      routine(static_cast<int32_t>(item.start));
    } else {
      InternalError.store(kUnimplementedError);
      LogMessage("Unimplemented Penta routine\n");
    }
    if (InternalError.load() != 0) return RefuseLine(item);

    if (Requested(REQ_HALT) && StoppedEarly.load()) {
      // The a just searched is incomplete: it is searched again when the line resumes.
      // The line moves on only once the report of its stretch is on the disk.
      if (finishedSinceReport) {
        char report[160];
        FormatStretch(report, item, first, last);
        if (ReportResult(report) != 0) UpdateWorkLine(item);
      }
      ReleaseTables();
      return 1;
    }
    last = item.start;
    finishedSinceReport = true;
    // A save request, or ForceDisplay after every a: report the stretch and record it.
    if (Requested(REQ_SAVE) || Settings.ForceDisplay.load() != 0) {
      // Keep a stop request that arrives meanwhile; display and save are answered here.
      RequestFlags.fetch_and(REQ_HALT);
      char report[160];
      FormatStretch(report, item, first, last);
      ResetCounters();
      if (ReportResult(report) == 0) {  // held in memory: the work stops, the line stays
        ReleaseTables();
        return 1;
      }
      item.start = last + 1;
      first = item.start;
      UpdateWorkLine(item);
      finishedSinceReport = false;
    } else {
      item.start = last + 1;
    }
    // A stop that came as the a was finished: that a counts, and is reported.
    if (Requested(REQ_HALT) && item.start < item.end) {
      char report[160];
      FormatStretch(report, item, first, last);
      if (finishedSinceReport && ReportResult(report) != 0) UpdateWorkLine(item);
      ReleaseTables();
      return 1;
    }
  }
  if (finishedSinceReport) {
    char report[160];
    FormatStretch(report, item, first, last);
    if (ReportResult(report) == 0) {
      ReleaseTables();
      return 1;
    }
  }
  UpdateWorkLine(item);
  ReleaseTables();
  return 0;
}

void SetRoutineOverride(PentaRoutineOverride routine) { routineOverride = routine; }

}  // namespace aequa::penta
