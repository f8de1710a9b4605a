#pragma once

#include "gpu/opencl/Context.h"

namespace brantok::lumaro::gpu::opencl::test {

// One context on the machine's OpenCL device for all tests of the process:
// creating contexts and compiling is what makes GPU tests slow.
Context& SharedContext();

// The shared context's default queue.
IQueue& SharedQueue();

// The cl_mem behind a memory object, for checking it with OpenCL itself.
cl_mem NativeMemory(const IBuffer& memory);

} // namespace brantok::lumaro::gpu::opencl::test
