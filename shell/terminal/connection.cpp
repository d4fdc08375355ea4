#include "shell/terminal/connection.h"

#include <utility>

#include "platform/local_socket.h"

namespace aequa::term {

Connection::Connection(int fd, int64_t deadline, size_t maxPayload)
    : fd_(fd), deadline_(deadline), maxPayload_(maxPayload) {}

Connection::~Connection() { Close(); }

Connection::Connection(Connection&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      deadline_(other.deadline_),
      maxPayload_(other.maxPayload_),
      ended_(other.ended_),
      in_(std::move(other.in_)),
      out_(std::move(other.out_)) {}

Connection& Connection::operator=(Connection&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = std::exchange(other.fd_, -1);
    deadline_ = other.deadline_;
    maxPayload_ = other.maxPayload_;
    ended_ = other.ended_;
    in_ = std::move(other.in_);
    out_ = std::move(other.out_);
  }
  return *this;
}

void Connection::Close() {
  if (fd_ >= 0) platform::CloseSocket(fd_);
  fd_ = -1;
}

bool Connection::ReadAvailable() {
  char buffer[4096];
  while (!ended_) {
    const long n = platform::ReceiveSome(fd_, buffer, sizeof buffer);
    if (n == platform::kWouldBlock) break;
    if (n < 0) return false;
    if (n == 0) {
      ended_ = true;
      break;
    }
    in_.append(buffer, static_cast<size_t>(n));
    // More than one whole message of the largest size allowed is never needed at once.
    if (in_.size() > maxPayload_ + 64) break;
  }
  return true;
}

bool Connection::TakeMessage(Message& type, std::string& payload, bool& malformed) {
  const Decoded decoded = DecodeMessage(in_, maxPayload_, type, payload);
  malformed = decoded == Decoded::Malformed;
  return decoded == Decoded::Whole;
}

bool Connection::HasMessage() const { return MessageReady(in_, maxPayload_); }

bool Connection::Send(Message type, const std::string& payload) {
  out_ += EncodeMessage(type, payload);
  return Flush();
}

bool Connection::Flush() {
  while (!out_.empty()) {
    const long n = platform::SendSome(fd_, out_.data(), out_.size());
    if (n == platform::kWouldBlock) return true;
    if (n <= 0) return false;
    out_.erase(0, static_cast<size_t>(n));
  }
  return true;
}

}  // namespace aequa::term
