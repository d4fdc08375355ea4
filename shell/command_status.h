#pragma once
// The exit status of every command, and the complaint about a bad command line.
#include <map>
#include <string>
#include <vector>

namespace aequa::ui {

inline constexpr int kExitOk = 0;
inline constexpr int kExitRefused = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitRunning = 3;
inline constexpr int kExitHalted = 4;         // stopped with work left in the queue
inline constexpr int kExitInternalError = 5;  // a search failed a check; a file is to be sent
inline constexpr int kExitUnchecked = 6;      // results with a gap or a tag that does not match

// A command as typed: its name, its values in order and its options ("--mode" -> "best"; a
// flag maps to "1").
struct CommandInvocation {
  std::string command;
  std::vector<std::string> values;
  std::map<std::string, std::string> options;
  bool queueOnly = false;
};

// "aequa: <message>" and the hint to the help on standard error; returns kExitUsage.
int Usage(const std::string& message);

// A refusal of a command's values: the field and its prompt, or a usage message; kExitUsage.
struct Refusal;
int Refused(const Refusal& refusal);

}  // namespace aequa::ui
