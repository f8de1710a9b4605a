#pragma once

#include <string>

namespace brantok::lumaro::test {

// What the test HTTP server sends for every request: raw bytes, so a reply
// can be as broken as a test needs, and whether to keep the connection open
// afterwards without sending anything more.
struct HttpReply {
  std::string bytes;
  bool stallAfterSending = false;

  static HttpReply Status(int code, const std::string& reason, const std::string& contentType,
                          const std::string& body) {
    return {"HTTP/1.1 " + std::to_string(code) + " " + reason + "\r\nContent-Type: " + contentType +
                "\r\nContent-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body,
            false};
  }

  static HttpReply Json(const std::string& body) { return Status(200, "OK", "application/json", body); }

  // Accepts the request and never answers it.
  static HttpReply Silent() { return {"", true}; }

  // Announces `declaredLength` bytes of body, sends only `partialBody` and
  // then goes quiet.
  static HttpReply BrokenOff(std::size_t declaredLength, const std::string& partialBody) {
    return {"HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: " + std::to_string(declaredLength) +
                "\r\nConnection: close\r\n\r\n" + partialBody,
            true};
  }
};

} // namespace brantok::lumaro::test
