#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace brantok::lumaro::services {

// A minimal HTTP(S) client that fetches one address into memory: WinINet on
// Windows, libcurl elsewhere. It always connects directly (the system's proxy
// settings are not used) and always asks the server, never a cache. The HTTP
// status is not examined: an error page comes back as the body.
class Downloader {
public:
  // Fetches the product's version file.
  Downloader();
  // Fetches `url` instead; only tests point the client elsewhere.
  explicit Downloader(std::string url);

  const std::string& Url() const { return url_; }

  // Keeps the network library in the process once the plug-in has loaded it.
  // libcurl and the TLS libraries below it keep per-thread state that threads
  // created meanwhile (the OpenCL runtime's) still refer to after the module
  // is unloaded; a system library (WinINet) needs nothing.
  static void KeepLibraryLoaded();

  // Appends the response body to `out` and returns true when all of it was
  // read. `timeoutSeconds` bounds connecting and every wait for data. A
  // failure is logged on the Error channel; bytes read before a failure stay
  // in `out`.
  bool Download(std::vector<std::uint8_t>& out, unsigned timeoutSeconds) const;

private:
  std::string url_;
};

} // namespace brantok::lumaro::services
