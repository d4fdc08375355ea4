#pragma once
// `aequa status --json`: what runs, each queued line with its fields, progress, rate and time
// left, and the last result, as one JSON object. The field names are stable; the README
// lists them.
#include <string>

namespace aequa::ui {

// With the data directory current and its settings loaded.
std::string BuildStatusJson();

}  // namespace aequa::ui
