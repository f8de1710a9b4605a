// Lists the OpenCL platforms and devices this process finds, then the device
// the project's context picks, which the module and the benchmarks render
// on. scripts/gpu-bundle.sh's run.sh starts with it to say what a machine
// offers before any benchmark runs. Exit status 1 when no device is found.
#include "OpenClDevice.h"

#include <iostream>

int main() {
  using brantok::lumaro::bench::OpenClDevice;
  for (const auto& line : OpenClDevice::Inventory()) std::cout << line << "\n";
  const auto chosen = OpenClDevice::Chosen();
  if (!chosen) {
    std::cout << "chosen: none (no OpenCL device)\n";
    return 1;
  }
  std::cout << "chosen: " << chosen->text << "\n";
  return 0;
}
