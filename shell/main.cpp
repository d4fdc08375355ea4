#include "shell/command_line.h"
#include "shell/search_registry.h"

int main(int argc, char** argv) {
  aequa::ui::RegisterSearches();
  return aequa::ui::RunCommandLine(argc, argv);
}
