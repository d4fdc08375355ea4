#include "shell/terminal/wire.h"

#include <cstdint>
#include <cstdio>

#include "platform/local_socket.h"

namespace aequa::term {
namespace {
constexpr uint32_t kMaxPayload = 4u << 20;
}

bool SendMessage(int fd, Message type, const std::string& payload) {
  std::string frame(5, '\0');
  frame[0] = static_cast<char>(type);
  const uint32_t size = static_cast<uint32_t>(payload.size());
  for (int i = 0; i < 4; ++i) frame[1 + i] = static_cast<char>((size >> (8 * i)) & 0xFF);
  frame += payload;
  return platform::SendAll(fd, frame.data(), frame.size());
}

bool ReceiveMessage(int fd, Message& type, std::string& payload) {
  unsigned char header[5];
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
