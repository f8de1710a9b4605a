// Windows only: OpenCL.dll is a delay-loaded import, bound by the first call
// of each function. A missing library or function would then raise a Windows
// exception inside the host, so both are looked for here first.
#include "gpu/opencl/Runtime.h"

#include "core/Logger.h"
#include "core/WindowsSupport.h"

#include <string>

namespace brantok::lumaro::gpu::opencl {
namespace {

// Every function of the import library, generated from its definition file.
constexpr const char* RuntimeFunctions[] = {
#include "OpenClFunctions.inc"
};

bool FindRuntime() {
  // A usable runtime stays loaded for the process, as the delay-load helper
  // keeps its own reference once it has bound a function.
  const HMODULE runtime = LoadLibraryW(L"OpenCL.dll");
  if (!runtime) {
    core::Logger::Log("OpenCL runtime not available: OpenCL.dll could not be loaded (error " +
                          std::to_string(GetLastError()) + ")",
                      core::eLogChannel::Info);
    return false;
  }
  for (const char* name : RuntimeFunctions) {
    if (!GetProcAddress(runtime, name)) {
      core::Logger::Log(std::string("OpenCL runtime not available: OpenCL.dll has no ") + name,
                        core::eLogChannel::Info);
      FreeLibrary(runtime);
      return false;
    }
  }
  return true;
}

} // namespace

bool IsRuntimeAvailable() {
  static const bool available = FindRuntime();
  return available;
}

} // namespace brantok::lumaro::gpu::opencl
