#include "shell/terminal/wire.h"

#include <cstdint>
#include <cstdio>

#include "platform/local_socket.h"

namespace aequa::term {
namespace {
constexpr uint32_t kMaxPayload = 4u << 20;
constexpr size_t kHeaderSize = 5;
}

std::string EncodeMessage(Message type, const std::string& payload) {
  std::string frame(kHeaderSize, '\0');
  frame[0] = static_cast<char>(type);
  const uint32_t size = static_cast<uint32_t>(payload.size());
  for (int i = 0; i < 4; ++i) frame[1 + i] = static_cast<char>((size >> (8 * i)) & 0xFF);
  return frame + payload;
}

namespace {

// The payload length of the message at the front of `buffer`, which holds its header.
uint32_t PayloadSize(const std::string& buffer) {
  uint32_t size = 0;
  for (int i = 0; i < 4; ++i) {
    size |= static_cast<uint32_t>(static_cast<unsigned char>(buffer[1 + i])) << (8 * i);
  }
  return size;
}

}  // namespace

bool MessageReady(const std::string& buffer, size_t maxPayload) {
  if (buffer.size() < kHeaderSize) return false;
  const uint32_t size = PayloadSize(buffer);
  return size > maxPayload || buffer.size() >= kHeaderSize + size;
}

Decoded DecodeMessage(std::string& buffer, size_t maxPayload, Message& type,
                      std::string& payload) {
  if (!MessageReady(buffer, maxPayload)) return Decoded::Incomplete;
  const uint32_t size = PayloadSize(buffer);
  if (size > maxPayload) return Decoded::Malformed;
  type = static_cast<Message>(buffer[0]);
  payload = buffer.substr(kHeaderSize, size);
  buffer.erase(0, kHeaderSize + size);
  return Decoded::Whole;
}

bool SendMessage(int fd, Message type, const std::string& payload) {
  const std::string frame = EncodeMessage(type, payload);
  return platform::SendAll(fd, frame.data(), frame.size());
}

bool ReceiveMessage(int fd, Message& type, std::string& payload) {
  unsigned char header[kHeaderSize];
  if (!platform::ReceiveAll(fd, header, sizeof header)) return false;
  uint32_t size = 0;
  for (int i = 0; i < 4; ++i) size |= static_cast<uint32_t>(header[1 + i]) << (8 * i);
  if (size > kMaxPayload) return false;
  type = static_cast<Message>(header[0]);
  payload.assign(size, '\0');
  return size == 0 || platform::ReceiveAll(fd, payload.data(), size);
}

std::string EncodeKey(const fw::Key& key) {
  return std::to_string(key.code) + " " + std::to_string(key.modifiers);
}

bool DecodeKey(const std::string& text, fw::Key& key) {
  int code = 0;
  unsigned modifiers = 0;
  if (std::sscanf(text.c_str(), "%d %u", &code, &modifiers) != 2) return false;
  key.code = code;
  key.modifiers = modifiers;
  return true;
}

}  // namespace aequa::term
