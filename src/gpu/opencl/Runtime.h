#pragma once

namespace brantok::lumaro::gpu::opencl {

// Whether the OpenCL runtime can be called. Where the runtime is reached at
// first use rather than at module load (Windows, whose OpenCL.dll comes with
// a graphics driver), the first call looks for it and logs why it is not
// usable; the answer is kept for the process. No OpenCL function may be
// called while this is false.
bool IsRuntimeAvailable();

} // namespace brantok::lumaro::gpu::opencl
