#pragma once

#include <cstdint>

namespace brantok::lumaro::gpu {

// Compiler switches for a program build; a build takes them as a set, so each
// appears at most once.
enum class eBuildOption : std::int32_t {
  FastRelaxedMath = 0,
  // Keeps argument names, types and qualifiers for GetArgumentInfo.
  KernelArgumentInfo = 1,
};

} // namespace brantok::lumaro::gpu
