#pragma once
// Where the program lives and works: its own directory is its data directory.
#include <string>

namespace aequa::platform {

// Directory of the running executable, without a trailing separator (except a root).
std::string ProgramDirectory();

// Makes `path` the current directory, creating it (and its parents) when missing and `create`
// is set; `created` (when given) tells whether it was created.
bool EnterDirectory(const std::string& path, bool create, bool* created = nullptr);

// The current directory as text, as the system reports it.
std::string CurrentDirectory();

// The current directory with every link and alias resolved: the same text for every path that
// reaches the directory (the instance key is computed from it).
std::string ResolvedCurrentDirectory();

}  // namespace aequa::platform
