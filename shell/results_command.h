#pragma once
// `aequa results`: the results of the data directory's results file, the tags of its signed
// lines checked, and the coverage of its done lines with the gaps.
#include <string>

#include "shell/command_status.h"

namespace aequa::ui {

// Reads the results file of `directory` without taking the directory's lock (a running copy
// may go on appending). Exit status kExitUnchecked when a tag does not match.
int RunResultsCommand(const CommandInvocation& args, const std::string& directory,
                      bool explicitDir);

}  // namespace aequa::ui
