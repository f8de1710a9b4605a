#pragma once

#include "HttpReply.h"
#include "LoopbackSocket.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace brantok::lumaro::test {

// A real HTTP server on 127.0.0.1, on a port the system picks, for testing
// clients over a real socket. One thread serves one connection at a time and
// answers every request with the same scripted reply. Stops when destroyed.
class LocalHttpServer {
public:
  explicit LocalHttpServer(HttpReply reply);
  ~LocalHttpServer();
  LocalHttpServer(const LocalHttpServer&) = delete;
  LocalHttpServer& operator=(const LocalHttpServer&) = delete;

  // "http://127.0.0.1:<port>" followed by `path`.
  std::string Url(const std::string& path) const;

  // The head (request line and header lines) of every request received so far.
  std::vector<std::string> Requests() const;

  // Whether the server dropped a stalling connection itself, because the
  // client waited longer than any timeout of the code under test.
  bool OutwaitedAClient() const { return outwaited_; }

  // An address on this machine where nothing listens: connecting is refused.
  static std::string RefusingUrl(const std::string& path);

private:
  void Serve();
  void Answer(SocketHandle client);

  HttpReply reply_;
  std::uint16_t port_ = 0;
  SocketHandle listener_ = NoSocket;
  std::atomic<bool> stopping_{false};
  std::atomic<bool> outwaited_{false};
  mutable std::mutex mutex_;
  std::vector<std::string> requests_;
  std::thread thread_;
};

} // namespace brantok::lumaro::test
