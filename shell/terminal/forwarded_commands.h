#pragma once
// Command-line commands carried out by the copy that runs in the data directory: the
// command line sends its arguments over the socket, the running copy does what the command
// does there and replies with the exit status and the texts to print.
#include <optional>
#include <string>
#include <vector>

namespace aequa::term {

class TerminalBackend;

struct ForwardedReply {
  int status = 0;
  std::string out;
  std::string err;
};

// In the running copy, on its user-interface thread. `payload` holds the arguments (command
// first, options as "--mode", "best"), each ended by a zero byte.
ForwardedReply ExecuteForwardedCommand(const std::string& payload, TerminalBackend& backend);

std::string EncodeReply(const ForwardedReply& reply);
bool DecodeReply(const std::string& text, ForwardedReply& reply);

// In the command line, with the data directory current: sends the command to the running
// copy and prints its reply. Returns the exit status, or nothing when no copy listens.
std::optional<int> ForwardCommand(const std::vector<std::string>& arguments);

}  // namespace aequa::term
