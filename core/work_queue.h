#pragma once
// The queue of work ranges: the lines of the work file, processed strictly in file order.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/drivers.h"
#include "core/shared_words.h"
#include "core/work_item.h"

namespace aequa {

// Fills `item` from the first valid line at or after `index` (1-based) and returns its kind;
// 0 when none is left. Invalid lines met on the way are reported and deleted.
uint32_t ParseWorkLine(uint32_t index, WorkItem& item);

// The CPU seconds spent on the item's line: those it had when it was read, and those the
// calling thread has spent since (by the line clock).
uint32_t LineCpuSeconds(const WorkItem& item);

// Writes the driver's progress into the line the item was read from, and into no other;
// deletes that line when the item's range is exhausted. A line whose start has moved, or
// that has had CPU time, keeps its first start and its CPU seconds in two trailing fields. False (with a message) when the line
// is no longer in the work file: its progress then has nowhere to go.
bool UpdateWorkLine(const WorkItem& item);

// Drops the line the item was read from (after an internal error); other lines stay.
void DeleteWorkLine(const WorkItem& item);

// Whether the units [from, end) of the line can be cut between two workers: at least two
// units, and no order between them (an equal-sums line in mode Best or Same is searched in
// order, since a result lowers n for the values after it).
bool Splittable(const WorkItem& item, uint32_t from);

// At a boundary of its search (between values, windows or a's): when another worker has asked
// for work, gives the units [cut, end) of the line away (SplitWorkLine at the point that halves
// the work left from `from` on) and says so. True when the item's end moved down to the cut.
bool OfferSplit(SearchControl& control, WorkItem& item, uint32_t from);

// Workers share the queue: each takes the first valid line that no other worker has taken
// and that no taken line conflicts with (equal-sums lines of the same power and left terms
// over common values share checkpoint files). Taking is in memory only. Returns the kind, or
// 0 when no line can be taken.
uint32_t TakeWorkLine(uint32_t worker, WorkItem& item);
void ReleaseWorkLine(uint32_t worker, const WorkItem& item);
struct TakenLine {
  uint32_t worker;
  WorkItem item;  // as the line holds it now
};
std::vector<TakenLine> TakenLines();

// Gives the part [cut, end) of the item's line away as a new line right after it, and keeps
// [start, cut) (with the item's progress) in the line; both in one write of the file, so that
// a crash leaves either the whole line or both parts. The item's end becomes `cut`. False
// (nothing changed) when the cut is outside the line's unsearched values or the line is gone.
bool SplitWorkLine(WorkItem& item, uint32_t cut);

// The queue report that the Status command shows (at most 2000 bytes).
// The queue report that the Status command shows (at most 2000 bytes): each line by the
// number that removing or moving it takes, with its progress.
std::string BuildStatusReport();

// Appends a work line built from a range dialog and (unless `startIfIdle` is false) starts
// work when none runs. Refused with a message on the log: a full queue, an unreadable work
// file, a range identical to a queued one ("This range is already queued"); a range that
// overlaps a queued one of the same search is added with a message. Returns true when the
// line was added.
bool AddWorkLine(const char* key, const char* value, bool startIfIdle = true);

// The value texts that the range dialogs build.
std::string SumLineValue(uint32_t power, uint32_t start, uint32_t end, uint32_t left,
                         uint32_t right, uint32_t mode, uint32_t duration);
std::string AddLineValue(uint32_t power, uint32_t start, uint32_t end, uint32_t terms,
                         uint32_t megabytes);
std::string PentaLineValue(uint32_t power, uint32_t start, uint32_t end, uint32_t type);

// A line as the work file holds it ("SUM=5,80,90,1,4,0,80,0"), and the same read back as the
// work-file reader reads it, without a message and without touching the work file: the kind,
// or 0 for a line the reader would refuse.
std::string WorkLineText(const WorkItem& item);
uint32_t ReadWorkLineText(std::string_view line, WorkItem& item);

}  // namespace aequa
