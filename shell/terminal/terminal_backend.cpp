#include "shell/terminal/terminal_backend.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cstdio>
#include <optional>

#include "platform/local_socket.h"
#include "shell/framework/frame_window.h"
#include "shell/framework/standard_ids.h"
#include "shell/terminal/forwarded_commands.h"
#include "shell/terminal/terminal_keys.h"
#include "shell/terminal/wire.h"

namespace aequa::term {
namespace {
constexpr const char* kHiddenText =
    "Aequa goes on in the background. Run aequa to bring its window back.";
constexpr const char* kEndedText = "Aequa has ended.";
}  // namespace

TerminalBackend::TerminalBackend(int listenFd) : listenFd_(listenFd) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0) {
    wakeRead_ = fds[0];
    wakeWrite_ = fds[1];
  }
}

TerminalBackend::~TerminalBackend() {
  if (client_ >= 0) platform::CloseSocket(client_);
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
  if (client_ >= 0) Detach(kEndedText);
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
  while (!screen_->TopMessageDone() && !Ending() && KeysCanArrive()) PumpOnce(1000);
  --depth_;
  screen_->PopModal();
  dirty_ = true;
  return fw::IDOK;
}

bool TerminalBackend::KeysCanArrive() {
  if (listenFd_ >= 0 || client_ >= 0) return true;
  std::lock_guard<std::mutex> guard(postedLock_);
  return !scripted_.empty();
}

void TerminalBackend::ShowHelp() { MessageBox(TerminalKeyHelp(), fw::MB_OK); }

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

void TerminalBackend::PumpOnce(int timeoutMs) {
  pollfd fds[3];
  int n = 0;
  fds[n++] = {wakeRead_, POLLIN, 0};
  const int listenIndex = listenFd_ >= 0 ? n : -1;
  if (listenFd_ >= 0) fds[n++] = {listenFd_, POLLIN, 0};
  const int clientIndex = client_ >= 0 ? n : -1;
  if (client_ >= 0) fds[n++] = {client_, POLLIN, 0};
  // Nothing to wait for when there is already work to do.
  bool pending = dirty_.load();
  {
    std::lock_guard<std::mutex> guard(postedLock_);
    pending = pending || !posted_.empty() || !scripted_.empty();
  }
  const int ready = poll(fds, static_cast<nfds_t>(n), pending ? 0 : timeoutMs);
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
  if (ready > 0 && clientIndex >= 0 && (fds[clientIndex].revents & (POLLIN | POLLHUP | POLLERR))) {
    ReadClient();
  }
  if (ready > 0 && listenIndex >= 0 && (fds[listenIndex].revents & POLLIN)) AcceptConnection();

  fw::FrameWindow* frame = app_->MainWindow();
  if (client_ >= 0 && frame != nullptr) {
    if (frame->destroyed()) {
      Detach(kEndedText);
    } else if (!frame->IsWindowVisible()) {
      Detach(kHiddenText);
    } else if (dirty_.exchange(false)) {
      SendScreen();
    }
  } else {
    dirty_ = false;
  }
}

void TerminalBackend::SendScreen() {
  Grid grid = screen_->Render();
  if (!(grid == lastSent_)) {
    if (!SendMessage(client_, Message::Screen, grid.Serialise())) return Detach("");
    lastSent_ = grid;
  }
  std::string title = screen_->TerminalTitle();
  if (title != lastTitle_) {
    if (!SendMessage(client_, Message::Title, title)) return Detach("");
    lastTitle_ = title;
  }
}

void TerminalBackend::Detach(const std::string& reason) {
  if (client_ < 0) return;
  if (!reason.empty()) SendMessage(client_, Message::Leave, reason);
  platform::CloseSocket(client_);
  client_ = -1;
  fw::FrameWindow* frame = app_->MainWindow();
  // A terminal that goes away takes the window with it, as minimising to the tray does.
  if (frame != nullptr && !frame->destroyed() && frame->IsWindowVisible()) {
    if (!frame->IsIconic()) frame->ShowWindow(fw::ShowCommand::Minimise);
    if (frame->IsWindowVisible()) frame->ShowWindow(fw::ShowCommand::Hide);
  }
}

void TerminalBackend::ReadClient() {
  Message type;
  std::string payload;
  if (!ReceiveMessage(client_, type, payload)) return Detach("");
  if (type == Message::Key) {
    fw::Key key;
    if (DecodeKey(payload, key)) screen_->HandleKey(key);
  } else if (type == Message::Resize) {
    int rows = 0, cols = 0;
    if (std::sscanf(payload.c_str(), "%d %d", &rows, &cols) == 2) screen_->SetSize(rows, cols);
  }
  dirty_ = true;
}

void TerminalBackend::AcceptConnection() {
  int fd = platform::AcceptLocal(listenFd_);
  if (fd < 0) return;
  platform::SetSocketTimeouts(fd, 2000);
  Message type;
  std::string payload;
  if (!ReceiveMessage(fd, type, payload)) {
    platform::CloseSocket(fd);
    return;
  }
  if (type == Message::Command) {
    ForwardedReply reply = ExecuteForwardedCommand(payload, *this);
    SendMessage(fd, Message::Reply, EncodeReply(reply));
    platform::CloseSocket(fd);
    dirty_ = true;
    return;
  }
  if (type != Message::Attach) {
    platform::CloseSocket(fd);
    return;
  }
  // A new terminal takes the window over from the one that had it.
  if (client_ >= 0) {
    SendMessage(client_, Message::Leave, "The window was opened in another terminal.");
    platform::CloseSocket(client_);
  }
  client_ = fd;
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
