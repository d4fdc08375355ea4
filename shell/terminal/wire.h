#pragma once
// Messages between the running copy and the terminals and commands that connect to it:
// one type byte, a 32-bit little-endian length, and the payload.
#include <string>

#include "shell/framework/keys.h"

namespace aequa::term {

enum class Message : char {
  Attach = 'A',   // client -> copy: "rows cols"; the window is shown in this terminal
  Key = 'K',      // client -> copy: a key ("code modifiers")
  Resize = 'R',   // client -> copy: "rows cols"
  Command = 'X',  // command -> copy: the arguments, each ended by a zero byte
  Screen = 'G',   // copy -> client: a serialised grid
  Title = 'T',    // copy -> client: the terminal's title
  Leave = 'Q',    // copy -> client: the window is gone from this terminal; the text says why
  Reply = 'S',    // copy -> command: "status\n" stdout text, zero byte, stderr text
};

inline constexpr const char* kSocketName = "aequa.sock";

// The bytes of one message.
std::string EncodeMessage(Message type, const std::string& payload);
// Takes the first message off the front of `buffer`: Incomplete while bytes are missing,
// Malformed when its length passes `maxPayload`.
enum class Decoded { Whole, Incomplete, Malformed };
Decoded DecodeMessage(std::string& buffer, size_t maxPayload, Message& type,
                      std::string& payload);
// True when DecodeMessage would not answer Incomplete.
bool MessageReady(const std::string& buffer, size_t maxPayload);

bool SendMessage(int fd, Message type, const std::string& payload);
// Blocks until a whole message arrives; false on error, time-out or a malformed message.
bool ReceiveMessage(int fd, Message& type, std::string& payload);

std::string EncodeKey(const fw::Key& key);
bool DecodeKey(const std::string& text, fw::Key& key);

}  // namespace aequa::term
