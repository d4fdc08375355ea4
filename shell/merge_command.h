#pragma once
// `aequa merge`: the results files of the parts of a range checked and merged into one.
#include "shell/command_status.h"

namespace aequa::ui {

// Exit status 0 only when every range is covered and every tag checks (else kExitUnchecked).
int RunMergeCommand(const CommandInvocation& args);

}  // namespace aequa::ui
