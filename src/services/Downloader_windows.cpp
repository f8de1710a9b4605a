// Windows only: WinINet.
#include "services/Downloader.h"

#include "core/Logger.h"
#include "core/WindowsSupport.h"

#include <wininet.h>

#include <algorithm>
#include <limits>
#include <memory>

namespace brantok::lumaro::services {
namespace {

using InternetHandle = std::unique_ptr<void, BOOL(WINAPI*)(HINTERNET)>;

void LogFailure(const std::string& what) {
  core::Logger::Log(what + std::to_string(static_cast<unsigned long>(GetLastError())), core::eLogChannel::Error);
}

} // namespace

bool Downloader::Download(std::vector<std::uint8_t>& out, unsigned timeoutSeconds) const {
  const InternetHandle internet(InternetOpenW(L"Downloader", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0),
                                InternetCloseHandle);
  if (!internet) {
    LogFailure("InternetOpen failed: ");
    return false;
  }

  DWORD timeout =
      static_cast<DWORD>(std::min<unsigned long long>(timeoutSeconds * 1000ULL, std::numeric_limits<DWORD>::max()));
  if (!InternetSetOptionW(internet.get(), INTERNET_OPTION_CONNECT_TIMEOUT, &timeout, sizeof timeout)) {
    LogFailure("Failed to set connection timeout: ");
    return false;
  }
  if (!InternetSetOptionW(internet.get(), INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof timeout)) {
    LogFailure("Failed to set receive timeout: ");
    return false;
  }

  // Declared after `internet`, so the request handle is closed first.
  const InternetHandle request(InternetOpenUrlA(internet.get(), url_.c_str(), nullptr, 0, INTERNET_FLAG_RELOAD, 0),
                               InternetCloseHandle);
  if (!request) {
    LogFailure("InternetOpenUrl failed: ");
    return false;
  }

  std::uint8_t block[4096];
  for (;;) {
    DWORD read = 0;
    if (!InternetReadFile(request.get(), block, sizeof block, &read)) {
      LogFailure("InternetReadFile failed: ");
      return false;
    }
    if (read == 0) return true;
    out.insert(out.end(), block, block + read);
  }
}

void Downloader::KeepLibraryLoaded() {}

} // namespace brantok::lumaro::services
