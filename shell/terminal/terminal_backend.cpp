#include "shell/terminal/terminal_backend.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <optional>

#include "platform/clock.h"
#include "platform/local_socket.h"
#include "shell/framework/frame_window.h"
#include "shell/framework/standard_ids.h"
#include "shell/help_topics.h"
#include "shell/terminal/forwarded_commands.h"
#include "shell/terminal/terminal_keys.h"
#include "shell/terminal/wire.h"

namespace aequa::term {
namespace {
constexpr const char* kHiddenText =
    "Aequa goes on in the background. Run aequa to bring its window back.";
constexpr const char* kEndedText = "Aequa has ended.";

// A new connection must say what it wants within this time, and take its reply within it.
constexpr int64_t kConnectionDeadlineMs = 5000;
// Connections that have not yet said what they want; more are refused until some are done.
constexpr size_t kMaxPending = 32;
// Commands, attach requests, keys and sizes are short.
constexpr size_t kMaxIncoming = 64 * 1024;
// A terminal that takes no screens for this long a queue has gone away.
constexpr size_t kMaxClientBacklog = 4u << 20;
}  // namespace

TerminalBackend::TerminalBackend(int listenFd) : listenFd_(listenFd) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0) {
    wakeRead_ = fds[0];
    wakeWrite_ = fds[1];
  }
}

TerminalBackend::~TerminalBackend() {
  client_.reset();
  if (wakeRead_ >= 0) close(wakeRead_);
  if (wakeWrite_ >= 0) close(wakeWrite_);
}

void TerminalBackend::SetApplication(fw::Application* app) {
  app_ = app;
  screen_ = std::make_unique<Screen>(*app);
}

void TerminalBackend::Wake() {
  if (wakeWrite_ < 0) return;
  const char c = 1;
  // A full pipe already holds a wake-up; nothing is lost when this write fails.
  [[maybe_unused]] ssize_t n = write(wakeWrite_, &c, 1);
}

void TerminalBackend::PostCommand(uint32_t id) {
  {
    std::lock_guard<std::mutex> guard(postedLock_);
    posted_.push_back(id);
  }
  Wake();
}

void TerminalBackend::Invalidate() {
  dirty_ = true;
  Wake();
}

void TerminalBackend::WindowChanged() {
  dirty_ = true;
  Wake();
}

void TerminalBackend::RequestExit() {
  exitRequested_ = true;
  Wake();
}

void TerminalBackend::RunMessageLoop() {
  while (!quit_) {
    PumpOnce(1000);
    if (exitRequested_.load() && depth_ == 0 && !quit_) {
      exitRequested_ = false;
      app_->RouteCommand(fw::ID_APP_EXIT);
    }
  }
  if (client_) Detach(kEndedText);
}

int TerminalBackend::RunModalDialog(fw::Dialog& dialog) {
  screen_->PushDialog(dialog);
  ++depth_;
  dirty_ = true;
  while (!dialog.ended() && !Ending() && KeysCanArrive()) PumpOnce(1000);
  --depth_;
  if (!dialog.ended()) dialog.EndDialog(fw::IDCANCEL);
  screen_->PopModal();
  dirty_ = true;
  return dialog.result();
}

int TerminalBackend::MessageBox(const std::string& text, unsigned type) {
  if (!screen_) return fw::IDOK;
  screen_->PushMessage(text, type);
  ++depth_;
  dirty_ = true;
  while (!screen_->TopModalClosed() && !Ending() && KeysCanArrive()) PumpOnce(1000);
  --depth_;
  screen_->PopModal();
  dirty_ = true;
  return fw::IDOK;
}

bool TerminalBackend::KeysCanArrive() {
  if (listenFd_ >= 0 || client_) return true;
  std::lock_guard<std::mutex> guard(postedLock_);
  return !scripted_.empty();
}

void TerminalBackend::ShowHelp() {
  MessageBox(TerminalKeyHelp() + "\n\n" + ui::FullHelpText(), fw::MB_OK);
}

void TerminalBackend::QueueKey(const fw::Key& key) {
  {
    std::lock_guard<std::mutex> guard(postedLock_);
    scripted_.push_back({key, false});
  }
  Wake();
}

void TerminalBackend::RunQueuedKeys() {
  for (;;) {
    {
      std::lock_guard<std::mutex> guard(postedLock_);
      if (scripted_.empty()) return;
    }
    PumpOnce(0);
  }
}

void TerminalBackend::QueueSnapshot() {
  {
    std::lock_guard<std::mutex> guard(postedLock_);
    scripted_.push_back({fw::Key{}, true});
  }
  Wake();
}

int TerminalBackend::WaitFor(int timeoutMs, int64_t now) const {
  int64_t wait = timeoutMs;
  auto earlier = [&](const Connection& c) {
    if (c.deadline() == 0) return;
    wait = std::min<int64_t>(wait, std::max<int64_t>(c.deadline() - now, 0));
  };
  for (const Connection& c : pending_) earlier(c);
  for (const Connection& c : replying_) earlier(c);
  return static_cast<int>(wait);
}

void TerminalBackend::PumpOnce(int timeoutMs) {
  std::vector<pollfd> fds;
  fds.push_back({wakeRead_, POLLIN, 0});
  const int listenIndex = listenFd_ >= 0 && pending_.size() < kMaxPending
                              ? static_cast<int>(fds.size())
                              : -1;
  if (listenIndex >= 0) fds.push_back({listenFd_, POLLIN, 0});
  if (client_) {
    const short events = static_cast<short>(POLLIN | (client_->Waiting() > 0 ? POLLOUT : 0));
    fds.push_back({client_->fd(), events, 0});
  }
  for (const Connection& c : pending_) fds.push_back({c.fd(), POLLIN, 0});
  for (const Connection& c : replying_) fds.push_back({c.fd(), POLLOUT, 0});

  // Nothing to wait for when there is already work to do. A screen waits while the terminal
  // has not taken the one before.
  bool pending = dirty_.load() && !(client_ && client_->Waiting() > 0);
  pending = pending || (client_ && client_->HasMessage() && !screen_->TopModalClosed());
  {
    std::lock_guard<std::mutex> guard(postedLock_);
    pending = pending || !posted_.empty() || !scripted_.empty();
  }
  const int64_t before = platform::MonotonicMilliseconds();
  const int ready =
      poll(fds.data(), static_cast<nfds_t>(fds.size()), pending ? 0 : WaitFor(timeoutMs, before));
  if (ready > 0 && (fds[0].revents & POLLIN)) {
    char buffer[256];
    while (read(wakeRead_, buffer, sizeof buffer) > 0) {
    }
  }
  for (;;) {
    uint32_t id = 0;
    {
      std::lock_guard<std::mutex> guard(postedLock_);
      if (posted_.empty()) break;
      id = posted_.front();
      posted_.pop_front();
    }
    app_->RouteCommand(id);
  }
  std::optional<Scripted> next;
  {
    std::lock_guard<std::mutex> guard(postedLock_);
    if (!scripted_.empty()) {
      next = scripted_.front();
      scripted_.pop_front();
    }
  }
  if (next) {
    if (next->snapshot) {
      snapshots_.push_back(screen_->Render());
    } else {
      screen_->HandleKey(next->key);
      dirty_ = true;
    }
  }

  if (ready > 0) {
    // What each connection is ready for, by its descriptor: a key or command handled above may
    // have run a nested loop (a dialog) that changed the lists since they were polled.
    auto events = [&](int fd) -> short {
      for (size_t i = 1; i < fds.size(); ++i) {
        if (fds[i].fd == fd) return fds[i].revents;
      }
      return 0;
    };
    for (size_t i = replying_.size(); i-- > 0;) {
      if (events(replying_[i].fd()) == 0) continue;
      if (!replying_[i].Flush() || replying_[i].Waiting() == 0) {
        replying_.erase(replying_.begin() + static_cast<long>(i));
      }
    }
    std::vector<int> readable;
    for (const Connection& c : pending_) {
      if (events(c.fd()) != 0) readable.push_back(c.fd());
    }
    for (int fd : readable) {
      for (size_t i = 0; i < pending_.size(); ++i) {
        if (pending_[i].fd() == fd) {
          ReadPending(i);
          break;
        }
      }
    }
    if (listenIndex >= 0 && (fds[static_cast<size_t>(listenIndex)].revents & POLLIN)) {
      AcceptConnections(platform::MonotonicMilliseconds());
    }
    // The terminal last: its keys may open a dialog, whose loop serves the others meanwhile.
    const short clientEvents = client_ ? events(client_->fd()) : 0;
    if (clientEvents & POLLOUT) {
      if (!client_->Flush()) Detach("");
    }
    if (client_ && (clientEvents & (POLLIN | POLLHUP | POLLERR))) ReadClient();
  }
  // Keys that came right behind an attach request, or behind a key that closed a dialog.
  if (client_ && client_->HasMessage()) HandleClientMessages();
  // A peer that has not done what it came for in time is closed.
  const int64_t now = platform::MonotonicMilliseconds();
  auto expired = [now](const Connection& c) { return c.Expired(now); };
  pending_.erase(std::remove_if(pending_.begin(), pending_.end(), expired), pending_.end());
  replying_.erase(std::remove_if(replying_.begin(), replying_.end(), expired), replying_.end());

  fw::FrameWindow* frame = app_->MainWindow();
  if (client_ && frame != nullptr) {
    if (frame->destroyed()) {
      Detach(kEndedText);
    } else if (!frame->IsWindowVisible()) {
      Detach(kHiddenText);
    } else if (client_->Waiting() == 0 && dirty_.exchange(false)) {
      SendScreen();
    }
  } else if (!client_) {
    dirty_ = false;
  }
}

void TerminalBackend::SendScreen() {
  Grid grid = screen_->Render();
  if (!(grid == lastSent_)) {
    if (!client_->Send(Message::Screen, grid.Serialise())) return Detach("");
    lastSent_ = grid;
  }
  std::string title = screen_->TerminalTitle();
  if (title != lastTitle_) {
    if (!client_->Send(Message::Title, title)) return Detach("");
    lastTitle_ = title;
  }
  if (client_->Waiting() > kMaxClientBacklog) Detach("");
}

void TerminalBackend::Detach(const std::string& reason) {
  if (!client_) return;
  // Said in passing: a terminal that does not take it loses only the reason.
  if (!reason.empty()) client_->Send(Message::Leave, reason);
  client_.reset();
  fw::FrameWindow* frame = app_->MainWindow();
  // A terminal that goes away takes the window with it, as minimising to the tray does.
  if (frame != nullptr && !frame->destroyed() && frame->IsWindowVisible()) {
    if (!frame->IsIconic()) frame->ShowWindow(fw::ShowCommand::Minimise);
    if (frame->IsWindowVisible()) frame->ShowWindow(fw::ShowCommand::Hide);
  }
}

void TerminalBackend::ReadClient() {
  if (!client_->ReadAvailable()) return Detach("");
  HandleClientMessages();
}

void TerminalBackend::HandleClientMessages() {
  Message type;
  std::string payload;
  bool malformed = false;
  // Keys typed ahead of a closed dialog wait until its loop has taken it off, so that they
  // reach the window below rather than the closed dialog.
  while (client_ && !screen_->TopModalClosed() && client_->TakeMessage(type, payload, malformed)) {
    if (type == Message::Key) {
      fw::Key key;
      if (DecodeKey(payload, key)) screen_->HandleKey(key);
    } else if (type == Message::Resize) {
      int rows = 0, cols = 0;
      if (std::sscanf(payload.c_str(), "%d %d", &rows, &cols) == 2) screen_->SetSize(rows, cols);
    }
    dirty_ = true;
  }
  // A terminal that has gone leaves once its last keys are handled.
  if (client_ && (malformed || (client_->PeerEnded() && !client_->HasMessage()))) Detach("");
}

void TerminalBackend::AcceptConnections(int64_t now) {
  while (pending_.size() < kMaxPending) {
    int fd = platform::AcceptLocal(listenFd_);
    if (fd < 0) return;
    pending_.emplace_back(fd, now + kConnectionDeadlineMs, kMaxIncoming);
    ReadPending(pending_.size() - 1);
  }
}

void TerminalBackend::ReadPending(size_t index) {
  Connection& c = pending_[index];
  Message type;
  std::string payload;
  bool malformed = false;
  const bool readable = c.ReadAvailable();
  const bool whole = readable && c.TakeMessage(type, payload, malformed);
  if (!whole) {
    // Still on its way, unless it can never arrive.
    if (!readable || malformed || c.PeerEnded()) {
      pending_.erase(pending_.begin() + static_cast<long>(index));
    }
    return;
  }
  Connection connection = std::move(c);
  pending_.erase(pending_.begin() + static_cast<long>(index));
  ServeFirstMessage(std::move(connection), type, payload);
}

void TerminalBackend::ServeFirstMessage(Connection connection, Message type,
                                        const std::string& payload) {
  if (type == Message::Command) {
    // A sender that has closed its side gave up waiting for the reply: what it asked for is
    // not done behind its back.
    if (connection.PeerEnded()) return;
    ForwardedReply reply = ExecuteForwardedCommand(payload, *this);
    dirty_ = true;
    if (connection.Send(Message::Reply, EncodeReply(reply)) && connection.Waiting() > 0) {
      connection.SetDeadline(platform::MonotonicMilliseconds() + kConnectionDeadlineMs);
      replying_.push_back(std::move(connection));
    }
    return;
  }
  if (type != Message::Attach || connection.PeerEnded()) return;
  // A new terminal takes the window over from the one that had it.
  if (client_) {
    client_->Send(Message::Leave, "The window was opened in another terminal.");
    client_.reset();
  }
  connection.SetDeadline(0);
  client_ = std::move(connection);
  int rows = 24, cols = 80;
  std::sscanf(payload.c_str(), "%d %d", &rows, &cols);
  screen_->SetSize(rows, cols);
  lastSent_ = Grid();
  lastTitle_.clear();
  // What a second copy does to the first copy's window: hidden, minimised, then normal.
  if (fw::FrameWindow* frame = app_->MainWindow()) {
    frame->ShowWindow(fw::ShowCommand::Hide);
    frame->ShowWindow(fw::ShowCommand::Minimise);
    frame->ShowWindow(fw::ShowCommand::Normal);
  }
  app_->OnWindowOpened();
  dirty_ = true;
}

}  // namespace aequa::term
