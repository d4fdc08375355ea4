#include "platform/autostart.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/files.h"

namespace aequa::platform {
namespace {

namespace fs = std::filesystem;

std::string ConfigHome() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg != nullptr && xdg[0] == '/') return xdg;
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr ? home : "") + "/.config";
}

bool UseSystemd() {
  const char* forced = std::getenv("AEQUA_AUTOSTART");
  if (forced != nullptr && std::string(forced) == "systemd") return true;
  if (forced != nullptr && std::string(forced) == "xdg") return false;
  // A running user manager listens on this socket.
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  std::error_code ec;
  return runtime != nullptr && fs::exists(std::string(runtime) + "/systemd/private", ec);
}

// One entry per data directory, named by a hash of its path.
std::string EntryName(const std::string& directory) {
  uint32_t h = 2166136261u;
  for (unsigned char c : directory) h = (h ^ c) * 16777619u;
  char name[32];
  std::snprintf(name, sizeof name, "aequa-%08x", static_cast<unsigned>(h));
  return name;
}

std::string ExecutablePath() {
  std::error_code ec;
  fs::path p = fs::read_symlink("/proc/self/exe", ec);
  return ec ? std::string("aequa") : p.string();
}

bool HasControlCharacter(const std::string& text) {
  for (unsigned char c : text) {
    if (c < 0x20 || c == 0x7F) return true;
  }
  return false;
}

// A value of type string in a desktop entry: the backslash is escaped.
std::string DesktopString(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\\') out += '\\';
    out += c;
  }
  return out;
}

// The text of a unit's Description: specifiers doubled; in quotes, so that the line never
// ends in a backslash (which would continue it on the next line).
std::string SystemdDescription(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '%') out += '%';
    out += c;
  }
  return out + "\"";
}

// One argument of ExecStart: double quotes, with the C escapes of quoted words for the quote
// and the backslash, and the specifier "%" and the variable "$" doubled.
std::string SystemdArgument(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    if (c == '%' || c == '$') out += c;
    out += c;
  }
  return out + "\"";
}

// One argument of a desktop entry's Exec: double quotes with "\"", "`", "$" and "\\" escaped
// by a backslash, and "%" doubled (field codes); then the string escape of the whole value,
// which doubles every backslash again.
std::string DesktopArgument(const std::string& text) {
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    if (c == '%') quoted += '%';
    quoted += c;
  }
  quoted += '"';
  return DesktopString(quoted);
}

std::string CommandLine(const std::string& directory, bool systemd) {
  auto quote = systemd ? &SystemdArgument : &DesktopArgument;
  return quote(ExecutablePath()) + " --dir " + quote(directory) + " serve";
}

fs::path EntryDirectory(bool systemd) {
  return systemd ? fs::path(ConfigHome()) / "systemd" / "user" : fs::path(ConfigHome()) / "autostart";
}

fs::path EntryFile(const std::string& directory, bool systemd) {
  return EntryDirectory(systemd) / (EntryName(directory) + (systemd ? ".service" : ".desktop"));
}

fs::path WantsLink(const std::string& directory) {
  return EntryDirectory(true) / "default.target.wants" / (EntryName(directory) + ".service");
}

}  // namespace

std::string AutostartEntryPath(const std::string& directory) {
  return EntryFile(directory, UseSystemd()).string();
}

bool AutostartRegistered(const std::string& directory) {
  std::error_code ec;
  return fs::exists(EntryFile(directory, UseSystemd()), ec);
}

AutostartStatus RegisterAutostart(const std::string& directory) {
  const bool systemd = UseSystemd();
  // A line end in a path would start a line of its own in the entry.
  if (HasControlCharacter(directory) || HasControlCharacter(ExecutablePath())) {
    return AutostartStatus::BadPath;
  }
  std::error_code ec;
  fs::create_directories(EntryDirectory(systemd), ec);
  if (ec) return AutostartStatus::CannotCreate;
  std::string text;
  if (systemd) {
    text = "[Unit]\nDescription=Aequa search in " + SystemdDescription(directory) +
           "\n\n[Service]\nType=simple\nExecStart=" + CommandLine(directory, true) +
           "\n\n[Install]\nWantedBy=default.target\n";
  } else {
    text = "[Desktop Entry]\nType=Application\nName=Aequa\nComment=Aequa search in " +
           DesktopString(directory) + "\nExec=" + CommandLine(directory, false) +
           "\nTerminal=false\nNoDisplay=true\nX-GNOME-Autostart-enabled=true\n";
  }
  if (!ReplaceFile(EntryFile(directory, systemd).string(), text)) {
    return AutostartStatus::CannotWrite;
  }
  if (systemd) {
    // What "systemctl --user enable" does: the default target wants the unit.
    fs::path link = WantsLink(directory);
    fs::create_directories(link.parent_path(), ec);
    fs::remove(link, ec);
    fs::create_symlink(fs::path("..") / EntryFile(directory, true).filename(), link, ec);
    if (ec) return AutostartStatus::CannotWrite;
  }
  return AutostartStatus::Done;
}

AutostartStatus UnregisterAutostart(const std::string& directory) {
  const bool systemd = UseSystemd();
  std::error_code ec;
  if (systemd) fs::remove(WantsLink(directory), ec);
  if (!fs::remove(EntryFile(directory, systemd), ec) || ec) return AutostartStatus::CannotWrite;
  return AutostartStatus::Done;
}

}  // namespace aequa::platform
