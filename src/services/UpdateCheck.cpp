#include "services/UpdateCheck.h"

#include "core/Dialogs.h"
#include "core/ProductInformation.h"
#include "core/Version.h"
#include "services/UrlOpener.h"

#include <nlohmann/json.hpp>

#include <stdexcept>
#include <string_view>

namespace brantok::lumaro::services {
namespace {

constexpr unsigned TimeoutSeconds = 5;

// The product's page for checking by hand: the version file's web host,
// followed by /lumaro, written without a scheme.
std::string ManualCheckAddress() {
  std::string_view address = core::ProductInformation::VersionFileUrl;
  if (const auto scheme = address.find("://"); scheme != std::string_view::npos) address.remove_prefix(scheme + 3);
  return std::string(address.substr(0, address.find('/'))) + "/lumaro";
}

// The download address comes from the network and goes to the shell, which
// would just as well start a program or open a local file; only web
// addresses are offered.
bool IsWebAddress(const std::string& address) {
  const auto hasScheme = [&address](std::string_view scheme) {
    if (address.size() <= scheme.size()) return false;
    for (std::size_t i = 0; i < scheme.size(); ++i) {
      const char c = address[i];
      if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != scheme[i]) return false;
    }
    return true;
  };
  if (!hasScheme("https://") && !hasScheme("http://")) return false;
  for (const char c : address) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte == 0x7F) return false;
  }
  return true;
}

void RunCheck(const Downloader& downloader, unsigned timeoutSeconds) {
  std::vector<std::uint8_t> body;
  if (!downloader.Download(body, timeoutSeconds)) throw std::runtime_error("Download failed");

  const auto document = nlohmann::json::parse(body.begin(), body.end());
  const auto versionText = document.at("version").get<std::string>();
  const auto downloadUrl = document.at("download-url").get<std::string>();
  const auto releaseNotes = document.at("release-notes").get<std::string>();

  const core::Version remote(versionText);
  if (!remote.valid) throw std::runtime_error("Invalid version string");

  const core::Version& own = core::ProductInformation::GetVersion();
  if (!(remote > own)) {
    core::ShowMessageBox(core::eMessageBoxType::Information, "You have the latest version: " + own.ToString(),
                         "Check for Updates");
    return;
  }

  if (!IsWebAddress(downloadUrl)) throw std::runtime_error("Download address is not a web address");
  std::string offer = "A new version of " + std::string(core::ProductInformation::Name) +
                      " is available: " + remote.ToString() + "\nProceed to download page?";
  if (!releaseNotes.empty()) offer += "\n\n" + releaseNotes;
  if (core::ShowMessageBox(core::eMessageBoxType::Question, offer, "Update Available") ==
      core::eMessageBoxResult::Yes) {
    OpenUrl(downloadUrl);
  }
}

} // namespace

void CheckForUpdates() { CheckForUpdates(Downloader(), TimeoutSeconds); }

void CheckForUpdates(const Downloader& downloader, unsigned timeoutSeconds) {
  try {
    RunCheck(downloader, timeoutSeconds);
  } catch (...) {
    // Whatever went wrong, the user is pointed to the page where they can
    // look for themselves; the reason is in the log where there is one.
    try {
      core::ShowMessageBox(core::eMessageBoxType::Warning, "Please check manually at: " + ManualCheckAddress(),
                           "Check for updates failed");
    } catch (...) {
    }
  }
}

} // namespace brantok::lumaro::services
