#pragma once
// One connection to the running copy, served without ever waiting for it: what arrives is
// kept until a whole message is there, what is to be sent waits until the peer takes it. A
// slow or idle peer so holds up nobody; the copy's loop closes it when its deadline passes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "shell/terminal/wire.h"

namespace aequa::term {

class Connection {
 public:
  // `deadline`: monotonic milliseconds by which the peer must have done what it came for
  // (0 for none).
  Connection(int fd, int64_t deadline, size_t maxPayload);
  ~Connection();
  Connection(Connection&& other) noexcept;
  Connection& operator=(Connection&& other) noexcept;
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  int fd() const { return fd_; }
  int64_t deadline() const { return deadline_; }
  void SetDeadline(int64_t deadline) { deadline_ = deadline; }
  bool Expired(int64_t now) const { return deadline_ != 0 && now >= deadline_; }

  // Reads what has arrived. False when the connection is unusable: an error, or a message
  // longer than allowed. The end of the peer's stream is noted (PeerEnded), not an error.
  bool ReadAvailable();
  // The next whole message, if one has arrived; `malformed` is set for one that never can be.
  bool TakeMessage(Message& type, std::string& payload, bool& malformed);
  // True when a whole message has arrived (or one that never can be).
  bool HasMessage() const;
  // The peer has closed its side: it sends nothing more and may have given up waiting.
  bool PeerEnded() const { return ended_; }

  // Queues a message and sends what the peer takes now. False on an error.
  bool Send(Message type, const std::string& payload);
  // Sends more of what waits. False on an error.
  bool Flush();
  size_t Waiting() const { return out_.size(); }

 private:
  void Close();

  int fd_;
  int64_t deadline_;
  size_t maxPayload_;
  bool ended_ = false;
  std::string in_;
  std::string out_;
};

}  // namespace aequa::term
