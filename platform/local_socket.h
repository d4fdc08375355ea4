#pragma once
// A local stream socket in the current directory, reachable only by the same user: the
// running copy listens on it, windows and commands connect to it.
#include <string>

namespace aequa::platform {

// Listens on `name` (a path relative to the current directory). Any file of that name is
// replaced: call only while holding the directory's lock, so that it can only be a socket
// left by a copy that died. The socket is created with mode 0600 and never blocks in accept.
// Returns -1 on failure.
int ListenLocal(const std::string& name);
// Accepts one connection; refuses (closes) peers of another user. -1 when none is accepted
// (none waiting included).
int AcceptLocal(int listenFd);
// Connects to `name`; -1 when nothing listens there.
int ConnectLocal(const std::string& name);
// Time limits for blocking sends and receives on a connection.
void SetSocketTimeouts(int fd, int milliseconds);
// True when the peer of `fd` runs as the same user as this process.
bool PeerIsSameUser(int fd);
void CloseSocket(int fd);

// Sends or receives exactly `size` bytes; false on error, time-out or end of stream.
bool SendAll(int fd, const void* data, size_t size);
bool ReceiveAll(int fd, void* data, size_t size);

// Without waiting: the bytes moved, 0 at the end of the stream (receiving), kWouldBlock when
// nothing can move now, -1 on an error.
inline constexpr long kWouldBlock = -2;
long ReceiveSome(int fd, void* data, size_t size);
long SendSome(int fd, const void* data, size_t size);

}  // namespace aequa::platform
