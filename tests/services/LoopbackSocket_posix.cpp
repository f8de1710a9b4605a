// POSIX only: BSD sockets.
#include "LoopbackSocket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace brantok::lumaro::test {
namespace {

int Descriptor(SocketHandle socket) { return static_cast<int>(socket); }

bool ReadableWithin(SocketHandle socket, int milliseconds) {
  pollfd entry{Descriptor(socket), POLLIN, 0};
  return poll(&entry, 1, milliseconds) > 0;
}

} // namespace

SocketHandle ListenOnLoopback(std::uint16_t& port) {
  const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listener < 0) throw std::runtime_error("socket failed");
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t length = sizeof address;
  if (::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(listener, 8) != 0 ||
      ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    ::close(listener);
    throw std::runtime_error("cannot listen on 127.0.0.1");
  }
  port = ntohs(address.sin_port);
  return static_cast<SocketHandle>(listener);
}

SocketHandle AcceptWithin(SocketHandle listener, int milliseconds) {
  if (!ReadableWithin(listener, milliseconds)) return NoSocket;
  const int client = ::accept4(Descriptor(listener), nullptr, nullptr, SOCK_CLOEXEC);
  return client < 0 ? NoSocket : static_cast<SocketHandle>(client);
}

int ReceiveWithin(SocketHandle socket, std::string& data, int milliseconds) {
  if (!ReadableWithin(socket, milliseconds)) return -1;
  char buffer[4096];
  const auto received = ::recv(Descriptor(socket), buffer, sizeof buffer, 0);
  if (received <= 0) return 0;
  data.append(buffer, static_cast<std::size_t>(received));
  return static_cast<int>(received);
}

bool SendAll(SocketHandle socket, const std::string& data) {
  std::size_t sent = 0;
  while (sent < data.size()) {
    const auto result = ::send(Descriptor(socket), data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
    if (result <= 0) return false;
    sent += static_cast<std::size_t>(result);
  }
  return true;
}

void CloseSocket(SocketHandle socket) {
  if (socket != NoSocket) ::close(Descriptor(socket));
}

} // namespace brantok::lumaro::test
