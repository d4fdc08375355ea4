#pragma once
// Where the program lives and works: its own directory is its data directory, unless it
// cannot be written (an installed program), when a per-user directory is.
#include <string>

namespace aequa::platform {

// Directory of the running executable, without a trailing separator (except a root).
std::string ProgramDirectory();

// The data directory when none is given, and whether it is to be created on first use. On
// Linux: the program's own directory when this user can write to it and it is not an installed
// program (one with its manual page under ../share/man), else
// $XDG_DATA_HOME/aequa (an absolute XDG_DATA_HOME only), else $HOME/.local/share/aequa. On
// Windows: the program's own directory.
struct DataDirectoryChoice {
  std::string path;
  bool create = false;
};
DataDirectoryChoice DefaultDataDirectory();

// Makes `path` the current directory, creating it (and its parents) when missing and `create`
// is set; `created` (when given) tells whether it was created.
bool EnterDirectory(const std::string& path, bool create, bool* created = nullptr);

// The current directory as text, as the system reports it.
std::string CurrentDirectory();

// The current directory with every link and alias resolved: the same text for every path that
// reaches the directory (the instance key is computed from it).
std::string ResolvedCurrentDirectory();

}  // namespace aequa::platform
