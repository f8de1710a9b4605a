// Windows only: Winsock.
#include "LoopbackSocket.h"

#include "core/WindowsSupport.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <stdexcept>

namespace brantok::lumaro::test {
namespace {

SOCKET Native(SocketHandle socket) { return static_cast<SOCKET>(socket); }

void StartWinsock() {
  static const bool started = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  if (!started) throw std::runtime_error("WSAStartup failed");
}

bool ReadableWithin(SocketHandle socket, int milliseconds) {
  WSAPOLLFD entry{Native(socket), POLLRDNORM, 0};
  return WSAPoll(&entry, 1, milliseconds) > 0;
}

} // namespace

SocketHandle ListenOnLoopback(std::uint16_t& port) {
  StartWinsock();
  const SOCKET listener = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (listener == INVALID_SOCKET) throw std::runtime_error("socket failed");
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  int length = sizeof address;
  if (::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(listener, 8) != 0 ||
      ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    ::closesocket(listener);
    throw std::runtime_error("cannot listen on 127.0.0.1");
  }
  port = ntohs(address.sin_port);
  return static_cast<SocketHandle>(listener);
}

SocketHandle AcceptWithin(SocketHandle listener, int milliseconds) {
  if (!ReadableWithin(listener, milliseconds)) return NoSocket;
  const SOCKET client = ::accept(Native(listener), nullptr, nullptr);
  return client == INVALID_SOCKET ? NoSocket : static_cast<SocketHandle>(client);
}

int ReceiveWithin(SocketHandle socket, std::string& data, int milliseconds) {
  if (!ReadableWithin(socket, milliseconds)) return -1;
  char buffer[4096];
  const int received = ::recv(Native(socket), buffer, sizeof buffer, 0);
  if (received <= 0) return 0;
  data.append(buffer, static_cast<std::size_t>(received));
  return received;
}

bool SendAll(SocketHandle socket, const std::string& data) {
  std::size_t sent = 0;
  while (sent < data.size()) {
    const int result = ::send(Native(socket), data.data() + sent, static_cast<int>(data.size() - sent), 0);
    if (result <= 0) return false;
    sent += static_cast<std::size_t>(result);
  }
  return true;
}

void CloseSocket(SocketHandle socket) {
  if (socket != NoSocket) ::closesocket(Native(socket));
}

} // namespace brantok::lumaro::test
