#pragma once
// The queue of work ranges: the lines of the work file, processed strictly in file order.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

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
