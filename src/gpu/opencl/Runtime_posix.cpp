#include "gpu/opencl/Runtime.h"

namespace brantok::lumaro::gpu::opencl {

// The ICD loader is linked in; without a driver it answers with no platforms.
bool IsRuntimeAvailable() { return true; }

} // namespace brantok::lumaro::gpu::opencl
