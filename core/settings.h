#pragma once
// The settings of "aequo.ini" held in memory, and the names of the two data files.
#include <atomic>
#include <cstdint>

namespace aequa {

struct SettingsValues {
  std::atomic<int32_t> DisplayFrequency{30};  // seconds between progress lines, at least 1
  std::atomic<int32_t> SaveFrequency{15};     // minutes between checkpoint saves, at least 1
  std::atomic<int32_t> Priority{1};           // 1..10
  std::atomic<int32_t> Affinity{99};          // processor for the search threads; 99: any
  std::atomic<int32_t> TrayIcon{1};
  std::atomic<int32_t> HideIcon{0};
  std::atomic<int32_t> NoSave{0};             // the equal-sums search writes no checkpoints
  std::atomic<int32_t> Info{0};               // sum-collision search: eviction counts shown
  std::atomic<int32_t> ForceAVL{0};           // sum tree: report every collision
  std::atomic<int32_t> SumTree{0};            // "SumEngine=tree": the sum tree, not windows
  std::atomic<int32_t> ForceDisplay{0};       // Penta driver
  std::atomic<int32_t> AutoInstall{0};        // 1 once registered to start at boot
  std::atomic<int32_t> Workers{1};            // search threads, 1..kMaxWorkers
  std::atomic<int32_t> ResultBalloon{0};      // 1: a balloon at the tray icon for each result
};

extern SettingsValues Settings;

inline constexpr const char* kSettingsFileName = "aequo.ini";
inline constexpr const char* kWorkFileName = "worksum.ini";

// The names of the settings and the work file.
void SetFileNames();
const char* SettingsFile();
const char* WorkFile();

// Reads every setting except "MaxExponents" and the window keys, with defaults and
// adjustments, into memory (and the user identity into the output module).
void LoadSettings();

// Adjustments made on reading (and by the dialogs that write them).
int32_t AdjustFrequency(int32_t value);   // below 1 becomes 1
int32_t AdjustPriority(int32_t value);    // 0 becomes 1; above 10 taken as unsigned becomes 10
// "Workers": the number of processors when missing; held within 1..kMaxWorkers.
int32_t DefaultWorkers();
int32_t AdjustWorkers(int32_t value);

// "MaxExponents", read each time work is added, capped at the store's line limit.
uint32_t MaxQueueLines();

}  // namespace aequa
