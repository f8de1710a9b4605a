#include "LocalHttpServer.h"

#include <chrono>
#include <utility>

namespace brantok::lumaro::test {
namespace {

// How often the serving thread looks up from waiting to see whether it
// should stop.
constexpr int PollMilliseconds = 50;
// A stalling connection is dropped after this long at the latest, so a client
// that never gives up fails its test instead of hanging it.
constexpr auto StallLimit = std::chrono::seconds(30);

} // namespace

LocalHttpServer::LocalHttpServer(HttpReply reply) : reply_(std::move(reply)) {
  listener_ = ListenOnLoopback(port_);
  thread_ = std::thread([this] { Serve(); });
}

LocalHttpServer::~LocalHttpServer() {
  stopping_ = true;
  thread_.join();
  CloseSocket(listener_);
}

std::string LocalHttpServer::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<std::string> LocalHttpServer::Requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

std::string LocalHttpServer::RefusingUrl(const std::string& path) {
  // The port of a server that has just stopped. Something else could take the
  // port in between, but hardly within the few moments a test needs it.
  std::string url;
  {
    const LocalHttpServer closed(HttpReply::Silent());
    url = closed.Url(path);
  }
  return url;
}

void LocalHttpServer::Serve() {
  while (!stopping_) {
    const SocketHandle client = AcceptWithin(listener_, PollMilliseconds);
    if (client == NoSocket) continue;
    Answer(client);
    CloseSocket(client);
  }
}

void LocalHttpServer::Answer(SocketHandle client) {
  std::string received;
  std::size_t headEnd = std::string::npos;
  while (!stopping_ && headEnd == std::string::npos) {
    const int count = ReceiveWithin(client, received, PollMilliseconds);
    if (count == 0) return;
    headEnd = received.find("\r\n\r\n");
  }
  if (headEnd == std::string::npos) return;
  {
    std::lock_guard lock(mutex_);
    requests_.push_back(received.substr(0, headEnd));
  }
  if (!SendAll(client, reply_.bytes)) return;
  // Stalling: hold the connection, reading and dropping whatever arrives,
  // until the client gives up or the server stops.
  const auto stallEnd = std::chrono::steady_clock::now() + StallLimit;
  while (reply_.stallAfterSending && !stopping_ && std::chrono::steady_clock::now() < stallEnd) {
    std::string ignored;
    if (ReceiveWithin(client, ignored, PollMilliseconds) == 0) return;
  }
  if (reply_.stallAfterSending && !stopping_) outwaited_ = true;
}

} // namespace brantok::lumaro::test
