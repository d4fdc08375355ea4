#pragma once
// Where the program lives and works: its own directory is its data directory.
#include <string>

namespace aequa::platform {

// Directory of the running executable, without a trailing separator (except a root).
std::string ProgramDirectory();

// Makes `path` the current directory, creating it (and its parents) when missing.
bool EnterDirectory(const std::string& path, bool create);

// The current directory as text, as the system reports it.
std::string CurrentDirectory();

}  // namespace aequa::platform
