#include "penta/penta_driver.h"

#include <cstdio>
#include <memory>

#include "core/output_log.h"
#include "core/settings.h"
#include "core/status_display.h"
#include "core/work_queue.h"
#include "penta/penta_types.h"

namespace aequa::penta {
namespace {

int D(uint32_t value) { return static_cast<int>(static_cast<int32_t>(value)); }

// One line's search, on a run this object owns.
class PentaLine {
 public:
  PentaLine(PentaRun& run, WorkItem& item, const PentaOptions& options)
      : run_(run), item_(item), options_(options) {}
  SearchOutcome Search();

 private:
  // Writes the report of the stretch first..last: "(k,type) first-last done in N seconds
  // (M candidates)". False when the results file could not take it.
  bool ReportStretch(uint32_t first, uint32_t last) {
    char text[160];
    std::snprintf(text, sizeof text, "(%d,%d) %d-%d done in %d seconds (%d candidates)",
                  D(item_.power), D(item_.variant), D(first), D(last),
                  D(run_.control.elapsedSeconds.load()), D(run_.candidates));
    return ReportResult(run_.control, text) != 0;
  }
  void ResetCounters() {
    run_.control.elapsedSeconds.store(0);
    run_.candidates = 0;
  }
  SearchOutcome Fail() {
    char text[160];
    std::snprintf(text, sizeof text, "Internal error %d on %d,%d,%d,%d\n",
                  static_cast<int>(run_.control.internalError.load()), D(item_.power),
                  D(item_.start), D(item_.end), D(item_.variant));
    return FailLine(run_.control, item_, text, "");
  }

  PentaRun& run_;
  WorkItem& item_;
  const PentaOptions& options_;
};

SearchOutcome PentaLine::Search() {
  SearchControl& control = run_.control;
  run_.sink = options_.sink;
  if (item_.power != 5) {
    control.internalError.store(kUnimplementedError);
    LogMessage(control, "Unimplemented Penta routine\n");
    return SearchOutcome::Stopped;
  }
  if (item_.start >= item_.end) {
    UpdateWorkLine(item_);
    return SearchOutcome::Finished;
  }
  ResetCounters();
  // A missing residue table refuses the line: no routine runs without its tables.
  if (!BuildTables(run_.tables, options_.allocator)) {
    control.internalError.store(kMissingTableError);
    return Fail();
  }
  const PentaRoutine routine = options_.routine != nullptr && item_.variant < kTypeCount
                                   ? options_.routine
                                   : RoutineOf(item_.variant);
  uint32_t first = item_.start;
  bool finishedSinceReport = false;
  uint32_t last = 0;
  while (item_.start < item_.end) {
    // With nothing left to report (the line's first a, or a stretch just reported), the
    // values of a still to come are cut in two when another worker has none.
    if (!finishedSinceReport) OfferSplit(control, item_, item_.start);
    char text[128];
    std::snprintf(text, sizeof text, "k=%d, from %d to %d", D(item_.power), D(item_.start),
                  D(item_.end));
    ShowStatus(control, text);
    std::snprintf(text, sizeof text, "Searching %d %d's on %d Penta%d\n", D(item_.power),
                  D(item_.power), D(item_.start), D(item_.variant));
    LogText(control, text);
    ReplaceNextLine(control);
    control.internalError.store(0);

    run_.stoppedEarly = false;
    if (routine != nullptr) {
      routine(run_, static_cast<int32_t>(item_.start));
    } else {
      control.internalError.store(kUnimplementedError);
      LogMessage(control, "Unimplemented Penta routine\n");
    }
    if (control.internalError.load() != 0) return Fail();

    if (control.Requested(REQ_HALT) && run_.stoppedEarly) {
      // Its lines come again when the a is searched again.
      run_.candidates -= static_cast<uint32_t>(run_.held.size());
      run_.held.clear();
      // The a just searched is incomplete: it is searched again when the line resumes.
      // The line moves on only once the report of its stretch is on the disk.
      if (finishedSinceReport && ReportStretch(first, last)) UpdateWorkLine(item_);
      return SearchOutcome::Stopped;
    }
    for (const std::string& line : run_.held) {
      ReportResult(control, line.c_str());
      AnnounceResult(line.c_str());
    }
    run_.held.clear();
    last = item_.start;
    finishedSinceReport = true;
    item_.start = last + 1;
    // A save request, ForceDisplay after every a, or an idle worker asking for work: report
    // the stretch and record it.
    if (control.Requested(REQ_SAVE) || Settings.ForceDisplay.load() != 0 ||
        control.splitWanted.load() != 0) {
      // Keep a stop request that arrives meanwhile; display and save are answered here.
      control.ClearRequestsButHalt();
      const bool written = ReportStretch(first, last);
      ResetCounters();
      if (!written) {  // held in memory: the work stops, the line stays
        item_.start = first;
        return SearchOutcome::Stopped;
      }
      first = item_.start;
      UpdateWorkLine(item_);
      finishedSinceReport = false;
    }
    // A stop that came as the a was finished: that a counts, and is reported.
    if (control.Requested(REQ_HALT) && item_.start < item_.end) {
      if (finishedSinceReport && ReportStretch(first, last)) UpdateWorkLine(item_);
      return SearchOutcome::Stopped;
    }
  }
  if (finishedSinceReport && !ReportStretch(first, last)) return SearchOutcome::Stopped;
  UpdateWorkLine(item_);
  return SearchOutcome::Finished;
}

}  // namespace

SearchOutcome RunPentaLine(SearchControl& control, WorkItem& item) {
  return RunPentaLine(control, item, PentaOptions{});
}

SearchOutcome RunPentaLine(SearchControl& control, WorkItem& item, const PentaOptions& options) {
  // The run holds the residue tables (6.4 MB) for as long as the line runs.
  auto run = std::make_unique<PentaRun>(control);
  return PentaLine(*run, item, options).Search();
}

}  // namespace aequa::penta
