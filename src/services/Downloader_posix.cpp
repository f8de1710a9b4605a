// POSIX only: libcurl, set up to behave like the WinINet client of the
// Windows build, with the same failure texts. The texts name the WinINet step
// that corresponds; the number after them is libcurl's result code.
#include "services/Downloader.h"

#include "core/Logger.h"

#include <curl/curl.h>
#include <dlfcn.h>

#include <chrono>
#include <memory>
#include <new>

namespace brantok::lumaro::services {
namespace {

using CurlHandle = std::unique_ptr<CURL, void (*)(CURL*)>;
using CurlList = std::unique_ptr<curl_slist, void (*)(curl_slist*)>;

void LogFailure(const std::string& what, CURLcode code) {
  core::Logger::Log(what + std::to_string(static_cast<unsigned>(code)), core::eLogChannel::Error);
}

bool CurlReady() {
  // Thread-safe since libcurl 7.84; done once and never undone, as other
  // users of libcurl in the host process may rely on it too.
  static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  return ready;
}

std::size_t AppendBody(char* data, std::size_t size, std::size_t count, void* target) {
  try {
    auto& out = *static_cast<std::vector<std::uint8_t>*>(target);
    out.insert(out.end(), data, data + size * count);
    return size * count;
  } catch (const std::bad_alloc&) {
    return 0; // makes libcurl abort the transfer
  }
}

// Everything that shapes the request besides the timeouts: the same agent
// name as on Windows, no proxy (not even from the environment), no cached
// answers on the way, redirects followed as WinINet follows them, and only
// web protocols, also after a redirect.
CURLcode SetRequestOptions(CURL* curl, const std::string& url, curl_slist* headers, std::vector<std::uint8_t>& out) {
  CURLcode code = CURLE_OK;
  const auto set = [&](CURLoption option, auto value) {
    if (code == CURLE_OK) code = curl_easy_setopt(curl, option, value);
  };
  set(CURLOPT_URL, url.c_str());
  set(CURLOPT_USERAGENT, "Downloader");
  set(CURLOPT_PROXY, "");
  set(CURLOPT_HTTPHEADER, headers);
  set(CURLOPT_PROTOCOLS_STR, "http,https");
  set(CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  set(CURLOPT_FOLLOWLOCATION, 1L);
  set(CURLOPT_MAXREDIRS, 10L);
  set(CURLOPT_NOSIGNAL, 1L);
  set(CURLOPT_WRITEFUNCTION, &AppendBody);
  set(CURLOPT_WRITEDATA, static_cast<void*>(&out));
  return code;
}

// How long the server has been silent since the connection was made.
struct ReceiveWatch {
  CURL* curl;
  std::chrono::steady_clock::duration timeout;
  curl_off_t received;
  std::chrono::steady_clock::time_point lastHeard;
};

int AbortWhenSilent(void* data, curl_off_t, curl_off_t downloaded, curl_off_t, curl_off_t uploaded) {
  auto& watch = *static_cast<ReceiveWatch*>(data);
  const auto now = std::chrono::steady_clock::now();
  curl_off_t connectTime = 0;
  // Until the connection stands, the connection timeout is in charge.
  const bool connected =
      curl_easy_getinfo(watch.curl, CURLINFO_CONNECT_TIME_T, &connectTime) == CURLE_OK && connectTime > 0;
  if (!connected || downloaded + uploaded != watch.received) {
    watch.received = downloaded + uploaded;
    watch.lastHeard = now;
    return 0;
  }
  return watch.timeout.count() > 0 && now - watch.lastHeard >= watch.timeout ? 1 : 0;
}

} // namespace

bool Downloader::Download(std::vector<std::uint8_t>& out, unsigned timeoutSeconds) const {
  const CurlHandle curl(CurlReady() ? curl_easy_init() : nullptr, curl_easy_cleanup);
  if (!curl) {
    LogFailure("InternetOpen failed: ", CURLE_FAILED_INIT);
    return false;
  }

  const long timeoutMilliseconds = static_cast<long>(timeoutSeconds) * 1000L;
  if (const auto code = curl_easy_setopt(curl.get(), CURLOPT_CONNECTTIMEOUT_MS, timeoutMilliseconds);
      code != CURLE_OK) {
    LogFailure("Failed to set connection timeout: ", code);
    return false;
  }
  // WinINet's receive timeout bounds each wait for data once connected.
  // libcurl's own low-speed limit averages over several seconds and would
  // wait far longer, so a progress callback watches for silence instead.
  ReceiveWatch watch{curl.get(), std::chrono::seconds(timeoutSeconds), -1, {}};
  auto code = curl_easy_setopt(curl.get(), CURLOPT_XFERINFOFUNCTION, &AbortWhenSilent);
  if (code == CURLE_OK) code = curl_easy_setopt(curl.get(), CURLOPT_XFERINFODATA, static_cast<void*>(&watch));
  if (code == CURLE_OK) code = curl_easy_setopt(curl.get(), CURLOPT_NOPROGRESS, 0L);
  if (code != CURLE_OK) {
    LogFailure("Failed to set receive timeout: ", code);
    return false;
  }

  curl_slist* headers = curl_slist_append(nullptr, "Cache-Control: no-cache");
  if (headers) {
    if (curl_slist* more = curl_slist_append(headers, "Pragma: no-cache")) headers = more;
  }
  const CurlList headerList(headers, curl_slist_free_all);
  if (code = SetRequestOptions(curl.get(), url_, headerList.get(), out); code != CURLE_OK) {
    LogFailure("InternetOpenUrl failed: ", code);
    return false;
  }

  code = curl_easy_perform(curl.get());
  if (code == CURLE_OK) return true;
  // Without a response status the request itself failed (no connection,
  // name lookup, timeout before an answer), as InternetOpenUrl does;
  // otherwise the body broke off while it was being read.
  long status = 0;
  curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &status);
  LogFailure(status == 0 ? "InternetOpenUrl failed: " : "InternetReadFile failed: ", code);
  return false;
}

void Downloader::KeepLibraryLoaded() {
  // Taking one more reference with RTLD_NODELETE pins the library that
  // holds curl_easy_init, whatever its file is called.
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&curl_easy_init), &info) && info.dli_fname) {
    dlopen(info.dli_fname, RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE);
  }
}

} // namespace brantok::lumaro::services
