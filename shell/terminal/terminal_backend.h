#pragma once
// The terminal backend of the framework, run by the copy that owns the data directory. Its
// message loop waits on the listening socket, the attached terminal, the connections that have
// not yet said what they want, and a wake-up pipe that other threads use (repaints, posted
// commands, exit requests). No connection is ever waited for: each has its own buffers and a
// deadline, so a slow or idle one holds up neither the others nor an exit request. It paints
// the window into a grid for the attached terminal; with none attached the window is hidden
// and the program goes on working.
#include <atomic>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "shell/framework/application.h"
#include "shell/framework/backend.h"
#include "shell/terminal/connection.h"
#include "shell/terminal/grid.h"
#include "shell/terminal/screen.h"

namespace aequa::term {

class TerminalBackend : public fw::Backend {
 public:
  // `listenFd`: the socket terminals and commands connect to (-1 for none, in tests).
  explicit TerminalBackend(int listenFd);
  ~TerminalBackend() override;

  void SetApplication(fw::Application* app);
  Screen& screen() { return *screen_; }

  void RunMessageLoop() override;
  int RunModalDialog(fw::Dialog& dialog) override;
  int MessageBox(const std::string& text, unsigned type) override;
  void ShowHelp() override;
  void Quit() override { quit_ = true; }
  void PostCommand(uint32_t id) override;
  void Invalidate() override;
  void WindowChanged() override;
  // The program runs in the background; its window opens when a terminal attaches.
  bool WindowOpensAtStart() const override { return false; }

  // From any thread (SIGTERM, the exit command): close the window as Exit does.
  void RequestExit();

  // One round of the loop: waits up to `timeoutMs` for something to do, then does it.
  void PumpOnce(int timeoutMs);
  // Tests drive the window without a terminal: keys queued here are handled by the loop, one
  // per round, as if typed; a snapshot request renders the grid at that point.
  void QueueKey(const fw::Key& key);
  void QueueSnapshot();
  const std::vector<Grid>& Snapshots() const { return snapshots_; }
  // Runs the loop until every queued key has been handled.
  void RunQueuedKeys();
  bool Attached() const { return client_.has_value(); }

 private:
  void Wake();
  void AcceptConnections(int64_t now);
  // A connection's first message: a command is carried out (unless its sender has given up),
  // an attach takes the window over; anything else closes the connection.
  void ServeFirstMessage(Connection connection, Message type, const std::string& payload);
  void ReadPending(size_t index);
  void ReadClient();
  void HandleClientMessages();
  void Detach(const std::string& reason);
  void SendScreen();
  // The earliest deadline of a connection, for the wait of the loop (-1: none).
  int WaitFor(int timeoutMs, int64_t now) const;
  // False only without a socket, a terminal or a queued key (tests): a modal loop then ends
  // with Cancel instead of waiting for ever.
  bool KeysCanArrive();
  bool Ending() const { return quit_ || exitRequested_.load(); }

  fw::Application* app_ = nullptr;
  std::unique_ptr<Screen> screen_;
  int listenFd_;
  int wakeRead_ = -1;
  int wakeWrite_ = -1;
  std::optional<Connection> client_;       // the attached terminal
  std::vector<Connection> pending_;        // accepted, first message not yet whole
  std::vector<Connection> replying_;       // a reply waits to be taken
  bool quit_ = false;
  int depth_ = 0;
  std::atomic<bool> exitRequested_{false};
  std::atomic<bool> dirty_{true};
  std::mutex postedLock_;
  std::deque<uint32_t> posted_;
  struct Scripted {
    fw::Key key;
    bool snapshot = false;
  };
  std::deque<Scripted> scripted_;
  std::vector<Grid> snapshots_;
  Grid lastSent_;
  std::string lastTitle_;
};

}  // namespace aequa::term
