#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace brantok::lumaro::gpu::opencl {

// What the ranking sees of one OpenCL device. Kept free of OpenCL types so
// the ranking can be tested with made-up device lists.
struct DeviceDescription {
  std::string platformVendor;
  std::string deviceName;
};

// "<platform vendor> <device name>", as the device is reported in the log.
std::string GetDisplayName(const DeviceDescription& device);

// Index of the first preference that occurs in `displayName`, ignoring
// letter case; an empty preference matches everything. Nothing when none
// occurs.
std::optional<std::size_t> RankDevice(const std::string& displayName, const std::vector<std::string>& preferences);

// Index of the device with the best (lowest) rank, the first one among equals;
// the first device when none is ranked; nothing only for an empty list.
// Vendor names are matched against the platform vendor too, because some
// drivers report the device name alone (for example "GeForce RTX 4090").
std::optional<std::size_t> SelectCandidate(const std::vector<DeviceDescription>& devices,
                                           const std::vector<std::string>& preferences);

} // namespace brantok::lumaro::gpu::opencl
