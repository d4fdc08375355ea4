#pragma once
// What the OK button of each dialog does, shared by every front end (window, terminal,
// command line).
#include <cstdint>
#include <string>

namespace aequa::ui {

// Each returns false when the settings file could not be read (nothing is written over it;
// the change holds in memory only).
// User Information: the identity in memory and in the settings file, and a "User:" line in
// the results file.
bool StoreUserInformation(const std::string& name, const std::string& email);
// Preferences: both intervals, each raised to 1 when below 1 (signed comparison).
bool StorePreferences(uint32_t saveMinutes, uint32_t displaySeconds);
// Priority: stored and written when it differs; applied when the next search thread starts.
bool StorePriority(uint32_t priority);
// Workers: stored and written; the next Continue starts that many searches.
bool StoreWorkers(uint32_t workers);

// The range dialogs: add the work line (and start work when none runs, unless told not to).
bool QueueSumRange(uint32_t power, uint32_t start, uint32_t end, uint32_t left, uint32_t right,
                   uint32_t mode, uint32_t duration, bool startIfIdle = true);
bool QueueAddRange(int32_t power, int32_t start, int32_t end, int32_t terms, int32_t megabytes,
                   bool startIfIdle = true);
bool QueuePentaRange(int32_t power, int32_t start, int32_t end, int32_t type,
                     bool startIfIdle = true);

}  // namespace aequa::ui
