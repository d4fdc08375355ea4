#include "shell/scratch_directory.h"

#include <chrono>
#include <filesystem>

#include "core/output_log.h"
#include "core/settings_store.h"
#include "core/startup.h"
#include "platform/directories.h"
#include "platform/instance_lock.h"
#include "shell/dialog_actions.h"

namespace aequa::ui {
namespace {

namespace fs = std::filesystem;

void QuietLog(const char*, bool) {}

// A directory that did not exist before: create_directory fails on any existing name.
std::string MakeTemporaryDirectory() {
  std::error_code error;
  const fs::path base = fs::temp_directory_path(error);
  if (error) return "";
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path dir =
        base / ("aequa-scratch-" + std::to_string(stamp) + "-" + std::to_string(attempt));
    if (fs::create_directory(dir, error)) return dir.string();
  }
  return "";
}

}  // namespace

ScratchDirectory::ScratchDirectory() : previous_(platform::CurrentDirectory()) {
  path_ = MakeTemporaryDirectory();
  if (path_.empty()) return;
  if (StartUp(path_, false).outcome != StartupResult::Outcome::Started) return;
  StorePriority(9);
  Quiet();
  ready_ = true;
}

ScratchDirectory::~ScratchDirectory() {
  SetLogLineSink(nullptr);
  IniFreeAll();
  platform::ReleaseInstanceLock();
  platform::EnterDirectory(previous_, false);
  if (path_.empty()) return;
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

void ScratchDirectory::Quiet() { SetLogLineSink(&QuietLog); }

}  // namespace aequa::ui
