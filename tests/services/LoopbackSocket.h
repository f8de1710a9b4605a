#pragma once

#include <cstdint>
#include <string>

namespace brantok::lumaro::test {

// The few socket operations the test HTTP server needs, one implementation
// per platform. Sockets are plain handles; every call returns instead of
// blocking past the given wait, so the server thread can notice a stop.
using SocketHandle = std::uintptr_t;
inline constexpr SocketHandle NoSocket = ~SocketHandle{0};

// A listening TCP socket on 127.0.0.1 with a port the system picks, written to
// `port`. Throws std::runtime_error on failure.
SocketHandle ListenOnLoopback(std::uint16_t& port);

// A connection accepted within `milliseconds`, or NoSocket.
SocketHandle AcceptWithin(SocketHandle listener, int milliseconds);

// Bytes received within `milliseconds` (appended to `data`): the count, 0 when
// the peer closed or the connection failed, -1 when nothing came in time.
int ReceiveWithin(SocketHandle socket, std::string& data, int milliseconds);

// Sends all of `data`; false when the connection failed.
bool SendAll(SocketHandle socket, const std::string& data);

void CloseSocket(SocketHandle socket);

} // namespace brantok::lumaro::test
