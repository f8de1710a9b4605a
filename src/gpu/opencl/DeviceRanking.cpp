#include "gpu/opencl/DeviceRanking.h"

#include <cctype>

namespace brantok::lumaro::gpu::opencl {
namespace {

std::string ToUpper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

} // namespace

std::string GetDisplayName(const DeviceDescription& device) { return device.platformVendor + " " + device.deviceName; }

std::optional<std::size_t> RankDevice(const std::string& displayName, const std::vector<std::string>& preferences) {
  const std::string name = ToUpper(displayName);
  for (std::size_t rank = 0; rank < preferences.size(); ++rank) {
    const std::string preference = ToUpper(preferences[rank]);
    if (preference.empty() || name.find(preference) != std::string::npos) return rank;
  }
  return std::nullopt;
}

std::optional<std::size_t> SelectCandidate(const std::vector<DeviceDescription>& devices,
                                           const std::vector<std::string>& preferences) {
  std::optional<std::size_t> chosen;
  std::size_t chosenRank = 0;
  for (std::size_t i = 0; i < devices.size(); ++i) {
    const auto rank = RankDevice(GetDisplayName(devices[i]), preferences);
    if (rank && (!chosen || *rank < chosenRank)) {
      chosen = i;
      chosenRank = *rank;
    }
  }
  if (!chosen && !devices.empty()) chosen = 0;
  return chosen;
}

} // namespace brantok::lumaro::gpu::opencl
