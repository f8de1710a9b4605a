#pragma once

#include <optional>
#include <string>
#include <vector>

namespace brantok::lumaro::bench {

// What OpenCL offers this process: every platform and device the ICD loader
// finds, and the device the project's context picks, which is the one the
// module renders on (the same selection code, the same loader and vendor
// files). Benchmark figures are only as meaningful as this line.
class OpenClDevice {
public:
  struct Description {
    std::string text; // platform, device, type, versions, memory
    bool gpu = false;
  };

  // One line per platform and one per device under it; empty when there is
  // no OpenCL runtime or no platform.
  static std::vector<std::string> Inventory();

  // The device the project's context picks; nothing when it makes no context.
  static std::optional<Description> Chosen();
};

} // namespace brantok::lumaro::bench
