#pragma once
// The Aequa window on the terminal backend without a terminal: keys are queued and handled
// by the message loop, the window is painted into a grid.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "core/settings_store.h"
#include "core/startup.h"
#include "core/work_control.h"
#include "platform/instance_lock.h"
#include "shell/aequo_app.h"
#include "shell/terminal/terminal_backend.h"
#include "support/temp_dir.h"

namespace aequa::test {

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("XDG_CONFIG_HOME", (dir.path() + "/config").c_str(), 1);
    setenv("AEQUA_AUTOSTART", "xdg", 1);
    data = dir.path() + "/data";
  }

  // Starts the program in `data` as the background copy does, without its socket.
  void Open(int rows = 24, int cols = 100) {
    // Searches at a priority that a busy machine still serves.
    if (!FileExists(data + "/aequo.ini")) {
      std::filesystem::create_directories(data);
      WriteFile(data + "/aequo.ini", "Priority=9\r\n");
    }
    ASSERT_EQ(StartUp(data, true).outcome, StartupResult::Outcome::Started);
    backend = std::make_unique<term::TerminalBackend>(-1);
    app = std::make_unique<ui::CAequoApp>();
    backend->SetApplication(app.get());
    fw::SetCurrentBackend(backend.get());
    backend->screen().SetSize(rows, cols);
    ASSERT_TRUE(app->InitInstance());
  }

  void TearDown() override {
    if (app) app->ExitInstance();
    fw::SetCurrentBackend(nullptr);
    platform::ReleaseInstanceLock();
  }

  // Queues keys: characters as typed, '\t' Tab, '\n' Enter, '\x1b' Esc.
  void Type(const std::string& text) {
    for (char c : text) {
      if (c == '\t') {
        backend->QueueKey(fw::Key{fw::kKeyTab, fw::kModNone});
      } else if (c == '\n') {
        backend->QueueKey(fw::Key{fw::kKeyEnter, fw::kModNone});
      } else if (c == '\x1b') {
        backend->QueueKey(fw::Key{fw::kKeyEscape, fw::kModNone});
      } else {
        backend->QueueKey(fw::Key{static_cast<unsigned char>(c), fw::kModNone});
      }
    }
  }
  void Press(const fw::Key& key) { backend->QueueKey(key); }
  void Snapshot() { backend->QueueSnapshot(); }
  void Run() { backend->RunQueuedKeys(); }

  static std::string Text(const term::Grid& grid) {
    std::string text;
    for (int r = 0; r < grid.rows(); ++r) text += grid.RowText(r) + "\n";
    return text;
  }
  std::string ScreenText() { return Text(backend->screen().Render()); }
  std::string Snap(size_t i) { return Text(backend->Snapshots().at(i)); }
  std::string DataFile(const std::string& name) { return ReadFile(data + "/" + name); }

  TempDir dir;
  std::string data;
  std::unique_ptr<term::TerminalBackend> backend;
  std::unique_ptr<ui::CAequoApp> app;
};

}  // namespace aequa::test
