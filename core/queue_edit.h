#pragma once
// Listing and reordering the queue: the lines of the work file by number, a line removed or
// moved through the settings store (one rewrite of the file, other lines kept). A line that a
// search runs on is neither removed nor moved, nor is any line shifted across it, since the
// search writes its progress to the line at that place.
#include <cstdint>
#include <string>
#include <vector>

#include "core/work_item.h"

namespace aequa {

struct QueueEntry {
  uint32_t number = 0;  // 1-based, as remove and move take it
  std::string text;     // "SUM=5,80,90,1,4,0,80,0"
  WorkItem item;        // kind 0 for a line the reader would refuse
  bool running = false;
};

std::vector<QueueEntry> ListQueue();

enum class QueueEdit { Done, NoSuchLine, Running, Unreadable };

QueueEdit RemoveQueueLine(uint32_t number);
// Puts line `from` at place `to`; the lines between shift by one.
QueueEdit MoveQueueLine(uint32_t from, uint32_t to);

// The message for an edit's outcome ("Line 2 is removed.", "Line 1 is being searched; stop
// the search first.").
std::string QueueEditText(QueueEdit outcome, uint32_t number);

}  // namespace aequa
