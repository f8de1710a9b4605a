#include "gpu/ContextFactory.h"

#include "gpu/opencl/Context.h"

namespace brantok::lumaro::gpu {

// OpenCL is the one back end: the best GPU, or another OpenCL device where
// there is no GPU.
ContextFactory DefaultContextFactory() {
  return [] { return std::shared_ptr<IContext>(opencl::Context::CreateContext()); };
}

} // namespace brantok::lumaro::gpu
