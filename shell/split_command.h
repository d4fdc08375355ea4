#pragma once
// `aequa split`: a range, or a line of the queue, cut into parts of about equal work, each
// written as a data directory or as a work-unit input file.
#include <string>

#include "shell/command_status.h"

namespace aequa::ui {

// `directory` is the data directory whose queue --line reads (without taking its lock).
int RunSplitCommand(const CommandInvocation& args, const std::string& directory,
                    bool explicitDir);

}  // namespace aequa::ui
